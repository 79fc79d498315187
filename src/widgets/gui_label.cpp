#include "widgets/gui_label.h"

#include "base/cp949.h"
#include "gfx/text_drawing.h"

namespace tolmeo {

Tgui_Label_Form::Tgui_Label_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options),
      text_(Ktext(u8"라벨")) {
  TextStyle& style = text_style();
  style.xOffset = 2;
  style.padTop = 1;
  style.padBottom = 1;
  SetBounds(Rect{0, 0, 80, 16});
}

void Tgui_Label_Form::SetText(std::string_view cp949_text) {
  text_ = CutAtCharBoundary(cp949_text, kLabelTextLimit);
  Draw();
}

void Tgui_Label_Form::SetBackColor(Color color) {
  back_color_ = color;
  Draw();
}

void Tgui_Label_Form::SetBorder(bool on) {
  border_ = on;
  Draw();
}

void Tgui_Label_Form::SetTextColor(Color color) {
  text_color_ = color;
  Draw();
}

void Tgui_Label_Form::SetTextPosition(int x, int y) {
  text_x_ = x;
  text_y_ = y;
  Draw();
}

void Tgui_Label_Form::Render(Bitmap& bitmap) {
  bitmap.Fill(back_color_);
  DrawTextStyled(bitmap, text_style(), text_x_, Underline{}, text_, kRegularWeight, kTransparent,
                 back_color_, text_color_, text_y_);
  // The frame goes on last, so it stays whole where a long text runs into it.
  if (border_) bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, ChosenOrOverall(border_color_));
}

}  // namespace tolmeo
