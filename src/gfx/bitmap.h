#pragma once
// A 24-bit off-screen picture: rows of B, G, R bytes, top row first, colours as 0x00BBGGRR.
// Every control draws into one of these; only the form library shows them. No SDL here.
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"

namespace tolmeo {

using Color = std::uint32_t;  // 0x00BBGGRR

inline constexpr std::uint8_t RedOf(Color c) { return c & 0xFF; }
inline constexpr std::uint8_t GreenOf(Color c) { return (c >> 8) & 0xFF; }
inline constexpr std::uint8_t BlueOf(Color c) { return (c >> 16) & 0xFF; }
inline constexpr Color MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }    // exclusive
  int bottom() const { return top + height; }   // exclusive
  bool Contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
  bool Empty() const { return width <= 0 || height <= 0; }
};

Rect Intersect(const Rect& a, const Rect& b);
// The rectangle moved, not resized, so that it lies inside area; one larger than area keeps
// its top left corner inside.
Rect MovedInside(Rect rect, const Rect& area);

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, Color fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return stride_; }  // bytes per row
  bool empty() const { return width_ == 0 || height_ == 0; }

  // Changing the size keeps nothing of the old picture.
  void Resize(int width, int height, Color fill = 0);

  std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }
  std::uint8_t* data() { return pixels_.data(); }
  const std::uint8_t* data() const { return pixels_.data(); }

  // Reading or writing outside the bitmap does nothing (reads give 0).
  Color Pixel(int x, int y) const;
  void SetPixel(int x, int y, Color color);

  // Drawing clipped to the bitmap.
  void Fill(Color color);
  void FillRect(const Rect& rect, Color color);
  // A 1-pixel line from (x0, y0) towards (x1, y1); the end point is not drawn.
  void Line(int x0, int y0, int x1, int y1, Color color);
  // The outline of rect, 1 pixel wide, inside rect.
  void FrameRect(const Rect& rect, Color color);
  // Copies source's area from (sx, sy) of size width x height to (dx, dy), clipped on both sides.
  void CopyFrom(const Bitmap& source, int sx, int sy, int width, int height, int dx, int dy);
  void CopyFrom(const Bitmap& source, int dx, int dy) {
    CopyFrom(source, 0, 0, source.width(), source.height(), dx, dy);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// Reads an uncompressed 24-bit or 8/4/1-bit palette BMP file (CP949 path).
Result<Bitmap> LoadBmp(const std::string& cp949_path);
// Writes a 24-bit BMP (for tools and test pictures).
Status SaveBmp(const Bitmap& bitmap, const std::string& cp949_path);

}  // namespace tolmeo
