#include "widgets/gui_captionbar.h"

#include "base/cp949.h"
#include "widgets/gui_label.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {

Tgui_captionbar_Form::Tgui_captionbar_Form(Form& parent, const IdeOptions& options)
    : WidgetBase(&parent, options),
      caption_(Ktext(u8" 제목글 ")) {
  TextStyle& style = text_style();
  style.xOffset = 2;
  style.padTop = 1;
  style.padBottom = 1;
  SetParent(&parent);
  SetBounds(Rect{0, 0, parent.width(), kHeight});
}

void Tgui_captionbar_Form::SetCaption(std::string_view cp949_caption) {
  caption_ = CutAtCharBoundary(cp949_caption, kLabelTextLimit);
  Draw();
}

void Tgui_captionbar_Form::SetFillColor(Color color) {
  fill_color_ = color;
  Draw();
}

void Tgui_captionbar_Form::FitToParent() {
  int parent_width = parent() ? parent()->width() : width();
  if (parent_width == width()) {
    Draw();
  } else {
    SetWidth(parent_width);  // resizing redraws
  }
}

void Tgui_captionbar_Form::Render(Bitmap& bitmap) {
  const Color fill = ChosenOrOverall(fill_color_);
  bitmap.Fill(fill);
  bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, ChosenOrOverall(border_color_));
  DrawTextStyled(bitmap, text_style(), 0, Underline{}, caption_, kRegularWeight, kTransparent,
                 fill, kWhite, 1);
}

}  // namespace tolmeo
