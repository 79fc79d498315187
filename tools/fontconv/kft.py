"""The Tolmeo bitmap font file (.kft): writing, reading and glyph placement.

A file is an 8-byte mark, a header of 32-bit big-endian fields, then the
glyph bits of a fixed-width range font: glyph i starts at bit
cell_width * cell_height * i after data_offset, rows packed MSB first and
not aligned to bytes.
"""

import struct

FORMAT_MARK = b"TLMOKFT1"
HEADER = struct.Struct(">8s7I")  # mark, then the seven fields that follow it
DATA_OFFSET = 36  # fixed-width range fonts carry no table after the header

CODE_SET_SINGLE_BYTE = 0
CODE_SET_HANGUL = 1
CODE_SET_SYMBOLS = 2
CODE_SET_HANJA = 4

_BASE_LEAD = {CODE_SET_HANGUL: 0xB0, CODE_SET_SYMBOLS: 0xA1, CODE_SET_HANJA: 0xCA}
TRAILS_PER_ROW = 94
FIRST_TRAIL = 0xA1


class KftError(ValueError):
    """A font file that does not hold what its header promises."""


def glyph_index(code_set, code):
    """Where a code's glyph sits in a range font of the given code set."""
    lead, trail = code >> 8, code & 0xFF
    base_lead = _BASE_LEAD.get(code_set)
    if base_lead is None:
        return lead * TRAILS_PER_ROW + trail
    return (lead - base_lead) * TRAILS_PER_ROW + (trail - FIRST_TRAIL)


class RangeFont:
    """A fixed-width range font: header fields and one bitmap per glyph index.

    Each glyph is a list of cell_height rows, each a list of cell_width 0/1
    pixels; indices without a character hold a blank glyph.
    """

    def __init__(self, cell_width, cell_height, code_set, first_code, last_code):
        self.cell_width = cell_width
        self.cell_height = cell_height
        self.code_set = code_set
        self.first_code = first_code
        self.last_code = last_code
        count = glyph_index(code_set, last_code) + 1
        self.glyphs = [self.blank_glyph() for _ in range(count)]

    def blank_glyph(self):
        return [[0] * self.cell_width for _ in range(self.cell_height)]

    def holds(self, code):
        """True when the code is in range and, in a double-byte set, its trail byte places it."""
        if not self.first_code <= code <= self.last_code:
            return False
        return self.code_set not in _BASE_LEAD or FIRST_TRAIL <= code & 0xFF < FIRST_TRAIL + TRAILS_PER_ROW

    def glyph(self, code):
        return self.glyphs[glyph_index(self.code_set, code)]

    def set_glyph(self, code, rows):
        if len(rows) != self.cell_height or any(len(row) != self.cell_width for row in rows):
            raise KftError("glyph for 0x%04X is not %dx%d" % (code, self.cell_width, self.cell_height))
        self.glyphs[glyph_index(self.code_set, code)] = rows

    def same_layout(self, other):
        """True when a bold twin can be read with this font's glyph positions."""
        return (self.cell_width, self.cell_height, self.code_set, self.first_code, self.last_code,
                len(self.glyphs)) == (other.cell_width, other.cell_height, other.code_set,
                                      other.first_code, other.last_code, len(other.glyphs))


def encode(font):
    """The bytes of a font file."""
    header = HEADER.pack(FORMAT_MARK, font.cell_width, font.cell_height, font.code_set, 0,
                         (font.first_code << 16) | font.last_code, font.cell_width, DATA_OFFSET)
    return header + _pack_bits(pixel for glyph in font.glyphs for row in glyph for pixel in row)


def _pack_bits(pixels):
    packed = bytearray()
    current = 0
    filled = 0
    for pixel in pixels:
        current = (current << 1) | pixel
        filled += 1
        if filled == 8:
            packed.append(current)
            current = filled = 0
    if filled:
        packed.append(current << (8 - filled))
    return bytes(packed)


def decode(data):
    """Reads font file bytes back into a RangeFont, checking the header."""
    if len(data) < HEADER.size:
        raise KftError("file shorter than its header")
    mark, width, height, kind, entries, code_range, advance, offset = HEADER.unpack_from(data)
    if mark != FORMAT_MARK:
        raise KftError("format mark missing")
    if kind >> 30 or entries or advance != width or offset != DATA_OFFSET:
        raise KftError("not a fixed-width range font of this converter")
    font = RangeFont(width, height, kind, code_range >> 16, code_range & 0xFFFF)
    bits_per_glyph = width * height
    expected = offset + (bits_per_glyph * len(font.glyphs) + 7) // 8
    if len(data) != expected:
        raise KftError("file is %d bytes, header promises %d" % (len(data), expected))
    for index in range(len(font.glyphs)):
        font.glyphs[index] = _unpack_glyph(data, offset, bits_per_glyph * index, width, height)
    return font


def _unpack_glyph(data, offset, start_bit, width, height):
    rows = []
    for row in range(height):
        bits = range(start_bit + row * width, start_bit + (row + 1) * width)
        rows.append([(data[offset + bit // 8] >> (7 - bit % 8)) & 1 for bit in bits])
    return rows
