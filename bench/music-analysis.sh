#!/usr/bin/env bash
# Analyses a 3-minute MP3 of 44.1 kHz (the asc-music track, cut or looped to 3:00) with an empty
# music cache, then again in the same run (from memory) and in a second run (from the cache
# folder). Reports the CPU seconds of each call (target: 1.5 s of one core for the first, decoding
# included), the loudness, true peak and tempo found, and the peak memory.
#
# Usage: bench/music-analysis.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/material.sh
gather_music
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
SONG=$MAT/music-3min.mp3
[ -s "$SONG" ] || ffmpeg -v error -y -stream_loop -1 -i "$MUSIC" -t 180 -map 0:a -ar 44100 -c:a libmp3lame -b:a 192k "$SONG"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-music-analysis -j "$(nproc)" > /dev/null
CACHE=$(mktemp -d)
trap 'rm -rf "$CACHE"' EXIT
export XDG_CACHE_HOME=$CACHE
echo "song: $(basename "$MUSIC"), 3:00 as $SONG"
echo "run 1, empty cache:"
"$BUILD_DIR/bench/bench-music-analysis" "$SONG"
echo "run 2, the cache run 1 filled:"
"$BUILD_DIR/bench/bench-music-analysis" "$SONG"
