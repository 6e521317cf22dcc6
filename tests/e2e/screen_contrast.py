"""How readable a caption on the screen is: the WCAG contrast ratio between the colour most of its
rectangle shows (its background) and the colour farthest from that in luminance (its text)."""

import subprocess
import tempfile
from collections import Counter


class WindowShot:
    """The pixels `window` shows at one moment, reached by screen coordinates. (The screen's own dump
    leaves some dialogs black.)"""

    def __init__(self, desktop, window):
        self.left, self.top, self.width, self.height = desktop.geometry(window)
        with tempfile.NamedTemporaryFile(suffix=".xwd") as dump:  # ffmpeg reads no dump from a pipe
            dump.write(desktop.run_bytes("xwd", "-id", str(window), "-silent"))
            dump.flush()
            self.rgb = subprocess.run(["ffmpeg", "-v", "error", "-i", dump.name, "-f", "rawvideo", "-pix_fmt", "rgb24",
                                       "-"], capture_output=True, check=True).stdout

    def pixels(self, rect):
        x, y, width, height = rect[0] - self.left, rect[1] - self.top, rect[2], rect[3]
        for row in range(max(y, 0), min(y + height, self.height)):
            start = (row * self.width + max(x, 0)) * 3
            end = (row * self.width + min(x + width, self.width)) * 3
            line = self.rgb[start:end]
            yield from (tuple(line[i:i + 3]) for i in range(0, len(line), 3))

    def background(self, rect):
        """The colour most of `rect` shows."""
        return Counter(self.pixels(rect)).most_common(1)[0][0]


def luminance(rgb):
    def linear(channel):
        c = channel / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def caption_contrast(shot, rect):
    """The contrast of the text in `rect` on its background, (ratio, background, text); None where
    `rect` shows one colour only (a picture box with no picture)."""
    colours = set(shot.pixels(rect))
    background = shot.background(rect)
    if colours == {background}:
        return None
    text = max(colours, key=lambda p: abs(luminance(p) - luminance(background)))
    return contrast(background, text), background, text
