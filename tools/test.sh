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
for bits in 32 64; do
  echo "== ${bits}-bit Windows build: static checks, the replay's traces, and the Win32 and end-to-end tests under Wine"
  ctest --preset "win$bits" || status=1
done
echo "== The web page in headless Chromium, against the replay tool"
bash tests/web/run.sh || status=1
exit $status
