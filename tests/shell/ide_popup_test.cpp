// The quick list: its size against its tab, picking, dragging by the tab, closing when the
// focus goes elsewhere, staying inside the screen, and the text field's menu on it.
#include "shell/ide_popup.h"

#include "base/cp949.h"
#include "gfx/picture.h"
#include "support/fake_desktop.h"
#include "widgets/gui_edit.h"
#include "widgets/widget_fixture.h"
#include "gfx/palette.h"

namespace tolmeo::testing {
namespace {

class PopupTest : public WidgetTest {
 protected:
  PopupTest() : popup(Make<Tide_popup_Form>(options)) {
    popup.SetItems(Tgui_edit_Form::QuickListItems(), [this](int index) {
      picks.push_back(index);
      hidden_when_picked = !popup.visible();
    });
  }
  void Open(int x = 300, int y = 300) {
    window.SetFocus();
    Pump();
    popup.PopupAt(x, y);
    Pump();
  }
  // The middle of item i on screen.
  Point Item(int i) const {
    return Point{popup.left() + 20,
                 popup.top() + kPopupTitleHeight + 1 + i * popup.line_height() + 5};
  }
  void ClickAt(Point at) {
    screen->MoveMouse(at.x, at.y);
    Pump();
    screen->PressMouse(MouseButton::Left);
    screen->ReleaseMouse(MouseButton::Left);
    Pump();
  }

  Tide_popup_Form& popup;
  std::vector<int> picks;
  bool hidden_when_picked = false;
};

TEST_F(PopupTest, FiveShortItemsMakeTheListTwiceAsWideAsItsTab) {
  EXPECT_EQ(popup.width(), 2 * popup.tab_width());
  EXPECT_EQ(popup.line_height(), 18);  // 12-row glyphs with three rows above and below
  EXPECT_EQ(popup.height(), 5 * 18 + kPopupTitleHeight + 2);
  // The strip right of the tab is cut away above row 14, the tab's top corners rounded.
  const Region& shape = *popup.shape();
  EXPECT_FALSE(shape.Contains(popup.tab_width(), 13));
  EXPECT_TRUE(shape.Contains(popup.tab_width(), 14));
  EXPECT_FALSE(shape.Contains(0, 0));
  EXPECT_TRUE(shape.Contains(2, 0));
}

TEST_F(PopupTest, ClickingAnItemClosesTheListThenAnswersWithItsIndex) {
  Open();
  ASSERT_TRUE(popup.showing());
  EXPECT_TRUE(popup.Focused());
  ClickAt(Item(2));
  EXPECT_EQ(picks, std::vector<int>{2});
  EXPECT_TRUE(hidden_when_picked);
  EXPECT_FALSE(popup.showing());
  EXPECT_TRUE(window.Focused());  // the focus goes back where it was
}

TEST_F(PopupTest, TheItemUnderThePointerIsHighlighted) {
  Open();
  Point at = Item(1);
  screen->MoveMouse(at.x, at.y);
  Pump();
  EXPECT_EQ(popup.hot_item(), 1);
  EXPECT_EQ(ScreenPixel(popup, 100, at.y - popup.top()), LightenColor(kOverall, 100));
  screen->MoveMouse(10, 10);
  Pump();
  EXPECT_EQ(popup.hot_item(), -1);
}

TEST_F(PopupTest, AReleaseOverTheTitleOrBelowTheLastItemPicksNothing) {
  Open();
  ClickAt(Point{popup.left() + popup.tab_width() + 10, popup.top() + 16});
  ClickAt(Point{popup.left() + 20, popup.top() + popup.height() - 1});
  EXPECT_TRUE(picks.empty());
  EXPECT_TRUE(popup.showing());
}

TEST_F(PopupTest, DraggingTheTabMovesTheListAndTheReleaseOverAnItemPicksNothing) {
  Open();
  screen->MoveMouse(popup.left() + 10, popup.top() + 5);
  Pump();
  screen->PressMouse(MouseButton::Left);
  screen->MoveMouse(popup.left() + 40, popup.top() + 45);
  Pump();
  EXPECT_EQ(popup.left(), 330);
  EXPECT_EQ(popup.top(), 340);
  Point over = Item(0);
  screen->MoveMouse(over.x, over.y);
  screen->ReleaseMouse(MouseButton::Left);
  Pump();
  EXPECT_TRUE(picks.empty());
  EXPECT_TRUE(popup.showing());
}

TEST_F(PopupTest, ClickingElsewhereClosesTheListWithoutAPick) {
  Open();
  ClickAt(Point{window.left() + 50, window.top() + 50});
  EXPECT_FALSE(popup.showing());
  EXPECT_TRUE(picks.empty());
}

TEST_F(PopupTest, AClickOnTheBareDesktopClosesTheList) {
  Open();
  ClickAt(Point{1200, 700});  // no window there: the desktop takes no focus
  EXPECT_FALSE(popup.showing());
  EXPECT_TRUE(picks.empty());
  EXPECT_TRUE(window.Focused());  // back where the list borrowed it from
}

TEST_F(PopupTest, AListOpenedPastTheScreenEdgeStaysInside) {
  Rect area = app->WorkArea();
  Open(area.right() - 5, area.bottom() - 5);
  EXPECT_EQ(popup.left() + popup.width(), area.right());
  EXPECT_EQ(popup.top() + popup.height(), area.bottom());
  Open(-40, -40);
  EXPECT_EQ(popup.left(), area.left);
  EXPECT_EQ(popup.top(), area.top);
}

TEST_F(WidgetTest, TheFieldsMenuOnTheQuickListSelectsAllOrPastes) {
  FakeDesktop& desktop = AttachFakeDesktop(*app);
  auto list = std::make_unique<Tide_popup_Form>(options);
  Tide_popup_Form& popup = *list;
  Tgui_edit_Form& edit = Make<Tgui_edit_Form>(&window, options, std::move(list));
  edit.SetParent(&window);
  edit.SetBounds(Rect{10, 10, 60, 16});
  edit.Show();
  edit.SetText("abc");
  Pump();
  auto right_click = [&] {
    screen->MoveMouse(window.left() + 20, window.top() + 15);
    screen->PressMouse(MouseButton::Right);
    screen->ReleaseMouse(MouseButton::Right);
    Pump();
  };
  auto pick = [&](int item) {
    Point at{popup.left() + 20, popup.top() + kPopupTitleHeight + 1 + item * 18 + 5};
    screen->MoveMouse(at.x, at.y);
    Pump();
    screen->PressMouse(MouseButton::Left);
    screen->ReleaseMouse(MouseButton::Left);
    Pump();
  };
  right_click();
  ASSERT_TRUE(popup.showing());
  EXPECT_EQ(popup.left(), window.left() + 20);
  EXPECT_EQ(popup.items().size(), 5u);
  pick(4);
  EXPECT_FALSE(popup.showing());
  EXPECT_EQ(edit.Selection(), std::make_pair(std::size_t{0}, std::size_t{3}));
  EXPECT_TRUE(edit.Focused());

  right_click();
  pick(0);
  EXPECT_EQ(desktop.clipboard, "abc");
  right_click();
  pick(2);  // paste over the selection
  EXPECT_EQ(edit.text(), "abc");
  EXPECT_FALSE(edit.HasSelection());
}

}  // namespace
}  // namespace tolmeo::testing
