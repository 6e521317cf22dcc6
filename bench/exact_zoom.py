#!/usr/bin/python3
"""An exactly placed zoom-in, as a floor for jitter.py on the same photo.

usage: exact_zoom.py PHOTO OUT.mkv [WIDTH HEIGHT FRAMES AMOUNT]
The photo scaled once with FFmpeg's Lanczos to 1.25 times the frame, then each frame sampled
bilinearly from it along the zoom's exact path (the shown width shrinking by AMOUNT, centred),
in floating point. What jitter.py measures on it is what a zoom with no error of placement
measures on this photo's content.
"""
import subprocess, sys
import numpy as np

photo, out = sys.argv[1], sys.argv[2]
w, h, n, amount = (int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6])) \
    if len(sys.argv) > 6 else (1280, 720, 192, 0.20)
W, H = round(w * 1.25), round(h * 1.25)
raw = subprocess.check_output(["ffmpeg", "-v", "error", "-i", photo, "-vf",
                               f"scale={W}:{H}:flags=lanczos", "-pix_fmt", "gray", "-f", "rawvideo", "-"])
source = np.frombuffer(raw, np.uint8).reshape(H, W).astype(np.float32)
encoder = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "gray",
                            "-s", f"{w}x{h}", "-r", "24000/1001", "-i", "-", "-c:v", "ffv1", out],
                           stdin=subprocess.PIPE)


def taps(centre, shown, count, size):
    """Source indices and weights of `count` output pixels covering `shown` source pixels."""
    at = centre + (np.arange(count) + 0.5 - count / 2) * (shown / count) - 0.5
    first = np.clip(np.floor(at).astype(int), 0, size - 2)
    return first, np.clip(at - first, 0, 1).astype(np.float32)


for i in range(n):
    zoom = 1 + amount * i / (n - 1)
    x0, fx = taps(W / 2, W / zoom, w, W)
    y0, fy = taps(H / 2, H / zoom, h, H)
    rows = source[y0] * (1 - fy[:, None]) + source[y0 + 1] * fy[:, None]
    frame = rows[:, x0] * (1 - fx) + rows[:, x0 + 1] * fx
    encoder.stdin.write(np.clip(np.round(frame), 0, 255).astype(np.uint8).tobytes())
encoder.stdin.close()
sys.exit(encoder.wait())
