#!/usr/bin/env bash
# Fails when a source file crosses the layers: FFmpeg (or libheif, libtiff, libwebp, libexif, Pango,
# Cairo, fontconfig, libebur128, aubio, dlib, OpenCV) above platform/, or a program header inside platform/.
set -u
root=${1:-.}
cd "$root" || exit 2
status=0
above=$(grep -rnE '#include *[<"](libav|libsw|libheif|libexif|webp/|tiff|pango|cairo|fontconfig/|ebur128|aubio/|dlib/|opencv2/)' app engine settings lang player controls tools 2>/dev/null)
if [ -n "$above" ]; then
    echo "FFmpeg, Pango, Cairo, libebur128, aubio, dlib or OpenCV included above platform/:"; echo "$above"; status=1
fi
inside=$(grep -rnE '#include *"(app|engine|settings|lang|player|controls|tools)/' platform 2>/dev/null)
if [ -n "$inside" ]; then
    echo "program header included in platform/:"; echo "$inside"; status=1
fi
[ $status -eq 0 ] && echo "layers are kept"
exit $status
