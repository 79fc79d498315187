#include "widgets/gui_imagebox.h"

namespace tolmeo {
namespace {
constexpr int kBoxSize = 32;
}  // namespace

Tgui_imagebox_Form::Tgui_imagebox_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options), picture_(kBoxSize, kBoxSize) {
  SetBounds(Rect{0, 0, kBoxSize, kBoxSize});
}

void Tgui_imagebox_Form::SetFramed(bool framed) {
  framed_ = framed;
  Draw();
}

Status Tgui_imagebox_Form::LoadImage(const std::string& cp949_path) {
  Status loaded = picture_.Load(cp949_path);
  Draw();
  return loaded;
}

void Tgui_imagebox_Form::SetStripMode(bool on) {
  picture_.SetStripMode(on);
  Draw();
}

void Tgui_imagebox_Form::SetFrameWidth(int width) {
  picture_.SetFrameWidth(width);
  Draw();
}

void Tgui_imagebox_Form::SetFrameIndex(int index) {
  picture_.SetFrameIndex(index);
  Draw();
}

void Tgui_imagebox_Form::SetImageWidth(int width) {
  picture_.SetAreaWidth(width);
  Draw();
}

void Tgui_imagebox_Form::SetImageHeight(int height) {
  picture_.SetAreaHeight(height);
  Draw();
}

void Tgui_imagebox_Form::Render(Bitmap& bitmap) {
  Color overall = options().overallColor;
  picture_.Draw(bitmap, overall);
  if (framed_) bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, overall);
}

}  // namespace tolmeo
