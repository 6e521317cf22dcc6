#!/usr/bin/env bash
# Times a two-line caption on a 1920 × 1080 frame on one core: drawing it (the first draw loads the
# fonts) and blending it onto a frame (target: well under 0.5 ms a frame).
# Usage: bench/caption-blend.sh [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-caption-blend -j "$(nproc)" > /dev/null
exec taskset -c 0 "$BUILD_DIR/bench/bench-caption-blend" "${1:-2000}"
