// The progress bar: the bar length, clamping, the pixels of frames, track and bar, and the
// common pattern (bitmap follows the window, erase answered from the bitmap).
#include "widgets/gui_progress.h"

#include "gfx/colors.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {

constexpr Color kBar = 0x00C000;

TEST(ProgressBarLengthTest, FollowsThePositionWithinTheRange) {
  EXPECT_EQ(ProgressBarLength(50, 0, 100, 76), 38);
  EXPECT_EQ(ProgressBarLength(0, 0, 100, 76), 0);
  EXPECT_EQ(ProgressBarLength(100, 0, 100, 76), 76);
  EXPECT_EQ(ProgressBarLength(0x1FF, 0x100, 0x2FF, 100), 49);  // 25500 / 511, truncated
}

TEST(ProgressBarLengthTest, AnEmptyRangeGivesAnEmptyBar) {
  EXPECT_EQ(ProgressBarLength(5, 5, 5, 76), 0);
  EXPECT_EQ(ProgressBarLength(7, 5, 5, 76), 0);
}

TEST(ProgressBarLengthTest, PositionsOutsideTheRangeStayInsideTheTrack) {
  EXPECT_EQ(ProgressBarLength(200, 0, 100, 76), 76);
  EXPECT_EQ(ProgressBarLength(-50, 0, 100, 76), 0);
  EXPECT_EQ(ProgressBarLength(50, 100, 0, 76), 38);  // a reversed range still reads sensibly
  EXPECT_EQ(ProgressBarLength(50, 0, 100, -4), 0);
}

TEST(ProgressBarLengthTest, LargeRangesOnAWideBarDoNotOverflow) {
  EXPECT_EQ(ProgressBarLength(1'000'000, 0, 1'023'999, 1900), 1855);
  EXPECT_EQ(ProgressBarLength(2'000'000'000, -2'000'000'000, 2'000'000'000, 3000), 3000);
}

class ProgressTest : public WidgetTest {
 protected:
  ProgressTest() : bar(Place<Tgui_Progress_Form>(0, 0)) { bar.SetBarColor(kBar); }
  Color At(int x, int y) const { return bar.bitmap().Pixel(x, y); }
  // The first column of the track's middle row that is not bar coloured.
  int BarEnd() const {
    int x = 3;
    while (x < bar.width() && At(x, 7) == kBar) ++x;
    return x;
  }
  Tgui_Progress_Form& bar;
};

TEST_F(ProgressTest, HalfwayTheBarCovers38PixelsFromTheInsetUnderTheInnerFrame) {
  EXPECT_EQ(bar.width(), 80);
  EXPECT_EQ(bar.height(), 16);
  EXPECT_EQ(At(0, 0), kOverall);    // outer frame
  EXPECT_EQ(At(79, 15), kOverall);
  EXPECT_EQ(At(1, 1), kWhite);      // back colour between the frames
  EXPECT_EQ(At(2, 7), kOverall);    // inner frame over the bar's left edge
  EXPECT_EQ(At(2, 2), kOverall);
  EXPECT_EQ(At(3, 7), kBar);
  EXPECT_EQ(At(39, 7), kBar);       // x = 2 + 38 - 1
  EXPECT_EQ(At(40, 7), kWhite);     // the empty track
  EXPECT_EQ(At(77, 7), kOverall);   // inner frame's right side, x = 80 - 2 - 1
  EXPECT_EQ(At(39, 13), kOverall);  // inner frame's bottom over the bar
  EXPECT_EQ(At(39, 14), kWhite);
}

TEST_F(ProgressTest, SetPositionClampsToTheRange) {
  bar.SetPosition(-10);
  EXPECT_EQ(bar.position(), 0);
  EXPECT_EQ(BarEnd(), 3);
  bar.SetPosition(1000);
  EXPECT_EQ(bar.position(), 100);
  EXPECT_EQ(BarEnd(), 77);
}

TEST_F(ProgressTest, ANewRangeLeavesTheStoredPositionAndDrawsItClamped) {
  bar.SetPosition(80);
  bar.SetMin(90);
  EXPECT_EQ(bar.position(), 80);
  EXPECT_EQ(BarEnd(), 3);  // below the new minimum: empty
  bar.SetMin(0);
  bar.SetMax(40);
  EXPECT_EQ(bar.position(), 80);
  EXPECT_EQ(BarEnd(), 77);  // above the new maximum: full
  bar.SetPosition(80);
  EXPECT_EQ(bar.position(), 40);
}

TEST_F(ProgressTest, AnEmptyRangeDrawsAnEmptyBar) {
  bar.SetMin(100);  // equals the maximum, as between SetMin and SetMax of a loop
  EXPECT_EQ(BarEnd(), 3);
  EXPECT_EQ(At(40, 7), kWhite);
}

TEST_F(ProgressTest, TheCommandPanelsBarIsDrawnWithItsInsetAndColours) {
  bar.SetWidth(300);
  bar.SetHeight(18);
  bar.SetInset(3);
  bar.SetBackColor(0xEEEEEE);
  bar.SetMin(0x100);
  bar.SetMax(0x1FF);
  bar.SetPosition(0x100);
  EXPECT_EQ(bar.bitmap().width(), 300);
  EXPECT_EQ(bar.bitmap().height(), 18);
  EXPECT_EQ(At(299, 17), kOverall);
  EXPECT_EQ(At(2, 2), 0xEEEEEEu);
  EXPECT_EQ(At(3, 3), kOverall);
  EXPECT_EQ(At(4, 8), kWhite);
  bar.SetPosition(0x1FF);
  EXPECT_EQ(At(295, 8), kBar);
}

TEST_F(ProgressTest, TheWindowShowsTheBitmapAndFollowsEachPosition) {
  bar.SetLeft(10);
  bar.SetTop(20);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 10 + 39, 20 + 7), kBar);
  bar.SetPosition(10);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 10 + 39, 20 + 7), kWhite);
}

class CountingProgress : public Tgui_Progress_Form {
 public:
  using Tgui_Progress_Form::Tgui_Progress_Form;
  int renders = 0;

 protected:
  void Render(Bitmap& bitmap) override {
    ++renders;
    Tgui_Progress_Form::Render(bitmap);
  }
};

TEST_F(ProgressTest, AnEraseRequestRepaintsFromTheBitmapWithoutDrawing) {
  CountingProgress& counted = Place<CountingProgress>(100, 50);
  int renders = counted.renders;
  window.Invalidate();
  counted.SetLeft(110);  // moving repaints the window too
  Pump();
  EXPECT_EQ(counted.renders, renders);
  EXPECT_EQ(ScreenPixel(window, 110 + 3, 50 + 7), kOverall);
}

// The engine sets the position at every word of a memory: 64 K positions on a 76-pixel track
// draw at most once per pixel, and the last position still shows a full bar.
TEST_F(ProgressTest, OnlyAPositionThatMovesTheDrawnBarRedrawsIt) {
  CountingProgress& counted = Place<CountingProgress>(100, 50);
  counted.SetBarColor(kBar);
  counted.SetMax(65535);
  counted.SetPosition(0);
  int renders = counted.renders;
  for (std::int32_t word = 0; word <= 65535; ++word) counted.SetPosition(word);
  EXPECT_LE(counted.renders - renders, 76);
  EXPECT_GE(counted.renders - renders, 70);
  EXPECT_EQ(counted.bitmap().Pixel(76, 7), kBar);
  counted.SetPosition(0);
  EXPECT_EQ(counted.bitmap().Pixel(3, 7), kWhite);
}

}  // namespace
}  // namespace tolmeo::testing
