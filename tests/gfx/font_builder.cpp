#include "font_builder.h"

#include <stdexcept>

namespace tolmeo::testing {
namespace {

class BitWriter {
 public:
  void Put(bool bit) {
    if (count_ % 8 == 0) bytes_.push_back('\0');
    if (bit) bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (count_ % 8)));
    ++count_;
  }
  std::uint64_t count() const { return count_; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::uint64_t count_ = 0;
};

void PutBigEndian(std::string& out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The first width bits of each row are the glyph's pixels, the rest of the cell row is left
// clear, so a drawing that reads the skipped bits shows up.
void PutGlyph(BitWriter& bits, std::uint32_t cell_width, std::uint32_t cell_height, int width,
              std::uint32_t glyph, const InkPattern& ink) {
  for (std::uint32_t row = 0; row < cell_height; ++row) {
    for (std::uint32_t column = 0; column < cell_width; ++column) {
      bool inside = static_cast<int>(column) < width;
      bits.Put(inside && ink(glyph, static_cast<int>(row), static_cast<int>(column)));
    }
  }
}

std::string Header(std::uint32_t cell_width, std::uint32_t cell_height, std::uint32_t kind,
                   std::uint32_t entries, std::uint32_t range, std::uint32_t advance,
                   std::uint32_t data_offset) {
  std::string out = "TLMOKFT1";
  for (std::uint32_t field : {cell_width, cell_height, kind, entries, range, advance, data_offset}) {
    PutBigEndian(out, field, 4);
  }
  return out;
}

}  // namespace

bool CheckerInk(std::uint32_t glyph, int row, int column) {
  return (static_cast<std::uint32_t>(row * 3 + column) + glyph) % 5 < 2;
}

bool FullInk(std::uint32_t, int, int) { return true; }

std::string MakeRangeFont(const RangeFontSpec& layout) {
  bool proportional = !layout.widths.empty();
  std::uint32_t kind = layout.codeSet | (proportional ? BitmapFont::kProportionalFlag : 0);
  std::string table;
  for (std::uint16_t width : layout.widths) PutBigEndian(table, width, 2);
  BitWriter bits;
  for (std::uint32_t glyph = 0; glyph < layout.glyphCount; ++glyph) {
    int width = proportional ? layout.widths.at(glyph) : static_cast<int>(layout.advanceWidth);
    PutGlyph(bits, layout.cellWidth, layout.cellHeight, width, glyph, layout.ink);
  }
  std::uint32_t range = static_cast<std::uint32_t>(layout.firstCode) << 16 | layout.lastCode;
  std::uint32_t data_offset = static_cast<std::uint32_t>(BitmapFont::kHeaderSize + table.size());
  return Header(layout.cellWidth, layout.cellHeight, kind, 0, range, layout.advanceWidth, data_offset) +
         table + bits.bytes();
}

std::string MakeListFont(const ListFontSpec& layout) {
  BitWriter bits;
  for (int i = 0; i < layout.leadingBits; ++i) bits.Put(false);
  std::string table;
  for (std::uint32_t i = 0; i < layout.glyphs.size(); ++i) {
    const ListGlyph& glyph = layout.glyphs[i];
    std::uint64_t start = bits.count();
    std::uint64_t entry = static_cast<std::uint64_t>(glyph.width) << 51 | (start / 8) << 19 |
                          (7 - start % 8) << 16 | glyph.code;
    PutBigEndian(table, entry, 8);
    PutGlyph(bits, layout.cellWidth, layout.cellHeight, glyph.width, i, layout.ink);
  }
  std::uint32_t data_offset = static_cast<std::uint32_t>(BitmapFont::kHeaderSize + table.size());
  return Header(layout.cellWidth, layout.cellHeight, BitmapFont::kListFlag,
                static_cast<std::uint32_t>(layout.glyphs.size()), 0, 0, data_offset) +
         table + bits.bytes();
}

std::vector<RangeFontSpec> SystemFontSpecs() {
  auto double_byte = [](std::uint32_t code_set, std::uint16_t first, std::uint16_t last) {
    std::uint32_t rows = static_cast<std::uint32_t>((last >> 8) - (first >> 8) + 1);
    return RangeFontSpec{12, 12, code_set, first, last, 12, {}, rows * 94, CheckerInk};
  };
  std::vector<RangeFontSpec> specs = {
      double_byte(BitmapFont::kHangulSet, 0xB0A1, 0xB1FE),
      double_byte(BitmapFont::kSymbolSet, 0xA1A1, 0xA2FE),
      double_byte(BitmapFont::kHanjaSet, 0xCAA1, 0xCAFE),
      RangeFontSpec{},
  };
  for (int slot = 0; slot < kRegularFontCount; ++slot) {
    specs.push_back(specs[slot]);
    specs.back().ink = FullInk;
  }
  return specs;
}

std::string WriteSystemFonts(const TempFolder& folder) {
  std::vector<RangeFontSpec> specs = SystemFontSpecs();
  for (int slot = 0; slot < kSystemFontCount; ++slot) {
    folder.Write(std::string("font/system/") + kSystemFontNames[slot], MakeRangeFont(specs[slot]));
  }
  return folder.Cp949Path() + "font/";
}

TestFonts::TestFonts(const std::vector<std::string>& files) : files_(files) {
  for (const std::string& file : files_) {
    auto font = BitmapFont::Parse(
        {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, "test font");
    if (!font) throw std::runtime_error(font.reason());
    fonts_.push_back(*font);
  }
}

TextStyle TestFonts::Style(std::int32_t padLeft, std::int32_t padRight, std::int32_t padTop,
                           std::int32_t padBottom) const {
  TextStyle style;
  for (std::size_t slot = 0; slot < fonts_.size() && slot < style.fonts.size(); ++slot) {
    style.fonts[slot] = &fonts_[slot];
  }
  style.padLeft = padLeft;
  style.padRight = padRight;
  style.padTop = padTop;
  style.padBottom = padBottom;
  return style;
}

TestFonts SystemTestFonts() {
  std::vector<std::string> files;
  for (const RangeFontSpec& layout : SystemFontSpecs()) files.push_back(MakeRangeFont(layout));
  return TestFonts(files);
}

}  // namespace tolmeo::testing
