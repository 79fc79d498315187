"""Whether Tolmeo's fixed serial-programming instructions reach a chip as avrdude describes it.

Tolmeo sends one fixed form of each instruction for every chip; avrdude's part data gives
each chip's own forms, bit by bit ("1010.1100--1010.0000--xxxx.xxxx--iiii.iiii": 1 and 0
fixed, x ignored, a address, i data in, o data out).  A chip is reachable when every bit the
chip fixes gets that value from Tolmeo.  Address bits Tolmeo sends may meet fixed 0s, because
Tolmeo's addresses stay inside the chip; data bits of lock and fuse writes that the chip fixes
are matched against the description's bits instead (see agreement.py).  Tolmeo reads whole
bytes; the bits a chip does not send are the ones its description marks absent.
"""

import re

# (avrdude memory, avrdude instruction, Tolmeo's form of it); None memory: part setting.
INSTRUCTIONS = (
    (None, "pgm_enable", "1010.1100--0101.0011--0000.0000--0000.0000"),
    (None, "chip_erase", "1010.1100--1000.0000--0000.0000--0000.0000"),
    ("signature", "read", "0011.0000--0000.0000--0000.00aa--oooo.oooo"),
    ("flash", "loadpage_lo", "0100.0000--0000.0000--aaaa.aaaa--iiii.iiii"),
    ("flash", "loadpage_hi", "0100.1000--0000.0000--aaaa.aaaa--iiii.iiii"),
    ("flash", "writepage", "0100.1100--aaaa.aaaa--aaaa.aaaa--0000.0000"),
    ("flash", "read_lo", "0010.0000--aaaa.aaaa--aaaa.aaaa--oooo.oooo"),
    ("flash", "read_hi", "0010.1000--aaaa.aaaa--aaaa.aaaa--oooo.oooo"),
    ("eeprom", "read", "1010.0000--aaaa.aaaa--aaaa.aaaa--oooo.oooo"),
    ("eeprom", "write", "1100.0000--aaaa.aaaa--aaaa.aaaa--iiii.iiii"),
    ("lock", "read", "0101.1000--0000.0000--0000.0000--oooo.oooo"),
    ("lock", "write", "1010.1100--1110.0000--0000.0000--iiii.iiii"),
)

# The fuse bytes by their section key: avrdude's memory names and Tolmeo's two forms.
FUSE_INSTRUCTIONS = {
    "low": (("lfuse", "fuse"), "0101.0000--0000.0000--0000.0000--oooo.oooo",
            "1010.1100--1010.0000--0000.0000--iiii.iiii"),
    "high": (("hfuse",), "0101.1000--0000.1000--0000.0000--oooo.oooo",
             "1010.1100--1010.1000--0000.0000--iiii.iiii"),
    "extended": (("efuse",), "0101.0000--0000.1000--0000.0000--oooo.oooo",
                 "1010.1100--1010.0100--0000.0000--iiii.iiii"),
}

_BIT = re.compile(r"a\d*|[01xio]")


def bits_of(form):
    """The 32 bit specifiers of an instruction, most significant first; ValueError if not 32."""
    bits = ["a" if token.startswith("a") else token for token in _BIT.findall(form)]
    if len(bits) != 32:
        raise ValueError(f"instruction {form!r} has {len(bits)} bits, not 32")
    return bits


def bit_reaches(chip_bit, tolmeo_bit):
    if chip_bit in "01":
        # Data bits ("i" sent, "o" read) may meet constants: a write's are matched against
        # the description, and a constant the chip sends is simply read.
        return tolmeo_bit in (chip_bit, "i", "o") or (tolmeo_bit == "a" and chip_bit == "0")
    return True


def form_reaches(chip_form, tolmeo_form):
    return all(map(bit_reaches, bits_of(chip_form), bits_of(tolmeo_form)))


def fuse_memory(part, key):
    """avrdude's memory for a fuse byte, or None when the chip has no such byte."""
    names, _, _ = FUSE_INSTRUCTIONS[key]
    for name in names:
        if part.memory(name) is not None:
            return part.memory(name)
    return None


def fixed_data_bits(memory):
    """bit number -> value of the data bits the chip's write instruction sets itself."""
    return {number: int(bit) for number, bit in _write_data_bits(memory).items() if bit in "01"}


def written_data_bits(memory):
    """The bit numbers the chip's write instruction sets, from Tolmeo's byte or itself."""
    return {number for number, bit in _write_data_bits(memory).items() if bit in "i01"}


def _write_data_bits(memory):
    """bit number -> specifier of the data byte of the write instruction ("x": ignored)."""
    data = bits_of(memory.settings.get("write", "x" * 32))[24:]
    return {7 - index: bit for index, bit in enumerate(data)}


def unreachable_instructions(part):
    """Names of the instructions Tolmeo would send this chip in a form it does not take."""
    return [label for label, chip_form, tolmeo_form in _instructions_sent(part)
            if chip_form is None or not form_reaches(chip_form, tolmeo_form)]


def _instructions_sent(part):
    """(label, the chip's form or None, Tolmeo's form) of every instruction Tolmeo sends."""
    for memory_name, instruction, tolmeo_form in INSTRUCTIONS:
        holder = part if memory_name is None else part.memory(memory_name)
        chip_form = None if holder is None else holder.settings.get(instruction)
        yield f"{memory_name or 'part'} {instruction}", chip_form, tolmeo_form
    for key, (_, read_form, write_form) in FUSE_INSTRUCTIONS.items():
        memory = fuse_memory(part, key)
        if memory is not None:
            yield f"{key} fuse read", memory.settings.get("read"), read_form
            yield f"{key} fuse write", memory.settings.get("write"), write_form
