#pragma once
// The way the widget set draws a picture from a bitmap file into a control: tinted with the
// overall colour, cut to an image area, optionally one frame of a strip. The bitmap button and
// the image box show their pictures through it.
#include <string>

#include "base/result.h"
#include "gfx/bitmap.h"
#include "form/form_types.h"

namespace tolmeo {

// A black-and-white picture whose black pixels take the overall colour, placed at an origin
// and cut to an image area; in strip mode only one frame of a strip of equal frames is shown.
class TintedPicture {
 public:
  TintedPicture(int area_width, int area_height)
      : area_width_(area_width), area_height_(area_height) {}

  // Loads the BMP file at the path. A file that is missing or not a BMP leaves no picture, so
  // the control shows plain white (and its frame) and goes on; the reason is returned.
  Status Load(const std::string& cp949_path);
  // Fills target with white and copies the picture (or its current frame) over it.
  void Draw(Bitmap& target, Color overall_color) const;

  void SetAreaWidth(int width) { area_width_ = width; }
  void SetAreaHeight(int height) { area_height_ = height; }
  void SetStripMode(bool on) { strip_mode_ = on; }
  void SetFrameWidth(int width) { frame_width_ = width; }
  void SetFrameIndex(int index) { frame_index_ = index; }

  bool loaded() const { return !image_.empty(); }

 private:
  Bitmap image_;
  Point origin_;  // no setter: pictures sit at the control's top-left corner
  int area_width_;
  int area_height_;
  bool strip_mode_ = false;
  int frame_width_ = 32;
  int frame_index_ = 0;
};

}  // namespace tolmeo
