#include "widgets/gui_button.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {

Tgui_button_Form::Tgui_button_Form(Form* owner, const IdeOptions& options)
    : ClickableWidget(owner, options) {
  SetBounds(Rect{0, 0, 50, 16});
}

void Tgui_button_Form::SetCaption(std::string_view cp949_caption) {
  caption_ = CutAtCharBoundary(cp949_caption, kCaptionBytes);
  Draw();
}

void Tgui_button_Form::SetCentered(bool centered) {
  centered_ = centered;
  Draw();
}

void Tgui_button_Form::Render(Bitmap& bitmap) {
  if (centered_) {
    // A caption the fonts cannot measure keeps its last place.
    if (std::optional<TextSize> size = MeasureText(text_style(), caption_)) {
      text_origin_ = Point{width() / 2 - size->width / 2, height() / 2 - size->height / 2};
    }
  }
  Color overall = options().overallColor;
  Color back = pressed() ? overall : kWhite;
  Color ink = pressed() ? kWhite : kBlack;
  bitmap.Fill(back);
  DrawText(bitmap, text_style(), text_origin_.x, caption_, kTransparent, back, ink, text_origin_.y);
  bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, overall);
}

}  // namespace tolmeo
