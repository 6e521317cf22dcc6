#!/usr/bin/env bash
# Times the timeline build of the largest accepted show (1000 photos, 100 music files).
# Usage: bench/timeline-build.sh [RUNS]   (target: under 20 ms)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-timeline-build -j "$(nproc)" > /dev/null
"$BUILD_DIR/bench/bench-timeline-build" "${1:-21}"
