#!/usr/bin/env bash
# Seeks in the preview of bench/preview-play.sh's show (15 photos of 12 megapixels, 4 s each,
# entering with a 1 s Fade, at 1280 x 720), headless: 5 s forward and back, the start and far
# jumps, playing and held. Reports, for each seek, the time from the request to the first picture
# at the new place, then the median and the worst. Target: within 150 ms.
#
# Usage: bench/preview-seek.sh          (the photos of bench/preview-play.sh, made here if missing;
#                                       gathered on the first run, which needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/preview}
mkdir -p "$WORK/big"
. bench/material.sh
gather_material
camera_photos "$WORK/big"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-preview-seek -j "$(nproc)" > /dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "== 15 photos, 12 MP, transition every 4 s, 1280x720: seeks"
"$BUILD_DIR/bench/bench-preview-seek" 1280 720 4 1 "$WORK"/big/*.jpg 2>/dev/null
