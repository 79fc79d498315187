#!/usr/bin/env python3
"""Writes Tolmeo's device descriptions, data/AvrSpec/<chip>.avrspec, one per classic AVR.

Regenerate (from the repository's top folder):   python3 tools/avrspec/generate.py
Check the committed files:                        python3 tools/avrspec/generate.py --check

Sources, all Debian 12 packages that scripts/install-packages.sh installs:
  avrdude   /etc/avrdude.conf, read as data only (avrdude itself is never run): which parts
            are serially programmable, signatures, page and memory sizes, the write delays
            (max_write_delay, rounded up to whole milliseconds, at least 1) and each chip's
            own forms of the serial-programming instructions.
  avr-libc  the per-chip headers /usr/lib/avr/include/avr/io*.h, read through the avr-gcc
  gcc-avr   preprocessor: the data-sheet names of the fuse and lock bits and the factory
            fuse values (*FUSE_DEFAULT; the lock byte's is 0xFF, nothing locked).  They must
            agree with avrdude on signature, page size and memory sizes.

A file is written for every avrdude part that is programmable over the serial (ISP)
interface, writes its Flash in pages, has at most 65,536 Flash words and 1 to 65,536 EEPROM
bytes, and that Tolmeo's fixed instructions reach.  Left out, each with its reason in the
summary printed at the end:
  - parts without ISP (TPI, PDI, UPDI, HV-only, AVR32) and the AT90S / early ATtiny parts
    whose Flash is written byte by byte;
  - parts with more than 128 KB of Flash (ATmega2560 and kin) or without EEPROM;
  - parts whose lock or fuse write takes another form than the one Tolmeo sends
    (ATmega103; ATtiny26, ATtiny261/461/861 and their A versions);
  - parts whose fuse write holds a bit at a value the description cannot give it
    (ATmega161 and ATmega163 hold SPIEN at 1; on ATmega162 and ATtiny828 avrdude's
    extended-fuse write holds bits at 1 that avr-libc names);
  - parts that avr-gcc/avr-libc do not know (ATmega324PB, ATtiny828R, ATtiny1634R, the
    LGT8F clones) or whose header lacks a signature or factory fuse values (AT90PWM2/3,
    AT90USB82, ATmega328PB, ATmega165A);
  - parts on which avrdude and avr-libc disagree (the signatures of ATmega164A/P,
    ATmega165, ATmega169A, ATmega325P/3250P/3290P/329PA and ATmega645P/6450P/6490P).
Output is sorted and holds no dates, so running it again changes nothing.
"""

import argparse
import os
import shutil
import sys

import agreement
import avr_libc_chip
import check
import avrdude_parts
import description as desc
import rules

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from atomic_write import write_whole  # noqa: E402  (found through the line above)

REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUTPUT_FOLDER = os.path.join(REPOSITORY, "data", "AvrSpec")


class Skipped(Exception):
    """A part left out, with the reason."""


def describe(part):
    """(chip name, Description) for an avrdude part; Skipped with the reason otherwise."""
    reasons = rules.selection_problems(part)
    if reasons:
        raise Skipped("; ".join(reasons))
    try:
        chip = avr_libc_chip.read_chip(part.desc.lower())
    except avr_libc_chip.HeaderError as error:
        raise Skipped(f"avr-libc: {error}") from error
    flash, eeprom = part.memory("flash"), part.memory("eeprom")
    result = desc.Description(
        page_size=flash.number("page_size"), flash_size=flash.number("size"),
        eeprom_size=eeprom.number("size"), signature=part.signature(),
        sections=_sections(chip), flash_delay=rules.delay_ms(flash),
        eeprom_delay=rules.delay_ms(eeprom))
    reasons = (_source_disagreements(part, chip) + _factory_differences(chip, result)
               + agreement.problems(result, part))
    if reasons:
        raise Skipped("; ".join(reasons))
    return chip.name, result


def _source_disagreements(part, chip):
    flash, eeprom = part.memory("flash"), part.memory("eeprom")
    pairs = (("signature", part.signature(), chip.signature),
             ("Flash page size", flash.number("page_size"), chip.page_size),
             ("Flash size", flash.number("size"), chip.flash_size),
             ("EEPROM size", eeprom.number("size"), chip.eeprom_size))
    return [f"{what}: avrdude {agreement.shown(theirs)}, avr-libc {agreement.shown(ours)}"
            for what, theirs, ours in pairs if ours is not None and theirs != ours]


def _factory_differences(chip, result):
    """A description must start from the chip's factory state; a safe value or a bit it
    cannot name that differs from that state means the sources do not fit together."""
    return [f"{key} factory value is 0x{byte.default:02x}, "
            f"the description would give 0x{result.byte_value(key):02x}"
            for key, byte in _bytes_by_key(chip).items()
            if byte is not None and result.byte_value(key) != byte.default]


def _bytes_by_key(chip):
    return {key: dict(chip.fuses, lock=chip.lock).get(key) for key, _ in desc.SECTIONS}


def _bit(value, number):
    return (value >> number) & 1


def _sections(chip):
    sections = {}
    for key, byte in _bytes_by_key(chip).items():
        sections[key] = [
            rules.chip_bit(byte.names[number], _bit(byte.default, number))
            if byte is not None and number in byte.names else desc.absent_bit()
            for number in range(8)]
    return sections


def generate(parts, folder):
    """Writes the descriptions and removes the ones no chip gives any more; returns (written
    names, skipped list).  With nothing to write the folder is left as it is."""
    written = {}
    skipped = []
    for part in sorted(parts.values(), key=lambda part: part.desc.lower()):
        try:
            name, result = describe(part)
        except Skipped as reason:
            skipped.append((part.desc or part.part_id, str(reason)))
            continue
        except ValueError as error:
            skipped.append((part.desc or part.part_id, f"avrdude data: {error}"))
            continue
        if name in written:
            skipped.append((part.desc, f"a second avrdude part for {name}"))
            continue
        written[name] = desc.render(result)
    if written:
        _replace_folder_contents(folder, written)
    return sorted(written), skipped


def _replace_folder_contents(folder, contents):
    os.makedirs(folder, exist_ok=True)
    for name in check.description_names(folder):
        if name not in contents:
            os.remove(os.path.join(folder, name + desc.EXTENSION))
    for name, data in contents.items():
        write_whole(os.path.join(folder, name + desc.EXTENSION), data)


def print_summary(written, skipped):
    for name, reason in skipped:
        print(f"skipped {name}: {reason}")
    print(f"written ({len(written)}): " + " ".join(written))
    print(f"{len(written)} written, {len(skipped)} skipped")


def main(arguments):
    parser = argparse.ArgumentParser(description="Tolmeo's device description files")
    parser.add_argument("--check", action="store_true",
                        help="verify the committed files against avrdude's part data")
    parser.add_argument("--folder", default=OUTPUT_FOLDER, help="the AvrSpec folder")
    parser.add_argument("--conf", default=avrdude_parts.DEFAULT_PATH, help="avrdude.conf")
    options = parser.parse_args(arguments)
    try:
        parts = avrdude_parts.read_parts(options.conf)
    except (OSError, avrdude_parts.ConfError, ValueError) as error:
        print(f"cannot read {options.conf}: {error}", file=sys.stderr)
        return 2
    if options.check:
        return check.run(parts, options.folder)
    if shutil.which(avr_libc_chip.COMPILER) is None:
        print(f"{avr_libc_chip.COMPILER} is not installed (packages gcc-avr, avr-libc)",
              file=sys.stderr)
        return 2
    written, skipped = generate(parts, options.folder)
    print_summary(written, skipped)
    return 0 if written else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
