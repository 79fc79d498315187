"""Which chips Tolmeo can reach, and what a sound description of one must hold."""

import unittest

import agreement
import avrdude_parts
import description as desc
import rules
import tolmeo_isp
from avrspec_fixtures import ATTEST8_CONF, attest8_description


def attest8_part():
    return avrdude_parts.parse_parts(ATTEST8_CONF)["t8"]


class InstructionFormTest(unittest.TestCase):
    def test_bits_of_reads_numbered_address_bits(self):
        form = "0 0 1 1 0 0 0 0, 0 0 0 x x x x x, x x x x x x a1 a0, o o o o o o o o"
        bits = tolmeo_isp.bits_of(form)
        self.assertEqual(len(bits), 32)
        self.assertEqual(bits[22:24], ["a", "a"])
        with self.assertRaises(ValueError):
            tolmeo_isp.bits_of("1010.1100--0101.0011")

    def test_forms_tolmeo_reaches(self):
        ordinary_lock = "1010.1100--111x.xxxx--xxxx.xxxx--11ii.iiii"
        self.assertTrue(tolmeo_isp.form_reaches(ordinary_lock,
                                                "1010.1100--1110.0000--0000.0000--iiii.iiii"))
        # Address bits meet the chip's fixed high zeros: Tolmeo's addresses stay inside.
        self.assertTrue(tolmeo_isp.form_reaches("1010.0000--000x.xxaa--aaaa.aaaa--oooo.oooo",
                                                "1010.0000--aaaa.aaaa--aaaa.aaaa--oooo.oooo"))

    def test_forms_tolmeo_does_not_reach(self):
        lock_in_second_byte = "1010.1100--1111.11ii--xxxx.xxxx--xxxx.xxxx"
        self.assertFalse(tolmeo_isp.form_reaches(lock_in_second_byte,
                                                 "1010.1100--1110.0000--0000.0000--iiii.iiii"))
        self.assertFalse(tolmeo_isp.form_reaches("1010.0000--1xxx.xxaa--aaaa.aaaa--oooo.oooo",
                                                 "1010.0000--aaaa.aaaa--aaaa.aaaa--oooo.oooo"))

    def test_unreachable_instructions_name_the_memory(self):
        part = attest8_part()
        self.assertEqual(tolmeo_isp.unreachable_instructions(part), [])
        part.memory("lock").settings["write"] = "1010.1100--1111.11ii--xxxx.xxxx--xxxx.xxxx"
        del part.memory("eeprom").settings["write"]
        self.assertEqual(tolmeo_isp.unreachable_instructions(part),
                         ["eeprom write", "lock write"])

    def test_fixed_data_bits_of_a_write(self):
        lock = attest8_part().memory("lock")
        self.assertEqual(tolmeo_isp.fixed_data_bits(lock), {7: 1, 6: 1})


class SelectionTest(unittest.TestCase):
    def test_a_reachable_part_passes(self):
        self.assertEqual(rules.selection_problems(attest8_part()), [])

    def test_parts_left_out(self):
        changes = {
            "serial (ISP)": lambda part: part.settings.update(prog_modes="PM_TPI"),
            "pages": lambda part: part.memory("flash").settings.update(paged="no"),
            "65,536 Flash words": lambda part: part.memory("flash").settings.update(size="262144"),
            "no EEPROM": lambda part: part.memory("eeprom").settings.update(size="0"),
            "EEPROM bytes": lambda part: part.memory("eeprom").settings.update(size="65537"),
        }
        for reason, change in changes.items():
            part = attest8_part()
            change(part)
            with self.subTest(reason):
                self.assertIn(reason, " ".join(rules.selection_problems(part)))

    def test_the_largest_reachable_memories_pass(self):
        part = attest8_part()
        part.memory("flash").settings["size"] = "131072"
        part.memory("eeprom").settings["size"] = "65536"
        self.assertEqual(rules.selection_problems(part), [])

    def test_delays_round_up_to_whole_milliseconds(self):
        memory = avrdude_parts.Memory()
        for microseconds, milliseconds in (("4500", 5), ("9000", 9), ("3600", 4), ("1", 1),
                                           ("0", 1)):
            memory.settings["max_write_delay"] = microseconds
            self.assertEqual(rules.delay_ms(memory), milliseconds, microseconds)
        del memory.settings["max_write_delay"]
        self.assertEqual(rules.delay_ms(memory), 1)

    def test_unreachable_bits_get_their_safe_values(self):
        self.assertEqual(rules.chip_bit("SPIEN", 1), desc.Bit("SPIEN", 0, True))
        self.assertEqual(rules.chip_bit("RSTDISBL", 0), desc.Bit("RSTDISBL", 1, True))
        self.assertEqual(rules.chip_bit("RSTDSBL", 0), desc.Bit("RSTDSBL", 1, True))
        self.assertEqual(rules.chip_bit("DWEN", 0), desc.Bit("DWEN", 1, True))
        self.assertEqual(rules.chip_bit("CKSEL0", 0), desc.Bit("CKSEL0", 0, False))
        self.assertEqual(rules.chip_bit("RESERVED", 0), desc.absent_bit())


class AgreementTest(unittest.TestCase):
    def problems_after(self, change):
        description = attest8_description()
        change(description)
        return " | ".join(agreement.problems(description, attest8_part()))

    def test_the_sound_description_agrees(self):
        self.assertEqual(agreement.problems(attest8_description(), attest8_part()), [])

    def test_memory_facts_must_match_avrdude(self):
        cases = {
            "signature": lambda d: setattr(d, "signature", (0x1E, 0x93, 0x0F)),
            "Flash page size": lambda d: setattr(d, "page_size", 128),
            "Flash size": lambda d: setattr(d, "flash_size", 4096),
            "EEPROM size": lambda d: setattr(d, "eeprom_size", 256),
            "EEPROM write delay": lambda d: setattr(d, "eeprom_delay", 4),
        }
        for what, change in cases.items():
            with self.subTest(what):
                self.assertIn(what, self.problems_after(change))

    def test_fixed_rules(self):
        def set_bit(key, number, bit):
            return lambda d: d.sections[key].__setitem__(number, bit)
        cases = {
            "SPIEN must be fixed at 0": set_bit("high", 5, desc.Bit("SPIEN", 0, False)),
            "RSTDISBL must be fixed at 1": set_bit("high", 7, desc.Bit("RSTDISBL", 0, True)),
            "an absent bit must be fixed at 1": set_bit("lock", 3, desc.Bit("-", 0, True)),
            "fixed but harmless": set_bit("low", 0, desc.Bit("CKSEL0", 1, True)),
            "no extended byte": set_bit("extended", 0, desc.Bit("SELFPRGEN", 1, False)),
            "must stay 1": set_bit("lock", 7, desc.Bit("-", 0, True)),
        }
        for what, change in cases.items():
            with self.subTest(what):
                self.assertIn(what, self.problems_after(change))

    def test_a_bit_the_write_ignores_cannot_be_changeable(self):
        part = attest8_part()
        part.memory("lfuse").settings["write"] = "1010.1100--1010.0000--xxxx.xxxx--xxxx.iiii"
        found = " | ".join(agreement.problems(attest8_description(), part))
        self.assertIn("low bit 7 (BODLEVEL) is not written", found)

    def test_a_byte_the_chip_has_needs_named_bits(self):
        part = attest8_part()
        part.memories["efuse"] = part.memory("hfuse")
        found = " | ".join(agreement.problems(attest8_description(), part))
        self.assertIn("the extended byte exists on the chip, but none of its bits is named", found)

    def test_page_size_must_be_power_of_two_words(self):
        part = attest8_part()
        part.memory("flash").settings["page_size"] = "48"
        description = attest8_description()
        description.page_size = 48
        found = " | ".join(agreement.problems(description, part))
        self.assertIn("not a power-of-two words", found)


if __name__ == "__main__":
    unittest.main()
