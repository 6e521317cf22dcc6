#!/usr/bin/env bash
# Smoothness and quality of the pan and zoom, on the 16:9 photos of the benchmark material.
#
# Smoothness: an 8 s zoom-in by 20 % and each pan (15 %) at 1280 x 720, written losslessly (FFV1
# in MKV) by kavrel-render, measured with jitter.py: the RMS of the frame-to-frame change of the
# velocity of four tracked patches (target: at most 0.04 px). In the same run, for each photo:
# the upward pan made exactly (exact_pan.py: no resampling, a Fourier shift) and the zoom placed
# exactly (exact_zoom.py: bilinear in floating point from 1.25 times the frame), whose figures are
# the tracker's own error on that photo, and FFmpeg's zoompan of the zoom, whose crop window moves
# in whole pixels.
# Quality: the first frame of a zoom-in (the whole photo) and of a zoom-out by 25 % (the middle
# 80 % of the photo, a rectangle of whole pixels) against FFmpeg's Lanczos scaling of the same
# rectangle (target: PSNR at least 35 dB).
#
# With --faces, on the 16:9 photos with faces of bench/material.sh (face_photos): jitter only, of
# the moves aimed at the faces and, on the row before, of the same moves not aimed (--faces off),
# as the quality's rectangles are those of moves about the middle.
#
# Usage: bench/motion-smoothness.sh [--faces]   (gathers the material on its first run: needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/motion}
JITTER=${JITTER:-../shared/bench/jitter.py}
PYTHON=${PYTHON:-/usr/bin/python3}  # with NumPy (python3-numpy, installed here), which jitter.py needs
[ -f "$JITTER" ] || JITTER=/work/shared/bench/jitter.py
mkdir -p "$WORK"
. bench/material.sh
gather_material
install_packages python3-numpy
# Every 16:9 photo of 1920 x 1080 or more: jitter.py's figure depends on the photo (its phase
# correlation is least sure of itself on smooth, flat areas), so each is shown with the floor
# that an exactly shifted pan and an exactly placed zoom of the same photo measure.
PHOTOS=()
SOURCE=("$MAT"/photos/*.jpg)
if [ "${1:-}" = --faces ]; then
    face_photos "$WORK/faces"
    SOURCE=("$WORK"/faces/*.jpg)
fi
for f in "${SOURCE[@]}"; do
    wh=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$f")
    w=${wh%,*}; h=${wh#*,}
    if [ $((w * 9)) -eq $((h * 16)) ] && [ "$w" -ge 1920 ]; then PHOTOS+=("$f"); fi
done
if [ ${#PHOTOS[@]} -eq 0 ]; then
    echo "No 16:9 photo of 1920 x 1080 or more among: ${SOURCE[*]}" >&2
    exit 2
fi
cmake --build "$BUILD_DIR" --target kavrel-render -j "$(nproc)" > /dev/null
jitter() { "$PYTHON" "$JITTER" "$1" | cut -d' ' -f1; }

render() {  # $1: photo, $2: name, then options
    local photo=$1 name=$2; shift 2
    "$BUILD_DIR/kavrel-render" --photo-duration 8 --transition-duration 0 --size 1280x720 --motion same \
        --video-compressor ffv1 "$@" -o "$WORK/$name.mkv" "$photo" > /dev/null
}

echo "jitter px (target: at most 0.04), 1280x720, 8 s; zoom-in by 20 %, pans by 15 %"
printf "%-26s %8s %9s %9s %8s %9s %11s %11s %8s\n" photo zoom-in pan-left pan-right pan-up pan-down \
    "exact-up" "exact-zoom" zoompan
moves() {  # the five moves' jitter into row; $@: more options
    row=()
    for move in zoom-in pan-left pan-right pan-up pan-down; do
        amount=15; [ $move = zoom-in ] && amount=20
        render "$PHOTO" "$move" --same-motion $move --motion-amount $amount "$@"
        row+=("$(jitter "$WORK/$move.mkv")")
    done
}
for PHOTO in "${PHOTOS[@]}"; do
    if [ "${1:-}" = --faces ]; then  # the same moves not aimed, beside the aimed ones
        moves --faces off
        printf "%-26s %8s %9s %9s %8s %9s\n" "$(basename "$PHOTO" .jpg | cut -c1-19), plain" "${row[@]}"
    fi
    moves
    "$PYTHON" bench/exact_pan.py "$PHOTO" "$WORK/exact-up.mkv"
    row+=("$(jitter "$WORK/exact-up.mkv")")
    "$PYTHON" bench/exact_zoom.py "$PHOTO" "$WORK/exact-zoom.mkv"
    row+=("$(jitter "$WORK/exact-zoom.mkv")")
    ffmpeg -nostdin -v error -y -i "$PHOTO" -vf \
        "zoompan=z='1+0.2*on/191':d=192:x='iw/2-(iw/zoom/2)':y='ih/2-(ih/zoom/2)':s=1280x720:fps=24000/1001" \
        -frames:v 192 -c:v ffv1 "$WORK/zoompan.mkv"
    row+=("$(jitter "$WORK/zoompan.mkv")")
    printf "%-26s %8s %9s %9s %8s %9s %11s %11s %8s\n" "$(basename "$PHOTO" .jpg | cut -c1-26)" "${row[@]}"
done

[ "${1:-}" = --faces ] && exit 0
# Quality on the first photo whose middle 80 % is a rectangle of whole pixels.
for PHOTO in "${PHOTOS[@]}"; do
    wh=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$PHOTO")
    w=${wh%,*}; h=${wh#*,}
    [ $((w % 10)) -eq 0 ] && [ $((h % 10)) -eq 0 ] && break
done
psnr() {  # $1: our file, $2: crop filter of the same rectangle
    # Scaled in RGB, then in the colours of a 720-line frame (BT.709, studio range), as ours are.
    ffmpeg -nostdin -v error -y -i "$PHOTO" \
        -vf "$2,scale=1280:720:flags=lanczos,format=gbrp,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p" \
        -frames:v 1 -c:v ffv1 "$WORK/reference.mkv"
    ffmpeg -nostdin -i "$1" -i "$WORK/reference.mkv" -frames:v 1 -lavfi "[0:v][1:v]psnr" -f null - 2>&1 |
        sed -nE 's/.*PSNR y:([0-9.inf]+).*average:([0-9.inf]+).*/\1 \2/p'
}
render "$PHOTO" quality-in --same-motion zoom-in --motion-amount 20 --faces off
render "$PHOTO" quality-out --same-motion zoom-out --motion-amount 25 --faces off
echo "quality on $(basename "$PHOTO"), first frame against FFmpeg's Lanczos of the same rectangle (luma dB, all planes dB):"
echo "  zoom-in, whole photo:            $(psnr "$WORK/quality-in.mkv" "crop=$w:$h:0:0")"
echo "  zoom-out 25 %, middle 80 %:      $(psnr "$WORK/quality-out.mkv" "crop=$((w * 8 / 10)):$((h * 8 / 10)):$((w / 10)):$((h / 10))")"
