#!/usr/bin/env bash
# Configures and builds the three trees: build/native, build/win32, build/win64.
set -euo pipefail
cd "$(dirname "$0")/.."

configure() {
  local tree=$1; shift
  [ -f "build/$tree/build.ninja" ] || cmake -S . -B "build/$tree" -G Ninja "$@" >/dev/null
}

configure native
configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake
configure win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake
for tree in native win32 win64; do
  cmake --build "build/$tree"
done
