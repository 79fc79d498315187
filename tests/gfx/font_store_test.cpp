#include "gfx/font_store.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include "font_builder.h"

namespace tolmeo {
namespace {

using testing::MakeListFont;
using testing::MakeRangeFont;
using testing::RangeFontSpec;
using testing::SystemFontSpecs;
using testing::TempFolder;
using testing::TestFonts;

TEST(GlyphLookup, SingleByteCodesFallThroughToTheLastSlot) {
  TestFonts fonts = testing::SystemTestFonts();
  TextStyle style = fonts.Style(0, 0, 0, 0);
  EXPECT_EQ(FindFont(style.Regular(), 'A'), 3);
  EXPECT_EQ(FindFont(style.Regular(), 0xB0A1), 0);
  EXPECT_EQ(FindFont(style.Regular(), 0xA2C6), 1);
  EXPECT_EQ(FindFont(style.Regular(), 0xCAA1), 2);
  EXPECT_FALSE(FindFont(style.Regular(), 0xB141).has_value());  // trail outside A1-FE
  EXPECT_FALSE(FindFont(style.Regular(), 0x7F).has_value());

  style.fonts[1] = nullptr;  // an empty slot is skipped
  EXPECT_EQ(FindFont(style.Regular(), 'A'), 3);
  EXPECT_FALSE(FindFont(style.Regular(), 0xA2C6).has_value());
}

TEST(GlyphLookup, ACodeInTwoRangesComesFromTheLowerSlot) {
  RangeFontSpec wide;
  wide.firstCode = 0;
  wide.lastCode = 0x7E;
  TestFonts fonts({MakeRangeFont(wide), MakeRangeFont(wide), MakeRangeFont(RangeFontSpec{}),
                   MakeRangeFont(RangeFontSpec{})});
  TextStyle style = fonts.Style(0, 0, 0, 0);
  style.fonts[0] = nullptr;
  EXPECT_EQ(FindFont(style.Regular(), 'A'), 1);
}

TEST(GlyphLookup, RangeGlyphsStartAtCellTimesIndexBits) {
  TestFonts fonts = testing::SystemTestFonts();
  TextStyle style = fonts.Style(0, 0, 0, 0);
  auto hangul_1 = LocateGlyph(style.Regular(), 0xB0A2);  // 12x12, glyph 1
  ASSERT_TRUE(hangul_1.has_value());
  EXPECT_EQ(hangul_1->slot, 0);
  EXPECT_EQ(hangul_1->index, 1u);
  EXPECT_EQ(hangul_1->startByte, 18u);
  EXPECT_EQ(hangul_1->startBit, 7);
  auto latin_1 = LocateGlyph(style.Regular(), 0x01);
  EXPECT_FALSE(latin_1.has_value());  // below the range of the test font
  auto latin_a = LocateGlyph(style.Regular(), 'A');  // 8x12, glyph 65
  ASSERT_TRUE(latin_a.has_value());
  EXPECT_EQ(latin_a->slot, 3);
  EXPECT_EQ(latin_a->startByte, 65u * 96 / 8);
  EXPECT_EQ(latin_a->startBit, 7);

  RangeFontSpec odd;  // 5x3 cells: glyph 1 starts at bit 15, byte 1, bit number 0
  odd.cellWidth = 5;
  odd.cellHeight = 3;
  odd.advanceWidth = 5;
  odd.firstCode = 0;
  odd.lastCode = 2;
  odd.glyphCount = 3;
  TestFonts odd_fonts({MakeRangeFont(odd), MakeRangeFont(odd), MakeRangeFont(odd), MakeRangeFont(odd)});
  auto glyph_1 = LocateGlyph(odd_fonts.Style(0, 0, 0, 0).Regular(), 1);
  ASSERT_TRUE(glyph_1.has_value());
  EXPECT_EQ(glyph_1->startByte, 1u);
  EXPECT_EQ(glyph_1->startBit, 0);
}

TEST(GlyphLookup, ListFontsGiveTheEntryPositionAndItsStart) {
  testing::ListFontSpec layout;
  layout.glyphs = {{0x41, 5}, {0x42, 7}, {0x41, 3}};
  layout.leadingBits = 3;
  TestFonts fonts({MakeListFont(layout)});
  TextStyle style = fonts.Style(0, 0, 0, 0);
  EXPECT_EQ(LocateGlyph(style.Regular(), 0x41)->index, 0u);  // the first entry naming a code wins
  EXPECT_EQ(style.fonts[0]->GlyphWidth(1), 7);
  auto b = LocateGlyph(style.Regular(), 0x42);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->slot, 0);
  EXPECT_EQ(b->index, 1u);
  EXPECT_EQ(b->Address(), 3u + 144);
  EXPECT_EQ(b->startByte, (3u + 144) / 8);
  EXPECT_EQ(b->startBit, 7 - static_cast<int>((3 + 144) % 8));
  EXPECT_FALSE(LocateGlyph(style.Regular(), 0x43).has_value());
}

TEST(FontStore, LoadsSystemFontsInSlotOrderThenTheFolderSorted) {
  TempFolder folder;
  std::string font_folder = testing::WriteSystemFonts(folder);
  testing::ListFontSpec extra;
  extra.glyphs = {{0x41, 4}};
  folder.Write("font/b.kft", MakeListFont(extra));
  folder.Write("font/a.kft", MakeListFont(extra));
  folder.Write("font/broken.kft", "TLMOKFT1 too short");
  folder.Write("font/notes.txt", "not a font");

  ASSERT_TRUE(LoadFonts(font_folder).ok());
  const FontStore& store = TheFontStore();
  EXPECT_EQ(store.count(), 10u);  // eight system fonts, a.kft, b.kft; broken.kft left out
  EXPECT_EQ(store.font(0)->CodeSet(), BitmapFont::kHangulSet);
  EXPECT_EQ(store.font(3)->cellWidth(), 8);
  EXPECT_EQ(store.font(5)->CodeSet(), BitmapFont::kSymbolSet);
  EXPECT_TRUE(store.font(8)->IsList());
  EXPECT_EQ(store.font(10), nullptr);

  TextStyle style;
  InitTextStyle(style);
  for (int slot = 0; slot < kSystemFontCount; ++slot) EXPECT_EQ(style.fonts[slot], store.font(slot));
  EXPECT_EQ(FindFont(style.Regular(), 'A'), 3);

  FreeFonts();
  EXPECT_EQ(store.count(), 0u);
  EXPECT_EQ(store.blockSize(), 0u);
  EXPECT_EQ(store.font(0), nullptr);
}

TEST(FontStore, AMissingOrDamagedSystemFontFailsNamingTheFile) {
  TempFolder folder;
  std::string font_folder = testing::WriteSystemFonts(folder);
  std::filesystem::remove(folder.path() / "font/system" / kSystemFontNames[6]);
  auto missing = LoadFonts(font_folder);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.reason().find(kSystemFontNames[6]), std::string::npos);
  EXPECT_EQ(TheFontStore().count(), 0u);

  std::string hangul = MakeRangeFont(SystemFontSpecs()[0]);
  folder.Write(std::string("font/system/") + kSystemFontNames[6], hangul);
  folder.Write(std::string("font/system/") + kSystemFontNames[2], hangul.substr(0, 1000));
  auto damaged = LoadFonts(font_folder);
  ASSERT_FALSE(damaged.ok());
  EXPECT_NE(damaged.reason().find(kSystemFontNames[2]), std::string::npos);
  EXPECT_EQ(TheFontStore().count(), 0u);
}

// Asks iconv directly: a whole character converted without error is one CP949 defines.
bool Cp949Defines(int lead, int trail) {
  static iconv_t converter = iconv_open("UTF-8", "CP949");
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  char out[8];
  char* in_at = in;
  char* out_at = out;
  std::size_t in_left = 2, out_left = sizeof out;
  bool defined = iconv(converter, &in_at, &in_left, &out_at, &out_left) != static_cast<std::size_t>(-1);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  return defined && in_left == 0;
}

// The fonts made from the free bitmap fonts must cover what the system can be asked to show.
TEST(FontStore, SystemFontsHoldEveryKsX1001CharacterAndPrintableAscii) {
  ASSERT_TRUE(LoadFonts(TOLMEO_SOURCE_DIR "/data/font/").ok());
  TextStyle style;
  InitTextStyle(style);
  int checked = 0;
  auto expect_glyph = [&](std::uint16_t code) {
    auto place = LocateGlyph(style.Regular(), code);
    ASSERT_TRUE(place.has_value()) << std::hex << code;
    const BitmapFont* twin = style.fonts[place->slot + 4];
    auto twin_width = twin->GlyphWidth(place->index);
    ASSERT_TRUE(twin_width.has_value()) << "bold " << std::hex << code;
    EXPECT_TRUE(twin->GlyphFits(place->Address(), *twin_width)) << "bold " << std::hex << code;
    ++checked;
  };
  for (int lead = 0xA1; lead <= 0xFE; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (!Cp949Defines(lead, trail)) continue;
      expect_glyph(static_cast<std::uint16_t>(lead << 8 | trail));
    }
  }
  for (int code = 0x20; code <= 0x7E; ++code) expect_glyph(static_cast<std::uint16_t>(code));
  EXPECT_GT(checked, 8000);
  FreeFonts();
}

}  // namespace
}  // namespace tolmeo
