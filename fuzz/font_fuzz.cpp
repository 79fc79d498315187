// links: gfx
// Feeds bytes to the font loader as a font file; a font it accepts is then used for drawing
// and measuring, with the same bytes as the text, so every glyph it promises gets read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gfx/bitmap.h"
#include "gfx/bitmap_font.h"
#include "gfx/font_store.h"
#include "gfx/text_drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolmeo;
  auto font = BitmapFont::Parse({data, size}, "fuzz.kft");
  if (!font) return 0;
  TextStyle style;
  style.fonts.fill(&*font);
  style.padTop = 1;
  style.padBottom = 1;
  Bitmap bitmap(64, 40);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  DrawTextStyled(bitmap, style, -3, Underline{0xFF, 0, 1, kDashedUnderline}, text, kBoldWeight,
                 kOpaque, 0xFFFFFF, 0, -5);
  DrawText(bitmap, style, 0, text, kTransparent, 0xFFFFFF, 0, 10);
  MeasureText(style, text);
  // Every glyph the font claims, including its last ones, drawn at an edge.
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
    if (font->Holds(static_cast<std::uint16_t>(code))) {
      DrawGlyph(bitmap, style, 60, static_cast<std::uint16_t>(code), kTransparent, 0, 0xFF, 30);
    }
  }
  return 0;
}
