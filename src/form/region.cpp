#include "form/region.h"

#include <algorithm>
#include <cmath>

namespace tolmeo {
namespace {

// Shapes of windows never exceed a screen; a bigger request is cut rather than allocated.
constexpr int kLargestSide = 8192;

Rect ClampToMaskArea(const Rect& rect) {
  return Intersect(rect, Rect{0, 0, kLargestSide, kLargestSide});
}

// Where the polygon's edges cross the horizontal line through pixel centres at row y, with
// the direction of each crossing (+1 downward, -1 upward).
struct Crossing {
  double x;
  int direction;
};

std::vector<Crossing> CrossingsAt(std::span<const Point> corners, double y) {
  std::vector<Crossing> crossings;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Point& a = corners[i];
    const Point& b = corners[(i + 1) % corners.size()];
    if (a.y == b.y) continue;
    bool downward = a.y < b.y;
    double top = downward ? a.y : b.y;
    double bottom = downward ? b.y : a.y;
    if (y < top || y >= bottom) continue;
    double x = a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
    crossings.push_back({x, downward ? 1 : -1});
  }
  std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
  return crossings;
}

// The first pixel column whose centre lies at or right of x.
int FirstColumnFrom(double x) { return static_cast<int>(std::ceil(x - 0.5)); }

}  // namespace

Region Region::FromRect(const Rect& rect) {
  Region region;
  region.AddRect(rect);
  return region;
}

Region Region::FromPolygon(std::span<const Point> corners, PolygonFill fill) {
  Region region;
  region.AddPolygon(corners, fill);
  return region;
}

void Region::GrowTo(int width, int height) {
  width = std::clamp(width, width_, kLargestSide);
  height = std::clamp(height, height_, kLargestSide);
  if (width == width_ && height == height_) return;
  std::vector<std::uint8_t> grown(static_cast<std::size_t>(width) * height, 0);
  for (int y = 0; y < height_; ++y) {
    std::copy_n(mask_.begin() + static_cast<std::ptrdiff_t>(y) * width_, width_,
                grown.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  mask_ = std::move(grown);
  width_ = width;
  height_ = height;
}

void Region::SetSpan(int y, int left, int right, std::uint8_t value) {
  left = std::max(left, 0);
  right = std::min(right, width_);
  if (y < 0 || y >= height_ || left >= right) return;
  std::fill(mask_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + left,
            mask_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + right, value);
}

void Region::AddRect(const Rect& rect) {
  Rect area = ClampToMaskArea(rect);
  if (area.Empty()) return;
  GrowTo(area.right(), area.bottom());
  for (int y = area.top; y < area.bottom(); ++y) SetSpan(y, area.left, area.right(), 1);
}

void Region::SubtractRect(const Rect& rect) {
  Rect area = Intersect(rect, Rect{0, 0, width_, height_});
  if (area.Empty()) return;
  for (int y = area.top; y < area.bottom(); ++y) SetSpan(y, area.left, area.right(), 0);
}

void Region::AddPolygon(std::span<const Point> corners, PolygonFill fill) {
  if (corners.size() < 3) return;
  int right = 0, bottom = 0;
  for (const Point& p : corners) {
    right = std::max(right, p.x);
    bottom = std::max(bottom, p.y);
  }
  GrowTo(right, bottom);
  for (int y = 0; y < height_; ++y) {
    std::vector<Crossing> crossings = CrossingsAt(corners, y + 0.5);
    int winding = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].direction;
      bool inside = fill == PolygonFill::Alternate ? (i % 2 == 0) : winding != 0;
      if (inside) {
        SetSpan(y, FirstColumnFrom(crossings[i].x), FirstColumnFrom(crossings[i + 1].x), 1);
      }
    }
  }
}

void Region::Add(const Region& other) {
  GrowTo(other.width_, other.height_);
  for (int y = 0; y < other.height_; ++y) {
    const std::uint8_t* from = other.Row(y);
    std::uint8_t* to = mask_.data() + static_cast<std::size_t>(y) * width_;
    for (int x = 0; x < other.width_; ++x) to[x] |= from[x];
  }
}

void Region::Subtract(const Region& other) {
  int height = std::min(height_, other.height_);
  int width = std::min(width_, other.width_);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = other.Row(y);
    std::uint8_t* to = mask_.data() + static_cast<std::size_t>(y) * width_;
    for (int x = 0; x < width; ++x) to[x] &= static_cast<std::uint8_t>(!from[x]);
  }
}

bool Region::Empty() const {
  return std::none_of(mask_.begin(), mask_.end(), [](std::uint8_t bit) { return bit != 0; });
}

}  // namespace tolmeo
