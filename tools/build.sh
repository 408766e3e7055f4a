#!/usr/bin/env bash
# Configures and builds the trees: build/native, build/win32, build/win64,
# build/sanitize (native, with clang, ASan, UBSan and the fuzzers), and build/web
# (WebAssembly, with the page build/web/tarvelimunde.html).
set -euo pipefail
cd "$(dirname "$0")/.."

configure() {
  local tree=$1; shift
  [ -f "build/$tree/build.ninja" ] || cmake -S . -B "build/$tree" -G Ninja "$@" >/dev/null
}

configure native
configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake
configure win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake
CC=clang CXX=clang++ configure sanitize -DTARVELIMUNDE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure web -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-wasm32.cmake
for tree in native win32 win64 sanitize web; do
  cmake --build "build/$tree"
done
