#!/usr/bin/env bash
# Repeats the Windows trees' and the browser's suites as tools/test.sh runs them,
# side by side with each preset's own parallel jobs, under three conditions: an
# idle machine, both cores busy (stress-ng --cpu 2) and pinned to one core
# (taskset -c 0). Prints a table of suites x conditions x failures. The trees
# must be built. Logs of failed runs stay in build/flake-hunt/.
#
#   bash tools/flake-hunt.sh [-n IDLE,BUSY,PINNED] [-R REGEX] [PRESET...]
#
#   -n  repetitions of each condition (default 5,3,3; 0 leaves one out)
#   -R  the suites, a ctest regex (default all of them)
#   PRESET  the trees (default win32 win64 web, the second round of tools/test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

counts=5,3,3
regex=.
while getopts "n:R:" option; do
  case $option in
    n) counts=$OPTARG ;;
    R) regex=$OPTARG ;;
    *) sed -n '2,12p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64 web)
IFS=, read -r idle busy pinned <<<"$counts"
logs=build/flake-hunt
mkdir -p "$logs"
# Every Windows test copies the template prefix, which the first round makes.
ctest --preset win64 -R '^wine_template$' >"$logs/template.log" 2>&1

load_pid=
stop_load() {
  if [ -n "$load_pid" ]; then
    kill "$load_pid" 2>/dev/null || true
    wait "$load_pid" 2>/dev/null || true
    load_pid=
  fi
}
trap stop_load EXIT

# suite -> "condition failures runs" lines, collected in one file.
results=$logs/results
: >"$results"

run_condition() {
  local condition=$1 repetitions=$2 preset rep log name
  [ "$repetitions" -gt 0 ] || return 0
  local prefix=()
  case $condition in
    busy) stress-ng --cpu 2 --quiet & load_pid=$! ;;
    pinned) prefix=(taskset -c 0) ;;
  esac
  for rep in $(seq "$repetitions"); do
    echo "flake-hunt: $condition, run $rep of $repetitions: ${presets[*]} side by side" >&2
    local runs=()
    for preset in "${presets[@]}"; do
      "${prefix[@]}" nice ctest --preset "$preset" -R "$regex" >"$logs/$condition-$preset-$rep.log" 2>&1 &
      runs+=($!)
    done
    wait "${runs[@]}" || true
    for preset in "${presets[@]}"; do
      log=$logs/$condition-$preset-$rep.log
      # A suite passed when ctest's line for it says so; anything else (failed, timed out, not run) counts.
      while read -r name; do
        if grep -Eq "Test +#[0-9]+: $name \.+ +Passed" "$log"; then
          echo "$preset/$name $condition 0" >>"$results"
        else
          echo "$preset/$name $condition 1" >>"$results"
        fi
      done < <(ctest --preset "$preset" -N -R "$regex" | sed -n 's/^ *Test *#[0-9]*: //p')
      grep -q "100% tests passed" "$log" && rm -f "$log"
    done
  done
  stop_load
}

run_condition idle "$idle"
run_condition busy "$busy"
run_condition pinned "$pinned"

# failures/runs for each suite and condition.
awk '
  { key = $1 SUBSEP $2; runs[key]++; failed[key] += $3; suites[$1] = 1; seen[$2] = 1 }
  END {
    n = split("idle busy pinned", order, " ")
    printf "%-50s", "suite"
    for (i = 1; i <= n; i++) if (order[i] in seen) printf " %8s", order[i]
    printf "\n"
    count = 0
    for (s in suites) names[++count] = s
    for (i = 1; i <= count; i++) for (j = i + 1; j <= count; j++) if (names[j] < names[i]) { t = names[i]; names[i] = names[j]; names[j] = t }
    for (i = 1; i <= count; i++) {
      printf "%-50s", names[i]
      for (c = 1; c <= n; c++) if (order[c] in seen) printf " %8s", failed[names[i], order[c]] "/" runs[names[i], order[c]]
      printf "\n"
    }
  }' "$results"
