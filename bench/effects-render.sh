#!/usr/bin/env bash
# Times every transition effect on a 1280 × 720 4:2:0 frame on one core (target: < 2 ms a frame).
# Usage: bench/effects-render.sh [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-effects-render -j "$(nproc)" > /dev/null
exec taskset -c 0 "$BUILD_DIR/bench/bench-effects-render" "${1:-48}"
