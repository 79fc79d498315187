"""Fuse bit names and factory values out of avr-libc's chip headers."""

import shutil
import unittest

import avr_libc_chip as libc


def fuse_bit(number):
    return f"(unsigned char)~_BV({number})"


class FuseGroupTest(unittest.TestCase):
    def test_bits_belong_to_the_default_that_follows_them(self):
        defines = [("FUSE_MEMORY_SIZE", "2"),
                   ("FUSE_CKSEL0", fuse_bit(0)), ("FUSE_SUT0", fuse_bit(4)),
                   ("LFUSE_DEFAULT", "(FUSE_CKSEL0)"),
                   ("FUSE_SPIEN", "~_BV(5)"), ("FUSE_RSTDISBL", fuse_bit(7)),
                   ("HFUSE_DEFAULT", "(FUSE_SPIEN)")]
        groups = libc._fuse_groups(defines)
        self.assertEqual(groups["low"], ("LFUSE_DEFAULT", {0: "CKSEL0", 4: "SUT0"}))
        self.assertEqual(groups["high"], ("HFUSE_DEFAULT", {5: "SPIEN", 7: "RSTDISBL"}))
        self.assertNotIn("extended", groups)

    def test_a_single_fuse_byte_is_the_low_byte(self):
        groups = libc._fuse_groups([("FUSE_CKSEL0", fuse_bit(0)), ("FUSE_DEFAULT", "0xFF")])
        self.assertEqual(groups, {"low": ("FUSE_DEFAULT", {0: "CKSEL0"})})

    def test_bits_without_a_factory_value_are_refused(self):
        with self.assertRaises(libc.HeaderError):
            libc._fuse_groups([("FUSE_CKSEL0", fuse_bit(0)), ("LFUSE_DEFAULT", "0xFF"),
                               ("FUSE_BODLEVEL0", fuse_bit(0))])

    def test_lock_bits_follow_the_header_flags(self):
        names = libc._lock_names([("__LOCK_BITS_EXIST", ""), ("__BOOT_LOCK_BITS_1_EXIST", "")])
        self.assertEqual(names, {0: "LB1", 1: "LB2", 4: "BLB11", 5: "BLB12"})


@unittest.skipUnless(shutil.which(libc.COMPILER), "needs gcc-avr and avr-libc")
class RealHeaderTest(unittest.TestCase):
    def test_a_header_shared_by_several_chips_gives_each_its_own_bits(self):
        mega48, mega88 = libc.read_chip("atmega48"), libc.read_chip("atmega88")
        self.assertEqual(mega48.fuses["extended"].names, {0: "SELFPRGEN"})
        self.assertEqual(mega88.fuses["extended"].names, {0: "BOOTRST", 1: "BOOTSZ0", 2: "BOOTSZ1"})
        self.assertEqual(mega88.signature, (0x1E, 0x93, 0x0A))

    def test_chips_without_self_programming_have_no_page_size(self):
        self.assertIsNone(libc.read_chip("attiny26").page_size)

    def test_unknown_chips_are_refused(self):
        with self.assertRaises(libc.HeaderError):
            libc.read_chip("atmega999")


if __name__ == "__main__":
    unittest.main()
