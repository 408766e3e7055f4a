#!/usr/bin/env bash
# Installs what is missing, builds, and starts the real saver: the 64-bit flow
# build, "Tarvelimunde Flow.scr", under Wine, full screen; it is the one whose
# picture Wine shows truly, colours flowing on a truecolour display. On a
# usable X display (DISPLAY) it runs until a key or a mouse move ends it, as on
# Windows; without one it runs for a few seconds on a virtual 24-bit display
# and leaves a screenshot and a short animated capture.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
# Only the saver and the probe that waits for its window: no tests, no other trees.
bash tools/build.sh win64 flow e2e_window_probe

saver="build/win64/flow/Tarvelimunde Flow.scr"
probe=build/win64/e2e/window_probe.exe
source tests/wine/wine-env.sh
trap wine_env_cleanup EXIT

# The saver runs in a throwaway copy of the prefix build/wine-prefix.
template=$PWD/build/wine-prefix
[ -f "$template/.ready" ] || echo "Preparing the Wine prefix $template (once)..."
wine_env_template "$template"
wine_env_prefix "$template"
wine_env_display 24
virtual=0
[ -z "$WINE_ENV_XVFB_PID" ] || virtual=1

if [ "$virtual" -eq 0 ]; then
  # A real display has a window manager, which hands the keys to the saver.
  wine_env_run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1
  echo "Starting the saver full screen on $DISPLAY: press a key or move the mouse to end it."
  status=0
  wine_env_run "$saver" /s || status=$?
  echo "The saver ended with exit code $status."
  exit 0
fi

echo "No usable display: running the saver for a few seconds on a virtual 24-bit display $DISPLAY."
out=build/picture
mkdir -p "$out"
wine_env_run "$saver" /s &
saver_pid=$!
wine_env_run "$probe" find WindowsScreenSaverClass "Screen Saver" 15000 >/dev/null
sleep 4
xwd -root -silent | convert xwd:- "$out/fullscreen.png"
# Two seconds of the flow: what is drawn changes colour from one shot to the next.
frames=$(mktemp -d)
for n in $(seq -w 1 16); do
  xwd -root -silent | convert xwd:- "$frames/$n.png"
  sleep 0.08
done
convert -delay 12 -loop 0 "$frames"/*.png -layers Optimize "$out/flow.gif"
rm -rf "$frames"
# A mouse move of more than 4 pixels ends it, as on Windows.
xdotool mousemove_relative -- 20 20
status=0
wait "$saver_pid" || status=$?
echo "The saver ended on a mouse move with exit code $status."
echo "Screenshot of the full-screen saver: $out/fullscreen.png; the flow: $out/flow.gif"
