#!/usr/bin/env bash
# Installs what is missing, builds, and starts the real saver: the 64-bit build
# under Wine, full screen. On a usable X display (DISPLAY) it runs until a key
# or a mouse move ends it, as on Windows; without one it runs for a few seconds
# on a virtual 256-colour display and leaves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
# Only the saver and the probe that waits for its window: no tests, no other trees.
bash tools/build.sh win64 Tarvelimunde e2e_window_probe

saver=build/win64/Tarvelimunde.scr
probe=build/win64/e2e/window_probe.exe
wine=/usr/lib/wine/wine64
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] || return 0
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

virtual=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  virtual=1
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 640x480x8 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -u "$fd" number
  export DISPLAY=":$number"
  echo "No usable display: running the saver for a few seconds on a virtual 256-colour display $DISPLAY."
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX (once)..."
  "$wine" wineboot -i >/dev/null 2>&1
fi
# Without a window manager Wine must manage focus itself, or keys reach nothing.
managed=Y
[ "$virtual" -eq 0 ] || managed=N
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1

if [ "$virtual" -eq 0 ]; then
  echo "Starting the saver full screen on $DISPLAY: press a key or move the mouse to end it."
  status=0
  "$wine" "$saver" /s || status=$?
  echo "The saver ended with exit code $status."
  exit 0
fi

out=build/picture
mkdir -p "$out"
"$wine" "$saver" /s &
saver_pid=$!
"$wine" "$probe" find WindowsScreenSaverClass "Screen Saver" 15000 >/dev/null
sleep 5
xwd -root -silent | convert xwd:- "$out/fullscreen.png"
# A mouse move of more than 4 pixels ends it, as on Windows.
xdotool mousemove_relative -- 20 20
status=0
wait "$saver_pid" || status=$?
echo "The saver ended on a mouse move with exit code $status."
echo "Screenshot of the full-screen saver: $out/fullscreen.png"
