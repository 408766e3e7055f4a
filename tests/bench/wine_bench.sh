#!/usr/bin/env bash
# The saver under Wine on an 8-bit display: tick rate against a bare 1 ms
# timer, CPU per tick and time to the first segment. With --soak SECONDS, a
# long run that reports memory and object counts at its start and end.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/wine/wine-env.sh

seconds=8
soak=
if [ "${1:-}" = "--soak" ]; then
  seconds=${2:-600}
  soak=1
fi
bench=build/win64/tests/bench/saver_bench.exe
template=$PWD/build/win64/bench-wine-template
unset DISPLAY
trap wine_env_cleanup EXIT
wine_env_template "$template"
wine_env_prefix "$template"
wine_env_display 8

value() { sed -n "s/^$1 //p" <<<"$2" | tr -d '\r'; }
row() { printf '%-58s %s\n' "$1" "$2"; }

saver=$(wine_env_quiet "$WINE_ENV_WINE" "$bench" saver "$seconds")
saverRate=$(value ticks_per_second "$saver")
if [ -z "$soak" ]; then
  bare=$(wine_env_quiet "$WINE_ENV_WINE" "$bench" bare "$seconds")
  bareRate=$(value ticks_per_second "$bare")
  row "bare window, 1 ms timer (ticks per second)" "$bareRate"
  row "saver, full screen (ticks per second handled)" "$saverRate"
  row "ratio saver / bare" "$(awk "BEGIN { printf \"%.3f\", $saverRate / $bareRate }")"
else
  row "saver, full screen for ${seconds} s (ticks per second handled)" "$saverRate"
fi
row "saver CPU time per tick" "$(value cpu_us_per_tick "$saver") us"
row "process start to first segment" "$(value first_segment_ms "$saver") ms"
half=$((seconds / 2))
read -r wsStart wsHalf wsEnd <<<"$(value working_set_kib "$saver")"
read -r gdiStart gdiHalf gdiEnd <<<"$(value saver_gdi_objects "$saver")"
read -r userStart userHalf userEnd <<<"$(value user_objects_reported "$saver")"
row "working set: first tick, ${half} s, ${seconds} s" "$wsStart, $wsHalf, $wsEnd KiB"
row "saver's live GDI objects: first tick, ${half} s, ${seconds} s" "$gdiStart, $gdiHalf, $gdiEnd"
row "USER objects (GetGuiResources; Wine answers 0)" "$userStart, $userHalf, $userEnd"
