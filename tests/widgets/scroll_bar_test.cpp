// The scroll bars: the thumb's geometry (including the ranges that would divide by zero),
// the drawing along both axes, arrows that repeat on the virtual clock, the thumb drag and
// the two bars' different answers to a lowered maximum.
#include "base/cp949.h"
#include "gfx/colors.h"
#include "widget_fixture.h"
#include "widgets/gui_scroll_h.h"
#include "widgets/gui_scroll_v.h"

namespace tolmeo::testing {
namespace {

TEST(ThumbGeometry, FollowsPageAndRange) {
  // Range 0..255, page 20, a 200-pixel bar: track 184, thumb 184 * 20 / 275.
  ThumbGeometry thumb = ComputeThumb(184, 20, 0, 255, 0);
  EXPECT_EQ(thumb.thumb_length, 13);
  EXPECT_EQ(thumb.free_length, 171);
  EXPECT_EQ(thumb.thumb_offset, 0);
  EXPECT_EQ(ComputeThumb(184, 20, 0, 255, 255).thumb_offset, 171);
  // Range 50..255: thumb 184 * 20 / 225 = 16, free 168.
  EXPECT_EQ(ComputeThumb(184, 20, 50, 255, 152).thumb_offset, (152 - 50) * 168 / 205);
}

TEST(ThumbGeometry, RangesThatWouldDivideByZeroFillTheTrack) {
  ThumbGeometry empty_range = ComputeThumb(184, 20, 7, 7, 7);
  EXPECT_EQ(empty_range.thumb_length, 184);
  EXPECT_EQ(empty_range.free_length, 0);
  // maximum - minimum + page = 0: only a negative page does that.
  ThumbGeometry cancelled = ComputeThumb(184, -255, 0, 255, 100);
  EXPECT_EQ(cancelled.thumb_length, 184);
  EXPECT_EQ(cancelled.free_length, 0);
  // Other negative pages keep the thumb inside the track.
  for (int page : {-1, -100, -254, -256, -300}) {
    ThumbGeometry thumb = ComputeThumb(184, page, 0, 255, 100);
    EXPECT_GE(thumb.thumb_length, 0) << page;
    EXPECT_LE(thumb.thumb_length + thumb.thumb_offset, 184) << page;
  }
  // A bar shorter than its two arrows has no track at all.
  EXPECT_EQ(ComputeThumb(-4, 20, 0, 255, 10).thumb_length, 0);
  EXPECT_EQ(PositionForThumbOffset(25, 3, 3, 0), 3);
  EXPECT_EQ(PositionForThumbOffset(171, 0, 255, 171), 255);
}

class HorizontalBarTest : public WidgetTest {
 protected:
  HorizontalBarTest() : bar(Place<Tgui_scroll_h_Form>(0, 10)) {
    bar.SetWidth(200);
    bar.on_change = [this] { changes.push_back(bar.position()); };
    bar.on_press = [this] { ++presses; };
  }
  void PressAt(int x, MouseButton button = MouseButton::Left) {
    MoveTo(x, 16);
    Press(button);
  }
  Tgui_scroll_h_Form& bar;
  std::vector<int> changes;
  int presses = 0;
};

TEST_F(HorizontalBarTest, StartsWithItsDesignRange) {
  EXPECT_EQ(bar.height(), 13);
  EXPECT_EQ(bar.page(), 210);
  EXPECT_EQ(bar.maximum(), 100);
  EXPECT_EQ(bar.minimum(), 0);
  EXPECT_EQ(bar.bitmap().width(), app->ScreenRect().width);  // SetWidth shows more of it
  EXPECT_EQ(bar.track_length(), 184);
}

TEST_F(HorizontalBarTest, DrawsArrowsCheckerboardAndThumb) {
  bar.SetMax(255);
  bar.SetPage(20);
  bar.SetPosition(0);
  const Bitmap& picture = bar.bitmap();
  // Left arrow: tip at (1, 6), base at x 6 from row 1 to row 11, on white.
  EXPECT_EQ(picture.Pixel(1, 6), kOverall);
  EXPECT_EQ(picture.Pixel(1, 5), kWhite);
  EXPECT_EQ(picture.Pixel(6, 1), kOverall);
  EXPECT_EQ(picture.Pixel(6, 11), kOverall);
  EXPECT_EQ(picture.Pixel(6, 12), kWhite);
  // Right arrow mirrored: tip at (198, 6).
  EXPECT_EQ(picture.Pixel(198, 6), kOverall);
  EXPECT_EQ(picture.Pixel(199, 6), kWhite);
  // Thumb of 13 pixels at the start of the track, rows 4 to 8, a white line after it.
  for (int x = 8; x < 21; ++x) EXPECT_EQ(picture.Pixel(x, 6), kOverall) << x;
  EXPECT_EQ(picture.Pixel(21, 6), kWhite);
  EXPECT_EQ(picture.Pixel(10, 3), kWhite);
  EXPECT_EQ(picture.Pixel(10, 9), kWhite);
  // The checkerboard beyond: counted column by column over rows 4 to 8.
  int x = 100, i = x - 8;
  for (int y = 4; y <= 8; ++y) {
    int k = i * 5 + (y - 4);
    EXPECT_EQ(picture.Pixel(x, y), k % 2 == 0 ? kOverall : kWhite) << y;
  }
}

TEST_F(HorizontalBarTest, AHeldArrowStepsAtOnceAfter500MsThenEvery20Ms) {
  bar.SetPosition(50);
  changes.clear();
  PressAt(3);
  EXPECT_EQ(changes, std::vector<int>{49});
  EXPECT_EQ(bar.bitmap().Pixel(0, 0), kOverall);  // drawn held
  Advance(499);
  EXPECT_EQ(changes.size(), 1u);
  Advance(1);
  EXPECT_EQ(bar.position(), 48);
  Advance(19);
  EXPECT_EQ(bar.position(), 48);
  Advance(1);
  EXPECT_EQ(bar.position(), 47);
  Advance(20);
  EXPECT_EQ(bar.position(), 46);
  Release();
  EXPECT_FALSE(bar.repeating());
  EXPECT_EQ(bar.bitmap().Pixel(0, 0), kWhite);
  Advance(1000);
  EXPECT_EQ(bar.position(), 46);
  // The next hold starts slow again.
  PressAt(196);
  Advance(20);
  EXPECT_EQ(bar.position(), 47);
  Advance(480);
  EXPECT_EQ(bar.position(), 48);
  Release();
}

TEST_F(HorizontalBarTest, AtTheEndThePositionStaysWhileOnChangeKeepsFiring) {
  bar.SetPosition(1);
  changes.clear();
  PressAt(2);
  Advance(500);
  Advance(20);
  Release();
  EXPECT_EQ(changes, (std::vector<int>{0, 0, 0}));
}

TEST_F(HorizontalBarTest, TrackClicksChangeNothingAndEveryPressIsReported) {
  bar.SetMax(255);
  bar.SetPage(20);
  bar.SetPosition(0);
  changes.clear();
  PressAt(120);
  Release();
  PressAt(120, MouseButton::Right);
  Release(MouseButton::Right);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(bar.position(), 0);
  EXPECT_EQ(presses, 2);
}

TEST_F(HorizontalBarTest, DraggingTheThumbMovesThePositionInProportion) {
  bar.SetMax(255);
  bar.SetPage(20);
  bar.SetPosition(0);
  PressAt(12);
  EXPECT_TRUE(bar.dragging());
  MoveTo(12 + 57, 16);
  EXPECT_EQ(bar.position(), 255 * 57 / 171);
  MoveTo(500, 40);  // far beyond the bar, still captured
  EXPECT_EQ(bar.position(), 255);
  MoveTo(-300, 16);
  EXPECT_EQ(bar.position(), 0);
  Release();
  EXPECT_FALSE(bar.dragging());
  MoveTo(100, 16);
  EXPECT_EQ(bar.position(), 0);
}

TEST_F(HorizontalBarTest, AnEmptyRangeFillsTheTrackAndADragKeepsItsValue) {
  bar.SetMax(0);
  EXPECT_EQ(bar.thumb().thumb_length, 184);
  PressAt(100);
  MoveTo(150, 16);
  EXPECT_EQ(bar.position(), 0);
  Release();
}

TEST_F(HorizontalBarTest, ALowerMaximumKeepsTheStoredPositionUntilTheNextSet) {
  bar.SetPosition(80);
  changes.clear();
  bar.SetMax(40);
  EXPECT_EQ(bar.position(), 80);
  EXPECT_TRUE(changes.empty());
  bar.SetPosition(bar.position());
  EXPECT_EQ(bar.position(), 40);
  bar.SetMin(10);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.position(), 10);
}

class VerticalBarTest : public WidgetTest {
 protected:
  VerticalBarTest() : bar(Place<Tgui_scroll_v_Form>(10, 0)) {
    bar.SetHeight(90);
    bar.on_change = [this] { changes.push_back(bar.position()); };
  }
  Tgui_scroll_v_Form& bar;
  std::vector<int> changes;
};

TEST_F(VerticalBarTest, IsTheHorizontalBarTurned) {
  EXPECT_EQ(bar.width(), 13);
  EXPECT_EQ(bar.page(), 19);
  EXPECT_EQ(bar.track_length(), 74);
  bar.SetPosition(0);
  const Bitmap& picture = bar.bitmap();
  EXPECT_EQ(picture.Pixel(6, 1), kOverall);     // up arrow's tip
  EXPECT_EQ(picture.Pixel(6, 88), kOverall);    // down arrow's tip
  EXPECT_EQ(picture.Pixel(6, 89), kWhite);
  EXPECT_EQ(picture.Pixel(6, 8), kOverall);     // thumb, columns 4 to 8
  EXPECT_EQ(picture.Pixel(3, 8), kWhite);
  int thumb_end = 8 + bar.thumb().thumb_length;
  EXPECT_EQ(picture.Pixel(6, thumb_end), kWhite);  // the separating line below it
}

TEST_F(VerticalBarTest, ALowerMaximumBringsThePositionDownAndSaysSo) {
  bar.SetPosition(70);
  changes.clear();
  bar.SetMax(30);
  EXPECT_EQ(bar.position(), 30);
  EXPECT_EQ(changes, std::vector<int>{30});
  bar.SetMax(60);
  EXPECT_EQ(changes.size(), 1u);
}

TEST_F(VerticalBarTest, TheDownArrowRepeatsAndAnyButtonStopsIt) {
  MoveTo(16, 85);
  Press();
  EXPECT_EQ(bar.position(), 1);
  Advance(500);
  EXPECT_EQ(bar.position(), 2);
  Press(MouseButton::Right);
  Release(MouseButton::Right);
  EXPECT_FALSE(bar.repeating());
  Advance(500);
  EXPECT_EQ(bar.position(), 2);
  Release();
}

}  // namespace
}  // namespace tolmeo::testing
