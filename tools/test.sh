#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh

status=0
echo "== Native tests"
ctest --test-dir build/native --output-on-failure -j2 || status=1
echo "== Native tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers"
ctest --test-dir build/sanitize --output-on-failure -j2 || status=1
if [ -f build/win64/CTestTestfile.cmake ] && grep -q add_test -r build/win64 --include=CTestTestfile.cmake; then
  echo "== Windows tests under Wine"
  ctest --test-dir build/win64 --output-on-failure || status=1
fi
exit $status
