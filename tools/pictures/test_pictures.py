"""Tests of the picture tools: python3 -m unittest discover tools/pictures"""

import struct
import unittest

import zlib

import make_background
import make_bmps
import make_icon


class StripTest(unittest.TestCase):
    def test_frames_are_laid_side_by_side(self):
        frames = make_bmps.parse_frames("#.\n..\n\n.#\n#.\n")
        self.assertEqual(make_bmps.strip_rows(frames, (2, 2, 2)), ["#..#", "..#."])

    def test_wrong_shapes_and_pixels_are_refused(self):
        for text, size in (("#.\n..\n", (2, 2, 2)), ("#.\n.\n", (2, 2, 1)), ("#x\n..\n", (2, 2, 1))):
            with self.assertRaises(make_bmps.PictureError):
                make_bmps.strip_rows(make_bmps.parse_frames(text), size)

    def test_every_source_matches_its_widget(self):
        for name, size in make_bmps.PICTURES.items():
            with open("%s/%s.txt" % (make_bmps.HERE, name), encoding="ascii") as stream:
                make_bmps.strip_rows(make_bmps.parse_frames(stream.read()), size)


class BmpTest(unittest.TestCase):
    def test_rows_are_bottom_up_bgr_and_padded(self):
        data = make_bmps.encode_bmp(["#.#", "..."])
        offset, = struct.unpack_from("<I", data, 10)
        width, height, _planes, bits = struct.unpack_from("<iiHH", data, 18)
        self.assertEqual((offset, width, height, bits), (54, 3, 2, 24))
        self.assertEqual(len(data), 54 + 2 * 12)
        self.assertEqual(data[54:66], b"\xff" * 9 + b"\0" * 3)  # bottom row first, all white
        self.assertEqual(data[66:75], b"\0\0\0" + b"\xff\xff\xff" + b"\0\0\0")
        self.assertEqual(struct.unpack_from("<I", data, 2)[0], len(data))


class BackgroundTest(unittest.TestCase):
    def test_picture_repeats_without_seams(self):
        size = make_background.SIZE
        for step in range(0, size, 7):
            self.assertEqual(make_background.pixel(step, 0), make_background.pixel(step, size))
            self.assertEqual(make_background.pixel(0, step), make_background.pixel(size, step))

    def test_colours_stay_pale_enough_for_black_text(self):
        darkest = min(sum(make_background.pixel(x, y)) / 3
                      for x in range(0, make_background.SIZE, 4) for y in range(0, make_background.SIZE, 2))
        self.assertGreater(darkest, 150)


class IconTest(unittest.TestCase):
    def test_png_holds_the_scaled_rgba_rows(self):
        data = make_icon.encode_png(["#.", "pw"], 2)
        self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
        length, kind = struct.unpack_from(">I4s", data, 8)
        width, height, depth, colour = struct.unpack_from(">IIBB", data, 16)
        self.assertEqual((length, kind, width, height, depth, colour), (13, b"IHDR", 4, 4, 8, 6))
        self.assertEqual(struct.unpack_from(">I", data, 29)[0], zlib.crc32(data[12:29]))
        idat_length, = struct.unpack_from(">I", data, 33)
        pixels = zlib.decompress(data[41:41 + idat_length])
        body, clear = bytes(make_icon.PIXELS["#"]), bytes(4)
        self.assertEqual(pixels[:17], b"\0" + body * 2 + clear * 2)
        self.assertEqual(pixels[17:34], pixels[:17])  # each row twice
        self.assertEqual(len(pixels), 4 * 17)

    def test_wrong_sizes_and_characters_are_refused(self):
        square = ["." * make_icon.SIZE] * make_icon.SIZE
        for rows in (square[1:], square[:-1] + ["x" * make_icon.SIZE], square[:-1] + ["."]):
            with self.assertRaises(make_icon.IconError):
                make_icon.parse_icon("\n".join(rows))

    def test_the_shipped_icon_is_the_drawing(self):
        with open(make_icon.SOURCE, encoding="ascii") as stream:
            rows = make_icon.parse_icon(stream.read())
        with open(make_icon.OUTPUT, "rb") as stream:
            self.assertEqual(stream.read(), make_icon.encode_png(rows, make_icon.SCALE))


if __name__ == "__main__":
    unittest.main()
