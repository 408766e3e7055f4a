#!/usr/bin/env bash
# The Windows build's replay traces against the native ones, configuration by
# configuration (the seeds, areas and palette caps of the native replay test):
# equal traces mean this build's arithmetic draws the same picture.
# Usage: replay_traces.sh NATIVE_REPLAY WINDOWS_REPLAY.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
native=$1
windows=$2
[ -x "$native" ] || { echo "the native replay tool is not built: $native" >&2; exit 1; }

template=${TARVELIMUNDE_WINE_TEMPLATE:?}
trap 'wine_env_cleanup; rm -rf "$work"' EXIT
work=$(mktemp -d)
wine_env_template "$template" || exit 125
wine_env_prefix "$template" || exit 125
# A screen of its own, never the desktop's: tests side by side take no focus from each other.
unset DISPLAY
wine_env_display 24 || exit 125

configurations=(
  "--seed 1 --size 640x480 --palette-size 256 --reserved 20 --ticks 6000"
  "--seed 4294967295 --size 1920x1080 --palette-size 256 --reserved 0 --ticks 4000"
  "--seed 0 --size 152x112 --palette-size 16 --reserved 20 --ticks 3000"
  "--seed 77 --size 0x0 --palette-size 256 --reserved 254 --ticks 1000"
  "--seed 12345 --size 7x7 --palette-size 0 --reserved 253 --ticks 2000"
  "--seed 99 --size 65535x65535 --palette-size 256 --reserved 20 --ticks 3000"
  "--seed 1765086000 --size 2x2 --palette-size 256 --reserved 20 --ticks 500"
)
passed=0
failed=0
for configuration in "${configurations[@]}"; do
  # shellcheck disable=SC2086
  "$native" $configuration --trace - >"$work/native" 2>&1
  # shellcheck disable=SC2086
  wine_env_run "$windows" $configuration --trace - >"$work/windows" 2>/dev/null
  if [ -s "$work/native" ] && cmp -s "$work/native" "$work/windows"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "differs: $configuration"
    diff "$work/native" "$work/windows" | head -5
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
