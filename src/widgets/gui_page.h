#pragma once
// The page control: two arrow buttons stacked in one 13 x 16 control. A press on a half runs
// its callback at once, again after 500 ms and then every 20 ms until any button is released.
#include <functional>

#include "form/press_repeat.h"
#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_page_Form : public WidgetBase {
 public:
  static constexpr int kWidth = 13;
  static constexpr int kHeight = 16;

  Tgui_page_Form(Form* owner, const IdeOptions& options);

  // Both halves released.
  void Reset();
  bool up_down() const { return up_down_; }
  bool down_down() const { return down_down_; }
  bool repeating() const { return repeat_.repeating(); }

  std::function<void()> on_up;
  std::function<void()> on_down;

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  void Step();

  bool up_down_ = false;
  bool down_down_ = false;
  PressRepeat repeat_;
};

}  // namespace tolmeo
