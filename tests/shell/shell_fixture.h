#pragma once
// Shell windows on the headless screen: the widget fixture plus a way to answer a modal
// message box from inside its loop, as a user would, by clicking one of its buttons.
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

}  // namespace tolmeo::testing
