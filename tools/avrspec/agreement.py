"""Whether a description agrees with avrdude's data for the same chip and with Tolmeo's rules.

The generator runs these checks on every description before writing it, and the check mode
runs them again on the committed files, so a file that passed once cannot drift unnoticed.
"""

import description as desc
import rules
import tolmeo_isp


def problems(description, part):
    """Every disagreement found, as sentences; empty when the description is sound."""
    found = rules.selection_problems(part)
    if found:
        return found
    found += _memory_problems(description, part)
    found += [f"Tolmeo's {name} instruction differs from the chip's"
              for name in tolmeo_isp.unreachable_instructions(part)]
    for key, _ in desc.SECTIONS:
        found += _section_problems(key, description.sections[key], _byte_memory(part, key))
    return found


def _memory_problems(description, part):
    flash, eeprom = part.memory("flash"), part.memory("eeprom")
    expected = (
        ("signature", part.signature(), description.signature),
        ("Flash page size", flash.number("page_size"), description.page_size),
        ("Flash size", flash.number("size"), description.flash_size),
        ("EEPROM size", eeprom.number("size"), description.eeprom_size),
        ("Flash write delay", rules.delay_ms(flash), description.flash_delay),
        ("EEPROM write delay", rules.delay_ms(eeprom), description.eeprom_delay),
    )
    found = [f"{what} is {shown(ours)}, avrdude says {shown(theirs)}"
             for what, theirs, ours in expected if theirs != ours]
    page_words = description.page_size // 2
    if page_words == 0 or page_words & (page_words - 1) or description.page_size % 2:
        found.append(f"a Flash page of {description.page_size} bytes is not a power-of-two words")
    found += [f"{what} of {value} ms is above {rules.MAX_DELAY_MS}"
              for what, value in (("Flash write delay", description.flash_delay),
                                  ("EEPROM write delay", description.eeprom_delay))
              if value > rules.MAX_DELAY_MS]
    return found


def shown(value):
    """A value as the messages show it: signatures as hex bytes."""
    if isinstance(value, tuple):
        return " ".join(f"{byte:02x}" for byte in value)
    return str(value)


def _byte_memory(part, key):
    return part.memory("lock") if key == "lock" else tolmeo_isp.fuse_memory(part, key)


def _section_problems(key, bits, memory):
    found = [f"{key} bit {number}: {problem}"
             for number, bit in enumerate(bits) for problem in _rule_problems(bit)]
    named = [bit.name != desc.ABSENT_NAME for bit in bits]
    if memory is None:
        return found + [f"{key} bit {number} ({bits[number].name}) named, but the chip has "
                        f"no {key} byte" for number in range(8) if named[number]]
    if not any(named):
        found.append(f"the {key} byte exists on the chip, but none of its bits is named")
    return found + _write_form_problems(key, bits, memory)


def _write_form_problems(key, bits, memory):
    """Tolmeo writes the whole byte: a bit the chip holds at a value must be fixed at it, and
    a bit the user may change must be one the chip takes from the byte."""
    held = tolmeo_isp.fixed_data_bits(memory)
    written = tolmeo_isp.written_data_bits(memory)
    found = [f"{key} bit {number} ({bit.name}) must stay {held[number]} by the chip's "
             "write instruction" for number, bit in enumerate(bits)
             if number in held and (not bit.fixed or bit.value != held[number])]
    found += [f"{key} bit {number} ({bit.name}) is not written by the chip's write instruction"
              for number, bit in enumerate(bits) if not bit.fixed and number not in written]
    return found


def _rule_problems(bit):
    if bit.name == desc.ABSENT_NAME:
        return [] if bit.fixed and bit.value == 1 else ["an absent bit must be fixed at 1"]
    if bit.name in rules.SAFE_VALUES:
        safe = rules.SAFE_VALUES[bit.name]
        ok = bit.fixed and bit.value == safe
        return [] if ok else [f"{bit.name} must be fixed at {safe}"]
    return [f"{bit.name} is fixed but harmless to change"] if bit.fixed else []
