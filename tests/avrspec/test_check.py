"""The check mode over a folder, and the committed descriptions of well-known chips."""

import contextlib
import io
import os
import shutil
import tempfile
import unittest

import avr_libc_chip
import avrdude_parts
import check
import description as desc
import generate
from avrspec_fixtures import ATTEST8_CONF, attest8_description

COMMITTED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "AvrSpec")


def quietly(function, *arguments):
    output = io.StringIO()
    with contextlib.redirect_stdout(output), contextlib.redirect_stderr(io.StringIO()):
        result = function(*arguments)
    return result, output.getvalue()


class CheckModeTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.parts = avrdude_parts.parse_parts(ATTEST8_CONF)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def write(self, name, data):
        with open(os.path.join(self.folder, name + desc.EXTENSION), "wb") as file:
            file.write(data)

    def test_sound_file_passes(self):
        self.write("ATtest8", desc.render(attest8_description()))
        self.assertEqual(quietly(check.run, self.parts, self.folder), (0, "1 passed, 0 failed\n"))

    def test_each_bad_file_fails_and_is_named(self):
        self.write("ATtest8", desc.render(attest8_description()))
        self.write("ATtest9", desc.render(attest8_description()))
        self.write("ATtest8B", desc.render(attest8_description()))
        status, output = quietly(check.run, self.parts, self.folder)
        self.assertEqual(status, 1)
        self.assertIn("FAIL ATtest9: avrdude has no part of this name", output)
        self.assertIn("FAIL ATtest8B: signature", output)
        self.assertIn("1 passed, 2 failed", output)

    def test_unreadable_layout_fails(self):
        self.write("ATtest8", desc.render(attest8_description()).replace(b"\r\n", b"\n"))
        status, output = quietly(check.run, self.parts, self.folder)
        self.assertEqual(status, 1)
        self.assertIn("layout", output)

    def test_avrdude_data_that_is_not_a_number_fails_the_file(self):
        self.write("ATtest8", desc.render(attest8_description()))
        self.parts["t8"].memory("flash").settings["size"] = "lots"
        status, output = quietly(check.run, self.parts, self.folder)
        self.assertEqual(status, 1)
        self.assertIn("FAIL ATtest8: avrdude data", output)

    def test_an_empty_folder_fails(self):
        self.assertEqual(quietly(check.run, self.parts, self.folder)[0], 1)
        self.assertEqual(quietly(check.run, self.parts, os.path.join(self.folder, "none"))[0], 1)


class GeneratorGuardTest(unittest.TestCase):
    def test_a_run_that_writes_nothing_leaves_the_folder_alone(self):
        folder = tempfile.mkdtemp()
        try:
            kept = os.path.join(folder, "ATmega8" + desc.EXTENSION)
            with open(kept, "wb") as file:
                file.write(b"kept")
            parts = avrdude_parts.parse_parts(ATTEST8_CONF)  # chips no compiler knows
            parts["t8b"].memory("flash").settings["size"] = "lots"
            written, skipped = generate.generate(parts, folder)
            self.assertEqual(written, [])
            self.assertIn("avrdude data", dict(skipped)["ATtest8B"])
            self.assertTrue(os.path.exists(kept))
        finally:
            shutil.rmtree(folder)

    def test_an_unreadable_conf_is_reported(self):
        status, _ = quietly(generate.main, ["--check", "--conf", "/nonexistent/avrdude.conf"])
        self.assertEqual(status, 2)


class CommittedDescriptionsTest(unittest.TestCase):
    """Values checked by hand against the data sheets."""

    def load(self, name):
        with open(os.path.join(COMMITTED, name + desc.EXTENSION), "rb") as file:
            return desc.parse(file.read())

    def test_atmega328p(self):
        chip = self.load("ATmega328P")
        self.assertEqual(chip.signature, (0x1E, 0x95, 0x0F))
        self.assertEqual((chip.page_size, chip.flash_size, chip.eeprom_size), (128, 32768, 1024))
        self.assertEqual([chip.byte_value(key) for key in ("lock", "extended", "high", "low")],
                         [0xFF, 0xFF, 0xD9, 0x62])
        self.assertEqual(chip.sections["high"][5], desc.Bit("SPIEN", 0, True))
        self.assertEqual(chip.sections["high"][6], desc.Bit("DWEN", 1, True))

    def test_attiny13a_has_no_extended_fuse(self):
        chip = self.load("ATtiny13A")
        self.assertEqual(chip.signature, (0x1E, 0x90, 0x07))
        self.assertEqual((chip.page_size, chip.flash_size, chip.eeprom_size), (32, 1024, 64))
        self.assertEqual([chip.byte_value(key) for key in ("extended", "high", "low")],
                         [0xFF, 0xFF, 0x6A])
        self.assertTrue(all(bit == desc.absent_bit() for bit in chip.sections["extended"]))

    def test_atmega8_and_atmega128(self):
        mega8, mega128 = self.load("ATmega8"), self.load("ATmega128")
        self.assertEqual((mega8.byte_value("high"), mega8.byte_value("low")), (0xD9, 0xE1))
        self.assertEqual(mega128.flash_size, 131072)
        self.assertEqual([mega128.byte_value(key) for key in ("extended", "high", "low")],
                         [0xFD, 0x99, 0xE1])

    def test_chips_beyond_the_cable_are_absent(self):
        names = set(os.listdir(COMMITTED))
        self.assertNotIn("ATmega2560.avrspec", names)
        self.assertNotIn("AT90S8515.avrspec", names)
        self.assertIn("AT90PWM3B.avrspec", names)


@unittest.skipUnless(shutil.which(avr_libc_chip.COMPILER)
                     and os.path.exists(avrdude_parts.DEFAULT_PATH),
                     "needs gcc-avr, avr-libc and avrdude")
class RegenerationTest(unittest.TestCase):
    def test_generating_again_gives_the_committed_files(self):
        folder = tempfile.mkdtemp()
        try:
            quietly(generate.generate, avrdude_parts.read_parts(), folder)
            self.assertEqual(sorted(os.listdir(folder)), sorted(os.listdir(COMMITTED)))
            for name in os.listdir(folder):
                with open(os.path.join(folder, name), "rb") as new, \
                        open(os.path.join(COMMITTED, name), "rb") as old:
                    self.assertEqual(new.read(), old.read(), name)
        finally:
            shutil.rmtree(folder)


if __name__ == "__main__":
    unittest.main()
