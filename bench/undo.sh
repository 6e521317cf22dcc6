#!/usr/bin/env bash
# Undo and Redo in the main window on a 1000-photo show, headless: the time of each for "Remove
# 1000 photos", the list rebuilt and drawn included (target: each under 100 ms), and the heap the
# history keeps after 100 steps of adding, removing or moving up to 10 photos (target: at most
# 5 MB above the show alone).
#
# Usage: bench/undo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=$(mktemp -d /tmp/kavrel-bench-undo.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-undo-history -j "$(nproc)" > /dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$BUILD_DIR/bench/bench-undo-history" "$WORK/settings.ini"
