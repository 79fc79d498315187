#include "widgets/gui_page.h"

#include "gfx/colors.h"

namespace tolmeo {
namespace {

// One half: filled with its background, and a solid triangle of 6 rows whose tip is at
// (6, tip_y), widening towards the middle of the control.
void RenderHalf(Bitmap& bitmap, int first_row, int rows, int tip_y, int direction, bool down,
                Color overall) {
  bitmap.FillRect(Rect{0, first_row, bitmap.width(), rows}, down ? overall : kWhite);
  const Color arrow = down ? kWhite : overall;
  for (int i = 0; i <= 5; ++i) {
    for (int x = 6 - i; x <= 6 + i; ++x) bitmap.SetPixel(x, tip_y + direction * i, arrow);
  }
}

}  // namespace

Tgui_page_Form::Tgui_page_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options), repeat_("page_Timer", [this] { Step(); }) {
  SetBounds(Rect{0, 0, kWidth, kHeight});
}

void Tgui_page_Form::Reset() {
  up_down_ = down_down_ = false;
  Draw();
}

void Tgui_page_Form::Render(Bitmap& bitmap) {
  const int half = bitmap.height() / 2;
  const Color overall = options().overallColor;
  RenderHalf(bitmap, 0, half, 1, +1, up_down_, overall);
  RenderHalf(bitmap, half, bitmap.height() - half, bitmap.height() - 2, -1, down_down_, overall);
}

void Tgui_page_Form::Step() {
  std::function<void()>* step = up_down_ ? &on_up : down_down_ ? &on_down : nullptr;
  if (!step || !*step) return;
  HideBalloon();
  (*step)();
}

void Tgui_page_Form::FormMouseDown(MouseButton button, ShiftState, int, int y) {
  if (button != MouseButton::Left) return;
  up_down_ = y < height() / 2;
  down_down_ = !up_down_;
  FormWatch alive = Watch();
  repeat_.Press();
  if (alive) Draw();
}

void Tgui_page_Form::FormMouseUp(MouseButton button, ShiftState, int, int) {
  if (button == MouseButton::Left) Reset();
  repeat_.Release();
}

}  // namespace tolmeo
