// The menu bar and its drop-down list: titles and items, opening, switching and closing the
// list, picking items (documents, settings, help, about, device), the device list of the run
// folder, and the list's size and hit rows.
#include "shell/ide_menu.h"

#include "base/cp949.h"
#include "base/file_system.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "isp/device_description.h"
#include "shell/ide_caption.h"
#include "shell/ide_submenu.h"
#include "shell_fixture.h"
#include "support/fake_desktop.h"

namespace tolmeo::testing {
namespace {

TEST(DeviceItems, EachNameGetsABlankEitherSideAndNoNamesGiveTheSingleAvrItem) {
  EXPECT_EQ(DeviceItems({"ATmega8", "ATtiny13"}),
            (std::vector<std::string>{" ATmega8 ", " ATtiny13 "}));
  EXPECT_EQ(DeviceItems({}), (std::vector<std::string>{" AVR "}));
}

TEST(SubmenuLayout, OneColumnIsItemsTimesLineHeightPlusTwoAndTheWidestItemPlusTwo) {
  SubmenuLayout layout = LayoutSubmenu(4, 102, 18, 1000);
  EXPECT_EQ(layout.columns, 1);
  EXPECT_EQ(layout.width, 104);
  EXPECT_EQ(layout.height, 4 * 18 + 2);
  EXPECT_EQ(SubmenuItemAt(layout, 4, 50, 1), 0);
  EXPECT_EQ(SubmenuItemAt(layout, 4, 50, 3 * 18 + 17), 3);
  // The bottom two rows lie below the last item's band: no item.
  EXPECT_EQ(SubmenuItemAt(layout, 4, 50, 4 * 18), -1);
  EXPECT_EQ(SubmenuItemAt(layout, 4, 50, 4 * 18 + 1), -1);
  EXPECT_EQ(SubmenuItemAt(layout, 4, 50, 0), -1);
}

TEST(SubmenuLayout, AListTallerThanItsRoomFillsColumnsTopToBottom) {
  SubmenuLayout layout = LayoutSubmenu(114, 80, 18, 18 * 50 + 2);
  EXPECT_EQ(layout.rows, 50);
  EXPECT_EQ(layout.columns, 3);
  EXPECT_EQ(layout.width, 3 * 80 + 2);
  EXPECT_EQ(layout.height, 50 * 18 + 2);
  EXPECT_EQ(SubmenuItemAt(layout, 114, 85, 5), 50);
  EXPECT_EQ(SubmenuItemAt(layout, 114, 165, 18 * 13 + 5), 113);
  EXPECT_EQ(SubmenuItemAt(layout, 114, 165, 18 * 14 + 5), -1);  // past the last item
}

class MenuTest : public ShellTest {
 protected:
  MenuTest() : main(Make<ProbeForm>("main", log, kWhite)) {
    window.Hide();
    main.SetBounds(Rect{100, 100, 629, 370});
    main.Show();
    MenuActions actions;
    actions.open_flash_document = [this] { done.push_back("open flash"); };
    actions.open_eeprom_document = [this] { done.push_back("open eeprom"); };
    actions.show_settings = [this] { done.push_back("settings"); };
    actions.show_notice = [this](int kind, const std::string& text) {
      done.push_back("notice " + std::to_string(kind) + " " + text);
    };
    actions.may_change_device = [this] { return device_change_allowed; };
    actions.load_device = [this](const std::string& name) { done.push_back("device " + name); };
    bar = &Make<Tide_menu_Form>(main, options, actions);
    bar->SetParent(&main);
    bar->Show();
    submenu = &Make<Tide_submenu_Form>(options);
    bar->AttachSubmenu(*submenu);
    Pump();
  }
  FakeDesktop& desktop() { return scripted_desktop; }
  void ClickAt(Point screen_point) {
    screen->Click(screen_point.x, screen_point.y);
    Pump();
  }
  // A point on a title, in screen pixels.
  Point OnTitle(int slot) const {
    const MenuSlot& title = bar->slot(slot);
    return bar->ClientToScreen(Point{(title.left + title.right) / 2, 8});
  }
  // The middle of an item's band in the open list.
  Point OnItem(int item) const {
    const SubmenuLayout& layout = submenu->layout();
    int column = item / layout.rows;
    int row = item % layout.rows;
    return Point{submenu->left() + column * layout.column_width + 10,
                 submenu->top() + row * layout.line_height + layout.line_height / 2};
  }
  void Pick(int slot, int item) {
    ClickAt(OnTitle(slot));
    ASSERT_TRUE(submenu->visible());
    screen->MoveMouse(OnItem(item).x, OnItem(item).y);
    Pump();
    ClickAt(OnItem(item));
  }
  int LineHeight() const { return bar->bar_hit_height(); }

  ProbeForm& main;
  Tide_menu_Form* bar = nullptr;
  Tide_submenu_Form* submenu = nullptr;
  std::vector<std::string> done;
  bool device_change_allowed = true;
  FakeDesktop& scripted_desktop = AttachFakeDesktop(*app);
};

TEST_F(MenuTest, TitlesFollowEachOtherAndTheDeviceTitleIsTheFirstDescription) {
  EXPECT_EQ(bar->bounds().left, 3);
  EXPECT_EQ(bar->bounds().top, kCaptionHeight);
  EXPECT_EQ(bar->width(), 629 - 7);
  EXPECT_EQ(bar->height(), 18);
  EXPECT_EQ(bar->slot(0).title, Ktext(u8" 문서 "));
  EXPECT_EQ(bar->slot(1).title, Ktext(u8" 설정 "));
  EXPECT_EQ(bar->slot(2).title, Ktext(u8" 도움말 "));
  EXPECT_TRUE(bar->slot(3).title.empty());
  EXPECT_EQ(bar->slot(0).left, 0);
  EXPECT_EQ(bar->slot(1).left, bar->slot(0).right);
  EXPECT_EQ(bar->slot(2).left, bar->slot(1).right);
  EXPECT_EQ(bar->slot(4).left, bar->slot(2).right);
  std::vector<std::string> names = ListDescriptions();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(bar->DeviceName(), names.front());
  EXPECT_EQ(bar->slot(4).items.size(), names.size());
  EXPECT_EQ(bar->bar_hit_width(), bar->slot(4).right + 1);
  EXPECT_EQ(bar->slot(2).items,
            (std::vector<std::string>{Ktext(u8" 도움말 "), " Darimsol ", Ktext(u8" 제작정보 "),
                                      Ktext(u8" 나의다짐 ")}));
  // The buttons sit at the right end: close 3 from the edge, the others 2 apart.
  EXPECT_EQ(bar->close_button().left(), bar->width() - 12 - 3);
  EXPECT_EQ(bar->maximize_button().left(), bar->close_button().left() - 14);
  EXPECT_EQ(bar->minimize_button().left(), bar->maximize_button().left() - 14);
}

TEST_F(MenuTest, ATitleClickOpensItsListUnderItAndAnotherSwitchesWithoutClosing) {
  ClickAt(OnTitle(0));
  EXPECT_EQ(bar->open_slot(), 0);
  ASSERT_TRUE(submenu->visible());
  Point under = bar->ClientToScreen(Point{bar->slot(0).left, LineHeight()});
  EXPECT_EQ(submenu->left(), under.x);
  EXPECT_EQ(submenu->top(), under.y);
  EXPECT_EQ(submenu->height(), 4 * LineHeight() + 2);  // Flash and EEprom: open, save
  // The open title is drawn white on the overall colour.
  EXPECT_EQ(bar->bitmap().Pixel(bar->slot(0).left, 1), kOverall);

  ClickAt(OnTitle(2));
  EXPECT_EQ(bar->open_slot(), 2);
  EXPECT_TRUE(submenu->visible());
  EXPECT_EQ(submenu->items(), bar->slot(2).items);
  EXPECT_EQ(submenu->left(), bar->ClientToScreen(Point{bar->slot(2).left, 0}).x);
  EXPECT_EQ(submenu->height(), 4 * LineHeight() + 2);
  EXPECT_EQ(bar->bitmap().Pixel(bar->slot(0).left, 1), kWhite);

  ClickAt(OnTitle(2));
  EXPECT_EQ(bar->open_slot(), -1);
  EXPECT_FALSE(submenu->visible());
}

TEST_F(MenuTest, AClickOutsideTheListAndTheTitlesClosesIt) {
  ClickAt(OnTitle(1));
  ASSERT_TRUE(submenu->visible());
  ClickAt(Point{main.left() + 300, main.top() + 300});
  EXPECT_FALSE(submenu->visible());
  EXPECT_EQ(bar->open_slot(), -1);
}

TEST_F(MenuTest, AClickOnTheBareDesktopClosesTheList) {
  ClickAt(OnTitle(1));
  ASSERT_TRUE(submenu->visible());
  ClickAt(Point{1250, 20});  // right of the main window, above the list: no window of ours
  EXPECT_FALSE(submenu->visible());
  EXPECT_EQ(bar->open_slot(), -1);
}

TEST_F(MenuTest, EscapeClosesTheOpenList) {
  ClickAt(OnTitle(0));
  ASSERT_TRUE(submenu->visible());
  screen->MoveMouse(OnItem(0).x, OnItem(0).y);
  Pump();
  screen->PressKey(kKeyEscape);
  Pump();
  EXPECT_FALSE(submenu->visible());
  EXPECT_EQ(bar->open_slot(), -1);
  EXPECT_TRUE(done.empty());
}

TEST_F(MenuTest, PickingItemsRunsTheirActionsAfterTheMenuHasClosed) {
  Pick(0, 1);
  Pick(0, 0);
  Pick(1, 0);
  EXPECT_EQ(done, (std::vector<std::string>{"open eeprom", "open flash", "settings"}));
  EXPECT_FALSE(submenu->visible());
  EXPECT_EQ(bar->open_slot(), -1);
}

TEST_F(MenuTest, HelpItemsOpenTheHelpPageTheMakersPageAndTheTwoTexts) {
  Pick(2, 0);
  Pick(2, 1);
  Pick(2, 2);
  Pick(2, 3);
  EXPECT_EQ(desktop().opened_in_browser,
            (std::vector<std::string>{ExeFolder() + "help/help.html", "http://www.darimsol.com"}));
  EXPECT_EQ(done, (std::vector<std::string>{"notice 0 " + AboutText(), "notice 0 " + PledgeText()}));
  EXPECT_EQ(PledgeText(),
            Ktext(u8" 나는 자랑스런 태극기 앞에 \r\n 조국과 민족의 무궁한 영광을 위하여 \r\n"
                  u8" 몸과 마음을 바쳐 충성을 다할 것을 \r\n 굳게 다짐 합니다."));
}

TEST_F(MenuTest, ReleasingInTheBottomRowsPicksTheItemThatWasHot) {
  ClickAt(OnTitle(0));
  screen->MoveMouse(OnItem(1).x, OnItem(1).y);
  Pump();
  ASSERT_EQ(submenu->hot_item(), 1);
  Point bottom{OnItem(1).x, submenu->top() + submenu->height() - 1};
  ClickAt(bottom);
  EXPECT_EQ(done, (std::vector<std::string>{"open eeprom"}));
}

TEST_F(MenuTest, PickingAShorterDeviceShortensTheTitleRepaintsAndLoadsIt) {
  std::vector<std::string> names = ListDescriptions();
  int shortest = 0;
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    if (names[i].size() < names[shortest].size()) shortest = i;
  }
  int old_right = bar->slot(4).right;
  Pick(4, shortest);
  EXPECT_EQ(bar->DeviceName(), names[shortest]);
  EXPECT_LT(bar->slot(4).right, old_right);
  EXPECT_EQ(bar->bar_hit_width(), bar->slot(4).right + 1);
  EXPECT_EQ(done, (std::vector<std::string>{"device " + names[shortest]}));
  for (int x = bar->slot(4).right + 1; x < old_right; ++x) {
    for (int y = 0; y < 18; ++y) ASSERT_EQ(bar->bitmap().Pixel(x, y), kWhite) << x << "," << y;
  }
}

TEST_F(MenuTest, ARefusedDeviceChangeKeepsTheDeviceInForce) {
  std::string before = bar->DeviceName();
  device_change_allowed = false;
  Pick(4, 1);
  EXPECT_EQ(bar->DeviceName(), before);
  EXPECT_TRUE(done.empty());
}

TEST_F(MenuTest, TheWholeDeviceListFitsOnTheScreen) {
  ClickAt(OnTitle(4));
  ASSERT_TRUE(submenu->visible());
  EXPECT_LE(submenu->top() + submenu->height(), app->WorkArea().bottom());
  EXPECT_GE(submenu->layout().rows * submenu->layout().columns,
            static_cast<int>(bar->slot(4).items.size()));
}

TEST_F(MenuTest, TheButtonsCloseMaximiseAndRestoreTheMainWindow) {
  Point maximise = bar->maximize_button().ClientToScreen(Point{6, 6});
  ClickAt(maximise);
  EXPECT_EQ(main.window_state(), WindowState::Maximized);
  maximise = bar->maximize_button().ClientToScreen(Point{6, 6});
  ClickAt(maximise);
  EXPECT_EQ(main.window_state(), WindowState::Normal);
  ClickAt(bar->close_button().ClientToScreen(Point{6, 6}));
  EXPECT_FALSE(main.visible());
}

}  // namespace
}  // namespace tolmeo::testing
