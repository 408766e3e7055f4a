#!/usr/bin/env bash
# Runs the browser tests (node's test runner); "bench" runs the benchmark,
# "capture FILE.gif" makes the README's capture and "install" only installs.
# Installs the locked test packages first when they are missing or stale.
set -euo pipefail
cd "$(dirname "$0")"

if [ ! node_modules/.package-lock.json -nt package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
case "${1:-}" in
  install) ;;
  bench) exec node bench.mjs ;;
  capture) exec node capture.mjs "$(realpath -m "$OLDPWD/$2")" ;;
  *) exec node --test ;;
esac
