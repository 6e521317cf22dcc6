#!/usr/bin/env bash
# Times decoding a 12-megapixel HEIC (4032 x 3024, as phones take them) into a 1080p frame and, in
# the same run, libheif's decoding alone (the limit) and heif-convert writing the picture out (a
# peer); the same picture as a JPEG goes through the JPEG path for comparison.
# Usage: [RUNS=5] bench/heic-decode.sh [WIDTHxHEIGHT]
set -euo pipefail
cd "$(dirname "$0")/.."
SIZE=${1:-1920x1080}
RUNS=${RUNS:-5}
MAT=${MAT:-/tmp/kavrel-bench/heic}
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
mkdir -p "$MAT"

# A picture with a photo's detail: gradients, edges and grain, written as 4:2:0 Y4M for heif-enc.
make_material() {
    [ -s "$MAT/photo-12mp.heic" ] && return 0
    python3 - "$MAT/photo-12mp.y4m" <<'PY'
import math, random, sys
w, h = 4032, 3024
random.seed(7)
grain = bytes(random.randrange(0, 24) for _ in range(w + 997))
with open(sys.argv[1], "wb") as out:
    out.write(b"YUV4MPEG2 W%d H%d F30:1 Ip A1:1 C420jpeg\nFRAME\n" % (w, h))
    for y in range(h):
        base = [int(60 + 80 * math.sin(x / 310.0 + y / 190.0) + 40 * ((x // 96 + y // 96) % 2)) for x in range(0, w, 8)]
        row = bytes(max(0, min(255, base[x >> 3] + grain[(x * 7 + y * 13) % (w + 997)])) for x in range(w))
        out.write(row)
    for plane in (0, 1):
        for y in range(h // 2):
            out.write(bytes(int(128 + 50 * math.sin((x + plane * 400) / 220.0 + y / 150.0)) for x in range(w // 2)))
PY
    heif-enc -o "$MAT/photo-12mp.heic" "$MAT/photo-12mp.y4m" > /dev/null
    heif-convert -q 92 "$MAT/photo-12mp.heic" "$MAT/photo-12mp.jpg" > /dev/null
    rm -f "$MAT/photo-12mp.y4m"
}

make_material
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-heic-decode -j "$(nproc)" > /dev/null
"$BUILD_DIR/bench/bench-heic-decode" "${SIZE%x*}" "${SIZE#*x}" "$RUNS" "$MAT/photo-12mp.heic" "$MAT/photo-12mp.jpg"

peer=()
for _ in $(seq "$RUNS"); do
    start=$(date +%s%N)
    heif-convert "$MAT/photo-12mp.heic" "$MAT/peer.y4m" > /dev/null
    peer+=($(( ($(date +%s%N) - start) / 1000000 )))
done
rm -f "$MAT/peer.y4m"
sorted=($(printf '%s\n' "${peer[@]}" | sort -n))
echo "heif-convert to Y4M (peer): median ${sorted[$(( ${#sorted[@]} / 2 ))]} ms   fastest ${sorted[0]} ms"
