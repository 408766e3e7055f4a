#!/usr/bin/env bash
# The saver under Wine on an 8-bit display. The shipped Tarvelimunde.scr files
# (32 and 64-bit) are watched from outside: start to first drawing, CPU time
# and working set from /proc. A rebuild with counters linked in
# (saver_bench.exe) gives only what cannot be seen from outside: the ticks it
# handles against a bare 1 ms timer, and its live GDI objects. With --soak
# SECONDS, one long run of each: the 64-bit .scr's memory and the rebuild's
# object counts at the start, half way and the end.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/wine/wine-env.sh

seconds=10
soak=
if [ "${1:-}" = "--soak" ]; then
  seconds=${2:-600}
  soak=1
fi
bench=build/win64/tests/bench/saver_bench.exe
template=$PWD/build/win64/wine-template
unset DISPLAY
trap wine_env_cleanup EXIT
wine_env_template "$template"
wine_env_prefix "$template"
wine_env_display 8
# Already running, so that no start counts the wineserver's own.
"$WINE_ENV_SERVER" -p

value() { sed -n "s/^$1 //p" <<<"$2" | tr -d '\r'; }
row() { printf '%-62s %s\n' "$1" "$2"; }
half=$((seconds / 2))

echo "-- the rebuild with counters (build/win64/tests/bench/saver_bench.exe)"
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
read -r gdiStart gdiHalf gdiEnd <<<"$(value saver_gdi_objects "$saver")"
read -r userStart userHalf userEnd <<<"$(value user_objects_reported "$saver")"
row "saver's live GDI objects: first tick, ${half} s, ${seconds} s" "$gdiStart, $gdiHalf, $gdiEnd"
row "USER objects (GetGuiResources; Wine answers 0)" "$userStart, $userHalf, $userEnd"

trees="win32 win64"
starts=3
if [ -n "$soak" ]; then
  trees=win64
  starts=1
fi
echo "-- the shipped files from outside (start to first drawing: median of $starts, min-max)"
for tree in $trees; do
  scr=build/$tree/Tarvelimunde.scr
  [ -f "$scr" ] || continue
  launcher=$([ $tree = win32 ] && echo /usr/lib/wine/wine || echo /usr/lib/wine/wine64)
  outside=$(wine_env_quiet /usr/bin/python3 tests/bench/scr_from_outside.py "$launcher" "$scr" "$seconds" $starts)
  read -r firstMedian firstMin firstMax <<<"$(value first_drawing_ms "$outside")"
  cpu=$(value cpu_ms_per_second "$outside")
  read -r rssFirst rssHalf rssEnd <<<"$(value vmrss_kib "$outside")"
  row "$scr: start command to first drawing" "$firstMedian ms ($firstMin-$firstMax)"
  row "  CPU per second running; per tick at the rebuild's rate" \
    "$cpu ms; $(awk "BEGIN { printf \"%.2f\", $cpu / $saverRate }") ms"
  row "  working set (VmRSS): first drawing, ${half} s, ${seconds} s" "$rssFirst, $rssHalf, $rssEnd KiB"
done
