#!/usr/bin/env bash
# Times the timeline build of the largest accepted show (1000 photos, 100 music files; target:
# under 20 ms), then shows over a 0.201 s beep, placed every millisecond:
#   - 60 photos x 8 s (about 480,000 placements): build and dump (target: under 1 s together);
#   - 1000 photos x 65535 s (about 6.6e10 placements): build, then with real files the first
#     picture of Preview and the first progress of Convert (target: within 5 s each), and how long
#     Stop (Ctrl-C for kavrel-render) takes.
# Usage: bench/timeline-build.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/beep}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-timeline-build bench-preview-play kavrel-render -j "$(nproc)" > /dev/null
"$BUILD_DIR/bench/bench-timeline-build" "${1:-21}"

mkdir -p "$WORK"
ffmpeg -v error -y -f lavfi -i "sine=frequency=880:duration=0.201" "$WORK/beep.wav"
ffmpeg -v error -y -f lavfi -i "testsrc=size=640x480" -frames:v 1 "$WORK/photo.jpg"
: > "$WORK/photos.txt"
for _ in $(seq 1000); do echo "$WORK/photo.jpg" >> "$WORK/photos.txt"; done
mapfile -t photos < "$WORK/photos.txt"

echo "== Preview: 1000 photos x 65535 s over the beep, 640x480"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD_DIR/bench/bench-preview-play" 640 480 65535 1 \
    --startup-only --music "$WORK/beep.wav" "${photos[@]}" 2>/dev/null

echo "== Convert: the same show with kavrel-render to MP4"
out="$WORK/out/long.mp4"
rm -rf "$WORK/out" && mkdir -p "$WORK/out"
now_ms() { date +%s%3N; }
start=$(now_ms)
"$BUILD_DIR/kavrel-render" --photo-duration 65535 --music "$WORK/beep.wav" --size 640x480 \
    -o "$out" "@$WORK/photos.txt" > "$WORK/render.log" 2>&1 &
pid=$!
# First progress: the file being written holds its first encoded pictures and sound.
until [ "$(find "$WORK/out" -type f -size +64k | wc -l)" -gt 0 ]; do
    kill -0 "$pid" 2> /dev/null || { echo "kavrel-render ended early:"; cat "$WORK/render.log"; exit 1; }
    sleep 0.02
done
echo "first progress $(( $(now_ms) - start )) ms after the start"
stop=$(now_ms)
kill -INT "$pid"
wait "$pid" || true
echo "stopped $(( $(now_ms) - stop )) ms after Ctrl-C"
