// The block tabs: where tabs and separators fall, what a press on a tab or an arrow does, and
// the fitted width.
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "widget_fixture.h"
#include "widgets/gui_blocktabs.h"

namespace tolmeo::testing {
namespace {

class BlockTabsTest : public WidgetTest {
 protected:
  BlockTabsTest() : tabs(Make<Tgui_BlockTabs_Form>(window, options)) {
    tabs.SetParent(&window);
    tabs.Show();
    tabs.SetTabs(" Flash \r\n EEprom \r\n AVR ");
    tabs.on_change = [this] { changes.push_back(tabs.selected()); };
    Pump();
  }
  int TextWidth(const std::string& text) const {
    TextStyle style;
    InitTextStyle(style);
    return MeasureText(style, text)->width;
  }
  void PressAt(int x) {
    MoveTo(x, 100 - 16 + 8);
    Press();
    Release();
  }
  Tgui_BlockTabs_Form& tabs;
  std::vector<int> changes;
};

TEST_F(BlockTabsTest, SitsAtTheOwnersBottomEdgeAsWideAsIt) {
  EXPECT_EQ(tabs.top(), 100 - 16);
  EXPECT_EQ(tabs.width(), 200);
  EXPECT_EQ(tabs.height(), 16);
}

TEST_F(BlockTabsTest, EachSeparatorIsOnePixelRightOfItsTextAndTheNextTextOneAfter) {
  int first = 1 + TextWidth(" Flash ") + 1;
  EXPECT_EQ(tabs.tab_right_edge(0), first);
  int second = first + 1 + TextWidth(" EEprom ") + 1;
  EXPECT_EQ(tabs.tab_right_edge(1), second);
  EXPECT_EQ(tabs.tabs_end(), tabs.tab_right_edge(2) + 1);
  for (int y = 0; y < 15; ++y) EXPECT_EQ(tabs.bitmap().Pixel(first, y), kOverall) << y;
  // The selected tab is filled up to the separator, leaving the pixel before it.
  tabs.SetSelectedBackColor(0x00FF00);
  EXPECT_EQ(tabs.bitmap().Pixel(first - 1, 5), 0x00FF00);
  EXPECT_EQ(tabs.bitmap().Pixel(first + 1, 5), kWhite);
}

TEST_F(BlockTabsTest, APressSelectsTheTabEvenWhenAlreadySelected) {
  PressAt(tabs.tab_right_edge(0) + 3);
  PressAt(tabs.tab_right_edge(0) + 3);
  PressAt(tabs.tab_right_edge(0));  // the separator belongs to the tab before it
  EXPECT_EQ(changes, (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(tabs.TabAt(0), -1);
  EXPECT_EQ(tabs.TabAt(tabs.tabs_end()), -1);
}

TEST_F(BlockTabsTest, ArrowsStepWithoutGoingPastEitherEnd) {
  const int left_arrow = tabs.tabs_end() + 3;
  const int right_arrow = tabs.tabs_end() + 11;
  MoveTo(left_arrow, 92);
  Press();
  EXPECT_TRUE(changes.empty());  // already on the first tab
  EXPECT_EQ(tabs.bitmap().Pixel(tabs.tabs_end(), 1), kOverall);  // drawn pressed
  Release();
  EXPECT_EQ(tabs.bitmap().Pixel(tabs.tabs_end(), 1), kWhite);
  PressAt(right_arrow);
  PressAt(right_arrow);
  PressAt(right_arrow);
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  PressAt(left_arrow);
  EXPECT_EQ(tabs.selected(), 1);
}

TEST_F(BlockTabsTest, FittedTheClosingLineIsTheLastColumn) {
  tabs.FitWidth();
  EXPECT_EQ(tabs.width(), tabs.tabs_end() + 17);
  for (int y = 0; y < 16; ++y) {
    EXPECT_EQ(tabs.bitmap().Pixel(tabs.width() - 1, y), kOverall) << y;
  }
}

TEST_F(BlockTabsTest, KeepsAtMostFortyTabs) {
  std::string many;
  for (int i = 0; i < 50; ++i) many += "x\r\n";
  tabs.SetTabs(many);
  EXPECT_EQ(tabs.tab_count(), 40);
}

}  // namespace
}  // namespace tolmeo::testing
