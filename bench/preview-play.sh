#!/usr/bin/env bash
# Plays a 60 s show of 12-megapixel JPEGs (15 photos of 4 s, each entering with a 1 s Fade: a
# transition every 4 s) at 1280 x 720 in the preview player, headless, and reports frames shown,
# frames dropped and the worst lateness; then how soon the first picture of a 1000-photo show
# appears after the player opens; then the 60 s show again with every photo moving (a random pan
# or zoom, seed 1), and a show of photos with faces whose moves are aimed at them. Targets: nothing
# dropped, first picture within 300 ms.
#
# Usage: bench/preview-play.sh          (photos from the benchmark material, scaled to 4000 x 3000;
#                                       gathered on the first run, which needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/preview}
mkdir -p "$WORK/big" "$WORK/many"
. bench/material.sh
gather_material
camera_photos "$WORK/big"
# 1000 distinct names for the same 15 photos.
for n in $(seq 0 999); do
    link=$(printf '%s/many/%04d.jpg' "$WORK" "$n")
    [ -e "$link" ] || ln -s "$(printf '%s/big/%02d.jpg' "$WORK" $((n % 15)))" "$link"
done
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-preview-play -j "$(nproc)" > /dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "== 15 photos, 12 MP, transition every 4 s, 1280x720"
"$BUILD_DIR/bench/bench-preview-play" 1280 720 4 1 "$WORK"/big/*.jpg 2>/dev/null
echo "== 1000 photos: start-up"
"$BUILD_DIR/bench/bench-preview-play" 1280 720 4 1 --startup-only "$WORK"/many/*.jpg 2>/dev/null
echo "== 15 photos, 12 MP, each with a random pan or zoom, transition every 4 s, 1280x720"
"$BUILD_DIR/bench/bench-preview-play" 1280 720 4 1 --motion "$WORK"/big/*.jpg 2>/dev/null
echo "== 13 photos with faces (bench/material.sh), each with a random pan or zoom aimed at its faces"
face_photos "$WORK/faces"
"$BUILD_DIR/bench/bench-preview-play" 1280 720 4 1 --motion "$WORK"/faces/*.jpg 2>/dev/null
