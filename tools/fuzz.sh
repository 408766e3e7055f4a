#!/usr/bin/env bash
# Long fuzzing runs on demand (CI runs each fuzzer briefly through ctest).
#   bash tools/fuzz.sh [SECONDS]    default 300 seconds per fuzzer
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}

bash tools/install-deps.sh
bash tools/build.sh >/dev/null
for fuzzer in command_line replay_options x11_options; do
  work=build/sanitize/fuzz-work/$fuzzer
  mkdir -p "$work"
  echo "== $fuzzer ($seconds s)"
  build/sanitize/${fuzzer}_fuzz -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/sanitize/fuzz-work/ "$work" "tests/fuzz/corpus/$fuzzer" 2>&1 |
    grep -E '^#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY' || true
done
