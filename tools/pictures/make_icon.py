#!/usr/bin/env python3
"""Turns Tolmeo's ASCII-art icon into the PNG of the desktop's menu: packaging/tolmeo.png.

    python3 tools/pictures/make_icon.py

icon/tolmeo.txt is a chip with an arrow going in: '#' is the body in Tolmeo's shipped
overall colour, 'p' a silver pin, 'w' white, '.' transparent.  Each character becomes a
SCALE x SCALE block, so the 24 x 24 drawing gives the 48 x 48 icon of the hicolor theme.
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "common"))
from atomic_write import write_whole  # noqa: E402  (found through the line above)

REPOSITORY = os.path.dirname(os.path.dirname(HERE))
SOURCE = os.path.join(HERE, "icon", "tolmeo.txt")
OUTPUT = os.path.join(REPOSITORY, "packaging", "tolmeo.png")

SIZE = 24
SCALE = 2
# RGBA. The body is data/opt/opt.opt's <전체색> 0x8b3d48 (0x00BBGGRR): red 0x48, blue 0x8b.
PIXELS = {
    "#": (0x48, 0x3D, 0x8B, 0xFF),
    "p": (0xC8, 0xC8, 0xD0, 0xFF),
    "w": (0xFF, 0xFF, 0xFF, 0xFF),
    ".": (0, 0, 0, 0),
}


class IconError(ValueError):
    """An icon source that is not a SIZE x SIZE drawing in the known characters."""


def parse_icon(text):
    """The rows of the drawing, checked."""
    rows = [line.strip() for line in text.splitlines() if line.strip()]
    if len(rows) != SIZE or any(len(row) != SIZE for row in rows):
        raise IconError("the icon is not %d x %d" % (SIZE, SIZE))
    unknown = set("".join(rows)) - set(PIXELS)
    if unknown:
        raise IconError("the icon uses %s; only %s are pixels" % ("".join(sorted(unknown)), "".join(PIXELS)))
    return rows


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode_png(rows, scale):
    """An 8-bit RGBA PNG of the rows, each character a scale x scale block."""
    width, height = len(rows[0]) * scale, len(rows) * scale
    lines = []
    for row in rows:
        line = b"\0" + b"".join(bytes(PIXELS[character]) * scale for character in row)  # filter: none
        lines.extend([line] * scale)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(lines), 9)) + chunk(b"IEND", b""))


def main():
    with open(SOURCE, encoding="ascii") as stream:
        try:
            rows = parse_icon(stream.read())
        except IconError as error:
            print("%s: %s" % (os.path.relpath(SOURCE, REPOSITORY), error), file=sys.stderr)
            return 1
    write_whole(OUTPUT, encode_png(rows, SCALE))
    print("%-30s %d x %d" % (os.path.relpath(OUTPUT, REPOSITORY), SIZE * SCALE, SIZE * SCALE))
    return 0


if __name__ == "__main__":
    sys.exit(main())
