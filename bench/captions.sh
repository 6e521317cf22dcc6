#!/usr/bin/env bash
# What captions cost a whole show: the benchmark show at 1080p in H.264 (N photos of 3 s with a
# 1 s Fade, music under it), rendered without captions and with a caption on every photo (its file
# name, in the picture and as a subtitle track), alternately, in the same run. Prints the CPU time
# (user + system) of each and the ratio (target: at most 1.03).
#
# Usage: [RUNS=3] bench/captions.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-20}
RUNS=${RUNS:-3}
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/captions}
mkdir -p "$WORK"
. bench/material.sh
gather_material
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target kavrel-render -j "$(nproc)" > /dev/null
mapfile -t all < <(ls "$MAT"/photos/*.jpg)
photos=()
for ((i = 0; i < N; i++)); do photos+=("${all[$((i % ${#all[@]}))]}"); done
show=(--photo-duration 3 --transition-duration 1 --policy same --same 1 --size 1080p
      --video-compressor libx264 --audio-compressor aac --music "$MUSIC")

cpu_seconds() {  # $1: output, the rest: extra options
    local out=$1; shift
    /usr/bin/time -f "%U %S" -o "$WORK/time" "$BUILD_DIR/kavrel-render" "${show[@]}" "$@" -o "$out" \
        "${photos[@]}" > /dev/null 2>&1
    awk '{ printf "%.2f\n", $1 + $2 }' "$WORK/time"
}

plain=() captioned=()
for ((r = 0; r < RUNS; r++)); do
    plain+=("$(cpu_seconds "$WORK/plain.mp4")")
    captioned+=("$(cpu_seconds "$WORK/captioned.mp4" --caption-from name)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
p=$(median "${plain[@]}")
c=$(median "${captioned[@]}")
echo "photos: $N at 1920x1080, H.264; runs: $RUNS; cores: $(nproc)"
echo "CPU without captions: ${p} s   (${plain[*]})"
echo "CPU with captions:    ${c} s   (${captioned[*]})"
awk -v p="$p" -v c="$c" 'BEGIN { printf "ratio: %.3f (target at most 1.03)\n", c / p }'
