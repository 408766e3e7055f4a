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
for bits in 32 64; do
  echo "== ${bits}-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  ctest --test-dir "build/win$bits" --output-on-failure || status=1
done
echo "== The web page in headless Chromium, against the replay tool"
bash tests/web/run.sh || status=1
exit $status
