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
  [win32]="32-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  [win64]="64-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  [web]="The web page in headless Chromium, against the replay tool"
)
mkdir -p build/logs
declare -A started
for preset in win64 win32 web native sanitize; do
  (start=$SECONDS; code=0
   ctest --preset "$preset" >"build/logs/test-$preset.log" 2>&1 || code=$?
   # Why cases were skipped, from pytest's -rs lines in ctest's log.
   grep -h "^SKIPPED \[" "build/$preset/Testing/Temporary/LastTest.log" >>"build/logs/test-$preset.log" 2>/dev/null || true
   echo "($preset: $((SECONDS - start)) s)" >>"build/logs/test-$preset.log"
   exit $code) &
  started[$!]=$preset
done
status=0
while [ ${#started[@]} -gt 0 ]; do
  code=0
  wait -n -p done "${!started[@]}" || code=$?
  preset=${started[$done]}
  unset "started[$done]"
  echo "== ${title[$preset]}"
  cat "build/logs/test-$preset.log"
  [ "$code" -eq 0 ] || status=1
done
echo "== all tests: $SECONDS s"
exit $status
