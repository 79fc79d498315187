#include "widgets/tinted_picture.h"

#include <algorithm>
#include <cstdint>

#include "gfx/colors.h"
#include "gfx/picture.h"

namespace tolmeo {

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

}  // namespace tolmeo
