#include "widgets/gui_caret.h"

#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
Tgui_caret_Form::Tgui_caret_Form(Form& editor, const IdeOptions& options)
    : WidgetBase(&editor, options),
      editor_(editor),
      caret_Timer("caret_Timer", [this] { caret_TimerTimer(); }, kCaretBlinkMs) {
  SetParent(&editor);
  SetStayOnTop(true);
  SetColor(kBlack);
  SetCursor(CursorShape::IBeam);
  // The glyph fills the box exactly: no offset, no padding.
  text_style().xOffset = 0;
  KeepBitmapSize(kCaretBoxSize, kCaretBoxSize);
  SetBounds(Rect{0, 0, kCaretBarWidth, kCaretBoxSize});
  Draw();
}

void Tgui_caret_Form::ShowCaret() {
  if (!EditorFocused() || visible()) return;
  Show();
  caret_Timer.SetEnabled(true);
}

void Tgui_caret_Form::HideCaret() {
  Hide();
  caret_Timer.SetEnabled(false);
}

void Tgui_caret_Form::MoveTo(int x, int y) {
  bool focused = EditorFocused();
  if (focused) {
    Show();
    caret_Timer.SetEnabled(false);
  }
  SetBounds(Rect{x, y, width(), height()});
  if (focused && !composing_) {
    caret_Timer.SetInterval(kCaretBlinkMs);
    caret_Timer.SetEnabled(true);
  }
}

void Tgui_caret_Form::Bar() {
  composing_ = false;
  SetBounds(Rect{left(), top(), kCaretBarWidth, kCaretBoxSize});
  Draw();
  if (!EditorFocused()) return;
  caret_Timer.SetInterval(kCaretBlinkMs);
  caret_Timer.SetEnabled(true);
  Show();
}

void Tgui_caret_Form::Compose(std::uint16_t code) {
  composing_ = true;
  composed_code_ = code;
  if (EditorFocused()) {
    Show();
    caret_Timer.SetInterval(kCaretBlinkMs);
    caret_Timer.SetEnabled(false);  // a syllable being composed stays steady
  }
  SetBounds(Rect{left(), top(), kCaretBoxSize, kCaretBoxSize});
  Draw();
}

void Tgui_caret_Form::Render(Bitmap& bitmap) {
  if (!composing_) {
    bitmap.Fill(kBlack);
    return;
  }
  Color overall = options().overallColor;
  bitmap.Fill(overall);
  DrawGlyphUnderlined(bitmap, text_style(), 0, Underline{}, composed_code_, kOpaque, overall,
                      kWhite, 0);
}

void Tgui_caret_Form::caret_TimerTimer() {
  if (EditorFocused()) SetVisible(!visible());
}

}  // namespace tolmeo
