// Mouse and keyboard routing through the headless window system: enter and leave, implicit
// capture, stacking and shapes in hit tests, focus, double clicks, wheel and keys.
#include <algorithm>

#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

using ::testing::ElementsAre;

class FormInputTest : public HeadlessTest {
 protected:
  FormInputTest() : window(MakeWindow()) {
    a = &Make<ProbeForm>("a", log, 0x0000FF, &window);
    a->SetBounds(Rect{10, 10, 50, 50});
    a->Show();
    b = &Make<ProbeForm>("b", log, 0x00FF00, &window);
    b->SetBounds(Rect{100, 10, 50, 50});
    b->Show();
    window.SetFocus();
    Pump();
    log.clear();
  }
  // Window (100, 100) + client point.
  void MoveTo(int x, int y) {
    screen->MoveMouse(100 + x, 100 + y);
    Pump();
  }
  void Press(MouseButton button = MouseButton::Left) {
    screen->PressMouse(button);
    Pump();
  }
  void Release(MouseButton button = MouseButton::Left) {
    screen->ReleaseMouse(button);
    Pump();
  }
  std::vector<std::string> Without(const std::string& word) const {
    std::vector<std::string> kept;
    std::copy_if(log.begin(), log.end(), std::back_inserter(kept),
                 [&](const std::string& entry) { return entry.find(word) == std::string::npos; });
    return kept;
  }

  ProbeForm& window;
  ProbeForm* a;
  ProbeForm* b;
};

TEST_F(FormInputTest, EnterAndLeaveFollowThePointerAcrossControlsAndOutOfTheWindow) {
  MoveTo(20, 20);
  MoveTo(120, 20);
  MoveTo(5, 5);
  MoveTo(-50, -50);
  EXPECT_THAT(Without("move"), ElementsAre("a enter", "a leave", "b enter", "b leave", "window enter",
                                           "window leave"));
}

TEST_F(FormInputTest, MovesArriveInTheHoveredControlsOwnPixels) {
  MoveTo(20, 30);
  EXPECT_EQ(log.back(), "a move 10,20");
}

TEST_F(FormInputTest, PressKeepsTheMouseUntilRelease) {
  MoveTo(20, 20);
  Press();
  MoveTo(120, 20);
  MoveTo(400, 300);  // far outside the window
  Release();
  // The pressed control gets every move and the release, in its own coordinates; enter and
  // leave still tell where the pointer really is.
  EXPECT_THAT(log, ElementsAre("a enter", "a move 10,10", "window unfocus", "a focus", "a down 10,10",
                               "a leave", "b enter", "a move 110,10", "b leave", "a move 390,290",
                               "a up 390,290"));
  EXPECT_FALSE(screen->mouse_captured());
  EXPECT_EQ(app->captured(), nullptr);
}

TEST_F(FormInputTest, TheTopmostSiblingTakesTheClickUntilAnotherIsBroughtToFront) {
  b->SetBounds(Rect{30, 30, 50, 50});  // overlaps a in (30..60, 30..60)
  MoveTo(40, 40);
  Press();
  Release();
  EXPECT_EQ(log[log.size() - 2], "b down 10,10");
  a->BringToFront();
  Pump();
  log.clear();
  Press();
  Release();
  EXPECT_EQ(log[log.size() - 2], "a down 30,30");
  a->Hide();
  Pump();
  log.clear();
  Press();
  EXPECT_EQ(log.back(), "b down 10,10");
}

TEST_F(FormInputTest, AShapedControlLetsClicksThroughItsHoles) {
  Region ring = Region::FromRect(Rect{0, 0, 50, 50});
  ring.SubtractRect(Rect{10, 10, 30, 30});
  a->SetShape(ring);
  Pump();
  MoveTo(30, 30);  // inside a's rectangle, in its hole
  Press();
  EXPECT_EQ(log.back(), "window down 30,30");
  Release();
  MoveTo(12, 12);  // on the ring
  Press();
  EXPECT_EQ(log.back(), "a down 2,2");
}

TEST_F(FormInputTest, ARightPressAlsoCapturesAndReportsItsButton) {
  MoveTo(20, 20);
  Press(MouseButton::Right);
  MoveTo(70, 20);
  Release(MouseButton::Right);
  EXPECT_EQ(log.back(), "a up right 60,10");
}

TEST_F(FormInputTest, DoubleClickComesBeforeTheSecondPressMarkedDouble) {
  MoveTo(20, 20);
  Press();
  Release();
  screen->PressMouse(MouseButton::Left, 2);
  Pump();
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()),
              ElementsAre("a dblclick", "a down 10,10 double"));
}

TEST_F(FormInputTest, ExplicitCaptureOutlivesTheRelease) {
  MoveTo(20, 20);
  a->SetCapture();
  MoveTo(120, 20);
  Press();
  Release();
  EXPECT_EQ(log.back(), "a up 110,10");
  a->ReleaseCapture();
  Press();
  EXPECT_EQ(log.back(), "b down 20,10");
}

TEST_F(FormInputTest, ClicksMoveTheFocusAndKeysGoToTheFocusedControlThenItsParent) {
  MoveTo(20, 20);
  Press();
  Release();
  MoveTo(120, 20);
  Press();
  Release();
  EXPECT_THAT(Without("move"), ElementsAre("a enter", "window unfocus", "a focus", "a down 10,10",
                                           "a up 10,10", "a leave", "b enter", "a unfocus",
                                           "b focus", "b down 20,10", "b up 20,10"));
  log.clear();
  screen->PressKey(kKeyShift);
  screen->PressKey('A');
  Pump();
  EXPECT_THAT(log, ElementsAre("b key 16 shift", "window key 16 shift", "b key 65 shift",
                               "window key 65 shift"));
  b->takes_keys = true;
  log.clear();
  screen->TypeText(reinterpret_cast<const char*>(u8"가a"));
  Pump();
  EXPECT_THAT(log, ElementsAre("b char 2 bytes", "b char 1 bytes"));
}

TEST_F(FormInputTest, TheWheelGoesToTheControlUnderThePointerThenItsParent) {
  MoveTo(20, 20);
  screen->Wheel(-1);
  Pump();
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()),
              ElementsAre("a wheel -1", "window wheel -1"));
  a->takes_wheel = true;
  screen->Wheel(2);
  Pump();
  EXPECT_EQ(log.back(), "a wheel 2");
}

TEST_F(FormInputTest, DisabledControlsPassTheirInputToTheirParent) {
  a->SetEnabled(false);
  MoveTo(20, 20);
  Press();
  EXPECT_EQ(log.back(), "window down 20,20");
}

TEST_F(FormInputTest, HidingTheHoveredFocusedControlTellsItSo) {
  MoveTo(20, 20);
  Press();
  Release();
  log.clear();
  a->Hide();
  EXPECT_THAT(log, ElementsAre("a leave", "a unfocus"));
  EXPECT_EQ(app->focused(), nullptr);
}

TEST_F(FormInputTest, AControlShownUnderTheRestingPointerIsEnteredAtOnce) {
  MoveTo(80, 20);
  ProbeForm& c = Make<ProbeForm>("c", log, 0x00FF00, &window);
  c.SetBounds(Rect{70, 10, 20, 20});
  c.Show();
  Pump();
  EXPECT_THAT(Without("move"), ElementsAre("window enter", "window leave", "c enter"));
}

TEST_F(FormInputTest, AControlDestroyedByItsOwnPressIsForgottenSafely) {
  a->on_down = [&](MouseButton, int, int) {
    auto found = std::find_if(forms.begin(), forms.end(),
                              [&](const std::unique_ptr<Form>& form) { return form.get() == a; });
    forms.erase(found);
  };
  MoveTo(20, 20);
  Press();
  MoveTo(25, 25);
  Release();
  EXPECT_EQ(app->captured(), nullptr);
  EXPECT_EQ(app->hovered(), &window);
  EXPECT_EQ(log.back(), "window up 25,25");
}

TEST_F(FormInputTest, AReleaseThatDestroysTheWholeWindowEndsSafely) {
  a->on_up = [&](int, int) { DestroyForms(); };
  MoveTo(20, 20);
  Press();
  Release();
  EXPECT_EQ(app->hovered(), nullptr);
  EXPECT_EQ(app->focused(), nullptr);
  EXPECT_FALSE(screen->mouse_captured());
}

TEST_F(FormInputTest, APointerShapeFollowsTheHoveredControl) {
  a->SetCursor(CursorShape::SizeWestEast);
  MoveTo(20, 20);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::SizeWestEast);
  MoveTo(120, 20);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::Default);
  b->SetCursor(CursorShape::IBeam);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::IBeam);
}

TEST_F(FormInputTest, StayOnTopWindowsTakeThePointerOverOthers) {
  ProbeForm& popup = Make<ProbeForm>("popup", log, 0x808080);
  popup.SetStayOnTop(true);
  popup.SetBounds(Rect{110, 110, 40, 40});
  popup.Show();
  window.BringToFront();
  Pump();
  MoveTo(20, 20);
  Press();
  EXPECT_EQ(log.back(), "popup down 10,10");
}

}  // namespace
}  // namespace tolmeo::testing
