import os
import tempfile
import unittest

import check_layers


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        write(self.root, "base/CMakeLists.txt", "tolmeo_layer(base)\n")
        write(self.root, "isp/CMakeLists.txt", "tolmeo_layer(isp DEPENDS base PRIVATE m)\n")
        write(self.root, "widgets/CMakeLists.txt", "tolmeo_layer(widgets\n  DEPENDS isp)\n")
        write(self.root, "base/result.h", "#pragma once\n")

    def test_includes_downwards_and_through_layers_pass(self):
        write(self.root, "widgets/button.cpp", '#include "base/result.h"\n#include "isp/x.h"\n')
        self.assertEqual(check_layers.faults(self.root), [])

    def test_upward_include_is_found(self):
        write(self.root, "isp/line.cpp", '#include "widgets/button.h"\n')
        self.assertEqual(len(check_layers.faults(self.root)), 1)
        self.assertIn("isp/line.cpp includes widgets/", check_layers.faults(self.root)[0])

    def test_cycle_and_stray_folder_are_found(self):
        write(self.root, "base/CMakeLists.txt", "tolmeo_layer(base DEPENDS widgets)\n")
        write(self.root, "stray/a.cpp", "\n")
        found = check_layers.faults(self.root)
        self.assertTrue(any("depends on itself" in f for f in found))
        self.assertTrue(any("src/stray is not a layer" in f for f in found))


if __name__ == "__main__":
    unittest.main()
