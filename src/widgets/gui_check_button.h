#pragma once
// The check box: 12 x 12, drawn from a two-frame picture strip (frame 0 unchecked, frame 1
// checked), toggled by a completed click. A disabled box gets no mouse input, so a fixed bit
// of the bit editor cannot be toggled.
#include <functional>
#include <string>

#include "base/result.h"
#include "widgets/clickable_widget.h"
#include "widgets/tinted_picture.h"

namespace tolmeo {

class Tgui_check_button_Form : public ClickableWidget {
 public:
  static constexpr int kSize = 12;

  // Loads DataFolder() + "sysbmp/control/check_btn_all.bmp"; without it the box is plain white.
  Tgui_check_button_Form(Form* owner, const IdeOptions& options);

  Status LoadImage(const std::string& cp949_path);
  void SetFrameIndex(int index);
  void SetFramed(bool framed);
  // Shows the state without running on_change.
  void SetChecked(bool checked);
  bool checked() const { return checked_; }

  // After a click toggled the state.
  std::function<void()> on_change;
  // After every release of a mouse button on the box, toggled or not.
  std::function<void()> on_release;

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  TintedPicture picture_;
  bool checked_ = false;
  bool framed_ = false;
};

}  // namespace tolmeo
