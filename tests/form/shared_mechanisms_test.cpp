// The mechanisms the windows share: dragging a window by a part of itself, the
// press-and-hold repeat, and a pop-up that borrows the keyboard focus.
#include <vector>

#include "form/popup_focus.h"
#include "form/pointer_drag.h"
#include "form/press_repeat.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

// A tab that drags its window, the way a window's mouse handlers drive the drag.
class DraggingTab : public ProbeForm {
 public:
  using ProbeForm::ProbeForm;
  WindowDrag drag;

 protected:
  void FormMouseDown(MouseButton, ShiftState, int x, int y) override { drag.Begin(*this, x, y); }
  void FormMouseMove(ShiftState shift, int x, int y) override { drag.Follow(*this, shift, x, y); }
  void FormMouseUp(MouseButton, ShiftState, int, int) override { drag.End(); }
};

TEST_F(HeadlessTest, WindowFollowsItsTabWhileTheButtonIsHeldAndStopsOnRelease) {
  ProbeForm& window = MakeWindow();
  DraggingTab& tab = Make<DraggingTab>("tab", log, 0x00FF00, &window);
  tab.SetBounds(Rect{10, 0, 40, 16});
  tab.Show();
  Pump();

  screen->MoveMouse(120, 105);  // on the tab
  screen->PressMouse(MouseButton::Left);
  screen->MoveMouse(170, 145);
  screen->MoveMouse(200, 125);
  Pump();
  EXPECT_EQ(window.left(), 180);
  EXPECT_EQ(window.top(), 120);
  EXPECT_TRUE(tab.drag.active());

  screen->ReleaseMouse(MouseButton::Left);
  screen->MoveMouse(300, 300);
  Pump();
  EXPECT_FALSE(tab.drag.active());
  EXPECT_EQ(window.left(), 180);
  EXPECT_EQ(window.top(), 120);
}

TEST(PointerDrag, FollowsOnlyWhileActiveAndTheLeftButtonIsHeld) {
  // A top-level form needs the application; a handle's screen position needs nothing else.
  Application app(std::make_unique<HeadlessBackend>());
  Form handle;
  handle.SetBounds(Rect{50, 60, 10, 10});
  PointerDrag drag;
  EXPECT_FALSE(drag.Follow(handle, kLeftButton, 5, 5));
  drag.Begin(handle, 2, 3, Point{100, 7});
  EXPECT_EQ(drag.Follow(handle, kLeftButton, 12, 1), (Point{110, 5}));
  EXPECT_FALSE(drag.Follow(handle, 0, 12, 1));
  drag.End();
  EXPECT_FALSE(drag.Follow(handle, kLeftButton, 12, 1));
}

TEST_F(HeadlessTest, HeldPressStepsAtOnceAfter500MsThenEvery20MsUntilReleased) {
  int steps = 0;
  PressRepeat repeat("scroll_Timer", [&] { ++steps; });
  repeat.Press();
  EXPECT_EQ(steps, 1);
  Advance(499);
  EXPECT_EQ(steps, 1);
  Advance(1);
  EXPECT_EQ(steps, 2);
  Advance(19);
  EXPECT_EQ(steps, 2);
  Advance(1);
  EXPECT_EQ(steps, 3);
  for (int i = 0; i < 5; ++i) Advance(20);
  EXPECT_EQ(steps, 8);

  // A second press while held neither steps nor slows the pace.
  repeat.Press();
  EXPECT_EQ(steps, 8);
  Advance(20);
  EXPECT_EQ(steps, 9);

  repeat.Release();
  Advance(1000);
  EXPECT_EQ(steps, 9);
  EXPECT_EQ(repeat.timer().interval(), kRepeatFirstDelayMs);

  // Pressed again, it starts over with the long first delay.
  repeat.Press();
  EXPECT_EQ(steps, 10);
  Advance(20);
  EXPECT_EQ(steps, 10);
  Advance(480);
  EXPECT_EQ(steps, 11);
}

TEST_F(HeadlessTest, StepThatReleasesItsRepeatStopsIt) {
  int steps = 0;
  PressRepeat* self = nullptr;
  PressRepeat repeat("page_Timer", [&] {
    if (++steps == 3) self->Release();
  });
  self = &repeat;
  repeat.Press();
  Advance(500);
  Advance(20);
  Advance(20);
  EXPECT_EQ(steps, 3);
  EXPECT_FALSE(repeat.repeating());
}

class PopupTest : public HeadlessTest {
 protected:
  PopupTest() {
    editor.SetBounds(Rect{10, 10, 50, 20});
    editor.Show();
    editor.SetFocus();
    popup.SetBounds(Rect{400, 400, 80, 60});
    Pump();
  }

  ProbeForm& main_window = MakeWindow("main");
  ProbeForm& editor = Make<ProbeForm>("editor", log, 0xFF0000, &main_window);
  ProbeForm& popup = Make<ProbeForm>("popup", log, 0x0000FF);
  int closed = 0;
  PopupFocus focus{popup, [this] { ++closed; }};
};

TEST_F(PopupTest, OpeningTakesTheFocusAndClosingGivesItBack) {
  focus.Open();
  EXPECT_TRUE(popup.visible());
  EXPECT_TRUE(popup.Focused());
  focus.Close();
  EXPECT_FALSE(popup.visible());
  EXPECT_TRUE(editor.Focused());
  EXPECT_EQ(closed, 1);
  focus.Close();  // closing a closed pop-up does nothing
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupTest, LosingTheFocusClosesItAndLeavesTheFocusWhereTheUserPutIt) {
  ProbeForm& other = Make<ProbeForm>("other", log, 0x00FF00, &main_window);
  other.SetBounds(Rect{70, 10, 50, 20});
  other.Show();
  focus.Open();
  other.SetFocus();
  focus.FocusLost();  // what the pop-up's FormExit does
  EXPECT_FALSE(popup.visible());
  EXPECT_TRUE(other.Focused());
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupTest, ReopeningWhileOpenKeepsTheFirstFocusToGiveBack) {
  focus.Open();
  focus.Open();
  focus.Close();
  EXPECT_TRUE(editor.Focused());
}

}  // namespace
}  // namespace tolmeo::testing
