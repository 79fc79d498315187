#include "widgets/gui_check_button.h"

#include "base/file_system.h"
#include "base/run_folders.h"

namespace tolmeo {

Tgui_check_button_Form::Tgui_check_button_Form(Form* owner, const IdeOptions& options)
    : ClickableWidget(owner, options), picture_(kSize, kSize) {
  picture_.SetStripMode(true);
  picture_.SetFrameWidth(kSize);
  (void)picture_.Load(DataFolder() + "sysbmp/control/check_btn_all.bmp");
  SetBounds(Rect{0, 0, kSize, kSize});
}

Status Tgui_check_button_Form::LoadImage(const std::string& cp949_path) {
  Status loaded = picture_.Load(cp949_path);
  Draw();
  return loaded;
}

void Tgui_check_button_Form::SetFrameIndex(int index) {
  picture_.SetFrameIndex(index);
  Draw();
}

void Tgui_check_button_Form::SetFramed(bool framed) {
  framed_ = framed;
  Draw();
}

void Tgui_check_button_Form::SetChecked(bool checked) {
  checked_ = checked;
  SetFrameIndex(checked ? 1 : 0);
}

void Tgui_check_button_Form::Render(Bitmap& bitmap) {
  picture_.Draw(bitmap, options().overallColor);
  if (framed_) {
    bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, options().overallColor);
  }
}

void Tgui_check_button_Form::FormMouseUp(MouseButton button, ShiftState shift, int, int) {
  // Unlike a button, the box does not test where the release was: hot alone decides.
  bool toggles = button == MouseButton::Left && pressed() && hot();
  FormWatch alive = Watch();
  if (toggles) {
    SetChecked(!checked_);
    if (on_change) {
      HideBalloon();
      on_change();
      if (!alive) return;
    }
  }
  ClickableWidget::FormMouseUp(button, shift, 0, 0);
  if (!alive) return;
  if (on_release) {
    HideBalloon();
    on_release();
  }
}

}  // namespace tolmeo
