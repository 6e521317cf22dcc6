#!/usr/bin/env bash
# How often every face is whole in the frame: for each photo with faces (bench/material.sh
# face_photos: real photos from Debian packages, and photos composed from them with a face at the
# very edge, in a corner, and two faces across a panorama), each zoom and pan under Fit and Fill,
# six random moves, and a still photo under Fill, over 8 s at 23.976 frames a second in 1920 × 1080:
# the share of frames in which every face found is whole, today's moves beside the moves aimed at
# the faces (target: 100 % wherever all faces fit in the frame; moves where they cannot are left
# out of both figures and counted as left out). The faces are those the program finds.
#
# Usage: bench/face-framing.sh     (needs root or sudo on its first run, to gather the photos)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/material.sh
gather_material
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/face-photos}
face_photos "$WORK"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-face-framing -j "$(nproc)" > /dev/null
"$BUILD_DIR/bench/bench-face-framing" "$WORK"/*.jpg
