#!/usr/bin/env bash
# Runs the test command as a newcomer does, from a fresh clone of HEAD each
# time, under three conditions: an idle machine, both cores busy beside it
# (stress-ng --cpu 2) and the whole command pinned to one core (taskset -c 0).
# Prints a table of the runs: condition, time, and the suites that failed. Each
# run's output stays in build/flake-hunt/; a clone that failed stays beside it.
#
#   bash tools/flake-hunt.sh [-n IDLE,BUSY,PINNED]
#
#   -n  runs of each condition (default 2,2,1; 0 leaves one out)
set -euo pipefail
cd "$(dirname "$0")/.."

case "$#:${1:-}" in
  0:) counts=2,2,1 ;;
  2:-n) counts=$2 ;;
  *) sed -n '2,10p' "$0" >&2; exit 2 ;;
esac
IFS=, read -r -a runs <<<"$counts"
logs=$PWD/build/flake-hunt
mkdir -p "$logs"
results=$logs/results
: >"$results"
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT

conditions=(idle busy pinned)
for index in 0 1 2; do
  condition=${conditions[$index]}
  prefix=()
  [ "$condition" = pinned ] && prefix=(taskset -c 0)
  for ((rep = 1; rep <= ${runs[$index]:-0}; rep++)); do
    clone=$logs/$condition-$rep
    rm -rf "$clone"
    git clone -q . "$clone"
    [ "$condition" = busy ] && { stress-ng --cpu 2 --quiet & }
    echo "flake-hunt: $condition, run $rep of ${runs[$index]}" >&2
    start=$SECONDS
    code=0
    (cd "$clone" && "${prefix[@]}" bash tools/test.sh) >"$clone.log" 2>&1 || code=$?
    [ "$condition" = busy ] && { kill %% && wait %% || true; } 2>/dev/null
    failed=$(sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \((Failed|Timeout|Not Run|.*Exception.*)\)$/\1/p' "$clone.log" | sort -u | tr '\n' ' ')
    [ "$code" -eq 0 ] && rm -rf "$clone"
    printf '%-8s %3d %6d s  %s\n' "$condition" "$rep" $((SECONDS - start)) \
      "$([ "$code" -eq 0 ] && echo passed || echo "FAILED (exit $code): ${failed:-see $clone.log}")" >>"$results"
  done
done
printf '%-8s %3s %8s  %s\n' condition run time result
cat "$results"
! grep -q FAILED "$results"
