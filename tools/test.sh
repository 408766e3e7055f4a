#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh

status=0
echo "== Native tests"
ctest --preset native || status=1
echo "== Native tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers"
ctest --preset sanitize || status=1
echo "== 32-bit Windows build: static checks"
ctest --preset win32 || status=1
echo "== 64-bit Windows build: static checks, and the Win32 and end-to-end tests under Wine"
ctest --preset win64 || status=1
exit $status
