#!/usr/bin/env bash
# Smoothness and quality of the pan and zoom, on a real 16:9 photo of the benchmark material.
#
# Smoothness: an 8 s zoom-in by 20 % and each pan (15 %) at 1280 x 720, written losslessly (FFV1
# in MKV) by kavrel-render, measured with jitter.py: the RMS of the frame-to-frame change of the
# velocity of four tracked patches (target: at most 0.04 px). FFmpeg's zoompan, whose crop window
# moves in whole pixels, makes the same zoom in the same run for comparison.
# Quality: the first frame of a zoom-in (the whole photo) and of a zoom-out by 25 % (the middle
# 80 % of the photo, a rectangle of whole pixels) against FFmpeg's Lanczos scaling of the same
# rectangle (target: PSNR at least 35 dB).
#
# Usage: bench/motion-smoothness.sh      (gathers the material on its first run: needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/motion}
JITTER=${JITTER:-../shared/bench/jitter.py}
PYTHON=${PYTHON:-/usr/bin/python3}  # jitter.py needs NumPy (Debian: python3-numpy)
[ -f "$JITTER" ] || JITTER=/work/shared/bench/jitter.py
mkdir -p "$WORK"
. bench/material.sh
gather_material
PHOTO=""
for f in "$MAT"/photos/*.jpg; do
    wh=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$f")
    w=${wh%,*}; h=${wh#*,}
    if [ $((w * 9)) -eq $((h * 16)) ] && [ $((w % 10)) -eq 0 ] && [ $((h % 10)) -eq 0 ] && [ "$w" -ge 1920 ]; then
        PHOTO=$f; break
    fi
done
if [ -z "$PHOTO" ]; then
    echo "No 16:9 photo of 1920 x 1080 or more among the benchmark material in $MAT/photos." >&2
    exit 2
fi
cmake --build "$BUILD_DIR" --target kavrel-render -j "$(nproc)" > /dev/null
echo "photo: $(basename "$PHOTO") (${w}x$h), 1280x720, 8 s"

render() {  # $1: name, then options
    local name=$1; shift
    "$BUILD_DIR/kavrel-render" --photo-duration 8 --transition-duration 0 --size 1280x720 --motion same \
        --video-compressor ffv1 "$@" -o "$WORK/$name.mkv" "$PHOTO" > /dev/null
}

printf "%-22s %12s %14s %7s\n" move "jitter px" "speed px/frame" frames
for move in zoom-in pan-left pan-right pan-up pan-down; do
    amount=15; [ $move = zoom-in ] && amount=20
    render "$move" --same-motion $move --motion-amount $amount
    printf "%-22s %12s %14s %7s\n" "kavrel $move $amount %" $("$PYTHON" "$JITTER" "$WORK/$move.mkv")
done
ffmpeg -nostdin -v error -y -i "$PHOTO" -vf \
    "zoompan=z='1+0.2*on/191':d=192:x='iw/2-(iw/zoom/2)':y='ih/2-(ih/zoom/2)':s=1280x720:fps=24000/1001" \
    -frames:v 192 -c:v ffv1 "$WORK/zoompan.mkv"
printf "%-22s %12s %14s %7s\n" "ffmpeg zoompan 20 %" $("$PYTHON" "$JITTER" "$WORK/zoompan.mkv")

psnr() {  # $1: our file, $2: crop filter of the same rectangle
    ffmpeg -nostdin -v error -y -i "$PHOTO" -vf "$2,scale=1280:720:flags=lanczos,format=yuv420p" -frames:v 1 \
        -c:v ffv1 "$WORK/reference.mkv"
    ffmpeg -nostdin -i "$1" -i "$WORK/reference.mkv" -frames:v 1 -lavfi "[0:v][1:v]psnr" -f null - 2>&1 |
        sed -nE 's/.*PSNR y:([0-9.inf]+).*average:([0-9.inf]+).*/\1 \2/p'
}
render quality-out --same-motion zoom-out --motion-amount 25
echo "quality, first frame against FFmpeg's Lanczos of the same rectangle (luma dB, all planes dB):"
echo "  zoom-in, whole photo:            $(psnr "$WORK/zoom-in.mkv" "crop=$w:$h:0:0")"
echo "  zoom-out 25 %, middle 80 %:      $(psnr "$WORK/quality-out.mkv" "crop=$((w * 8 / 10)):$((h * 8 / 10)):$((w / 10)):$((h / 10))")"
