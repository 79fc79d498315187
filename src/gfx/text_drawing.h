#pragma once
// The one way text gets into a bitmap: glyphs of the bitmap fonts, drawn and measured with a
// control's TextStyle. Texts are CP949 and end at their first zero byte or at the end of the
// view, whichever comes first.
#include <cstdint>
#include <optional>
#include <string_view>

#include "gfx/bitmap.h"
#include "gfx/font_store.h"

namespace tolmeo {

// CR LF as one code: measured as a space, never drawn.
inline constexpr std::uint16_t kLineBreakCode = 0x0D0A;
// The shaded block of the symbol set, drawn for any character no font holds.
inline constexpr std::uint16_t kReplacementCode = 0xA2C6;
inline constexpr std::uint16_t kSpaceCode = 0x20;

// Drawing modes: transparent writes only the glyph's ink; any other mode fills the cell.
inline constexpr int kOpaque = 0;
inline constexpr int kTransparent = 1;

// Weights: the slot distance between a regular font and its bold twin.
inline constexpr int kRegularWeight = 0;
inline constexpr int kBoldWeight = 4;

// Underline types.
inline constexpr int kNoUnderline = 0;
inline constexpr int kDottedUnderline = 1;
inline constexpr int kDashedUnderline = 2;
inline constexpr int kSolidUnderline = 3;

struct Underline {
  Color color = 0;
  int offset = 0;      // rows, added to the cell's last row
  int spacesToo = 0;   // 1: spaces are underlined as well
  int type = kNoUnderline;
};

struct GlyphMetrics {
  int lineHeight = 0;
  int advance = 0;
};

// The pen after a text: top of the last line drawn, and x after the last character.
struct PenEnd {
  int y = 0;
  int x = 0;
};

struct TextSize {
  int width = 0;
  int height = 0;
};

GlyphMetrics DrawGlyph(Bitmap& bitmap, const TextStyle& style, int x, std::uint16_t code, int mode,
                       Color background, Color foreground, int y);
PenEnd DrawText(Bitmap& bitmap, const TextStyle& style, int x, std::string_view text, int mode,
                Color background, Color foreground, int y);
GlyphMetrics DrawGlyphUnderlined(Bitmap& bitmap, const TextStyle& style, int x,
                                 const Underline& underline, std::uint16_t code, int mode,
                                 Color background, Color foreground, int y);
PenEnd DrawTextUnderlined(Bitmap& bitmap, const TextStyle& style, int x, const Underline& underline,
                          std::string_view text, int mode, Color background, Color foreground,
                          int y);
// weight is kRegularWeight or kBoldWeight; any other value draws regular.
GlyphMetrics DrawGlyphStyled(Bitmap& bitmap, const TextStyle& style, int x,
                             const Underline& underline, std::uint16_t code, int weight, int mode,
                             Color background, Color foreground, int y);
PenEnd DrawTextStyled(Bitmap& bitmap, const TextStyle& style, int x, const Underline& underline,
                      std::string_view text, int weight, int mode, Color background,
                      Color foreground, int y);

// The cells as drawing lays them out: a character no font holds measures as the replacement
// block. Nothing only when the fonts lack even the replacement block.
std::optional<GlyphMetrics> MeasureGlyph(const TextStyle& style, std::uint16_t code);
std::optional<TextSize> MeasureText(const TextStyle& style, std::string_view text);
// The size as laid out, or 0 x 0 when the fonts cannot measure it: for layouts that must go on.
TextSize MeasureOrNothing(const TextStyle& style, std::string_view text);

}  // namespace tolmeo
