#!/usr/bin/env bash
# Runs the browser tests (node's test runner), or with "bench" the benchmark;
# installs the locked test packages first when they are missing or stale.
set -euo pipefail
cd "$(dirname "$0")"

if [ ! node_modules/.package-lock.json -nt package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
if [ "${1:-}" = bench ]; then
  exec node bench.mjs
fi
exec node --test
