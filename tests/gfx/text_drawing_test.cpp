#include "gfx/text_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "font_builder.h"

namespace tolmeo {
namespace {

using testing::CheckerInk;
using testing::FullInk;
using testing::InkPattern;
using testing::TestFonts;

constexpr Color kPaper = 0x123456;
constexpr Color kInk = 0x0000FF;
constexpr Color kBack = 0xABCDEF;
constexpr Color kLine = 0x00FF00;
constexpr std::uint32_t kGlyphA = 'A';     // index of 'A' in the single-byte test font
constexpr std::uint32_t kGlyphGa = 0;      // index of 0xB0A1 in the Hangul test font
constexpr std::uint32_t kGlyphShade = 131;  // index of 0xA2C6 in the symbol test font

// A glyph as the test expects to see it: the top-left of its glyph box and its bits.
struct Placed {
  int left;
  int top;
  std::uint32_t glyph;
  int width = 8;
  int height = 12;
  InkPattern ink = CheckerInk;
};

void Paint(Bitmap& bitmap, const Placed& placed, Color ink) {
  for (int row = 0; row < placed.height; ++row) {
    for (int column = 0; column < placed.width; ++column) {
      if (placed.ink(placed.glyph, row, column)) {
        bitmap.SetPixel(placed.left + column, placed.top + row, ink);
      }
    }
  }
}

// Empty when the two bitmaps agree, else where they first differ and how many pixels do.
std::string Difference(const Bitmap& actual, const Bitmap& expected) {
  int count = 0;
  std::ostringstream first;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      if (actual.Pixel(x, y) == expected.Pixel(x, y)) continue;
      if (count++ == 0) {
        first << "first at (" << x << ", " << y << "): " << std::hex << actual.Pixel(x, y)
              << " instead of " << expected.Pixel(x, y);
      }
    }
  }
  return count == 0 ? "" : std::to_string(count) + " pixels differ, " + first.str();
}

class TextDrawing : public ::testing::Test {
 protected:
  TestFonts fonts_ = testing::SystemTestFonts();
  TextStyle style_ = fonts_.Style(0, 0, 1, 1);
};

TEST_F(TextDrawing, MeasuresFollowPaddingsAndLines) {
  auto measure = [&](std::string_view text) { return MeasureText(style_, text); };
  ASSERT_TRUE(measure("AB").has_value());
  EXPECT_EQ(measure("AB")->width, 16);
  EXPECT_EQ(measure("AB")->height, 14);
  EXPECT_EQ(measure("\xB0\xA1" "A")->width, 20);
  EXPECT_EQ(measure("\xB0\xA1" "A")->height, 14);
  EXPECT_EQ(measure("A\r\nBC")->width, 16);
  EXPECT_EQ(measure("A\r\nBC")->height, 28);
  EXPECT_EQ(measure("")->width, 0);
  EXPECT_EQ(measure("")->height, 0);
  EXPECT_EQ(measure("\tA")->width, 16);  // a tab is one space

  auto line_break = MeasureGlyph(style_, kLineBreakCode);
  ASSERT_TRUE(line_break.has_value());
  EXPECT_EQ(line_break->advance, 8);
  EXPECT_EQ(line_break->lineHeight, 14);
  style_.xOffset = 50;  // never part of a measure
  style_.padLeft = 2;
  EXPECT_EQ(MeasureText(style_, "AB")->width, 20);
}

TEST_F(TextDrawing, MissingCharactersMeasureAsTheReplacementTheyAreDrawnAs) {
  // An extension syllable, a code inside no range, a lone CR, and a lead byte cut off by the end.
  for (std::string_view text : {"A\x8C\x63" "B", "A\xB1\x41" "B", "A\rB", "AB\xB0"}) {
    auto size = MeasureText(style_, text);
    ASSERT_TRUE(size.has_value()) << "measuring " << text;
    EXPECT_EQ(size->width, 8 + 12 + 8) << "measuring " << text;
    EXPECT_EQ(size->height, 14) << "measuring " << text;
    Bitmap drawn(60, 14, kPaper);
    EXPECT_EQ(DrawText(drawn, style_, 0, text, kTransparent, kBack, kInk, 0).x, size->width)
        << "drawing " << text;
  }
  auto glyph = MeasureGlyph(style_, 0x8C63);
  ASSERT_TRUE(glyph.has_value());
  EXPECT_EQ(glyph->advance, 12);
  EXPECT_EQ(glyph->lineHeight, 14);

  style_.fonts[1] = nullptr;  // without the symbol font there is no replacement block either
  EXPECT_FALSE(MeasureText(style_, "A\x8C\x63").has_value());
  EXPECT_FALSE(MeasureGlyph(style_, 0x8C63).has_value());
  EXPECT_EQ(MeasureText(style_, "AB")->width, 16);
}

TEST_F(TextDrawing, TextsEndAtTheZeroOrTheViewAndALoneLeadByteStaysAlone) {
  const char buffer[] = "\xB0\xA1";
  EXPECT_EQ(MeasureText(style_, std::string_view(buffer, 1))->width, 12);
  EXPECT_EQ(MeasureText(style_, std::string_view("AB\0CD", 5))->width, 16);

  Bitmap drawn(40, 14, kPaper);
  PenEnd end = DrawText(drawn, style_, 0, std::string_view(buffer, 1), kTransparent, kBack, kInk, 0);
  EXPECT_EQ(end.x, 12);  // drawn as the replacement, the following byte never read
  Bitmap expected(40, 14, kPaper);
  Paint(expected, Placed{0, 1, kGlyphShade, 12}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");
}

TEST_F(TextDrawing, TransparentModeWritesOnlyInk) {
  style_ = fonts_.Style(1, 2, 1, 1);
  style_.xOffset = 2;
  Bitmap drawn(40, 20, kPaper);
  GlyphMetrics metrics = DrawGlyph(drawn, style_, 3, 'A', kTransparent, kBack, kInk, 2);
  EXPECT_EQ(metrics.advance, 11);
  EXPECT_EQ(metrics.lineHeight, 14);
  Bitmap expected(40, 20, kPaper);
  Paint(expected, Placed{3 + 2 + 1, 2 + 1, kGlyphA}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");
}

TEST_F(TextDrawing, OpaqueModeFillsTheWholeCell) {
  style_ = fonts_.Style(1, 2, 1, 1);
  Bitmap drawn(40, 20, kPaper);
  DrawGlyph(drawn, style_, 3, 0xB0A1, kOpaque, kBack, kInk, 2);
  Bitmap expected(40, 20, kPaper);
  expected.FillRect(Rect{3, 2, 15, 14}, kBack);
  Paint(expected, Placed{4, 3, kGlyphGa, 12}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");
}

TEST_F(TextDrawing, GlyphsAreCutAtEveryEdge) {
  Bitmap reference(60, 60, kPaper);
  DrawGlyph(reference, style_, 20, 0xB0A1, kOpaque, kBack, kInk, 20);
  for (auto [x, y] : {std::pair{-5, -7}, {4, 3}, {-11, 5}, {2, -13}, {9, 9}}) {
    Bitmap drawn(10, 10, kPaper);
    DrawGlyph(drawn, style_, x, 0xB0A1, kOpaque, kBack, kInk, y);
    Bitmap expected(10, 10, kPaper);
    expected.CopyFrom(reference, 20, 20, 12, 14, x, y);
    EXPECT_EQ(Difference(drawn, expected), "") << "at " << x << ", " << y;
  }
  Bitmap far(10, 10, kPaper);
  for (int far_away : {INT_MIN, INT_MAX, -1000, 1000}) {
    EXPECT_EQ(DrawGlyph(far, style_, far_away, 'A', kOpaque, kBack, kInk, 0).advance, 8);
    EXPECT_EQ(DrawGlyph(far, style_, 0, 'A', kOpaque, kBack, kInk, far_away).advance, 8);
    DrawText(far, style_, far_away, "A\r\nB", kOpaque, kBack, kInk, far_away);
  }
  EXPECT_EQ(Difference(far, Bitmap(10, 10, kPaper)), "");

  TextStyle absurd = fonts_.Style(INT_MAX, INT_MAX, INT_MAX, INT_MIN);
  absurd.xOffset = INT_MIN;
  EXPECT_EQ(DrawGlyph(far, absurd, 0, 'A', kOpaque, kBack, kInk, 0).advance, INT_MAX);
  EXPECT_EQ(DrawText(far, absurd, 0, "AB", kOpaque, kBack, kInk, 0).x, INT_MAX);
  EXPECT_EQ(MeasureText(absurd, "AB")->width, INT_MAX);
}

TEST_F(TextDrawing, ProportionalAndListGlyphsSkipTheRestOfEachCellRow) {
  testing::RangeFontSpec proportional;
  proportional.cellWidth = 12;
  proportional.firstCode = 0x41;
  proportional.lastCode = 0x43;
  proportional.glyphCount = 0x44;
  proportional.widths.assign(0x44, 12);
  proportional.widths[0x42] = 5;
  testing::ListFontSpec list;
  list.glyphs = {{0xB0A1, 7}, {0xB0A2, 3}};
  list.leadingBits = 5;
  TestFonts fonts({testing::MakeListFont(list), testing::MakeRangeFont(proportional)});
  TextStyle style = fonts.Style(0, 0, 0, 0);

  Bitmap drawn(40, 12, kPaper);
  PenEnd end = DrawText(drawn, style, 0, "B\xB0\xA2" "A", kTransparent, kBack, kInk, 0);
  EXPECT_EQ(end.x, 5 + 3 + 12);
  Bitmap expected(40, 12, kPaper);
  Paint(expected, Placed{0, 0, 0x42, 5}, kInk);
  Paint(expected, Placed{5, 0, 1, 3}, kInk);
  Paint(expected, Placed{8, 0, 0x41, 12}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");
}

TEST_F(TextDrawing, BoldDrawsTheTwinAtTheSamePlace) {
  Bitmap drawn(30, 14, kPaper);
  GlyphMetrics metrics = DrawGlyphStyled(drawn, style_, 4, Underline{}, 0xB0A1, kBoldWeight,
                                         kTransparent, kBack, kInk, 0);
  EXPECT_EQ(metrics.advance, 12);
  Bitmap expected(30, 14, kPaper);
  Paint(expected, Placed{4, 1, kGlyphGa, 12, 12, FullInk}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");

  Bitmap regular(30, 14, kPaper);
  DrawGlyphStyled(regular, style_, 4, Underline{}, 0xB0A1, 3, kTransparent, kBack, kInk, 0);
  Bitmap expected_regular(30, 14, kPaper);
  Paint(expected_regular, Placed{4, 1, kGlyphGa, 12}, kInk);
  EXPECT_EQ(Difference(regular, expected_regular), "") << "an unknown weight draws regular";

  style_.fonts[4] = nullptr;  // no twin: the regular glyph
  Bitmap without_twin(30, 14, kPaper);
  DrawGlyphStyled(without_twin, style_, 4, Underline{}, 0xB0A1, kBoldWeight, kTransparent,
                  kBack, kInk, 0);
  EXPECT_EQ(Difference(without_twin, expected_regular), "");
}

// The underline row of two 8-pixel cells at y 0 with line height 14 and offset 0 is row 13.
std::string UnderlineRow(const Bitmap& bitmap, int row) {
  std::string marks;
  for (int x = 0; x < bitmap.width(); ++x) marks += bitmap.Pixel(x, row) == kLine ? '#' : '.';
  return marks;
}

TEST_F(TextDrawing, UnderlinePatternsRestartAtEachCell) {
  auto underlined = [&](int type, int spaces_too, std::string_view text, int offset = 0) {
    Bitmap bitmap(20, 16, kPaper);
    DrawTextUnderlined(bitmap, style_, 0, Underline{kLine, offset, spaces_too, type}, text,
                       kTransparent, kBack, kInk, 0);
    return UnderlineRow(bitmap, 13 + offset);
  };
  EXPECT_EQ(underlined(kDottedUnderline, 0, "AB"), "#.#.#.#.#.#.#.#.....");
  EXPECT_EQ(underlined(kDashedUnderline, 0, "AB"), "##.##.####.##.##....");
  EXPECT_EQ(underlined(kSolidUnderline, 0, "AB"), "################....");
  EXPECT_EQ(underlined(kSolidUnderline, 0, "A B"), "########........####");
  EXPECT_EQ(underlined(kSolidUnderline, 1, "A B"), "####################");
  EXPECT_EQ(underlined(kSolidUnderline, 0, "AB", 2), "################....");
  EXPECT_EQ(underlined(kNoUnderline, 1, "AB"), "....................");

  Bitmap opaque(20, 16, kPaper);  // drawn over the cell in either mode
  DrawGlyphUnderlined(opaque, style_, 0, Underline{kLine, 0, 0, kSolidUnderline}, 'A', kOpaque,
                      kBack, kInk, 0);
  EXPECT_EQ(UnderlineRow(opaque, 13), "########............");
}

TEST_F(TextDrawing, UnheldCodesDrawTheShadedBlockAndLineBreaksNothing) {
  Bitmap drawn(40, 14, kPaper);
  GlyphMetrics shade = DrawGlyph(drawn, style_, 0, 0xB141, kTransparent, kBack, kInk, 0);
  EXPECT_EQ(shade.advance, 12);
  GlyphMetrics line_break = DrawGlyph(drawn, style_, 20, kLineBreakCode, kOpaque, kBack, kInk, 0);
  EXPECT_EQ(line_break.advance, 8);
  EXPECT_EQ(line_break.lineHeight, 14);
  Bitmap expected(40, 14, kPaper);
  Paint(expected, Placed{0, 1, kGlyphShade, 12}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");

  TextStyle latin_only = fonts_.Style(0, 0, 1, 1);
  latin_only.fonts = {nullptr, nullptr, nullptr, latin_only.fonts[3]};
  Bitmap untouched(40, 14, kPaper);
  GlyphMetrics nothing = DrawGlyph(untouched, latin_only, 0, 0xB0A1, kOpaque, kBack, kInk, 0);
  EXPECT_EQ(nothing.advance, 0);
  EXPECT_EQ(DrawText(untouched, latin_only, 0, "\xB0\xA1\xB0\xA1", kOpaque, kBack, kInk, 0).x, 0);
  EXPECT_EQ(Difference(untouched, Bitmap(40, 14, kPaper)), "");
}

TEST_F(TextDrawing, TextsBreakLinesAtCrLfOnly) {
  style_.xOffset = 1;
  Bitmap drawn(40, 30, kPaper);
  PenEnd end = DrawText(drawn, style_, 5, "A\tB\r\nA\rB", kTransparent, kBack, kInk, 0);
  EXPECT_EQ(end.y, 14);
  EXPECT_EQ(end.x, 8 + 12 + 8);  // the lone CR is drawn as the shaded block
  Bitmap expected(40, 30, kPaper);
  Paint(expected, Placed{6, 1, 'A'}, kInk);
  Paint(expected, Placed{14, 1, ' '}, kInk);  // the test font's space has ink
  Paint(expected, Placed{22, 1, 'B'}, kInk);
  Paint(expected, Placed{1, 15, 'A'}, kInk);
  Paint(expected, Placed{9, 15, kGlyphShade, 12}, kInk);
  Paint(expected, Placed{21, 15, 'B'}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");

  Bitmap empty(10, 10, kPaper);
  PenEnd nothing = DrawText(empty, style_, 7, "", kOpaque, kBack, kInk, 3);
  EXPECT_EQ(nothing.x, 7);
  EXPECT_EQ(nothing.y, 3);
  EXPECT_EQ(Difference(empty, Bitmap(10, 10, kPaper)), "");

  Bitmap tab(20, 14, kPaper);
  DrawText(tab, style_, 0, "\t", kOpaque, kBack, kInk, 0);
  Bitmap one_space(20, 14, kPaper);
  one_space.FillRect(Rect{1, 0, 8, 14}, kBack);
  Paint(one_space, Placed{1, 1, ' '}, kInk);
  EXPECT_EQ(Difference(tab, one_space), "");
}

TEST_F(TextDrawing, LinesAboveTheBitmapAreSkippedAndBelowItEnded) {
  Bitmap drawn(20, 20, kPaper);
  PenEnd end = DrawText(drawn, style_, 0, "A\r\nB", kTransparent, kBack, kInk, -20);
  EXPECT_EQ(end.y, -6);
  EXPECT_EQ(end.x, 8);
  Bitmap expected(20, 20, kPaper);
  Paint(expected, Placed{0, -6 + 1, 'B'}, kInk);
  EXPECT_EQ(Difference(drawn, expected), "");

  // Height 20 with line height 14: one line fits, the second is cut, the third never drawn.
  Bitmap short_bitmap(20, 20, kPaper);
  PenEnd stopped = DrawText(short_bitmap, style_, 0, "A\r\nB\r\nC\r\nD", kTransparent, kBack, kInk, 0);
  EXPECT_EQ(stopped.y, 28);
  EXPECT_EQ(stopped.x, 0);

  Bitmap narrow(20, 14, kPaper);
  EXPECT_EQ(DrawText(narrow, style_, 0, "AAAAAAAAAA", kOpaque, kBack, kInk, 0).x, 80);
}

}  // namespace
}  // namespace tolmeo
