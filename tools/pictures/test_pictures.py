"""Tests of the picture tools: python3 -m unittest discover tools/pictures"""

import struct
import unittest

import make_background
import make_bmps


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


if __name__ == "__main__":
    unittest.main()
