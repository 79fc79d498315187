#include "gfx/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/file_system.h"

namespace tolmeo {

Rect Intersect(const Rect& a, const Rect& b) {
  int left = std::max(a.left, b.left);
  int top = std::max(a.top, b.top);
  int right = std::min(a.right(), b.right());
  int bottom = std::min(a.bottom(), b.bottom());
  if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
  return Rect{left, top, right - left, bottom - top};
}

Rect MovedInside(Rect rect, const Rect& area) {
  rect.left = std::max(area.left, std::min(rect.left, area.right() - rect.width));
  rect.top = std::max(area.top, std::min(rect.top, area.bottom() - rect.height));
  return rect;
}

Bitmap::Bitmap(int width, int height, Color fill) { Resize(width, height, fill); }

void Bitmap::Resize(int width, int height, Color fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  stride_ = width_ * 3;
  pixels_.assign(static_cast<std::size_t>(stride_) * height_, 0);
  Fill(fill);
}

Color Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* p = Row(y) + x * 3;
  return MakeColor(p[2], p[1], p[0]);
}

void Bitmap::SetPixel(int x, int y, Color color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = Row(y) + x * 3;
  p[0] = BlueOf(color);
  p[1] = GreenOf(color);
  p[2] = RedOf(color);
}

void Bitmap::Fill(Color color) { FillRect(Rect{0, 0, width_, height_}, color); }

void Bitmap::FillRect(const Rect& rect, Color color) {
  Rect area = Intersect(rect, Rect{0, 0, width_, height_});
  if (area.Empty()) return;
  const std::uint8_t bgr[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
  std::uint8_t* first_row = Row(area.top) + area.left * 3;
  for (int x = 0; x < area.width; ++x) std::memcpy(first_row + x * 3, bgr, 3);
  for (int y = area.top + 1; y < area.bottom(); ++y) {
    std::memcpy(Row(y) + area.left * 3, first_row, static_cast<std::size_t>(area.width) * 3);
  }
}

void Bitmap::Line(int x0, int y0, int x1, int y1, Color color) {
  // Bresenham; the end point is left out, as the window system draws lines.
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  while (x0 != x1 || y0 != y1) {
    SetPixel(x0, y0, color);
    int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void Bitmap::FrameRect(const Rect& rect, Color color) {
  if (rect.Empty()) return;
  FillRect(Rect{rect.left, rect.top, rect.width, 1}, color);
  FillRect(Rect{rect.left, rect.bottom() - 1, rect.width, 1}, color);
  FillRect(Rect{rect.left, rect.top, 1, rect.height}, color);
  FillRect(Rect{rect.right() - 1, rect.top, 1, rect.height}, color);
}

void Bitmap::CopyFrom(const Bitmap& source, int sx, int sy, int width, int height, int dx, int dy) {
  // Clip against the source, then against this bitmap, moving both origins together.
  Rect from = Intersect(Rect{sx, sy, width, height}, Rect{0, 0, source.width(), source.height()});
  dx += from.left - sx;
  dy += from.top - sy;
  Rect to = Intersect(Rect{dx, dy, from.width, from.height}, Rect{0, 0, width_, height_});
  if (to.Empty()) return;
  int source_x = from.left + (to.left - dx);
  int source_y = from.top + (to.top - dy);
  for (int row = 0; row < to.height; ++row) {
    std::memmove(Row(to.top + row) + to.left * 3, source.Row(source_y + row) + source_x * 3,
                 static_cast<std::size_t>(to.width) * 3);
  }
}

namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8) |
         (static_cast<std::uint8_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24);
}

std::uint16_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                    (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

void PutLe32(std::string& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutLe16(std::string& b, std::uint16_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>(v >> 8));
}

// The palette index of pixel x in a row of bits_per_pixel (1, 4 or 8) bits.
unsigned PaletteIndex(const std::uint8_t* row, int x, int bits_per_pixel) {
  int bit = x * bits_per_pixel;
  unsigned byte = row[bit / 8];
  int shift = 8 - bits_per_pixel - (bit % 8);
  return (byte >> shift) & ((1u << bits_per_pixel) - 1);
}

}  // namespace

Result<Bitmap> LoadBmp(const std::string& cp949_path) {
  auto file = ReadWholeFile(cp949_path);
  if (!file) return Failure{file.reason()};
  const std::string& b = *file;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Failure{"not a BMP: " + cp949_path};
  std::uint32_t data_offset = Le32(b, 10);
  std::uint32_t header_size = Le32(b, 14);
  std::int32_t width = static_cast<std::int32_t>(Le32(b, 18));
  std::int32_t height = static_cast<std::int32_t>(Le32(b, 22));
  int bits = Le16(b, 28);
  std::uint32_t compression = Le32(b, 30);
  bool bottom_up = height > 0;
  height = std::abs(height);
  if (width <= 0 || height == 0 || width > 16384 || height > 16384 || compression != 0 ||
      (bits != 24 && bits != 8 && bits != 4 && bits != 1)) {
    return Failure{"unsupported BMP: " + cp949_path};
  }
  std::size_t row_bytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (data_offset > b.size() || row_bytes * height > b.size() - data_offset) {
    return Failure{"truncated BMP: " + cp949_path};
  }
  std::uint32_t palette_at = 14 + header_size;
  std::uint32_t colors = bits == 24 ? 0 : Le32(b, 46);
  if (bits != 24 && colors == 0) colors = 1u << bits;
  if (bits != 24 && (palette_at > data_offset || (data_offset - palette_at) / 4 < colors)) {
    return Failure{"broken BMP palette: " + cp949_path};
  }
  Bitmap bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    int file_row = bottom_up ? height - 1 - y : y;
    const auto* row = reinterpret_cast<const std::uint8_t*>(b.data() + data_offset + row_bytes * file_row);
    for (int x = 0; x < width; ++x) {
      if (bits == 24) {
        bitmap.SetPixel(x, y, MakeColor(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
        continue;
      }
      unsigned index = PaletteIndex(row, x, bits);
      if (index >= colors) index = 0;
      std::size_t entry = palette_at + index * 4;
      bitmap.SetPixel(x, y, MakeColor(static_cast<std::uint8_t>(b[entry + 2]),
                                      static_cast<std::uint8_t>(b[entry + 1]),
                                      static_cast<std::uint8_t>(b[entry])));
    }
  }
  return bitmap;
}

Status SaveBmp(const Bitmap& bitmap, const std::string& cp949_path) {
  std::size_t row_bytes = ((static_cast<std::size_t>(bitmap.width()) * 24 + 31) / 32) * 4;
  std::uint32_t image_size = static_cast<std::uint32_t>(row_bytes * bitmap.height());
  std::string b = "BM";
  PutLe32(b, 54 + image_size);
  PutLe32(b, 0);
  PutLe32(b, 54);
  PutLe32(b, 40);
  PutLe32(b, static_cast<std::uint32_t>(bitmap.width()));
  PutLe32(b, static_cast<std::uint32_t>(bitmap.height()));
  PutLe16(b, 1);
  PutLe16(b, 24);
  PutLe32(b, 0);
  PutLe32(b, image_size);
  PutLe32(b, 2835);
  PutLe32(b, 2835);
  PutLe32(b, 0);
  PutLe32(b, 0);
  for (int y = bitmap.height() - 1; y >= 0; --y) {
    std::string row(reinterpret_cast<const char*>(bitmap.Row(y)), static_cast<std::size_t>(bitmap.width()) * 3);
    row.resize(row_bytes, '\0');
    b += row;
  }
  return WriteWholeFile(cp949_path, b);
}

}  // namespace tolmeo
