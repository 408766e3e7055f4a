#!/usr/bin/env bash
# Configures and builds the trees of CMakePresets.json: build/native,
# build/win32, build/win64, build/sanitize (native, with clang, ASan, UBSan and
# the fuzzers), and build/web (WebAssembly, with the page
# build/web/tarvelimunde.html).
#
#   bash tools/build.sh                  every tree, everything, side by side
#   bash tools/build.sh PRESET [TARGET]  one tree, only the targets named
set -euo pipefail
cd "$(dirname "$0")/.."

build() {
  local preset=$1; shift
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" ${1:+--target "$@"}
}

if [ $# -gt 0 ]; then
  build "$@"
  exit 0
fi
# Side by side, since each tree has stretches (configuring, linking) that keep
# one core busy; each tree's output goes to build/logs/ and is shown if it fails.
mkdir -p build/logs
declare -A started
for preset in native win32 win64 sanitize web; do
  build "$preset" >"build/logs/build-$preset.log" 2>&1 &
  started[$!]=$preset
done
status=0
while [ ${#started[@]} -gt 0 ]; do
  code=0
  wait -n -p done "${!started[@]}" || code=$?
  preset=${started[$done]}
  unset "started[$done]"
  if [ "$code" -eq 0 ]; then
    echo "built $preset ($SECONDS s)"
  else
    echo "== building $preset failed:"
    tail -n 60 "build/logs/build-$preset.log"
    status=1
  fi
done
exit $status
