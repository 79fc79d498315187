#!/usr/bin/env python3
"""Turns Tolmeo's ASCII-art pictures into the 24-bit BMP files of data/sysbmp/.

    python3 tools/pictures/make_bmps.py

Each picture is a text file beside this script: '#' is a black pixel, '.' a white
one.  A file may hold several frames separated by blank lines; they are laid
side by side, left to right, into one strip.  The widgets draw black in the
overall colour and leave white as it is, so pictures use only these two colours.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "common"))
from atomic_write import write_whole  # noqa: E402  (found through the line above)

REPOSITORY = os.path.dirname(os.path.dirname(HERE))
OUTPUT = os.path.join(REPOSITORY, "data", "sysbmp")

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
PIXELS = {"#": BLACK, ".": WHITE}

# Picture -> (frame width, frame height, frame count) the widgets expect.
PICTURES = {
    "control/close": (12, 12, 1),
    "control/max": (12, 12, 1),
    "control/min": (12, 12, 1),
    "control/check_btn_all": (12, 12, 2),  # unchecked, checked
    "msgbox/msgbox": (38, 36, 4),  # information, warning, question, failure
}


class PictureError(ValueError):
    """A picture source that does not draw what its name promises."""


def parse_frames(text):
    """The frames of a picture source, each a list of equal-length rows."""
    frames, current = [], []
    for line in text.splitlines():
        if line.strip():
            current.append(line.strip())
        elif current:
            frames.append(current)
            current = []
    if current:
        frames.append(current)
    return frames


def strip_rows(frames, size):
    """Checks the frames against (width, height, count) and joins them side by side."""
    width, height, count = size
    if len(frames) != count:
        raise PictureError("%d frames, expected %d" % (len(frames), count))
    for number, frame in enumerate(frames):
        if len(frame) != height or any(len(row) != width for row in frame):
            raise PictureError("frame %d is not %d x %d" % (number, width, height))
        for row in frame:
            unknown = set(row) - set(PIXELS)
            if unknown:
                raise PictureError("frame %d uses %s; only '#' and '.' are pixels"
                                   % (number, "".join(sorted(unknown))))
    return ["".join(frame[row] for frame in frames) for row in range(height)]


def encode_bmp(rows):
    """A 24-bit bottom-up BMP of the rows, each row padded to four bytes."""
    width, height = len(rows[0]), len(rows)
    padding = b"\0" * (-3 * width % 4)
    pixel_data = b"".join(
        b"".join(bytes(reversed(PIXELS[character])) for character in row) + padding
        for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixel_data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixel_data), 0, 0, 14 + len(info))
    return header + info + pixel_data


def make(name, size):
    with open(os.path.join(HERE, name + ".txt"), encoding="ascii") as stream:
        frames = parse_frames(stream.read())
    try:
        rows = strip_rows(frames, size)
    except PictureError as error:
        raise PictureError("%s.txt: %s" % (name, error)) from None
    target = os.path.join(OUTPUT, name + ".bmp")
    os.makedirs(os.path.dirname(target), exist_ok=True)
    write_whole(target, encode_bmp(rows))
    print("%-30s %d x %d" % (os.path.relpath(target, REPOSITORY), len(rows[0]), len(rows)))


def main():
    try:
        for name, size in PICTURES.items():
            make(name, size)
    except PictureError as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
