#!/usr/bin/env bash
# Installs what is missing, builds, and shows the saver's picture: rendered
# offscreen by the replay tool into an animated GIF and a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh

out=build/picture
mkdir -p "$out"
seed=$(date +%s)
build/native/tarvelimunde-replay --seed "$seed" --size 320x240 --ticks 2400 --every 6 --gif "$out/tarvelimunde.gif"
build/native/tarvelimunde-replay --seed "$seed" --size 640x480 --ticks 2400 --png "$out/tarvelimunde.png"
echo "The saver's picture (seed $seed):"
echo "  animated: $out/tarvelimunde.gif"
echo "  last frame: $out/tarvelimunde.png"
