// The programmer window: its place and its controls' places in the main window, page and
// wheel scrolling, the tab switches with each memory view's positions, and the resize.
#include "views/ide_avr.h"

#include "base/cp949.h"
#include "views_fixture.h"

namespace tolmeo::testing {
namespace {

class ProgrammerWindowTest : public ViewsTest {
 protected:
  ProgrammerWindowTest() : avr(MakeProgrammerWindow()) {}
  void SelectTab(int tab) { avr.block_tabs().SetSelected(tab); Pump(); }
  Tide_AVR_Form& avr;
};

TEST_F(ProgrammerWindowTest, SitsBelowTheCommandPanelWithItsControlsFlushRight) {
  EXPECT_EQ(avr.bounds().left, 3);
  EXPECT_EQ(avr.bounds().top, 465);
  EXPECT_EQ(avr.width(), 674);
  EXPECT_EQ(avr.height(), 251);
  EXPECT_EQ(avr.page_control().left(), 660);
  EXPECT_EQ(avr.page_control().top(), 16);
  EXPECT_EQ(avr.edge_box().left(), 660);
  EXPECT_EQ(avr.edge_box().top(), 237);
  EXPECT_EQ(avr.vertical_bar().left(), 660);
  EXPECT_EQ(avr.vertical_bar().top(), 32);
  EXPECT_EQ(avr.vertical_bar().height(), 251 - 32 - 14);
  const Tgui_BlockTabs_Form& tabs = avr.block_tabs();
  EXPECT_EQ(tabs.top(), 251 - 16);
  EXPECT_EQ(tabs.width(), tabs.tabs_end() + 17);
  EXPECT_EQ(avr.horizontal_bar().left(), tabs.width());
  EXPECT_EQ(avr.horizontal_bar().bounds().right(), 660);
  EXPECT_EQ(avr.viewer().top(), 15);
  EXPECT_EQ(avr.viewer().height(), 236);
  EXPECT_EQ(avr.caption_bar().caption(), Ktext(u8" Flash 보기 "));
  EXPECT_EQ(avr.horizontal_bar().maximum(), 400);
  EXPECT_EQ(avr.horizontal_bar().page(), 100);
}

TEST_F(ProgrammerWindowTest, StartsInTheFlashViewWithTheBitEditorHidden) {
  EXPECT_TRUE(avr.viewer().visible());
  EXPECT_FALSE(avr.bit_editor().box(FuseGroup::Lock, 0).visible());
  EXPECT_EQ(avr.block_tabs().selected(), kFlashTab);
  // 8 KB of Flash, (236 - 16 - 16) / 12 = 17 rows in view.
  EXPECT_EQ(avr.vertical_bar().maximum(), 256 - 17);
  EXPECT_EQ(avr.vertical_bar().page(), 64);
}

TEST_F(ProgrammerWindowTest, PageDownMovesEighteenRowsAndPageUpComesBack) {
  ASSERT_EQ(avr.viewer().row_height(), 12);
  ClickOn(avr.page_control(), 6, 12);
  EXPECT_EQ(avr.vertical_bar().position(), 18);
  EXPECT_TRUE(ShowsText(avr.viewer().bitmap(), [] {
    TextStyle style;
    InitTextStyle(style);
    style.xOffset = 4;
    style.padLeft = style.padRight = style.padTop = style.padBottom = 0;
    return style;
  }(), "00000120", Tmemory_Viewer_Form::kDumpY));
  ClickOn(avr.page_control(), 6, 2);
  ClickOn(avr.page_control(), 6, 2);
  EXPECT_EQ(avr.vertical_bar().position(), 0);
}

TEST_F(ProgrammerWindowTest, ScrollingGivesTheViewerTheFocus) {
  ClickOn(avr.vertical_bar(), 6, 100);
  EXPECT_TRUE(avr.viewer().Focused());
}

TEST_F(ProgrammerWindowTest, TheWheelScrollsOverTheViewerAndWhereverTheFocusedViewerIs) {
  // The pointer over the caption bar: only a viewer with the focus takes the wheel there.
  MoveOver(avr.caption_bar(), 100, 5);
  screen->Wheel(-1);
  Pump();
  EXPECT_EQ(avr.vertical_bar().position(), 0);
  // Over the viewer it scrolls, one step of three rows per wheel message, and the viewer
  // takes the focus as any scrolling gives it.
  MoveOver(avr.viewer(), 300, 100);
  screen->Wheel(-2);
  Pump();
  EXPECT_EQ(avr.vertical_bar().position(), 3);
  EXPECT_TRUE(avr.viewer().Focused());
  MoveOver(avr.caption_bar(), 100, 5);
  screen->Wheel(-1);
  Pump();
  EXPECT_EQ(avr.vertical_bar().position(), 6);
  EXPECT_TRUE(avr.OfferWheel(1));  // as the main window passes it on
  EXPECT_EQ(avr.vertical_bar().position(), 3);
  SelectTab(kAvrSettingsTab);  // a hidden viewer takes no wheel
  EXPECT_FALSE(avr.OfferWheel(1));
}

TEST_F(ProgrammerWindowTest, EachMemoryViewGetsBackItsOwnPositions) {
  avr.vertical_bar().SetPosition(100);
  avr.horizontal_bar().SetPosition(7);
  SelectTab(kEepromTab);
  EXPECT_EQ(avr.viewer().view_mode(), kEepromView);
  EXPECT_EQ(avr.caption_bar().caption(), Ktext(u8" EEprom 보기 "));
  EXPECT_EQ(avr.vertical_bar().position(), 0);
  EXPECT_EQ(avr.horizontal_bar().position(), 0);
  EXPECT_EQ(avr.vertical_bar().maximum(), 32 - 17);
  EXPECT_EQ(avr.horizontal_bar().maximum(), 400);
  avr.vertical_bar().SetPosition(5);
  avr.horizontal_bar().SetPosition(2);
  SelectTab(kFlashTab);
  EXPECT_EQ(avr.vertical_bar().position(), 100);
  EXPECT_EQ(avr.horizontal_bar().position(), 7);
  SelectTab(kEepromTab);
  EXPECT_EQ(avr.vertical_bar().position(), 5);
  EXPECT_EQ(avr.horizontal_bar().position(), 2);
}

TEST_F(ProgrammerWindowTest, TheSettingsViewKeepsTheMemoryViewThatWasInForce) {
  SelectTab(kEepromTab);
  avr.vertical_bar().SetPosition(4);
  SelectTab(kAvrSettingsTab);
  EXPECT_EQ(avr.caption_bar().caption(), Ktext(u8" AVR 설정 보기 "));
  EXPECT_FALSE(avr.viewer().visible());
  EXPECT_FALSE(avr.vertical_bar().visible());
  EXPECT_TRUE(avr.bit_editor().box(FuseGroup::Low, 7).visible());
  EXPECT_TRUE(avr.caption_bar().visible());
  EXPECT_TRUE(avr.block_tabs().visible());
  EXPECT_EQ(avr.viewer().view_mode(), kEepromView);
  SelectTab(kEepromTab);
  EXPECT_EQ(avr.vertical_bar().position(), 4);
  EXPECT_FALSE(avr.bit_editor().box(FuseGroup::Low, 7).visible());
  // An index beyond the tabs changes nothing but the saved positions.
  avr.block_tabs().SetSelected(7);
  EXPECT_TRUE(avr.viewer().visible());
  EXPECT_EQ(avr.viewer().view_mode(), kEepromView);
}

TEST_F(ProgrammerWindowTest, ARestoredPositionBeyondANewRangeIsBroughtBack) {
  avr.vertical_bar().SetPosition(200);
  SelectTab(kEepromTab);
  image->flashSize = 1024;  // a smaller chip loaded meanwhile: 32 rows
  SelectTab(kFlashTab);
  EXPECT_EQ(avr.vertical_bar().position(), 32 - 17);
}

TEST_F(ProgrammerWindowTest, FollowsTheMainWindowsSize) {
  main.SetBounds(Rect{20, 20, 800, 760});
  avr.FitToMainWindow();
  Pump();
  EXPECT_EQ(avr.top(), 465);
  EXPECT_EQ(avr.width(), 794);
  EXPECT_EQ(avr.height(), 760 - 465 - 3);
  EXPECT_EQ(avr.caption_bar().width(), 794);
  EXPECT_EQ(avr.viewer().height(), 292 - 15);
  EXPECT_EQ(avr.block_tabs().top(), 292 - 16);
  EXPECT_EQ(avr.page_control().left(), 3 + 794 - 13 - 4);
  EXPECT_EQ(avr.edge_box().top(), 292 - 14);
  EXPECT_EQ(avr.vertical_bar().height(), 292 - 32 - 14);
  EXPECT_EQ(avr.horizontal_bar().bounds().right(), avr.edge_box().left());
  // (277 - 16 - 16) / 12 = 20 rows in view.
  EXPECT_EQ(avr.vertical_bar().maximum(), 256 - 20);
}

}  // namespace
}  // namespace tolmeo::testing
