#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. The trees'
# suites run side by side (each tree's preset says how many of its tests at
# once); each tree's output is shown when it is done, with its time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh

declare -A title=(
  [native]="Native tests"
  [sanitize]="Native tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers"
  [template]="The Wine template prefix that every Windows test copies"
  [win32]="32-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  [win64]="64-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  [web]="The web page in headless Chromium, against the replay tool"
)
mkdir -p build/logs
status=0

# Runs "NAME ctest-arguments..." for each argument side by side and shows each
# one's output, skip reasons and time as it ends.
side_by_side() {
  declare -A started
  local run
  for run in "$@"; do
    read -r -a words <<<"$run"
    local name=${words[0]}
    (start=$SECONDS; code=0
     ctest "${words[@]:1}" >"build/logs/test-$name.log" 2>&1 || code=$?
     # Why cases were skipped, from pytest's -rs lines in ctest's log.
     grep -h "^SKIPPED \[" "build/${words[2]}/Testing/Temporary/LastTest.log" >>"build/logs/test-$name.log" 2>/dev/null || true
     echo "($name: $((SECONDS - start)) s)" >>"build/logs/test-$name.log"
     exit $code) &
    started[$!]=$name
  done
  local done code
  while [ ${#started[@]} -gt 0 ]; do
    code=0
    wait -n -p done "${!started[@]}" || code=$?
    name=${started[$done]}
    unset "started[$done]"
    echo "== ${title[$name]}"
    cat "build/logs/test-$name.log"
    [ "$code" -eq 0 ] || status=1
  done
}

# The native trees' timed cases (the module's signals, the daemon) beside the
# Wine template alone; then both Windows trees and the browser, which copy it.
side_by_side "native --preset native" "sanitize --preset sanitize" "template --preset win64 -R ^wine_template$"
side_by_side "win64 --preset win64" "win32 --preset win32" "web --preset web"
echo "== all tests: $SECONDS s"
exit $status
