#pragma once
// The loaded fonts of the running program, the per-control choice of fonts (TextStyle) and
// the lookup from a CP949 code to the place of its glyph bits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gfx/bitmap_font.h"

namespace tolmeo {

// The system fonts in slot order: Hangul, symbols, Hanja, single-byte, then their bold twins.
inline constexpr int kSystemFontCount = 8;
inline constexpr int kRegularFontCount = 4;
extern const std::array<const char*, kSystemFontCount> kSystemFontNames;

// Hangul, symbols, Hanja and single-byte fonts, tried in this order; a slot may be empty.
using RegularFonts = std::span<const BitmapFont* const, kRegularFontCount>;

// Which fonts a control draws with and how much room it leaves around each glyph.
struct TextStyle {
  std::array<const BitmapFont*, kSystemFontCount> fonts{};
  std::int32_t xOffset = 0;  // added to the pen x of every glyph cell
  std::int32_t padLeft = 0;
  std::int32_t padRight = 0;
  std::int32_t padTop = 0;
  std::int32_t padBottom = 0;

  RegularFonts Regular() const { return RegularFonts(fonts.data(), kRegularFontCount); }
};

// Where a code's glyph is: the slot of the regular set that holds it, its index (range
// fonts) or list position (list fonts), and its first bit counted from the glyph data.
struct GlyphPlace {
  int slot = 0;
  std::uint32_t index = 0;
  std::uint64_t startByte = 0;
  int startBit = 7;  // 7 = most significant bit of startByte

  BitAddress Address() const { return startByte * 8 + static_cast<BitAddress>(7 - startBit); }
};

// The first slot (0-3) whose font holds code.
std::optional<int> FindFont(RegularFonts fonts, std::uint16_t code);
std::optional<GlyphPlace> LocateGlyph(RegularFonts fonts, std::uint16_t code);

// All font files in one block, each kept whole and used in place through a checked view.
class FontStore {
 public:
  // Reads the eight system fonts from font_folder + "system/" (every one must be there and
  // sound) and then every *.kft directly in font_folder (a damaged one is left out).
  Status Load(const std::string& font_folder);
  void Free();

  std::size_t count() const { return fonts_.size(); }
  std::size_t blockSize() const { return blockSize_; }
  // Font n, or nothing when there is no such font.
  const BitmapFont* font(std::size_t n) const { return n < fonts_.size() ? &fonts_[n] : nullptr; }

 private:
  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t blockSize_ = 0;
  std::vector<BitmapFont> fonts_;
};

// The one store of the program, alive for the whole run.
FontStore& TheFontStore();
// Fills the store from DataFolder() + "font/", or from another font folder (tests, tools).
Status LoadFonts();
Status LoadFonts(const std::string& font_folder);
void FreeFonts();
// Copies the eight system fonts of the store into style's slots.
void InitTextStyle(TextStyle& style);

}  // namespace tolmeo
