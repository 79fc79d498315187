"""What avr-libc's per-chip header (/usr/lib/avr/include/avr/io*.h) says about one chip.

The headers share files between related chips and choose with #if on the chip macro, so they
are read through avr-gcc's preprocessor with -mmcu set: the compiler resolves the conditions
and expands the values exactly as a program for that chip would see them.  Fuse bit names
come from the FUSE_<name> macros, each group closed by the default of its byte
(LFUSE_DEFAULT, HFUSE_DEFAULT, EFUSE_DEFAULT; FUSE_DEFAULT on chips with one fuse byte).
"""

import re
import subprocess

from c_expression import evaluate

COMPILER = "avr-gcc"

# Data-sheet names of the lock bits, by the header flag that says the chip has them.
LOCK_BIT_GROUPS = (
    ("__LOCK_BITS_EXIST", ((0, "LB1"), (1, "LB2"))),
    ("__BOOT_LOCK_BITS_0_EXIST", ((2, "BLB01"), (3, "BLB02"))),
    ("__BOOT_LOCK_BITS_1_EXIST", ((4, "BLB11"), (5, "BLB12"))),
)
LOCK_DEFAULT = 0xFF

_BYTE_OF_DEFAULT = {"LFUSE_DEFAULT": "low", "FUSE_DEFAULT": "low",
                    "HFUSE_DEFAULT": "high", "EFUSE_DEFAULT": "extended"}
_DEFINE = re.compile(r"^#define (\w+)(?:\s+(.*))?$")
_FUSE_BIT = re.compile(r"^(?:\(\s*unsigned char\s*\))?\s*~\s*_BV\(\s*(\d)\s*\)$")
_MARK = "tolmeo_value"
_MARK_END = "tolmeo_end"


class HeaderError(Exception):
    """The chip is unknown to the compiler or its header lacks what a description needs."""


class ByteBits:
    """One lock or fuse byte: bit number -> data-sheet name, and the factory value."""

    def __init__(self, names, default):
        self.names = names
        self.default = default


class LibcChip:
    def __init__(self, name, signature, page_size, flash_size, eeprom_size, fuses, lock):
        self.name = name
        self.signature = signature
        self.page_size = page_size  # None on chips without self-programming
        self.flash_size = flash_size
        self.eeprom_size = eeprom_size
        self.fuses = fuses          # "low", "high", "extended" -> ByteBits, present bytes only
        self.lock = lock


def read_chip(mcu):
    """The header facts of the chip avr-gcc calls mcu (e.g. "atmega328p")."""
    defines = _ordered_defines(_preprocess(mcu, ""))
    name = _chip_name(mcu, defines)
    wanted = ["SIGNATURE_0", "SIGNATURE_1", "SIGNATURE_2", "FLASHEND", "E2END"]
    groups = _fuse_groups(defines)
    for default_macro, _ in groups.values():
        wanted.append(default_macro)
    # Chips without self-programming (no SPM instruction) have no SPM_PAGESIZE.
    has_page_size = any(macro == "SPM_PAGESIZE" for macro, _ in defines)
    values = _expanded_values(mcu, wanted + (["SPM_PAGESIZE"] if has_page_size else []))
    return LibcChip(
        name=name,
        signature=tuple(values[f"SIGNATURE_{i}"] & 0xFF for i in range(3)),
        page_size=values.get("SPM_PAGESIZE"),
        flash_size=values["FLASHEND"] + 1,
        eeprom_size=values["E2END"] + 1,
        fuses={byte: ByteBits(bits, values[macro] & 0xFF)
               for byte, (macro, bits) in groups.items()},
        lock=ByteBits(_lock_names(defines), LOCK_DEFAULT))


def _preprocess(mcu, extra_lines, mode="-dD"):
    """Preprocessed text of <avr/io.h> plus extra_lines; -dD keeps the #defines, -P drops
    the line markers that would split an expansion from a system header."""
    source = "#include <avr/io.h>\n" + extra_lines
    try:
        result = subprocess.run([COMPILER, f"-mmcu={mcu}", "-E", mode, "-x", "c", "-"],
                                input=source, capture_output=True, text=True, check=False)
    except FileNotFoundError as error:
        raise HeaderError(f"{COMPILER} is not installed (package gcc-avr)") from error
    if result.returncode != 0:
        first_line = (result.stderr.strip().splitlines() or ["no message"])[0]
        raise HeaderError(f"{COMPILER} -mmcu={mcu} fails: {first_line}")
    return result.stdout


def _ordered_defines(preprocessed):
    """(name, body) of every #define, in the order the headers make them."""
    defines = []
    for line in preprocessed.splitlines():
        match = _DEFINE.match(line)
        if match:
            defines.append((match.group(1), (match.group(2) or "").strip()))
    return defines


def _chip_name(mcu, defines):
    for macro, _ in defines:
        match = re.fullmatch(r"__AVR_(\w+)__", macro)
        if match and match.group(1).lower() == mcu:
            return match.group(1)
    raise HeaderError(f"{COMPILER} defines no chip macro for {mcu}")


def _fuse_groups(defines):
    """byte -> (default macro, {bit: name}); the bits defined since the previous default."""
    groups = {}
    pending = {}
    for macro, body in defines:
        bit = _FUSE_BIT.match(body)
        if macro.startswith("FUSE_") and bit:
            pending[int(bit.group(1))] = macro[len("FUSE_"):]
        elif macro in _BYTE_OF_DEFAULT:
            byte = _BYTE_OF_DEFAULT[macro]
            if byte in groups:
                raise HeaderError(f"{macro} is defined twice")
            groups[byte] = (macro, pending)
            pending = {}
    if pending:
        raise HeaderError("no factory value for the byte of fuse bits "
                          + ", ".join(sorted(pending.values())))
    return groups


def _lock_names(defines):
    present = {macro for macro, _ in defines}
    names = {}
    for flag, bits in LOCK_BIT_GROUPS:
        if flag in present:
            names.update(bits)
    return names


def _expanded_values(mcu, macros):
    """Integer values of the macros, expanded by the preprocessor for this chip."""
    lines = "".join(f"{_MARK} {index} {macro} {_MARK_END}\n" for index, macro in enumerate(macros))
    output = _preprocess(mcu, lines, "-P")
    values = {}
    for match in re.finditer(rf"{_MARK} (\d+) (.*?) {_MARK_END}", output, re.DOTALL):
        macro = macros[int(match.group(1))]
        expansion = " ".join(match.group(2).split())
        if expansion == macro:
            raise HeaderError(f"the header defines no {macro}")
        try:
            values[macro] = evaluate(expansion)
        except ValueError as error:
            raise HeaderError(f"{macro} is not a number: {expansion}") from error
    missing = [macro for macro in macros if macro not in values]
    if missing:
        raise HeaderError("the preprocessor lost " + ", ".join(missing))
    return values
