#!/usr/bin/env python3
"""Makes Tolmeo's eight system font files from Debian's free bitmap fonts.

    python3 tools/fontconv/make_fonts.py          # writes data/font/system/*.kft
    python3 tools/fontconv/make_fonts.py --check  # decodes them, checks coverage, shows glyphs

Sources (Debian packages xfonts-baekmuk and xfonts-base):
  Hangul, symbols, Hanja: Baekmuk Gulim 12 (gulim12, gulim12b for bold),
      indexed by KS C 5601 codes; CP949 code = KS C code | 0x8080.
  Single-byte: Schumacher Clean 8x12 (clR8x12, clB8x12 for bold).
Both have a bold cut, so no glyph is emboldened artificially.  A code that
CP949 defines but a source lacks gets a visible box, and is counted.
The output depends only on the source fonts, so a rerun gives the same bytes.
"""

import argparse
import os
import sys

import kft
import pcf

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from atomic_write import write_whole  # noqa: E402  (found through the line above)

BAEKMUK = "/usr/share/fonts/X11/75dpi/"
MISC = "/usr/share/fonts/X11/misc/"
REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUTPUT = os.path.join(REPOSITORY, "data", "font", "system")

KSC_TO_CP949 = 0x8080
FIRST_PRINTABLE, LAST_PRINTABLE = 0x20, 0x7E
# What text drawing shows for a code that no font holds: the shaded block of the symbol set.
REPLACEMENT_CODE = 0xA2C6
# Characters whose proper glyph is empty: space, ideographic space, Hangul filler.
BLANK_BY_NATURE = {0x20, 0xA1A1, 0xA4D4}


class FontPlan:
    """One output file: where its glyphs come from and which codes it covers."""

    def __init__(self, file_name, source, code_set, first_code, last_code, cell_width):
        self.file_name = file_name
        self.source = source
        self.code_set = code_set
        self.first_code = first_code
        self.last_code = last_code
        self.cell_width = cell_width

    def new_font(self):
        return kft.RangeFont(self.cell_width, 12, self.code_set, self.first_code, self.last_code)

    def characters(self):
        """The codes of this font that CP949 assigns a character to."""
        if self.code_set == kft.CODE_SET_SINGLE_BYTE:
            return list(range(FIRST_PRINTABLE, LAST_PRINTABLE + 1))
        return [code for code in double_byte_codes(self.first_code, self.last_code)
                if cp949_defines(code)]

    def source_code(self, code):
        return code if self.code_set == kft.CODE_SET_SINGLE_BYTE else code & ~KSC_TO_CP949


def _plans(weight, korean, latin):
    return [
        FontPlan("12.12.kor%s.d.f.kft" % weight, korean, kft.CODE_SET_HANGUL, 0xB0A1, 0xC8FE, 12),
        FontPlan("12.12.sym%s.d.f.kft" % weight, korean, kft.CODE_SET_SYMBOLS, 0xA1A1, 0xACFE, 12),
        FontPlan("12.12.han%s.d.f.kft" % weight, korean, kft.CODE_SET_HANJA, 0xCAA1, 0xFDFE, 12),
        FontPlan("8.12.eng%s.d.f.kft" % weight, latin, kft.CODE_SET_SINGLE_BYTE, 0x00, 0x7F, 8),
    ]


REGULAR_PLANS = _plans("", BAEKMUK + "gulim12.pcf.gz", MISC + "clR8x12.pcf.gz")
BOLD_PLANS = _plans("(b)", BAEKMUK + "gulim12b.pcf.gz", MISC + "clB8x12.pcf.gz")


def double_byte_codes(first_code, last_code):
    for lead in range(first_code >> 8, (last_code >> 8) + 1):
        for trail in range(kft.FIRST_TRAIL, kft.FIRST_TRAIL + kft.TRAILS_PER_ROW):
            yield lead << 8 | trail


def cp949_defines(code):
    try:
        bytes([code >> 8, code & 0xFF]).decode("cp949")
        return True
    except UnicodeDecodeError:
        return False


def place_in_cell(glyph, font_ascent, width, height):
    """The glyph's ink in a cell whose baseline lies font_ascent rows down."""
    cell = [[0] * width for _ in range(height)]
    top = font_ascent - glyph.ascent
    for row_number, row in enumerate(glyph.rows):
        for column_number, pixel in enumerate(row):
            x, y = glyph.left_bearing + column_number, top + row_number
            if pixel and 0 <= x < width and 0 <= y < height:
                cell[y][x] = 1
    return cell


def box_glyph(width, height):
    """A hollow box one pixel in from the cell edge: visibly 'no glyph here'."""
    cell = [[0] * width for _ in range(height)]
    for y in range(1, height - 1):
        for x in range(1, width - 1):
            if y in (1, height - 2) or x in (1, width - 2):
                cell[y][x] = 1
    return cell


def build(plan, source):
    """Fills a font from its source; returns the font and the codes drawn as boxes."""
    font = plan.new_font()
    boxed = []
    for code in plan.characters():
        glyph = source.glyph(plan.source_code(code))
        if glyph is None:
            font.set_glyph(code, box_glyph(font.cell_width, font.cell_height))
            boxed.append(code)
        else:
            font.set_glyph(code, place_in_cell(glyph, source.ascent, font.cell_width, font.cell_height))
    return font, boxed


def make_all():
    os.makedirs(OUTPUT, exist_ok=True)
    sources = {}
    for plan in REGULAR_PLANS + BOLD_PLANS:
        source = sources.setdefault(plan.source, pcf.load(plan.source))
        font, boxed = build(plan, source)
        write_whole(os.path.join(OUTPUT, plan.file_name), kft.encode(font))
        print("%-22s %5d glyphs, %d codes without a source glyph%s" % (
            plan.file_name, len(font.glyphs), len(boxed),
            ": " + " ".join("%04X" % code for code in boxed) if boxed else ""))


def check_font(plan, font):
    """Problems of one decoded font, as readable lines."""
    problems = []
    if (font.code_set, font.first_code, font.last_code) != (plan.code_set, plan.first_code, plan.last_code):
        problems.append("%s: header differs from the plan" % plan.file_name)
        return problems
    for code in plan.characters():
        if code not in BLANK_BY_NATURE and not any(map(any, font.glyph(code))):
            problems.append("%s: code %04X has an empty glyph" % (plan.file_name, code))
    return problems


def load_output(plan):
    with open(os.path.join(OUTPUT, plan.file_name), "rb") as stream:
        return kft.decode(stream.read())


def text_codes(text):
    """CP949 codes of a text, the way Tolmeo's text drawing walks it."""
    data = text.encode("cp949")
    codes, position = [], 0
    while position < len(data):
        if data[position] >= 0x80:
            codes.append(data[position] << 8 | data[position + 1])
            position += 2
        else:
            codes.append(data[position])
            position += 1
    return codes


def glyph_for(fonts, code):
    """The glyph text drawing would show: from the first font holding the code, else the replacement."""
    for candidate in (code, REPLACEMENT_CODE):
        for font in fonts:
            if font.holds(candidate):
                return font.glyph(candidate)
    raise kft.KftError("no font holds the replacement code %04X" % REPLACEMENT_CODE)


def ascii_art(fonts, text):
    glyphs = [glyph_for(fonts, code) for code in text_codes(text)]
    return "\n".join(" ".join("".join("#" if pixel else "." for pixel in glyph[row]) for glyph in glyphs)
                     for row in range(12))


def check_all(sample):
    problems = []
    weights = []
    for plans in (REGULAR_PLANS, BOLD_PLANS):
        fonts = [load_output(plan) for plan in plans]
        for plan, font in zip(plans, fonts):
            problems += check_font(plan, font)
        weights.append(fonts)
    for regular, bold in zip(*weights):
        if not regular.same_layout(bold):
            problems.append("bold twin of code set %d has another layout" % regular.code_set)
    for name, fonts in zip(("regular", "bold"), weights):
        print("%s:\n%s\n" % (name, ascii_art(fonts, sample)))
    print("\n".join(problems) if problems else "all eight fonts decode; every CP949 character has a glyph")
    return not problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="decode the written fonts and show glyphs")
    parser.add_argument("--sample", default="한글Ag漢", help="text to show with --check")
    arguments = parser.parse_args()
    if arguments.check:
        try:
            return 0 if check_all(arguments.sample) else 1
        except UnicodeEncodeError:
            print("the sample holds characters that CP949 cannot encode", file=sys.stderr)
        except (OSError, kft.KftError) as error:
            print("cannot check the fonts: %s" % error, file=sys.stderr)
        return 1
    missing = sorted({plan.source for plan in REGULAR_PLANS + BOLD_PLANS if not os.path.exists(plan.source)})
    if missing:
        print("missing source fonts %s: install xfonts-baekmuk and xfonts-base "
              "(bash scripts/install-packages.sh)" % ", ".join(missing), file=sys.stderr)
        return 1
    make_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
