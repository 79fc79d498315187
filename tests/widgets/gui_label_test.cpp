// Labels and caption bars: where their text goes, what cuts it, and the frame drawn over it.
#include "widgets/gui_label.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "widgets/gui_captionbar.h"
#include "gfx/text_drawing.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {


// The text as it should appear: drawn on white at its pen position with no offset or padding.
Bitmap Expected(int width, int height, std::string_view text, int x, int y, Color ink = kBlack) {
  TextStyle plain;
  InitTextStyle(plain);
  Bitmap expected(width, height, kWhite);
  DrawText(expected, plain, x, text, kTransparent, kWhite, ink, y);
  return expected;
}

bool SameArea(const Bitmap& a, const Bitmap& b, const Rect& area) {
  for (int y = area.top; y < area.bottom(); ++y) {
    for (int x = area.left; x < area.right(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

class LabelTest : public WidgetTest {
 protected:
  LabelTest() : label(Place<Tgui_Label_Form>(10, 10)) {}
  Tgui_Label_Form& label;
};

TEST_F(LabelTest, StartsAsItsDefaultTextTwoPixelsInAndTwoRowsDown) {
  EXPECT_EQ(label.text(), Ktext(u8"라벨"));
  EXPECT_EQ(label.width(), 80);
  EXPECT_EQ(label.height(), 16);
  Bitmap expected = Expected(80, 16, label.text(), 2, 2);
  EXPECT_TRUE(SameArea(label.bitmap(), expected, Rect{0, 0, 80, 16}));
  EXPECT_EQ(ScreenPixel(window, 10 + 79, 10 + 15), kWhite);  // no border by default
}

TEST_F(LabelTest, ALongTextIsCutAtTheRightEdgeAndCrLfStartsTheNextLineAtTheOffset) {
  label.SetHeight(30);
  std::string text = std::string(20, 'W') + "\r\nAB";
  label.SetText(text);
  Bitmap expected(80, 30, kWhite);
  TextStyle plain;
  InitTextStyle(plain);
  DrawText(expected, plain, 2, std::string(20, 'W'), kTransparent, kWhite, kBlack, 2);
  // The label's lines are 14 rows apart: 12-row glyphs with one row of room above and below.
  DrawText(expected, plain, 2, "AB", kTransparent, kWhite, kBlack, 2 + 14);
  EXPECT_TRUE(SameArea(label.bitmap(), expected, Rect{0, 0, 80, 30}));
}

TEST_F(LabelTest, LinesBelowTheLabelAreNotDrawn) {
  std::string many;
  for (int i = 0; i < 200; ++i) many += "line\r\n";
  label.SetText(many);
  Bitmap expected = Expected(80, 16, "line", 2, 2);
  EXPECT_TRUE(SameArea(label.bitmap(), expected, Rect{0, 0, 80, 16}));
}

TEST_F(LabelTest, SettingTheWidthKeepsTheHeightAndRedrawsTheText) {
  label.SetText("ABCDEFGHIJKLMNOP");  // 128 pixels wide: cut at 80
  label.SetWidth(150);
  EXPECT_EQ(label.height(), 16);
  EXPECT_EQ(label.bitmap().width(), 150);
  Bitmap expected = Expected(150, 16, "ABCDEFGHIJKLMNOP", 2, 2);
  EXPECT_TRUE(SameArea(label.bitmap(), expected, Rect{0, 0, 150, 16}));
}

TEST_F(LabelTest, ControlsDrawWithTheOverallColourInForceWhenTheyDraw) {
  label.SetBorder(true);
  Tgui_captionbar_Form caption(window, options);
  options.overallColor = 0x123456;
  label.Draw();
  caption.Draw();
  EXPECT_EQ(label.bitmap().Pixel(0, 0), 0x123456u);
  EXPECT_EQ(caption.bitmap().Pixel(5, 14), 0x123456u);
}

TEST_F(LabelTest, TheBorderIsDrawnOverTheText) {
  label.SetTextColor(kBlack);
  label.SetBackColor(0x00FF00);
  label.SetTextPosition(-2, -2);  // ink now runs into the top and left edges
  label.SetText(std::string(30, '#'));
  label.SetBorder(true);
  for (int x = 0; x < 80; ++x) {
    ASSERT_EQ(label.bitmap().Pixel(x, 0), kOverall) << x;
    ASSERT_EQ(label.bitmap().Pixel(x, 15), kOverall) << x;
  }
  for (int y = 0; y < 16; ++y) {
    ASSERT_EQ(label.bitmap().Pixel(0, y), kOverall) << y;
    ASSERT_EQ(label.bitmap().Pixel(79, y), kOverall) << y;
  }
  Pump();
  EXPECT_EQ(ScreenPixel(window, 10, 10), kOverall);
}

TEST_F(LabelTest, ColoursAndPositionTakeEffectAtOnce) {
  label.SetBackColor(0x0000FF);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 10 + 70, 10 + 8), 0x0000FF);
  label.SetText("A");
  label.SetTextColor(0x00FF00);
  label.SetTextPosition(20, 1);
  TextStyle plain;
  InitTextStyle(plain);
  Bitmap expected(80, 16, 0x0000FF);
  DrawText(expected, plain, 22, "A", kTransparent, 0x0000FF, 0x00FF00, 2);
  EXPECT_TRUE(SameArea(label.bitmap(), expected, Rect{0, 0, 80, 16}));
}

TEST_F(LabelTest, TextsBeyond1023BytesAreCutWithoutSplittingACharacter) {
  label.SetText(std::string(1022, 'a') + Ktext(u8"가"));
  EXPECT_EQ(label.text(), std::string(1022, 'a'));
  label.SetText(std::string(1021, 'a') + Ktext(u8"가") + "zz");
  EXPECT_EQ(label.text().size(), 1023u);
}

TEST_F(LabelTest, BalloonHelpFollowsThePattern) {
  label.SetBalloonEnabled(true);
  label.SetBalloonText("why");
  MoveTo(20, 15);
  MoveTo(150, 80);
  EXPECT_THAT(balloons.calls,
              ::testing::ElementsAre("request 120,115 why 1", "track 120,115", "withdraw"));
}

class CaptionBarTest : public WidgetTest {};

TEST_F(CaptionBarTest, SpansItsParentWithWhiteTextOnTheFilledFramedBand) {
  auto& bar = Make<Tgui_captionbar_Form>(window, options);
  bar.Show();
  Pump();
  EXPECT_EQ(bar.parent(), &window);
  EXPECT_EQ(bar.bounds().left, 0);
  EXPECT_EQ(bar.bounds().top, 0);
  EXPECT_EQ(bar.bitmap().width(), window.width());
  EXPECT_EQ(bar.bitmap().height(), 16);
  EXPECT_EQ(bar.caption(), Ktext(u8" 제목글 "));
  bar.SetFillColor(0x00FF00);
  EXPECT_EQ(bar.bitmap().Pixel(0, 0), kOverall);    // the frame keeps its first colour
  EXPECT_EQ(bar.bitmap().Pixel(199, 15), kOverall);
  bar.SetCaption("X");
  TextStyle plain;
  InitTextStyle(plain);
  Bitmap expected(200, 16, 0x00FF00);
  expected.FrameRect(Rect{0, 0, 200, 16}, kOverall);
  DrawText(expected, plain, 2, "X", kTransparent, 0x00FF00, kWhite, 2);
  EXPECT_TRUE(SameArea(bar.bitmap(), expected, Rect{0, 0, 200, 16}));
  Pump();
  EXPECT_EQ(ScreenPixel(window, 150, 8), 0x00FF00);
}

TEST_F(CaptionBarTest, FittingAfterTheParentWasResizedMatchesItsWidthExactly) {
  auto& bar = Make<Tgui_captionbar_Form>(window, options);
  bar.Show();
  window.SetWidth(321);
  EXPECT_EQ(bar.width(), 200);  // only when told
  bar.FitToParent();
  EXPECT_EQ(bar.width(), 321);
  EXPECT_EQ(bar.bitmap().width(), 321);
  EXPECT_EQ(bar.bitmap().Pixel(320, 5), kOverall);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 320, 5), kOverall);
}

}  // namespace
}  // namespace tolmeo::testing
