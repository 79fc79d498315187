#include "gfx/text_drawing.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace tolmeo {
namespace {

// One character of a text and how many bytes it took.
struct CodeStep {
  std::uint16_t code;
  std::size_t length;
};

// Results are ints; absurd paddings or very long texts saturate instead of wrapping.
int Narrow(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// text must not hold a zero byte; at < text.size().
CodeStep NextCode(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::uint8_t first = byte(at);
  bool has_next = at + 1 < text.size();
  if (first == '\t') return {kSpaceCode, 1};
  if (first == '\r' && has_next && byte(at + 1) == '\n') return {kLineBreakCode, 2};
  if (first < 0x80) return {first, 1};
  // A lead byte cut off by the end of the text stands alone; no font holds it.
  if (!has_next) return {static_cast<std::uint16_t>(first << 8), 1};
  return {static_cast<std::uint16_t>(first << 8 | byte(at + 1)), 2};
}

// The glyph as it is drawn: the font its bits come from, where they start, how wide it is.
struct CellGlyph {
  const BitmapFont* font;
  BitAddress address;
  int width;
};

// The bold twin draws from the regular glyph's place in its own file; a twin that is missing
// or has no glyph there leaves the regular glyph.
CellGlyph WithWeight(const TextStyle& style, const GlyphPlace& place, const CellGlyph& regular,
                     int weight) {
  if (weight != kBoldWeight) return regular;
  const BitmapFont* twin = style.fonts[place.slot + kBoldWeight];
  if (twin == nullptr) return regular;
  auto width = twin->GlyphWidth(place.index);
  if (!width || !twin->GlyphFits(regular.address, *width)) return regular;
  return CellGlyph{twin, regular.address, *width};
}

// Where the glyph drawn for a code lives: its own, or the replacement block when no font holds it.
std::optional<GlyphPlace> LocateDrawnGlyph(const TextStyle& style, std::uint16_t code) {
  auto place = LocateGlyph(style.Regular(), code);
  if (!place) place = LocateGlyph(style.Regular(), kReplacementCode);
  return place;
}

std::optional<CellGlyph> ChooseGlyph(const TextStyle& style, std::uint16_t code, int weight) {
  auto place = LocateDrawnGlyph(style, code);
  if (!place) return std::nullopt;
  const BitmapFont* font = style.fonts[place->slot];
  CellGlyph regular{font, place->Address(), *font->GlyphWidth(place->index)};
  return WithWeight(style, *place, regular, weight);
}

// The part of an area that lies inside the bitmap (and inside within, when given).
Rect Clip(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
          const Rect& within) {
  std::int64_t l = std::max<std::int64_t>(left, within.left);
  std::int64_t t = std::max<std::int64_t>(top, within.top);
  std::int64_t r = std::min<std::int64_t>(left + width, within.right());
  std::int64_t b = std::min<std::int64_t>(top + height, within.bottom());
  if (r <= l || b <= t) return Rect{};
  return Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
              static_cast<int>(b - t)};
}

// One glyph row, first pixel in bit 31. Reads only the bytes that hold the row's bits.
std::uint32_t RowBits(const std::uint8_t* data, BitAddress address, int width) {
  if (width == 0) return 0;
  const std::uint8_t* bytes = data + address / 8;
  int skip = static_cast<int>(address % 8);
  int count = (skip + width + 7) / 8;  // at most 5 for a 32-bit row
  std::uint64_t gathered = 0;
  for (int i = 0; i < count; ++i) gathered = (gathered << 8) | bytes[i];
  gathered <<= 64 - 8 * count + skip;
  return static_cast<std::uint32_t>(gathered >> 32) & (~0u << (32 - width));
}

// Columns from (inclusive) to (exclusive) of a row, column 0 in bit 31.
std::uint32_t ColumnMask(int from, int to) {
  std::uint32_t after = to >= 32 ? 0u : ~0u >> to;
  return (~0u >> from) & ~after;
}

void PaintInk(Bitmap& bitmap, const CellGlyph& glyph, std::int64_t glyph_left,
              std::int64_t glyph_top, const Rect& cell, Color ink) {
  const BitmapFont& font = *glyph.font;
  Rect box = Clip(glyph_left, glyph_top, glyph.width, font.cellHeight(), cell);
  if (box.Empty()) return;
  const std::uint8_t blue = BlueOf(ink), green = GreenOf(ink), red = RedOf(ink);
  std::uint32_t columns = ColumnMask(static_cast<int>(box.left - glyph_left),
                                     static_cast<int>(box.right() - glyph_left));
  BitAddress row_address = glyph.address + static_cast<BitAddress>(box.top - glyph_top) * font.cellWidth();
  for (int row = box.top; row < box.bottom(); ++row, row_address += font.cellWidth()) {
    std::uint32_t bits = RowBits(font.GlyphData(), row_address, glyph.width) & columns;
    std::uint8_t* pixels = bitmap.Row(row);
    while (bits != 0) {
      int column = std::countl_zero(bits);
      bits &= ~(0x80000000u >> column);
      std::uint8_t* pixel = pixels + (glyph_left + column) * 3;
      pixel[0] = blue;
      pixel[1] = green;
      pixel[2] = red;
    }
  }
}

bool UnderlineWrites(int type, std::int64_t position) {
  switch (type) {
    case kDottedUnderline: return position % 2 == 0;
    case kDashedUnderline: return position % 3 < 2;
    case kSolidUnderline: return true;
    default: return false;
  }
}

void PaintUnderline(Bitmap& bitmap, const Underline& underline, std::int64_t left,
                    std::int64_t advance, std::int64_t row) {
  if (row < 0 || row >= bitmap.height()) return;
  std::int64_t from = std::max<std::int64_t>(left, 0);
  std::int64_t to = std::min<std::int64_t>(left + advance, bitmap.width());
  for (std::int64_t column = from; column < to; ++column) {
    if (UnderlineWrites(underline.type, column - left)) {
      bitmap.SetPixel(static_cast<int>(column), static_cast<int>(row), underline.color);
    }
  }
}

bool CellNearBitmap(const Bitmap& bitmap, std::int64_t left, std::int64_t top,
                    std::int64_t advance, std::int64_t line_height) {
  return left >= -advance && left <= bitmap.width() + advance && top >= -line_height &&
         top <= bitmap.height() + line_height;
}

}  // namespace

GlyphMetrics DrawGlyphStyled(Bitmap& bitmap, const TextStyle& style, int x,
                             const Underline& underline, std::uint16_t code, int weight, int mode,
                             Color background, Color foreground, int y) {
  bool line_break = code == kLineBreakCode;
  if (line_break) code = kSpaceCode;
  auto glyph = ChooseGlyph(style, code, weight);
  // Without even the replacement glyph there is nothing to draw: an empty cell.
  if (!glyph) {
    return GlyphMetrics{Narrow(std::int64_t{style.padTop} + style.padBottom),
                        Narrow(std::int64_t{style.padLeft} + style.padRight)};
  }
  std::int64_t advance = std::int64_t{style.padLeft} + glyph->width + style.padRight;
  std::int64_t line_height = std::int64_t{style.padTop} + glyph->font->cellHeight() + style.padBottom;
  std::int64_t left = std::int64_t{x} + style.xOffset;
  GlyphMetrics metrics{Narrow(line_height), Narrow(advance)};
  if (line_break || !CellNearBitmap(bitmap, left, y, advance, line_height)) return metrics;

  Rect cell = Clip(left, y, advance, line_height, Rect{0, 0, bitmap.width(), bitmap.height()});
  if (mode != kTransparent) bitmap.FillRect(cell, background);
  PaintInk(bitmap, *glyph, left + style.padLeft, std::int64_t{y} + style.padTop, cell, foreground);
  bool underlined = underline.type >= kDottedUnderline && underline.type <= kSolidUnderline;
  if (underlined && (underline.spacesToo == 1 || code != kSpaceCode)) {
    PaintUnderline(bitmap, underline, left, advance, y + line_height + underline.offset - 1);
  }
  return metrics;
}

GlyphMetrics DrawGlyph(Bitmap& bitmap, const TextStyle& style, int x, std::uint16_t code, int mode,
                       Color background, Color foreground, int y) {
  return DrawGlyphStyled(bitmap, style, x, Underline{}, code, kRegularWeight, mode, background,
                         foreground, y);
}

GlyphMetrics DrawGlyphUnderlined(Bitmap& bitmap, const TextStyle& style, int x,
                                 const Underline& underline, std::uint16_t code, int mode,
                                 Color background, Color foreground, int y) {
  return DrawGlyphStyled(bitmap, style, x, underline, code, kRegularWeight, mode, background,
                         foreground, y);
}

PenEnd DrawTextStyled(Bitmap& bitmap, const TextStyle& style, int x, const Underline& underline,
                      std::string_view text, int weight, int mode, Color background,
                      Color foreground, int y) {
  text = UpToZero(text);
  std::int64_t line_height =
      DrawGlyphStyled(bitmap, style, 0, underline, kLineBreakCode, weight, mode, background,
                      foreground, 0).lineHeight;
  // Lines that fit below y, and whole lines above the bitmap that need no drawing at all.
  constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();
  std::int64_t lines_that_fit = line_height > 0 ? (bitmap.height() - std::int64_t{y}) / line_height : kNoLimit;
  std::int64_t lines_to_skip = line_height > 0 && y < 0 ? -std::int64_t{y} / line_height : 0;
  std::int64_t pen_x = x, pen_y = y, line = 0;
  std::size_t at = 0;
  while (line < lines_to_skip && at < text.size()) {
    CodeStep step = NextCode(text, at);
    at += step.length;
    if (step.code != kLineBreakCode) continue;
    pen_x = 0;
    pen_y += line_height;
    ++line;
  }
  while (at < text.size()) {
    CodeStep step = NextCode(text, at);
    at += step.length;
    GlyphMetrics metrics =
        DrawGlyphStyled(bitmap, style, Narrow(pen_x), underline, step.code, weight, mode,
                        background, foreground, Narrow(pen_y));
    if (step.code != kLineBreakCode) {
      pen_x += metrics.advance;
      continue;
    }
    pen_x = 0;
    pen_y += line_height;
    if (++line > lines_that_fit) break;
  }
  return PenEnd{Narrow(pen_y), Narrow(pen_x)};
}

PenEnd DrawText(Bitmap& bitmap, const TextStyle& style, int x, std::string_view text, int mode,
                Color background, Color foreground, int y) {
  return DrawTextStyled(bitmap, style, x, Underline{}, text, kRegularWeight, mode, background,
                        foreground, y);
}

PenEnd DrawTextUnderlined(Bitmap& bitmap, const TextStyle& style, int x, const Underline& underline,
                          std::string_view text, int mode, Color background, Color foreground,
                          int y) {
  return DrawTextStyled(bitmap, style, x, underline, text, kRegularWeight, mode, background,
                        foreground, y);
}

std::optional<GlyphMetrics> MeasureGlyph(const TextStyle& style, std::uint16_t code) {
  if (code == kLineBreakCode) code = kSpaceCode;
  auto place = LocateDrawnGlyph(style, code);
  if (!place) return std::nullopt;
  const BitmapFont& font = *style.fonts[place->slot];
  return GlyphMetrics{Narrow(std::int64_t{style.padTop} + font.cellHeight() + style.padBottom),
                      Narrow(std::int64_t{style.padLeft} + *font.GlyphWidth(place->index) + style.padRight)};
}

std::optional<TextSize> MeasureText(const TextStyle& style, std::string_view text) {
  text = UpToZero(text);
  std::int64_t widest = 0, line_width = 0, height = 0, last_line_height = 0;
  for (std::size_t at = 0; at < text.size();) {
    CodeStep step = NextCode(text, at);
    at += step.length;
    auto metrics = MeasureGlyph(style, step.code);
    if (!metrics) return std::nullopt;
    last_line_height = metrics->lineHeight;
    if (step.code == kLineBreakCode) {
      height += metrics->lineHeight;
      widest = std::max(widest, line_width);
      line_width = 0;
    } else {
      line_width += metrics->advance;
    }
  }
  widest = std::max(widest, line_width);
  return TextSize{Narrow(widest), Narrow(height + last_line_height)};
}

TextSize MeasureOrNothing(const TextStyle& style, std::string_view text) {
  return MeasureText(style, text).value_or(TextSize{});
}

}  // namespace tolmeo
