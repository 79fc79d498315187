"""Reader for X11 PCF bitmap fonts (.pcf or .pcf.gz), standard library only.

Only what the converter needs is read: per-glyph metrics, glyph bitmaps,
the encoding table and the font's ascent and descent.  Every glyph comes
back as rows of 0/1 pixels, leftmost pixel first.
"""

import gzip
import struct

PCF_MAGIC = b"\x01fcp"

PCF_ACCELERATORS = 1 << 1
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8

PCF_BYTE_MSB_FIRST = 1 << 2
PCF_BIT_MSB_FIRST = 1 << 3
PCF_COMPRESSED_METRICS = 0x100
NO_GLYPH = 0xFFFF


class PcfError(ValueError):
    """The file is not a PCF font this reader understands."""


class Glyph:
    """One glyph: bearings, ascent and its ink rows (lists of 0/1)."""

    def __init__(self, left_bearing, ascent, rows):
        self.left_bearing = left_bearing
        self.ascent = ascent
        self.rows = rows


class PcfFont:
    """A parsed font: encoding -> glyph, plus the font's ascent and descent."""

    def __init__(self, glyphs_by_code, ascent, descent):
        self.glyphs_by_code = glyphs_by_code
        self.ascent = ascent
        self.descent = descent

    def glyph(self, code):
        """The glyph of a code (byte1 * 256 + byte2), or None if the font lacks it."""
        return self.glyphs_by_code.get(code)


class _Table:
    """A view of one table with the byte order its format word declares."""

    def __init__(self, data, offset):
        self.data = data
        self.format = struct.unpack_from("<I", data, offset)[0]
        self.position = offset + 4
        self.order = ">" if self.format & PCF_BYTE_MSB_FIRST else "<"

    def read(self, code):
        values = struct.unpack_from(self.order + code, self.data, self.position)
        self.position += struct.calcsize(code)
        return values if len(values) > 1 else values[0]


def load(path):
    """Reads a .pcf or .pcf.gz file into a PcfFont."""
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as stream:
        return parse(stream.read())


def parse(data):
    """Parses the bytes of a PCF file into a PcfFont."""
    tables = _table_offsets(data)
    for needed in (PCF_METRICS, PCF_BITMAPS, PCF_BDF_ENCODINGS):
        if needed not in tables:
            raise PcfError("PCF file lacks table type %d" % needed)
    metrics = _read_metrics(data, tables[PCF_METRICS])
    bitmaps = _read_bitmaps(data, tables[PCF_BITMAPS], metrics)
    encodings = _read_encodings(data, tables[PCF_BDF_ENCODINGS])
    accelerators = tables.get(PCF_BDF_ACCELERATORS, tables.get(PCF_ACCELERATORS))
    if accelerators is None:
        raise PcfError("PCF file has no accelerator table")
    ascent, descent = _read_font_extent(data, accelerators)
    glyphs = {}
    for code, index in encodings.items():
        if index >= len(metrics):
            raise PcfError("encoding points past the last glyph")
        left, _right, _width, glyph_ascent, _descent = metrics[index]
        glyphs[code] = Glyph(left, glyph_ascent, bitmaps[index])
    return PcfFont(glyphs, ascent, descent)


def _table_offsets(data):
    if data[:4] != PCF_MAGIC:
        raise PcfError("not a PCF file")
    count = struct.unpack_from("<I", data, 4)[0]
    tables = {}
    for entry in range(count):
        kind, _format, _size, offset = struct.unpack_from("<4I", data, 8 + 16 * entry)
        tables[kind] = offset
    return tables


def _read_metrics(data, offset):
    table = _Table(data, offset)
    metrics = []
    if table.format & PCF_COMPRESSED_METRICS:
        for _ in range(table.read("H")):
            raw = table.read("5B")
            metrics.append(tuple(value - 0x80 for value in raw))
    else:
        for _ in range(table.read("I")):
            metrics.append(table.read("5h"))
            table.read("H")  # attributes
    return metrics


def _read_bitmaps(data, offset, metrics):
    table = _Table(data, offset)
    count = table.read("I")
    if count != len(metrics):
        raise PcfError("bitmap and metric counts differ")
    offsets = [table.read("I") for _ in range(count)]
    pad_index = table.format & 3
    sizes = [table.read("I") for _ in range(4)]
    start = table.position
    blob = _normalise_bit_order(data[start:start + sizes[pad_index]], table.format)
    row_pad = 1 << pad_index
    glyphs = []
    for index, (left, right, _width, ascent, descent) in enumerate(metrics):
        glyphs.append(_glyph_rows(blob, offsets[index], right - left, ascent + descent, row_pad))
    return glyphs


def _normalise_bit_order(blob, table_format):
    """Returns the bitmap bytes with the leftmost pixel in each byte's top bit."""
    unit = 1 << ((table_format >> 4) & 3)
    msb_bits = bool(table_format & PCF_BIT_MSB_FIRST)
    msb_bytes = bool(table_format & PCF_BYTE_MSB_FIRST)
    result = bytearray(blob)
    if unit > 1 and msb_bits != msb_bytes:
        for base in range(0, len(result) - unit + 1, unit):
            result[base:base + unit] = result[base:base + unit][::-1]
    if not msb_bits:
        result = bytearray(int("{:08b}".format(value)[::-1], 2) for value in result)
    return bytes(result)


def _glyph_rows(blob, offset, width, height, row_pad):
    stride = ((width + 7) // 8 + row_pad - 1) // row_pad * row_pad
    rows = []
    for row in range(height):
        base = offset + row * stride
        if base + (width + 7) // 8 > len(blob):
            raise PcfError("glyph bitmap runs past the bitmap table")
        rows.append([(blob[base + column // 8] >> (7 - column % 8)) & 1 for column in range(width)])
    return rows


def _read_encodings(data, offset):
    table = _Table(data, offset)
    first_col, last_col, first_row, last_row, _default = table.read("5H")
    encodings = {}
    for row in range(first_row, last_row + 1):
        for column in range(first_col, last_col + 1):
            index = table.read("H")
            if index != NO_GLYPH:
                encodings[row * 256 + column] = index
    return encodings


def _read_font_extent(data, offset):
    table = _Table(data, offset)
    table.read("8B")  # flags and padding
    ascent, descent = table.read("2i")
    return ascent, descent
