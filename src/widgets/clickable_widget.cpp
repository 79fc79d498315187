#include "widgets/clickable_widget.h"

namespace tolmeo {

void ClickableWidget::FormMouseEnter() {
  hot_ = true;
  WidgetBase::FormMouseEnter();
}

void ClickableWidget::FormMouseLeave() {
  hot_ = false;
  WidgetBase::FormMouseLeave();
}

void ClickableWidget::FormMouseDown(MouseButton button, ShiftState, int, int) {
  if (button != MouseButton::Left) return;
  pressed_ = true;
  Draw();
}

void ClickableWidget::FormMouseUp(MouseButton button, ShiftState, int x, int y) {
  if (button != MouseButton::Left) return;
  // A release exactly on the right or bottom edge coordinate still counts as over the control.
  if (x < 0 || x > width() || y < 0 || y > height()) hot_ = false;
  if (pressed_ && hot_ && on_click) {
    HideBalloon();
    FormWatch alive = Watch();
    std::function<void()> click = on_click;  // the callback may replace itself
    click();
    if (!alive) return;  // the click closed and destroyed the control
  }
  pressed_ = false;
  Draw();
}

}  // namespace tolmeo
