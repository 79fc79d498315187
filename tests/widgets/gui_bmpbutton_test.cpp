// The bitmap button and the tinted picture it shares with the image box: black takes the
// overall colour, the pressed look swaps the two colours, the image area cuts the picture, and
// a missing or broken file leaves white.
#include "widgets/gui_bmpbutton.h"

#include "gfx/colors.h"
#include "support/temp_folder.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {


// A black-and-white test picture: black where (x + y) % 3 == 0.
Bitmap Pattern(int width, int height) {
  Bitmap picture(width, height, kWhite);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((x + y) % 3 == 0) picture.SetPixel(x, y, kBlack);
    }
  }
  return picture;
}

class BmpButtonTest : public WidgetTest {
 protected:
  BmpButtonTest() : button(Place<Tgui_bmpbutton_Form>(20, 10)) {
    EXPECT_TRUE(SaveBmp(Pattern(40, 40), picture_path).ok());
    button.on_click = [this] { ++clicks; };
  }
  Color At(int x, int y) const { return button.bitmap().Pixel(x, y); }

  TempFolder folder;
  std::string picture_path = folder.Cp949Path() + "pattern.bmp";
  Tgui_bmpbutton_Form& button;
  int clicks = 0;
};

TEST_F(BmpButtonTest, BlackPixelsOfThePictureTakeTheOverallColour) {
  ASSERT_TRUE(button.LoadImage(picture_path).ok());
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(At(x, y), (x + y) % 3 == 0 ? kOverall : kWhite) << x << "," << y;
    }
  }
}

TEST_F(BmpButtonTest, PressedTheTwoColoursSwapAndReleasedTheyComeBack) {
  button.LoadImage(picture_path);
  MoveTo(25, 15);
  Press();
  EXPECT_TRUE(button.pressed());
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(At(x, y), (x + y) % 3 == 0 ? kWhite : kOverall) << x << "," << y;
    }
  }
  EXPECT_EQ(ScreenPixel(window, 21, 10), kOverall);
  Release();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(At(1, 0), kWhite);
  EXPECT_EQ(At(0, 0), kOverall);
  EXPECT_EQ(ScreenPixel(window, 21, 10), kWhite);
}

TEST_F(BmpButtonTest, ThePictureIsCutAtTheImageArea) {
  button.SetImageWidth(12);
  button.SetImageHeight(5);
  button.LoadImage(picture_path);
  EXPECT_EQ(At(9, 0), kOverall);
  EXPECT_EQ(At(12, 0), kWhite);   // (12 + 0) % 3 == 0, but beyond the area
  EXPECT_EQ(At(0, 6), kWhite);    // below the area
  EXPECT_EQ(At(2, 4), kOverall);
}

TEST_F(BmpButtonTest, TheFrameGoesOverThePictureInTheOverallColour) {
  button.LoadImage(picture_path);
  button.SetFramed(true);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(At(i, 0), kOverall);
    EXPECT_EQ(At(31, i), kOverall);
  }
  EXPECT_EQ(At(2, 2), kWhite);
}

TEST_F(BmpButtonTest, AMissingOrBrokenFileGivesTheFrameOnWhiteAndTheButtonGoesOn) {
  button.SetFramed(true);
  button.LoadImage(picture_path);
  EXPECT_FALSE(button.LoadImage(folder.Cp949Path() + "missing.bmp").ok());
  std::string broken = folder.Write("broken.bmp", "BM this is not a picture");
  EXPECT_FALSE(button.LoadImage(broken).ok());
  EXPECT_FALSE(button.LoadImage(folder.Write("text.bmp", "hello")).ok());
  for (int y = 1; y < 31; ++y) {
    for (int x = 1; x < 31; ++x) ASSERT_EQ(At(x, y), kWhite) << x << "," << y;
  }
  EXPECT_EQ(At(0, 0), kOverall);
  MoveTo(25, 15);
  Press();
  Release();
  EXPECT_EQ(clicks, 1);
}

TEST(TintedPictureTest, AStripShowsOnlyItsFrameAndFramesBeyondTheStripShowWhite) {
  Bitmap strip(4 * 8, 2, kWhite);
  for (int frame = 0; frame < 4; ++frame) strip.SetPixel(frame * 8 + frame, 0, kBlack);
  TempFolder folder;
  std::string path = folder.Cp949Path() + "strip.bmp";
  ASSERT_TRUE(SaveBmp(strip, path).ok());
  TintedPicture picture(8, 2);
  ASSERT_TRUE(picture.Load(path).ok());
  picture.SetStripMode(true);
  picture.SetFrameWidth(8);
  Bitmap target(10, 2);
  for (int frame : {0, 3}) {
    picture.SetFrameIndex(frame);
    picture.Draw(target, 0x123456);
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(target.Pixel(x, 0), x == frame ? 0x123456u : kWhite) << frame << " " << x;
    }
  }
  for (int frame : {4, -1, 1 << 30}) {
    picture.SetFrameIndex(frame);
    picture.Draw(target, 0x123456);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(target.Pixel(x, 0), kWhite) << frame << " " << x;
  }
}

}  // namespace
}  // namespace tolmeo::testing
