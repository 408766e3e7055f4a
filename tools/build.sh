#!/usr/bin/env bash
# Configures and builds the trees of CMakePresets.json: build/native,
# build/win32, build/win64, build/sanitize (native, with clang, ASan, UBSan and
# the fuzzers), and build/web (WebAssembly, with the page
# build/web/tarvelimunde.html).
#
#   bash tools/build.sh                  every tree, everything
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
for preset in native win32 win64 sanitize web; do
  build "$preset"
done
