// The memory viewer on its own: the scroll range from the chip's sizes, the texts of the
// dump, header and address column, the horizontal shift, the wheel, the background picture's
// fallbacks and the fixed text buffers.
#include "views/memory_viewer.h"

#include "base/cp949.h"
#include "base/file_system.h"
#include "support/temp_folder.h"
#include "views_fixture.h"
#include "gfx/palette.h"

namespace tolmeo::testing {
namespace {

class ViewerTest : public ViewsTest {
 protected:
  ViewerTest()
      : vertical(Make<Tgui_scroll_v_Form>(&main, options)),
        horizontal(Make<Tgui_scroll_h_Form>(&main, options)),
        viewer(Make<Tmemory_Viewer_Form>(main, options, *image, 16)) {
    viewer.AttachScrollBars(&vertical, &horizontal, Tgui_BlockTabs_Form::kHeight);
    horizontal.SetMax(400);
    viewer.Show();
    Pump();
  }
  // A viewer height that shows this many whole rows above the block tabs.
  void ShowRows(int rows) {
    viewer.SetHeight(Tgui_BlockTabs_Form::kHeight + 16 + rows * viewer.row_height());
  }
  TextStyle Style(int x_offset) const {
    TextStyle style;
    InitTextStyle(style);
    style.xOffset = x_offset;
    style.padLeft = style.padRight = style.padTop = style.padBottom = 0;
    return style;
  }
  int Row(int k) const { return Tmemory_Viewer_Form::kDumpY + k * viewer.row_height(); }

  Tgui_scroll_v_Form& vertical;
  Tgui_scroll_h_Form& horizontal;
  Tmemory_Viewer_Form& viewer;
};

TEST_F(ViewerTest, FillsItsParentBelowTheCaptionBarWithCellsOfTheFont) {
  EXPECT_EQ(viewer.top(), 15);
  EXPECT_EQ(viewer.height(), 719 - 15);
  EXPECT_EQ(viewer.row_height(), 12);
  EXPECT_EQ(viewer.column_width(), 8);
  Rect screen = app->ScreenRect();
  EXPECT_EQ(viewer.bitmap().width(), screen.width);
  EXPECT_EQ(viewer.bitmap().height(), screen.height);
}

TEST_F(ViewerTest, ScrollRangeFollowsTheMemoryOfTheStoredMode) {
  ShowRows(10);
  viewer.UpdateScrollRange();
  EXPECT_EQ(vertical.maximum(), 246);  // 8192 bytes: 256 rows
  EXPECT_EQ(vertical.page(), 64);
  viewer.SetViewMode(kEepromView);
  viewer.SetHeight(600);  // taller than the 32 rows of 512 bytes
  viewer.UpdateScrollRange();
  EXPECT_EQ(vertical.maximum(), 0);
  EXPECT_EQ(vertical.page(), 8);
  viewer.SetHeight(5);  // not even the header fits: the range ends at the last row
  viewer.UpdateScrollRange();
  EXPECT_EQ(vertical.maximum(), 32);
}

TEST_F(ViewerTest, AnEmptyFlashGivesAnEmptyDumpButTheAddressesGoOn) {
  image->flashSize = 0;
  viewer.UpdateScrollRange();
  EXPECT_EQ(vertical.maximum(), 0);
  EXPECT_EQ(vertical.page(), 0);
  viewer.Refresh(kFlashView);
  EXPECT_TRUE(viewer.dump_text(kFlashView).empty());
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(4), "00000000", Row(0)));
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(4), "00000010", Row(1)));
  int last = (app->ScreenRect().height / viewer.row_height()) - 2;
  char address[9];
  std::snprintf(address, sizeof address, "%08X", last * 16);
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(4), address, Row(last)));
}

TEST_F(ViewerTest, WordsAndBytesAreUpperCaseHexRowsOfSixteen) {
  image->flashWords[0] = 0x0C94;
  image->flashWords[17] = 0xABCD;
  image->eepromBytes[0] = 0x0A;
  viewer.Refresh(kFlashView);
  const std::string& flash = viewer.dump_text(kFlashView);
  EXPECT_EQ(flash.substr(0, 10), "0C94 FFFF ");
  EXPECT_EQ(flash.substr(82, 10), "FFFF ABCD ");
  EXPECT_EQ(flash.substr(78, 4), "F \r\n");
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(73), "0C94 FFFF", Row(0), 73));
  viewer.Refresh(kEepromView);
  EXPECT_EQ(viewer.dump_text(kEepromView).substr(0, 6), "0A FF ");
  EXPECT_EQ(viewer.view_mode(), kFlashView);  // refreshing another mode does not store it
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(73), "+0 +1 +2", 2, 73));
}

TEST_F(ViewerTest, TheTopRowComesFromTheVerticalBar) {
  viewer.SetViewMode(kEepromView);
  ShowRows(1);
  viewer.UpdateScrollRange();
  vertical.SetPosition(31);
  viewer.Refresh(kEepromView);
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(4), "000001F0", Row(0)));
  EXPECT_EQ(viewer.dump_text(kEepromView).size(), 50u);  // only the last row is left
  // A top row beyond the memory leaves the dump empty; the addresses still show.
  vertical.RestorePosition(40);
  viewer.Refresh(kEepromView);
  EXPECT_TRUE(viewer.dump_text(kEepromView).empty());
  EXPECT_TRUE(ShowsText(viewer.bitmap(), Style(4), "00000280", Row(0)));
}

TEST_F(ViewerTest, TheHorizontalPositionShiftsDumpAndHeaderButNotTheAddresses) {
  image->flashWords[8] = 0x1234;
  viewer.Refresh(kFlashView);
  const Bitmap unshifted = viewer.bitmap();
  horizontal.SetPosition(5);
  viewer.Refresh(kFlashView);
  const int shifted = 73 - 5 * viewer.column_width();
  // Word 8 begins 40 columns in; five columns less is still right of the address strip.
  TextStyle dump = Style(shifted);
  EXPECT_TRUE(ShowsText(viewer.bitmap(), dump,
                        "FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF 1234", Row(0), 72));
  EXPECT_TRUE(ShowsText(viewer.bitmap(), dump, "  +0   +1   +2   +3", 2, 72));
  // The address column, and whatever of the texts it covers, is as it was.
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 72; ++x) {
      ASSERT_EQ(viewer.bitmap().Pixel(x, y), unshifted.Pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(ViewerTest, TheStripsAreLightenedWithDividersInTheOverallColour) {
  const Color strip = LightenColor(kOverall, 210);
  EXPECT_EQ(viewer.bitmap().Pixel(1, 1), strip);
  EXPECT_EQ(viewer.bitmap().Pixel(71, 15), kOverall);
  EXPECT_EQ(viewer.bitmap().Pixel(71, 300), kOverall);
  EXPECT_EQ(viewer.bitmap().Pixel(400, 15), kOverall);
  EXPECT_EQ(viewer.bitmap().Pixel(70, 14), strip);
}

TEST_F(ViewerTest, AWheelNotchMovesThreeRowsAndClampsAtRowZero) {
  viewer.UpdateScrollRange();
  vertical.SetPosition(2);
  MoveOver(viewer, 200, 100);
  screen->Wheel(-1);
  Pump();
  EXPECT_EQ(vertical.position(), 5);
  screen->Wheel(1);
  screen->Wheel(1);
  Pump();
  EXPECT_EQ(vertical.position(), 0);
  viewer.Wheel(0);
  EXPECT_EQ(vertical.position(), 0);
}

TEST_F(ViewerTest, APressGivesTheViewerTheFocus) {
  ClickOn(viewer, 300, 100);
  EXPECT_TRUE(viewer.Focused());
}

TEST_F(ViewerTest, WithoutScrollBarsThePositionsAreZero) {
  Tmemory_Viewer_Form& alone = Make<Tmemory_Viewer_Form>(main, options, *image, 16);
  image->flashWords[0] = 0x0C94;
  alone.Refresh(kFlashView);
  EXPECT_EQ(alone.dump_text(kFlashView).substr(0, 5), "0C94 ");
  alone.UpdateScrollRange();  // nothing to set
}

TEST_F(ViewerTest, TheBackgroundFallsBackToTheDefaultPictureThenToWhite) {
  options.brightness = 0;
  viewer.SetBackgroundPicture("/no/such/picture.jpg");
  EXPECT_EQ(viewer.picture_path(), ExeFolder() + Ktext(u8"image/대한민국.jpg"));
  TempFolder folder;
  std::string broken = folder.Write("broken.jpg", "not a JPEG at all");
  viewer.SetBackgroundPicture(broken);  // there, but not decodable: the default is not tried
  EXPECT_EQ(viewer.picture_path(), "");
  EXPECT_EQ(viewer.bitmap().Pixel(700, 600), kWhite);
  SetExeFolderForTesting(folder.Cp949Path());
  viewer.SetBackgroundPicture("");
  SetExeFolderForTesting("");
  EXPECT_EQ(viewer.picture_path(), "");
  EXPECT_EQ(viewer.bitmap().Pixel(700, 600), kWhite);
}

TEST_F(ViewerTest, BrightnessLightensThePicture) {
  options.backgroundPicturePath = ExeFolder() + Ktext(u8"image/대한민국.jpg");
  viewer.SetBackgroundBrightness(0);
  int white_before = 0, white_after = 0;
  for (int x = 100; x < 600; x += 7) white_before += viewer.bitmap().Pixel(x, 300) == kWhite;
  viewer.SetBackgroundBrightness(255);
  for (int x = 100; x < 600; x += 7) white_after += viewer.bitmap().Pixel(x, 300) == kWhite;
  EXPECT_LT(white_before, white_after);
}

// A screen far taller than any real one and the largest chip: the rows formatted stop where
// the fixed buffer ends, instead of writing past it.
class TallScreenViewerTest : public ViewsTest {
 protected:
  TallScreenViewerTest()
      : ViewsTest(std::make_unique<HeadlessBackend>(Rect{0, 0, 80, 260'000}, 0)) {}
};

TEST_F(TallScreenViewerTest, TheDumpStaysInsideItsFixedBuffer) {
  image->flashSize = kFlashCapacityBytes;
  image->eepromSize = kEepromCapacityBytes;
  Tmemory_Viewer_Form& viewer = Make<Tmemory_Viewer_Form>(main, options, *image, 16);
  const std::size_t capacity = viewer.dump_text(kFlashView).capacity();
  ASSERT_GE(capacity, Tmemory_Viewer_Form::kDumpTextCapacity);
  viewer.Refresh(kFlashView);
  viewer.Refresh(kEepromView);
  for (int mode : {kFlashView, kEepromView}) {
    EXPECT_LT(viewer.dump_text(mode).size(), Tmemory_Viewer_Form::kDumpTextCapacity) << mode;
    EXPECT_GT(viewer.dump_text(mode).size(), Tmemory_Viewer_Form::kDumpTextCapacity - 100) << mode;
    EXPECT_EQ(viewer.dump_text(mode).capacity(), capacity) << mode;
  }
}

}  // namespace
}  // namespace tolmeo::testing
