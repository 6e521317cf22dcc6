#!/usr/bin/python3
"""An exactly shifted vertical pan, as a floor for jitter.py on the same photo.

usage: exact_pan.py PHOTO OUT.mkv [WIDTH HEIGHT FRAMES AMOUNT]
The pan that kavrel-render makes of a photo of the frame's shape (zoomed in by AMOUNT, travelling
up across the rows the frame does not show), made without any resampling of our own: the photo
is scaled once with FFmpeg's Lanczos, and each frame is that picture shifted by its exact
sub-pixel offset in the Fourier domain. What jitter.py measures on it is the tracker's own error
on this photo's content.
"""
import subprocess, sys
import numpy as np

photo, out = sys.argv[1], sys.argv[2]
w, h, n, amount = (int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6])) \
    if len(sys.argv) > 6 else (1280, 720, 192, 0.15)
W, H = round(w * (1 + amount)), round(h * (1 + amount))
raw = subprocess.check_output(["ffmpeg", "-v", "error", "-i", photo, "-vf",
                               f"scale={W}:{H}:flags=lanczos", "-pix_fmt", "gray", "-f", "rawvideo", "-"])
left = (W - w) // 2
picture = np.frombuffer(raw, np.uint8).reshape(H, W).astype(np.float64)[:, left:left + w]
spectrum = np.fft.fft(picture, axis=0)
frequency = np.fft.fftfreq(H)[:, None]
encoder = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "gray",
                            "-s", f"{w}x{h}", "-r", "24000/1001", "-i", "-", "-c:v", "ffv1", out],
                           stdin=subprocess.PIPE)
for i in range(n):
    top = (H - h) * (1 - i / (n - 1))  # from the bottom rows up to the top ones
    shifted = np.real(np.fft.ifft(spectrum * np.exp(2j * np.pi * frequency * top), axis=0))
    encoder.stdin.write(np.clip(np.round(shifted[:h]), 0, 255).astype(np.uint8).tobytes())
encoder.stdin.close()
sys.exit(encoder.wait())
