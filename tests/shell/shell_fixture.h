#pragma once
// Shell windows on the headless screen: the widget fixture plus a way to answer a modal
// message box from inside its loop, as a user would, by clicking one of its buttons; and the
// same on a display that cannot shape windows.
#include <memory>

#include "shell/ide_msgbox.h"
#include "widgets/widget_fixture.h"

namespace tolmeo::testing {

class ShellTest : public WidgetTest {
 protected:
  // Clicks button once the box it belongs to waits on screen.
  void AnswerWith(const Tgui_button_Form& button) {
    answered = false;
    screen->on_wait = [this, &button] {
      if (answered || !button.IsShowing()) return;
      answered = true;
      Point at = button.ClientToScreen(Point{30, 10});
      screen->Click(at.x, at.y);
    };
  }
  // Closes the box through the window system, without either button.
  void CloseWithoutAnswer(const Tide_msgbox_Form& box) {
    answered = false;
    screen->on_wait = [this, &box] {
      if (answered || !box.visible()) return;
      answered = true;
      screen->RequestClose(box.window_handle());
    };
  }

  bool answered = false;
};

// A display that cannot shape windows: they stay rectangular.
class ShapelessBackend : public HeadlessBackend {
 public:
  bool SetShape(WindowHandle, const Region*) override { return false; }
};

class PlainDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(LoadFonts(TOLMEO_SOURCE_DIR "/data/font/").ok()); }
  static void TearDownTestSuite() { FreeFonts(); }

  PlainDisplayTest() : screen(new ShapelessBackend), app(std::unique_ptr<Backend>(screen)) {
    options.overallColor = kOverall;
    options.balloonHelpOn = 1;
  }

  ShapelessBackend* screen;  // owned by app
  Application app;
  IdeOptions options;
};

}  // namespace tolmeo::testing
