#!/usr/bin/env bash
# The flow build beside the exact 64-bit one under Wine on a 1920 x 1080 truecolour
# screen, both watched from outside (scr_from_outside.py): start to first drawing, and
# CPU time a second over several starts, each with a seed of its own (the start's
# second). Then one longer run of the flow build for its working set at the first
# drawing, half way and at the end: TARVELIMUNDE_FLOW_BENCH_SECONDS (60 by default,
# 600 for ten minutes).
#
#   flow_bench.sh FLOW_SCR
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/wine/wine-env.sh

flow=$1
exact=build/win64/Tarvelimunde.scr
starts=5
seconds=6
soak=${TARVELIMUNDE_FLOW_BENCH_SECONDS:-60}
unset DISPLAY
trap wine_env_cleanup EXIT
wine_env_template "$PWD/build/win64/wine-template"
wine_env_prefix "$PWD/build/win64/wine-template"
wine_env_display 24 1920x1080
# Already running, so that no start counts the wineserver's own.
"$WINE_ENV_SERVER" -p

value() { sed -n "s/^$1 //p" <<<"$2"; }
row() { printf '%-62s %s\n' "$1" "$2"; }
outside() { wine_env_quiet /usr/bin/python3 tests/bench/scr_from_outside.py /usr/lib/wine/wine64 "$@"; }

for scr in "$exact" "$flow"; do
  figures=$(outside "$scr" "$seconds" "$starts" "$starts")
  read -r firstMedian firstMin firstMax <<<"$(value first_drawing_ms "$figures")"
  row "$(basename "$scr"): start command to first drawing" "$firstMedian ms ($firstMin-$firstMax, $starts starts)"
  row "  CPU a second over ${seconds} s, median (each; goal under 50 ms)" \
    "$(value cpu_ms_per_second "$figures") ms ($(value cpu_ms_per_second_each "$figures"))"
  row "  seeds (about)" "$(value seeds "$figures")"
done
half=$((soak / 2))
figures=$(outside "$flow" "$soak" 1 1)
read -r rssFirst rssHalf rssEnd <<<"$(value vmrss_kib "$figures")"
row "$(basename "$flow") working set: first drawing, ${half} s, ${soak} s" "$rssFirst, $rssHalf, $rssEnd KiB"
row "  CPU a second over ${soak} s" "$(value cpu_ms_per_second "$figures") ms"
