#pragma once
// Small font files made in the tests, so the loader and the drawing are tested without the
// real font data. Glyph pixels come from an ink pattern, so a test can say which pixel a bit
// of a glyph must become.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "gfx/font_store.h"

namespace tolmeo::testing {

// Ink of glyph (range index or list position) at row and column of its glyph box.
using InkPattern = std::function<bool(std::uint32_t glyph, int row, int column)>;

bool CheckerInk(std::uint32_t glyph, int row, int column);  // a pattern that differs per glyph
bool FullInk(std::uint32_t glyph, int row, int column);     // every bit set

struct RangeFontSpec {
  std::uint32_t cellWidth = 8;
  std::uint32_t cellHeight = 12;
  std::uint32_t codeSet = 0;
  std::uint16_t firstCode = 0x20;
  std::uint16_t lastCode = 0x7E;
  std::uint32_t advanceWidth = 8;
  std::vector<std::uint16_t> widths;  // non-empty: a proportional font, one width per index
  std::uint32_t glyphCount = 0x7F;    // glyphs stored (index 0 up)
  InkPattern ink = CheckerInk;
};

struct ListGlyph {
  std::uint16_t code;
  int width;
};

struct ListFontSpec {
  std::uint32_t cellWidth = 12;
  std::uint32_t cellHeight = 12;
  std::vector<ListGlyph> glyphs;  // stored back to back, entry i names glyph i
  int leadingBits = 3;            // bits before the first glyph, so glyphs start mid-byte
  InkPattern ink = CheckerInk;
};

std::string MakeRangeFont(const RangeFontSpec& layout);
std::string MakeListFont(const ListFontSpec& layout);

// The four regular test fonts (Hangul B0A1-B1FE, symbols A1A1-A2FE, Hanja CAA1-CAFE, ASCII
// 20-7E; 12x12 and 8x12 cells, fixed width) and their bold twins, whose glyphs are all ink.
std::vector<RangeFontSpec> SystemFontSpecs();
// Writes them into folder/system/ under the system names; returns the font folder.
std::string WriteSystemFonts(const TempFolder& folder);

// A style over fonts parsed from files kept alive by the owner.
class TestFonts {
 public:
  explicit TestFonts(const std::vector<std::string>& files);
  // The fonts are views of files_, which must not be copied away from under them.
  TestFonts(const TestFonts&) = delete;
  TestFonts& operator=(const TestFonts&) = delete;
  TestFonts(TestFonts&&) = default;

  TextStyle Style(std::int32_t padLeft, std::int32_t padRight, std::int32_t padTop,
                  std::int32_t padBottom) const;

 private:
  std::vector<std::string> files_;
  std::vector<BitmapFont> fonts_;
};

// The eight test system fonts, ready to draw with.
TestFonts SystemTestFonts();

}  // namespace tolmeo::testing
