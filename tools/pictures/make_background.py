#!/usr/bin/env python3
"""Draws the memory viewer's default background, data/image/대한민국.jpg.

    python3 tools/pictures/make_background.py

Two soft wave bands, red above and blue below in the spirit of the taeguk,
swing against each other over white.  Every shape repeats every 256 pixels
across and down, so the viewer can tile the picture without seams.  Colours
stay pale: black dump text must read over the picture even before the viewer
lightens it.  The pixels are computed here and written as a PPM; ImageMagick's
convert makes the JPEG (baseline, quality 85, no metadata), so a rerun with
the same tools gives the same file.
"""

import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(os.path.dirname(HERE))
TARGET = os.path.join(REPOSITORY, "data", "image", "대한민국.jpg")

SIZE = 256
QUALITY = 85
TAEGUK_RED = (205, 46, 58)
TAEGUK_BLUE = (0, 71, 160)
WHITE = (255, 255, 255)


class Band:
    """A wave band: centre line, swing and phase of its wave, width and strength."""

    def __init__(self, colour, centre, swing, phase, half_width, strength):
        self.colour = colour
        self.centre = centre
        self.swing = swing
        self.phase = phase
        self.half_width = half_width
        self.strength = strength

    def cover(self, x, y):
        """How much of the band's colour lies on pixel (x, y), 0 to strength."""
        turn = 2 * math.pi * x / SIZE + self.phase
        wave = self.centre + self.swing * math.sin(turn) + self.swing / 4 * math.sin(2 * turn)
        distance = _wrapped_distance(y + 0.5, wave)
        if distance >= self.half_width:
            return 0.0
        return self.strength * (0.5 + 0.5 * math.cos(math.pi * distance / self.half_width))


BANDS = [
    Band(TAEGUK_RED, centre=70, swing=18, phase=0.0, half_width=54, strength=0.36),
    Band(TAEGUK_BLUE, centre=186, swing=18, phase=math.pi, half_width=54, strength=0.36),
    Band(TAEGUK_RED, centre=70, swing=18, phase=0.0, half_width=8, strength=0.10),
    Band(TAEGUK_BLUE, centre=186, swing=18, phase=math.pi, half_width=8, strength=0.10),
]


def _wrapped_distance(a, b):
    """Vertical distance on a picture that repeats every SIZE rows."""
    difference = (a - b) % SIZE
    return min(difference, SIZE - difference)


def pixel(x, y):
    colour = WHITE
    for band in BANDS:
        amount = band.cover(x, y)
        colour = tuple(c + (t - c) * amount for c, t in zip(colour, band.colour))
    return bytes(round(channel) for channel in colour)


def ppm():
    rows = (b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))
    return b"P6\n%d %d\n255\n" % (SIZE, SIZE) + b"".join(rows)


def main():
    os.makedirs(os.path.dirname(TARGET), exist_ok=True)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(TARGET)) as work:
        source = os.path.join(work, "background.ppm")
        with open(source, "wb") as stream:
            stream.write(ppm())
        picture = os.path.join(work, "background.jpg")
        result = subprocess.run(["convert", source, "-strip", "-interlace", "none", "-type", "TrueColor",
                                 "-sampling-factor", "2x2", "-quality", str(QUALITY), picture])
        if result.returncode != 0:
            print("convert failed; is ImageMagick installed?", file=sys.stderr)
            return 1
        os.chmod(picture, 0o644)
        os.replace(picture, TARGET)
    size = os.path.getsize(TARGET)
    print("%s  %d x %d, %d bytes" % (os.path.relpath(TARGET, REPOSITORY), SIZE, SIZE, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
