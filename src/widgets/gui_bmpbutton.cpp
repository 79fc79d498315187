#include "widgets/gui_bmpbutton.h"

#include "gfx/colors.h"
#include "gfx/picture.h"

namespace tolmeo {
namespace {

constexpr int kButtonSize = 32;

}  // namespace

Tgui_bmpbutton_Form::Tgui_bmpbutton_Form(Form* owner, const IdeOptions& options)
    : ClickableWidget(owner, options), picture_(kButtonSize, kButtonSize) {
  SetBounds(Rect{0, 0, kButtonSize, kButtonSize});
}

void Tgui_bmpbutton_Form::SetFramed(bool framed) {
  framed_ = framed;
  Draw();
}

Status Tgui_bmpbutton_Form::LoadImage(const std::string& cp949_path) {
  Status loaded = picture_.Load(cp949_path);
  Draw();
  return loaded;
}

void Tgui_bmpbutton_Form::SetImageWidth(int width) {
  picture_.SetAreaWidth(width);
  Draw();
}

void Tgui_bmpbutton_Form::SetImageHeight(int height) {
  picture_.SetAreaHeight(height);
  Draw();
}

void Tgui_bmpbutton_Form::Render(Bitmap& bitmap) {
  Color overall = options().overallColor;
  picture_.Draw(bitmap, overall);
  if (pressed()) ReplaceColors(bitmap, overall, kWhite, overall, kWhite);
  if (framed_) bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, overall);
}

}  // namespace tolmeo
