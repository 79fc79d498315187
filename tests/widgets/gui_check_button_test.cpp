// The check box: clicks that toggle (and those that do not), the callbacks, the frames shown.
#include "gfx/colors.h"
#include "widget_fixture.h"
#include "widgets/gui_check_button.h"

namespace tolmeo::testing {
namespace {

class CheckButtonTest : public WidgetTest {
 protected:
  CheckButtonTest() : box(Place<Tgui_check_button_Form>(30, 30)) {
    box.on_change = [this] { calls.push_back(box.checked() ? "change on" : "change off"); };
    box.on_release = [this] { calls.push_back("release"); };
  }
  void Click() {
    MoveTo(35, 35);
    Press();
    Release();
  }
  int Ink() const {
    int count = 0;
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 12; ++x) count += box.bitmap().Pixel(x, y) == kOverall;
    }
    return count;
  }
  Tgui_check_button_Form& box;
  std::vector<std::string> calls;
};

TEST_F(CheckButtonTest, EachClickFlipsStateAndFrameAndRunsOnChangeOnce) {
  EXPECT_EQ(box.width(), 12);
  int unchecked_ink = Ink();
  Click();
  EXPECT_TRUE(box.checked());
  EXPECT_GT(Ink(), unchecked_ink);  // the checked frame shows the tick
  Click();
  EXPECT_FALSE(box.checked());
  EXPECT_EQ(Ink(), unchecked_ink);
  EXPECT_EQ(calls, (std::vector<std::string>{"change on", "release", "change off", "release"}));
}

TEST_F(CheckButtonTest, SetCheckedShowsTheStateWithoutCallbacks) {
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_TRUE(box.checked());
  EXPECT_TRUE(calls.empty());
}

TEST_F(CheckButtonTest, PressLeaveReleaseDoesNotToggleButStillReportsTheRelease) {
  MoveTo(35, 35);
  Press();
  MoveTo(150, 80);
  Release();
  EXPECT_FALSE(box.checked());
  EXPECT_EQ(calls, std::vector<std::string>{"release"});
}

TEST_F(CheckButtonTest, ADisabledBoxIgnoresTheMouse) {
  box.SetEnabled(false);
  Click();
  EXPECT_FALSE(box.checked());
  EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace tolmeo::testing
