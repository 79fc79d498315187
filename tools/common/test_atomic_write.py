"""Tests of the shared whole-file writer: python3 -m unittest discover tools/common"""

import os
import stat
import tempfile
import unittest

from atomic_write import write_whole


class WriteWholeTest(unittest.TestCase):
    def test_replaces_the_file_and_leaves_nothing_beside_it(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "a.kft")
            write_whole(path, b"old")
            write_whole(path, b"new")
            self.assertEqual(os.listdir(folder), ["a.kft"])
            with open(path, "rb") as stream:
                self.assertEqual(stream.read(), b"new")
            self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o644)

    def test_a_failed_write_keeps_the_old_file(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "a.bmp")
            write_whole(path, b"old")
            with self.assertRaises(TypeError):
                write_whole(path, "not bytes")
            self.assertEqual(os.listdir(folder), ["a.bmp"])
            with open(path, "rb") as stream:
                self.assertEqual(stream.read(), b"old")


if __name__ == "__main__":
    unittest.main()
