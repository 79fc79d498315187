// The image box shows one frame of a strip, redraws at once when the frame changes, and the
// edge box is a framed 14 x 14 square.
#include "widgets/gui_imagebox.h"

#include "gfx/colors.h"
#include "support/temp_folder.h"
#include "widget_fixture.h"
#include "widgets/gui_edgebox.h"

namespace tolmeo::testing {
namespace {


// Black where (x + 2 * y) % 7 == 0, so every column of a 128-wide strip looks different.
bool Inked(int x, int y) { return (x + 2 * y) % 7 == 0; }

class ImageBoxTest : public WidgetTest {
 protected:
  ImageBoxTest() : box(Place<Tgui_imagebox_Form>(30, 20)) {
    Bitmap strip(128, 32, kWhite);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 128; ++x) {
        if (Inked(x, y)) strip.SetPixel(x, y, kBlack);
      }
    }
    EXPECT_TRUE(SaveBmp(strip, path).ok());
  }
  bool ShowsColumnsFrom(int first) const {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (box.bitmap().Pixel(x, y) != (Inked(first + x, y) ? kOverall : kWhite)) return false;
      }
    }
    return true;
  }

  TempFolder folder;
  std::string path = folder.Cp949Path() + "strip.bmp";
  Tgui_imagebox_Form& box;
};

TEST_F(ImageBoxTest, FrameTwoOfAStripOf32ShowsColumns64To95) {
  box.LoadImage(path);
  EXPECT_TRUE(ShowsColumnsFrom(0));  // the whole picture, cut at the 32 x 32 area
  box.SetStripMode(true);
  box.SetFrameWidth(32);
  box.SetFrameIndex(2);
  EXPECT_TRUE(ShowsColumnsFrom(64));
}

TEST_F(ImageBoxTest, ChangingTheFrameRedrawsOnScreenAtOnce) {
  box.LoadImage(path);
  box.SetStripMode(true);
  box.SetFrameIndex(1);
  EXPECT_TRUE(ShowsColumnsFrom(32));
  Pump();
  for (int x = 0; x < 32; ++x) {
    EXPECT_EQ(ScreenPixel(window, 30 + x, 20), Inked(32 + x, 0) ? kOverall : kWhite) << x;
  }
}

TEST_F(ImageBoxTest, FramedOrNotAndAMissingPictureLeavesWhite) {
  box.SetFramed(true);
  EXPECT_FALSE(box.LoadImage(folder.Cp949Path() + "none.bmp").ok());
  EXPECT_EQ(box.bitmap().Pixel(0, 0), kOverall);
  EXPECT_EQ(box.bitmap().Pixel(31, 31), kOverall);
  EXPECT_EQ(box.bitmap().Pixel(5, 5), kWhite);
  box.SetFramed(false);
  EXPECT_EQ(box.bitmap().Pixel(0, 0), kWhite);
}

TEST_F(ImageBoxTest, BalloonHelpFollowsThePattern) {
  box.SetBalloonEnabled(true);
  box.SetBalloonText("icon");
  MoveTo(40, 30);
  MoveTo(5, 5);
  EXPECT_THAT(balloons.calls,
              ::testing::ElementsAre("request 140,130 icon 1", "track 140,130", "withdraw"));
}

class EdgeBoxTest : public WidgetTest {};

TEST_F(EdgeBoxTest, IsAFramed14By14SquareWithAWhiteInside) {
  auto& edge = Place<Tgui_edgebox_Form>(50, 40);
  EXPECT_EQ(edge.width(), 14);
  EXPECT_EQ(edge.height(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(edge.bitmap().Pixel(i, 0), kOverall);
    EXPECT_EQ(edge.bitmap().Pixel(13, i), kOverall);
    EXPECT_EQ(edge.bitmap().Pixel(0, i), kOverall);
    EXPECT_EQ(edge.bitmap().Pixel(i, 13), kOverall);
  }
  EXPECT_EQ(edge.bitmap().Pixel(6, 6), kWhite);
  EXPECT_EQ(ScreenPixel(window, 50 + 13, 40 + 13), kOverall);
}

}  // namespace
}  // namespace tolmeo::testing
