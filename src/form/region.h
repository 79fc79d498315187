#pragma once
// A window shape: the set of pixels a form covers, built from rectangles and polygons as the
// window system's regions are, kept as a mask of one byte per pixel from (0, 0). Points
// outside the mask are outside the region, so a region keeps its pixels when the window grows.
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/bitmap.h"
#include "form/form_types.h"

namespace tolmeo {

enum class PolygonFill { Alternate, Winding };

class Region {
 public:
  Region() = default;
  static Region FromRect(const Rect& rect);
  static Region FromPolygon(std::span<const Point> corners, PolygonFill fill);

  void AddRect(const Rect& rect);
  void SubtractRect(const Rect& rect);
  void AddPolygon(std::span<const Point> corners, PolygonFill fill);
  void Add(const Region& other);
  void Subtract(const Region& other);

  bool Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ &&
           mask_[static_cast<std::size_t>(y) * width_ + x] != 0;
  }
  bool Empty() const;
  // The mask's extent from (0, 0); every point of the region lies inside it.
  int width() const { return width_; }
  int height() const { return height_; }
  // One row of the mask (width() bytes, 1 = inside), for fast compositing.
  const std::uint8_t* Row(int y) const { return mask_.data() + static_cast<std::size_t>(y) * width_; }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  void GrowTo(int width, int height);
  void SetSpan(int y, int left, int right, std::uint8_t value);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> mask_;
};

}  // namespace tolmeo
