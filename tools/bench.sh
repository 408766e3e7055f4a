#!/usr/bin/env bash
# Prints every figure of speed, size and endurance in one table: native tick
# costs, the saver's tick rate and start-up under Wine, the .scr sizes, the
# hour-long native soak, the web page's size and cost per frame, the flow build's CPU
# time and memory (TARVELIMUNDE_FLOW_BENCH_SECONDS), the XScreenSaver module's
# CPU time and memory over 10 minutes (TARVELIMUNDE_X11_BENCH_SECONDS), and the
# Wayland client's under headless sway (TARVELIMUNDE_WAYLAND_BENCH_SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh >/dev/null

row() { printf '%-58s %s\n' "$1" "$2"; }

echo "== Native (Google Benchmark)"
json=$(mktemp)
build/native/tick_benchmark --benchmark_min_time=0.5 --benchmark_format=json >"$json" 2>/dev/null
/usr/bin/python3 - "$json" <<'PY'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    label = {"TickLogic": "one tick, logic alone", "TickWithDrawing": "one tick with offscreen drawing",
             "Creation": "creation (WM_CREATE and WM_DESTROY)"}[b["name"]]
    print(f"{label:<58} {b['cpu_time']:.0f} ns")
PY
rm -f "$json"

echo "== Size"
for tree in win32 win64; do
  f=build/$tree/Tarvelimunde.scr
  if [ -f "$f" ]; then
    budget=$([ $tree = win32 ] && echo 16384 || echo 20480)
    size=$(stat -c %s "$f")
    row "$f" "$size bytes (budget $budget: $([ "$size" -le "$budget" ] && echo within || echo OVER))"
  fi
done

echo "== Native soak: 360000 ticks (an hour at 100 a second) on each of 8 client areas"
start=$(date +%s%N)
TARVELIMUNDE_SOAK_TICKS=360000 build/native/endurance_tests --gtest_brief=1 >/dev/null
row "every tick checked, nothing allocated, nothing leaked" "passed in $(( ($(date +%s%N) - start) / 1000000 )) ms"

echo "== The web page in headless Chromium (no GPU: WebGL on the software renderer)"
bash tests/web/run.sh bench

if [ -x tests/bench/wine_bench.sh ] && [ -f build/win64/Tarvelimunde.scr ]; then
  echo "== Under Wine (8-bit Xvfb display)"
  bash tests/bench/wine_bench.sh
fi

flow="build/win64/flow/Tarvelimunde Flow.scr"
if [ -f "$flow" ]; then
  echo "== The flow build beside the exact 64-bit one under Wine (1920 x 1080, 24-bit Xvfb display)"
  bash tests/bench/flow_bench.sh "$flow"
fi

if [ -x build/native/tarvelimunde ]; then
  seconds=${TARVELIMUNDE_X11_BENCH_SECONDS:-600}
  echo "== The XScreenSaver module on 1920 x 1080 Xvfb screens at 64 ticks a second, over $seconds s"
  /usr/bin/python3 tests/bench/x11_from_outside.py build/native/tarvelimunde "$seconds"
fi

if [ -x build/native/tarvelimunde-wayland ]; then
  seconds=${TARVELIMUNDE_WAYLAND_BENCH_SECONDS:-600}
  echo "== The Wayland client on 1920 x 1080 outputs of headless sway (pixman) at 64 ticks a second, over $seconds s"
  /usr/bin/python3 tests/bench/wayland_from_outside.py build/native/tarvelimunde-wayland "$seconds" 1 7 42 1234
fi
