#include "gfx/picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "base/cp949.h"
#include "base/file_system.h"
#include "gfx/palette.h"

namespace tolmeo {
namespace {

// Pictures beyond these would cost hundreds of megabytes; they are refused like broken ones.
constexpr JDIMENSION kLargestPictureSide = 16384;
constexpr std::uint64_t kLargestPictureArea = 64u << 20;

// libjpeg's default reaction to a broken file is to end the process; this one jumps back to
// the decoder, which then reports the failure.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf return_point;
};

[[noreturn]] void JumpBack(j_common_ptr decoder) {
  std::longjmp(reinterpret_cast<JpegErrors*>(decoder->err)->return_point, 1);
}

void StayQuiet(j_common_ptr) {}

bool SizeAllowed(JDIMENSION width, JDIMENSION height) {
  return width <= kLargestPictureSide && height <= kLargestPictureSide &&
         std::uint64_t{width} * height <= kLargestPictureArea;
}

// Converts one decoded row (RGB or grey samples) into bitmap row y.
void StoreRow(const JSAMPLE* samples, int components, Bitmap& bitmap, int y) {
  std::uint8_t* pixel = bitmap.Row(y);
  for (int x = 0; x < bitmap.width(); ++x, pixel += 3) {
    const JSAMPLE* sample = samples + static_cast<std::size_t>(x) * components;
    pixel[2] = sample[0];
    pixel[1] = sample[components == 3 ? 1 : 0];
    pixel[0] = sample[components == 3 ? 2 : 0];
  }
}

// Decodes into picture. Nothing here has a destructor and the row buffer belongs to the
// decoder, so the jump back from libjpeg leaves nothing behind.
bool DecodeJpeg(const std::string& file, Bitmap& picture) {
  jpeg_decompress_struct decoder{};
  JpegErrors errors;
  decoder.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.output_message = StayQuiet;
  if (setjmp(errors.return_point)) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  jpeg_create_decompress(&decoder);
  jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char*>(file.data()),
               static_cast<unsigned long>(file.size()));
  jpeg_read_header(&decoder, TRUE);
  if (!SizeAllowed(decoder.image_width, decoder.image_height)) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  bool grey = decoder.jpeg_color_space == JCS_GRAYSCALE;
  decoder.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&decoder);
  picture.Resize(static_cast<int>(decoder.output_width), static_cast<int>(decoder.output_height));
  JSAMPARRAY row = (*decoder.mem->alloc_sarray)(
      reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
      decoder.output_width * static_cast<JDIMENSION>(decoder.output_components), 1);
  while (decoder.output_scanline < decoder.output_height) {
    int y = static_cast<int>(decoder.output_scanline);
    jpeg_read_scanlines(&decoder, row, 1);
    StoreRow(row[0], decoder.output_components, picture, y);
  }
  jpeg_finish_decompress(&decoder);
  jpeg_destroy_decompress(&decoder);
  return true;
}

void Tile(Bitmap& bitmap, int tile_width, int tile_height) {
  if (tile_width <= 0 || tile_height <= 0) return;
  for (int y = 0; y < bitmap.height(); y += tile_height) {
    for (int x = 0; x < bitmap.width(); x += tile_width) {
      if (x != 0 || y != 0) bitmap.CopyFrom(bitmap, 0, 0, tile_width, tile_height, x, y);
    }
  }
}

}  // namespace

void LightenBitmap(Bitmap& bitmap, int amount) {
  amount = std::clamp(amount, 0, 255);
  std::uint8_t lightened[256];
  for (int value = 0; value < 256; ++value) lightened[value] = LightenChannel(value, amount);
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* row = bitmap.Row(y);
    for (int i = 0; i < bitmap.width() * 3; ++i) row[i] = lightened[row[i]];
  }
}

Status LoadTiledPicture(Bitmap& bitmap, const std::string& cp949_path, int width, int mode,
                        int height) {
  auto file = ReadWholeFile(cp949_path);
  Bitmap picture;
  if (!file || !DecodeJpeg(*file, picture)) {
    return Failure{Ktext(u8"그림을 읽을 수 없습니다: ") + cp949_path};
  }
  bitmap.Resize(width != 0 ? width : picture.width(), height != 0 ? height : picture.height(),
                MakeColor(255, 255, 255));
  bitmap.CopyFrom(picture, 0, 0);
  if (mode == kTilePicture) Tile(bitmap, picture.width(), picture.height());
  return Success();
}

void CopyRectColorKeyed(const Bitmap& source, int sourceX, int sourceY, Color replacement, Color key,
                        int heightLimit, int widthLimit, int targetY, int targetX, Bitmap& target,
                        int rows, int columns) {
  if (targetX < 0 || targetY < 0 || sourceX < 0 || sourceY < 0) return;
  int last_rows = std::min({rows, heightLimit, target.height() - targetY, source.height() - sourceY});
  int last_columns =
      std::min({columns, widthLimit, target.width() - targetX, source.width() - sourceX});
  for (int row = 0; row < last_rows; ++row) {
    for (int column = 0; column < last_columns; ++column) {
      Color color = source.Pixel(sourceX + column, sourceY + row);
      target.SetPixel(targetX + column, targetY + row, color == key ? replacement : color);
    }
  }
}

void ReplaceColors(Bitmap& bitmap, Color a, Color b, Color c, Color d) {
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      Color color = bitmap.Pixel(x, y);
      if (color == a) {
        bitmap.SetPixel(x, y, b);
      } else if (color == d) {
        bitmap.SetPixel(x, y, c);
      }
    }
  }
}

}  // namespace tolmeo
