#include "widgets/gui_bmpbutton.h"

#include <algorithm>
#include <cstdint>

#include "form/picture.h"

namespace tolmeo {
namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr int kButtonSize = 32;

}  // namespace

Status TintedPicture::Load(const std::string& cp949_path) {
  Result<Bitmap> loaded = LoadBmp(cp949_path);
  if (!loaded) {
    image_ = Bitmap();
    return Failure{loaded.reason()};
  }
  image_ = std::move(*loaded);
  return Success();
}

void TintedPicture::Draw(Bitmap& target, Color overall_color) const {
  target.Fill(kWhite);
  if (image_.empty()) return;
  int source_x = 0;
  int columns = image_.width();
  if (strip_mode_) {
    // A frame index far beyond the strip must not wrap around into a real frame.
    std::int64_t first = std::int64_t{frame_index_} * frame_width_;
    source_x = static_cast<int>(std::clamp<std::int64_t>(first, -1, image_.width()));
    columns = frame_width_;
  }
  CopyRectColorKeyed(image_, source_x, 0, overall_color, kBlack, area_height_, area_width_,
                     origin_.y, origin_.x, target, image_.height(), columns);
}

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
