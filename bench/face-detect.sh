#!/usr/bin/env bash
# Searches real photos for faces with dlib's HOG frontal face detector (the program's) and with
# OpenCV's frontal face cascades (Haar default and alt2, LBP improved), on the same grey picture
# reduced to the program's search size, and prints per photo and in all what each found against
# the faces known to be there and the CPU milliseconds of one core each search took, decoding not
# counted (target: at most 150 ms a photo).
#
# The photos: dlib's example photos (PASCAL VOC pictures whose faces dlib's examples list, a
# portrait, a group, and pictures of dogs and of cars on roads, without a human face), and
# matplotlib's portrait of Grace Hopper, each made 4000 pixels long as a camera takes them.
#
# Usage: bench/face-detect.sh     (the photos are made once into $WORK and reused)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/material.sh
install_packages libdlib-dev libopencv-objdetect-dev opencv-data python-matplotlib-data ffmpeg
BUILD_DIR=${KAVREL_BUILD_DIR:-build}
WORK=${WORK:-/tmp/kavrel-bench/faces}
EXAMPLES=/usr/share/doc/libdlib19.1/examples
HOPPER=/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg
mkdir -p "$WORK"

# The faces dlib's examples list, in fractions of each photo; the photos known to have none.
python3 - "$EXAMPLES/faces/training.xml" "$EXAMPLES/faces/testing.xml" > "$WORK/truth.txt" <<'PY'
import sys, xml.etree.ElementTree as ET
for listing in sys.argv[1:]:
    for image in ET.parse(listing).iter('image'):
        w, h = float(image.get('width')), float(image.get('height'))
        for box in image.iter('box'):
            print(image.get('file'), int(box.get('left')) / w, int(box.get('top')) / h,
                  int(box.get('width')) / w, int(box.get('height')) / h)
for name in ('dogs.jpg', 'mmod_cars_test_image.jpg', 'mmod_cars_test_image2.jpg'):
    print(name, 'none')
PY

photos=()
for f in "$EXAMPLES"/faces/*.jpg "$EXAMPLES"/mmod_cars_test_image*.jpg "$HOPPER"; do
    out="$WORK/$(basename "$f")"
    [ -s "$out" ] || ffmpeg -v error -y -i "$f" -q:v 2 \
        -vf "scale='if(gte(iw,ih),4000,-2)':'if(gte(iw,ih),-2,4000)':flags=lanczos" "$out"
    photos+=("$out")
done

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" --target bench-face-detect -j "$(nproc)" > /dev/null
CASCADES=/usr/share/opencv4
"$BUILD_DIR/bench/bench-face-detect" --truth "$WORK/truth.txt" \
    --cascade "$CASCADES/haarcascades/haarcascade_frontalface_default.xml" \
    --cascade "$CASCADES/haarcascades/haarcascade_frontalface_alt2.xml" \
    --cascade "$CASCADES/lbpcascades/lbpcascade_frontalface_improved.xml" \
    "${photos[@]}"
