#include "gfx/bitmap_font.h"

#include <gtest/gtest.h>

#include "font_builder.h"
#include "gfx/font_store.h"

namespace tolmeo {
namespace {

using testing::ListFontSpec;
using testing::MakeListFont;
using testing::MakeRangeFont;
using testing::RangeFontSpec;

Result<BitmapFont> Parse(const std::string& file) {
  return BitmapFont::Parse({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()},
                           "x.kft");
}

RangeFontSpec HangulSpec() {
  return RangeFontSpec{12, 12, BitmapFont::kHangulSet, 0xB0A1, 0xB1FE, 12, {}, 188};
}

TEST(BitmapFont, GlyphIndicesFollowTheCodeSetNotTheRange) {
  std::string hangul_file = MakeRangeFont(HangulSpec());
  auto hangul = Parse(hangul_file);
  ASSERT_TRUE(hangul.ok()) << hangul.reason();
  EXPECT_EQ(hangul->GlyphIndex(0xB0A1), 0u);
  EXPECT_EQ(hangul->GlyphIndex(0xB0FE), 93u);
  EXPECT_EQ(hangul->GlyphIndex(0xB1A1), 94u);

  std::string symbol_file = MakeRangeFont({12, 12, BitmapFont::kSymbolSet, 0xA1A1, 0xA2FE, 12, {}, 188});
  std::string hanja_file = MakeRangeFont({12, 12, BitmapFont::kHanjaSet, 0xCAA1, 0xCAFE, 12, {}, 94});
  EXPECT_EQ(Parse(symbol_file)->GlyphIndex(0xA2C6), 94u + 0xC6 - 0xA1);
  EXPECT_EQ(Parse(hanja_file)->GlyphIndex(0xCAA2), 1u);

  // A single-byte font counts from code 0 even when its range starts higher.
  std::string latin_file = MakeRangeFont(RangeFontSpec{});
  auto latin = Parse(latin_file);
  ASSERT_TRUE(latin.ok()) << latin.reason();
  EXPECT_EQ(latin->GlyphIndex('A'), 65u);
}

TEST(BitmapFont, DoubleByteCodesWithoutAPlaceAreNotHeld) {
  RangeFontSpec layout = HangulSpec();
  layout.firstCode = 0xA041;  // a range reaching below the set's first row and into trail 0x41
  std::string file = MakeRangeFont(layout);
  auto font = Parse(file);
  ASSERT_TRUE(font.ok()) << font.reason();
  for (std::uint16_t code : {0xB0A0, 0xB0FF, 0xB141, 0xAFA1, 0xA041}) {
    EXPECT_FALSE(font->GlyphIndex(code).has_value()) << std::hex << code;
    EXPECT_FALSE(font->Holds(code)) << std::hex << code;
  }
  EXPECT_TRUE(font->Holds(0xB1FE));
  EXPECT_FALSE(font->Holds(0xB1FF));
}

// Every way a header can promise more than the file holds is refused with the file's name.
TEST(BitmapFont, DamagedFilesAreRefused) {
  std::string good = MakeRangeFont(HangulSpec());
  ASSERT_TRUE(Parse(good).ok());

  auto refused = [](const std::string& file) {
    auto font = Parse(file);
    return !font.ok() && font.reason().find("x.kft") != std::string::npos;
  };
  auto with_field = [&](std::size_t offset, std::uint32_t value) {
    std::string file = good;
    for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<char>(value >> (24 - 8 * i));
    return file;
  };
  EXPECT_TRUE(refused(good.substr(0, 35)));
  EXPECT_TRUE(refused(""));
  EXPECT_TRUE(refused(good.substr(0, good.size() - 1)));  // last glyph cut short
  EXPECT_TRUE(refused(with_field(8, 0)));                 // cell width
  EXPECT_TRUE(refused(with_field(8, 33)));
  EXPECT_TRUE(refused(with_field(12, 0)));                // cell height
  EXPECT_TRUE(refused(with_field(24, 0xB0A1C8FE)));       // a range beyond the data
  EXPECT_TRUE(refused(with_field(28, 13)));               // advance wider than the cell
  EXPECT_TRUE(refused(with_field(32, static_cast<std::uint32_t>(good.size() + 1))));
  EXPECT_TRUE(refused(with_field(32, 0xFFFFFFFF)));

  RangeFontSpec proportional;
  proportional.widths.assign(proportional.glyphCount, 8);
  std::string table_font = MakeRangeFont(proportional);
  ASSERT_TRUE(Parse(table_font).ok());
  proportional.widths[40] = 9;  // wider than the 8-pixel cell
  EXPECT_TRUE(refused(MakeRangeFont(proportional)));
  EXPECT_TRUE(refused(table_font.substr(0, 36 + 2 * 0x7E)));  // table cut short

  ListFontSpec list;
  list.glyphs = {{0x41, 5}, {0x42, 6}};
  std::string list_font = MakeListFont(list);
  ASSERT_TRUE(Parse(list_font).ok());
  EXPECT_TRUE(refused(list_font.substr(0, 36 + 8 + 4)));         // entries cut short
  EXPECT_TRUE(refused(list_font.substr(0, list_font.size() - 2)));  // glyph cut short
  list.glyphs[1].width = 13;
  EXPECT_TRUE(refused(MakeListFont(list)));
}

TEST(BitmapFont, ARangeThatHoldsNothingIsHarmless) {
  RangeFontSpec layout;
  layout.firstCode = 0x50;
  layout.lastCode = 0x40;
  layout.glyphCount = 0;
  std::string file = MakeRangeFont(layout);
  auto font = Parse(file);
  ASSERT_TRUE(font.ok()) << font.reason();
  EXPECT_FALSE(font->Holds(0x45));
  EXPECT_FALSE(font->GlyphWidth(0).has_value());
}

}  // namespace
}  // namespace tolmeo
