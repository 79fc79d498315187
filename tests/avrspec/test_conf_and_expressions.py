"""Reading avrdude's part data and the integer expressions of both sources."""

import unittest

import avrdude_parts
from avrspec_fixtures import ATTEST8_CONF
from c_expression import evaluate


class ExpressionTest(unittest.TestCase):
    def test_header_and_conf_forms(self):
        self.assertEqual(evaluate("0x8000"), 32768)
        self.assertEqual(evaluate("8 * 1024"), 8192)
        self.assertEqual(evaluate("(0xFFU)"), 255)
        masked = "((unsigned char)~(1 << (0)) & (unsigned char)~(1 << (2)))"
        self.assertEqual(evaluate(masked) & 0xFF, 0xFA)

    def test_anything_but_integer_arithmetic_is_refused(self):
        for text in ("__import__('os')", "FUSE_SPIEN", "1.5", "", "(1", "len([])", "2 ** 8"):
            with self.subTest(text=text), self.assertRaises(ValueError):
                evaluate(text)


class PartsTest(unittest.TestCase):
    def setUp(self):
        self.parts = avrdude_parts.parse_parts(ATTEST8_CONF)

    def test_only_parts_are_kept(self):
        self.assertEqual(list(self.parts), ["t8", "t8b"])

    def test_settings_and_numbers(self):
        part = self.parts["t8"]
        self.assertEqual(part.desc, "ATtest8")
        self.assertEqual(part.signature(), (0x1E, 0x93, 0x07))
        self.assertIn("PM_ISP", part.prog_modes())
        self.assertEqual(part.memory("flash").number("size"), 8192)
        self.assertTrue(part.memory("flash").flag("paged"))
        self.assertFalse(part.memory("eeprom").flag("paged"))
        self.assertEqual(part.memory("eeprom").number("min_write_delay"), 4000)
        self.assertEqual(part.memory("lfuse").number("max_write_delay"), 0)

    def test_child_inherits_overrides_extends_and_removes(self):
        child, parent = self.parts["t8b"], self.parts["t8"]
        self.assertEqual(child.signature(), (0x1E, 0x93, 0x08))
        self.assertEqual(child.memory("eeprom").number("size"), 1024)
        self.assertEqual(child.memory("eeprom").settings["write"],
                         parent.memory("eeprom").settings["write"])
        self.assertIsNone(child.memory("hfuse"))
        self.assertEqual(child.memory("efuse").settings["alias"], "hfuse")
        # The parent is untouched by its child's changes.
        self.assertEqual(parent.memory("eeprom").number("size"), 512)
        self.assertIsNotNone(parent.memory("hfuse"))

    def test_broken_files_raise_conf_error(self):
        broken = {
            "unknown parent": 'part parent "nothere"\n id = "x";\n;',
            "cut short": 'part\n id = "x";\n memory "flash"\n size = 1;\n',
            "missing equals": 'part\n id "x";\n;',
        }
        for what, text in broken.items():
            with self.subTest(what), self.assertRaises(avrdude_parts.ConfError):
                avrdude_parts.parse_parts(text)


if __name__ == "__main__":
    unittest.main()
