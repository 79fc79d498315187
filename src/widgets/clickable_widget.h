#pragma once
// The press-and-release pattern shared by every clickable control: `hot` while the pointer is
// over the control (between the mouse-enter and mouse-leave notices), `pressed` from a left
// press on it until the release. Releasing the left button while both hold completes a click:
// the balloon is hidden (when enabled), then on_click runs, then the control redraws
// released, so a long operation started by a click keeps the control drawn pressed until it
// returns. Right and middle presses do nothing. Controls draw their pressed look from
// pressed() in Render.
#include <functional>

#include "widgets/widget_base.h"

namespace tolmeo {

class ClickableWidget : public WidgetBase {
 public:
  using WidgetBase::WidgetBase;

  // Set by the creator; whatever context it needs travels in the callable.
  std::function<void()> on_click;

  bool pressed() const { return pressed_; }
  bool hot() const { return hot_; }

 protected:
  void FormMouseEnter() override;
  void FormMouseLeave() override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  bool pressed_ = false;
  bool hot_ = false;
};

}  // namespace tolmeo
