"""The .avrspec layout: what the generator writes and what the check accepts."""

import unittest

import description as desc
from avrspec_fixtures import attest8_description


def text_of(description):
    return desc.render(description).decode(desc.ENCODING)


def replaced(description, old, new):
    return text_of(description).replace(old, new, 1).encode(desc.ENCODING)


class LayoutTest(unittest.TestCase):
    def test_fixed_width_decimals_and_signature(self):
        description = attest8_description()
        description.page_size, description.flash_size, description.flash_delay = 64, 16384, 5
        description.signature = (0x1E, 0x94, 0x03)
        lines = text_of(description).split("\r\n")
        self.assertEqual(lines[0:8], ["<Flash페이지크기>", "0064", "<Flash크기>", "00016384",
                                      "<EEprom크기>", "00000512", "<고유번호>", "1e 94 03"])
        self.assertEqual(lines[-6:], ["<Flash기록시간>", "05", "<EEprom기록시간>", "09", "<끝>", ""])

    def test_bit_lines_run_from_7_to_0_with_the_writer_marks(self):
        lines = text_of(attest8_description()).split("\r\n")
        high = lines[lines.index("<상위설정>") + 1:lines.index("<하위설정>")]
        self.assertEqual(high, ["7 RSTDISBL - 고정", "6 WDTON - ", "5 SPIEN * 고정", "4 CKOPT - ",
                                "3 EESAVE - ", "2 BOOTSZ1 * ", "1 BOOTSZ0 * ", "0 BOOTRST - "])
        extended = lines[lines.index("<확장설정>") + 1:lines.index("<상위설정>")]
        self.assertEqual(extended, [f"{number} - - 고정" for number in range(7, -1, -1)])

    def test_text_is_cp949_with_crlf_only(self):
        data = desc.render(attest8_description())
        self.assertIn("<끝>".encode("cp949"), data)
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"))
        self.assertEqual(data.count(b"\r"), data.count(b"\r\n"))
        self.assertTrue(data.endswith(b"\r\n"))

    def test_values_that_overflow_their_fields_are_refused(self):
        for field, value in (("page_size", 10000), ("flash_size", 100_000_000),
                             ("flash_delay", 100), ("eeprom_delay", -1)):
            description = attest8_description()
            setattr(description, field, value)
            with self.subTest(field=field), self.assertRaises(ValueError):
                desc.render(description)

    def test_bit_names_with_blanks_are_refused(self):
        description = attest8_description()
        description.sections["low"][0] = desc.Bit("CK SEL0", 0, False)
        with self.assertRaises(ValueError):
            desc.render(description)


class StrictReaderTest(unittest.TestCase):
    def test_round_trip(self):
        original = attest8_description()
        parsed = desc.parse(desc.render(original))
        self.assertEqual(parsed.signature, original.signature)
        self.assertEqual(parsed.sections, original.sections)
        self.assertEqual((parsed.page_size, parsed.flash_size, parsed.eeprom_size,
                          parsed.flash_delay, parsed.eeprom_delay), (64, 8192, 512, 5, 9))

    def test_files_off_the_exact_layout_are_refused(self):
        description = attest8_description()
        text = text_of(description)
        cases = {
            "LF line ends": text.replace("\r\n", "\n").encode("cp949"),
            "lone CR": replaced(description, "0064\r\n", "0064\r"),
            "missing end tag": text[:-len("<끝>\r\n")].encode("cp949"),
            "text after the end": (text + "more\r\n").encode("cp949"),
            "bits out of order": replaced(description, "7 RSTDISBL - 고정\r\n6 WDTON - ",
                                          "6 WDTON - \r\n7 RSTDISBL - 고정"),
            "two blanks": replaced(description, "6 WDTON - ", "6  WDTON - "),
            "changeable line without its blank": replaced(description, "6 WDTON - \r\n",
                                                          "6 WDTON -\r\n"),
            "short decimal": replaced(description, "0064", "64"),
            "upper-case signature": replaced(description, "1e 93 07", "1E 93 07"),
            "unknown state mark": replaced(description, "6 WDTON - ", "6 WDTON + "),
            "bit number 8": replaced(description, "7 RSTDISBL", "8 RSTDISBL"),
            "empty file": b"",
            "not CP949": desc.render(description) + b"\xff\xff\r\n",
        }
        for what, data in cases.items():
            with self.subTest(what), self.assertRaises(desc.LayoutError):
                desc.parse(data)


if __name__ == "__main__":
    unittest.main()
