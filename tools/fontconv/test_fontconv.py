"""Tests of the font converter: python3 -m unittest discover tools/fontconv"""

import struct
import unittest

import kft
import make_fonts
import pcf


class GlyphIndexTest(unittest.TestCase):
    def test_double_byte_sets_count_from_their_base_code(self):
        self.assertEqual(kft.glyph_index(kft.CODE_SET_HANGUL, 0xB0A1), 0)
        self.assertEqual(kft.glyph_index(kft.CODE_SET_HANGUL, 0xB0FE), 93)
        self.assertEqual(kft.glyph_index(kft.CODE_SET_HANGUL, 0xB1A1), 94)
        self.assertEqual(kft.glyph_index(kft.CODE_SET_SYMBOLS, 0xA2C6), 94 + 0x25)
        self.assertEqual(kft.glyph_index(kft.CODE_SET_HANJA, 0xFDFE), 4887)

    def test_single_byte_index_is_the_byte(self):
        self.assertEqual(kft.glyph_index(kft.CODE_SET_SINGLE_BYTE, 0x41), 65)

    def test_font_sizes_follow_the_last_code(self):
        self.assertEqual(len(kft.RangeFont(12, 12, kft.CODE_SET_SYMBOLS, 0xA1A1, 0xACFE).glyphs), 1128)
        self.assertEqual(len(kft.RangeFont(8, 12, kft.CODE_SET_SINGLE_BYTE, 0x20, 0x7F).glyphs), 128)


class HoldsTest(unittest.TestCase):
    def test_double_byte_fonts_place_only_trails_a1_to_fe(self):
        hangul = kft.RangeFont(12, 12, kft.CODE_SET_HANGUL, 0xB0A1, 0xC8FE)
        self.assertTrue(hangul.holds(0xB0A1))
        self.assertTrue(hangul.holds(0xC8FE))
        self.assertFalse(hangul.holds(0xB141))  # a CP949 extension code inside the range
        self.assertFalse(hangul.holds(0xB0FF))
        self.assertFalse(hangul.holds(0x41))

    def test_single_byte_font_holds_its_whole_range(self):
        latin = kft.RangeFont(8, 12, kft.CODE_SET_SINGLE_BYTE, 0x00, 0x7F)
        self.assertTrue(latin.holds(0x41))
        self.assertFalse(latin.holds(0x80))


class EncodingTest(unittest.TestCase):
    def font_with_one_dot(self, width, code_set, first, last, code):
        font = kft.RangeFont(width, 12, code_set, first, last)
        rows = font.blank_glyph()
        rows[0][0] = 1
        font.set_glyph(code, rows)
        return font

    def test_header_is_big_endian_after_the_mark(self):
        data = kft.encode(kft.RangeFont(12, 12, kft.CODE_SET_HANGUL, 0xB0A1, 0xC8FE))
        self.assertEqual(data[:8], b"TLMOKFT1")
        self.assertEqual(struct.unpack_from(">7I", data, 8), (12, 12, 1, 0, 0xB0A1C8FE, 12, 36))
        self.assertEqual(len(data), 36 + 2350 * 18)

    def test_second_glyph_starts_unaligned_where_the_formula_says(self):
        narrow = kft.encode(self.font_with_one_dot(8, kft.CODE_SET_SINGLE_BYTE, 0, 0x7F, 1))
        self.assertEqual(narrow[36 + 12], 0x80)
        wide = kft.encode(self.font_with_one_dot(12, kft.CODE_SET_HANGUL, 0xB0A1, 0xB0FE, 0xB0A2))
        self.assertEqual(wide[36 + 18], 0x80)
        rows_of_twelve = kft.RangeFont(12, 12, kft.CODE_SET_HANGUL, 0xB0A1, 0xB0A1)
        rows_of_twelve.glyphs[0][1][0] = 1  # row 1 starts at bit 12: byte 1, bit number 3
        self.assertEqual(kft.encode(rows_of_twelve)[37], 0x08)

    def test_decode_gives_back_what_was_encoded(self):
        font = self.font_with_one_dot(12, kft.CODE_SET_HANJA, 0xCAA1, 0xCBFE, 0xCBA5)
        again = kft.decode(kft.encode(font))
        self.assertTrue(font.same_layout(again))
        self.assertEqual(again.glyphs, font.glyphs)

    def test_decode_refuses_damaged_files(self):
        data = kft.encode(kft.RangeFont(8, 12, kft.CODE_SET_SINGLE_BYTE, 0, 0x7F))
        for damaged in (data[:20], data[:-1], b"XXXXXXXX" + data[8:]):
            with self.assertRaises(kft.KftError):
                kft.decode(damaged)


class ConverterTest(unittest.TestCase):
    def test_glyph_lands_on_the_font_baseline(self):
        glyph = pcf.Glyph(left_bearing=1, ascent=2, rows=[[1], [1], [1]])
        cell = make_fonts.place_in_cell(glyph, font_ascent=10, width=12, height=12)
        self.assertEqual([row[1] for row in cell][8:11], [1, 1, 1])
        self.assertEqual(sum(map(sum, cell)), 3)

    def test_ink_outside_the_cell_is_cut(self):
        glyph = pcf.Glyph(left_bearing=-1, ascent=12, rows=[[1, 1]] * 16)  # two rows above, two below
        cell = make_fonts.place_in_cell(glyph, font_ascent=10, width=12, height=12)
        self.assertEqual(sum(map(sum, cell)), 12)  # column 0 of rows 0-11 only

    def test_missing_source_glyph_becomes_a_box(self):
        class EmptySource:
            ascent = 10

            def glyph(self, _code):
                return None
        plan = make_fonts.REGULAR_PLANS[1]
        font, boxed = make_fonts.build(plan, EmptySource())
        self.assertEqual(len(boxed), len(plan.characters()))
        self.assertTrue(any(map(any, font.glyph(0xA2C6))))

    def test_only_assigned_symbol_codes_are_characters(self):
        symbols = make_fonts.REGULAR_PLANS[1].characters()
        self.assertIn(0xA2C6, symbols)
        self.assertNotIn(0xA2FE, symbols)
        self.assertEqual(len(make_fonts.REGULAR_PLANS[0].characters()), 2350)
        self.assertEqual(len(make_fonts.REGULAR_PLANS[2].characters()), 4888)


class PcfTest(unittest.TestCase):
    def test_bit_order_is_normalised_to_leftmost_in_the_top_bit(self):
        lsb_bits_msb_bytes_unit_two = pcf.PCF_BYTE_MSB_FIRST | (1 << 4)
        self.assertEqual(pcf._normalise_bit_order(b"\x01\x80", lsb_bits_msb_bytes_unit_two), b"\x01\x80")
        msb_bits_lsb_bytes_unit_two = pcf.PCF_BIT_MSB_FIRST | (1 << 4)
        self.assertEqual(pcf._normalise_bit_order(b"\x01\x80", msb_bits_lsb_bytes_unit_two), b"\x80\x01")

    def test_other_files_are_refused(self):
        with self.assertRaises(pcf.PcfError):
            pcf.parse(b"STARTFONT 2.1\n")


if __name__ == "__main__":
    unittest.main()
