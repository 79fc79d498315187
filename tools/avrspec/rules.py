"""Which chips Tolmeo describes, and how their bits and delays are set.

Tolmeo sends 16 address bits (65,536 Flash words, 65,536 EEPROM bytes), writes Flash a page
at a time and EEPROM a byte at a time.  A bit whose change over the ISP cable would leave the
chip unreachable through that cable is fixed at its safe value.
"""

import math

from description import Bit, absent_bit

MAX_FLASH_BYTES = 2 * 65536
MAX_EEPROM_BYTES = 65536
MAX_DELAY_MS = 99

# Programming SPIEN off, or RSTDISBL or DWEN on, takes the chip out of serial programming.
# avr-libc spells reset disable RSTDSBL on the AT90USB82 and AT90USB162.
SAFE_VALUES = {"SPIEN": 0, "RSTDISBL": 1, "RSTDSBL": 1, "DWEN": 1}

# A bit avr-libc names only to say it is reserved ("do not program") is not the user's.
RESERVED_NAMES = {"RESERVED"}


def selection_problems(part):
    """Why Tolmeo cannot program this avrdude part at all; empty when it can."""
    if "PM_ISP" not in part.prog_modes():
        return ["not programmable over the serial (ISP) interface"]
    flash = part.memory("flash")
    eeprom = part.memory("eeprom")
    if flash is None or not flash.flag("paged"):
        return ["Flash is not written in pages"]
    if flash.number("size") > MAX_FLASH_BYTES:
        return ["more than 65,536 Flash words (needs an extended address byte)"]
    if eeprom is None or eeprom.number("size") == 0:
        return ["no EEPROM"]
    if eeprom.number("size") > MAX_EEPROM_BYTES:
        return ["more than 65,536 EEPROM bytes"]
    return []


def chip_bit(name, factory_value):
    """The description's bit for a bit avr-libc names."""
    if name in RESERVED_NAMES:
        return absent_bit()
    if name in SAFE_VALUES:
        return Bit(name, SAFE_VALUES[name], True)
    return Bit(name, factory_value, False)


def delay_ms(memory):
    """avrdude's longest write time of the memory, in whole milliseconds, at least 1."""
    microseconds = memory.number("max_write_delay")
    return max(1, math.ceil(microseconds / 1000))
