#pragma once
// The text field's own caret: a child window of the field, a 2 x 12 black bar that blinks
// every 250 ms while the field has the keyboard focus, or, while the input method composes a
// Hangul syllable, a steady 12 x 12 box showing that syllable white on the overall colour.
// Whatever the calls, the caret is only ever seen while its field has the focus.
#include <cstdint>

#include "form/form_timer.h"
#include "widgets/widget_base.h"

namespace tolmeo {

inline constexpr int kCaretBlinkMs = 250;
inline constexpr int kCaretBarWidth = 2;
inline constexpr int kCaretBoxSize = 12;

class Tgui_caret_Form : public WidgetBase {
 public:
  // Becomes a child of editor at (0, 0), a bar, hidden.
  Tgui_caret_Form(Form& editor, const IdeOptions& options);

  // Visible and blinking, when the field has the focus and the caret is hidden.
  void ShowCaret();
  void HideCaret();
  // To (x, y) of the field; with the focus, visible at once and the blink starts over.
  void MoveTo(int x, int y);
  // Back to the blinking bar (the composition ended).
  void Bar();
  // The steady composition box showing code (a CP949 character code).
  void Compose(std::uint16_t code);

  bool composing() const { return composing_; }
  bool blinking() const { return caret_Timer.enabled(); }

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  void caret_TimerTimer();
  bool EditorFocused() const { return editor_.Focused(); }

  Form& editor_;
  FormTimer caret_Timer;
  bool composing_ = false;
  std::uint16_t composed_code_ = 0;
};

}  // namespace tolmeo
