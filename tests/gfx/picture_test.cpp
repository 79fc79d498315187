#include "gfx/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "gfx/colors.h"
#include "gfx/palette.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::TempFolder;


// A JPEG of the given size whose colour changes across it, made with libjpeg's compressor.
std::string MakeJpeg(int width, int height, bool grey) {
  jpeg_compress_struct encoder;
  jpeg_error_mgr errors;
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&encoder, &buffer, &size);
  encoder.image_width = static_cast<JDIMENSION>(width);
  encoder.image_height = static_cast<JDIMENSION>(height);
  encoder.input_components = grey ? 1 : 3;
  encoder.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, 95, TRUE);
  jpeg_start_compress(&encoder, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * encoder.input_components);
  while (encoder.next_scanline < encoder.image_height) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < encoder.input_components; ++c) {
        row[x * encoder.input_components + c] =
            static_cast<JSAMPLE>(c == 0 ? x * 2 : c == 1 ? encoder.next_scanline * 4 : 200);
      }
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&encoder, &pointer, 1);
  }
  jpeg_finish_compress(&encoder);
  jpeg_destroy_compress(&encoder);
  std::string file(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return file;
}

TEST(Picture, LightenBitmapLightensEveryPixelAsTheColourIs) {
  Bitmap bitmap(3, 2, 0xFF0000);
  bitmap.SetPixel(2, 1, 0x000000);
  LightenBitmap(bitmap, 140);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF8C8Cu);
  EXPECT_EQ(bitmap.Pixel(2, 1), LightenColor(0x000000, 140));
}

TEST(Picture, APictureIsTiledOverTheWholeBitmap) {
  TempFolder folder;
  std::string path = folder.Write("picture.jpg", MakeJpeg(100, 50, false));
  Bitmap bitmap(5, 5, 0);
  ASSERT_TRUE(LoadTiledPicture(bitmap, path, 250, kTilePicture, 120).ok());
  ASSERT_EQ(bitmap.width(), 250);
  ASSERT_EQ(bitmap.height(), 120);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 250; ++x) {
      ASSERT_EQ(bitmap.Pixel(x, y), bitmap.Pixel(x % 100, y % 50)) << x << ", " << y;
    }
  }
  Color corner = bitmap.Pixel(99, 49);  // red about 198, green about 196, blue about 200
  EXPECT_NEAR(RedOf(corner), 198, 12);
  EXPECT_NEAR(GreenOf(corner), 196, 12);
  EXPECT_NEAR(BlueOf(corner), 200, 12);

  ASSERT_TRUE(LoadTiledPicture(bitmap, path, 150, 0, 0).ok());  // no tiling: white beyond
  EXPECT_EQ(bitmap.width(), 150);
  EXPECT_EQ(bitmap.height(), 50);
  EXPECT_EQ(bitmap.Pixel(120, 10), kWhite);
}

TEST(Picture, GreyPicturesLoadAndBrokenOnesLeaveTheBitmap) {
  TempFolder folder;
  Bitmap bitmap(4, 4, 0x123456);
  ASSERT_TRUE(LoadTiledPicture(bitmap, folder.Write("grey.jpg", MakeJpeg(20, 10, true)), 0,
                               kTilePicture, 0).ok());
  EXPECT_EQ(bitmap.width(), 20);
  Color pixel = bitmap.Pixel(10, 5);
  EXPECT_EQ(RedOf(pixel), GreenOf(pixel));
  EXPECT_EQ(RedOf(pixel), BlueOf(pixel));

  std::string jpeg = MakeJpeg(20, 10, false);
  Bitmap untouched(4, 4, 0x123456);
  std::string too_wide = MakeJpeg(16385, 1, true);
  for (const std::string& bytes : {std::string("not a picture"), jpeg.substr(0, 40), std::string(), too_wide}) {
    auto loaded = LoadTiledPicture(untouched, folder.Write("bad.jpg", bytes), 100, kTilePicture, 100);
    EXPECT_FALSE(loaded.ok());
  }
  EXPECT_FALSE(LoadTiledPicture(untouched, folder.Cp949Path() + "none.jpg", 10, kTilePicture, 10).ok());
  EXPECT_EQ(untouched.width(), 4);
  EXPECT_EQ(untouched.Pixel(3, 3), 0x123456u);
}

TEST(Picture, ColorKeyedCopiesStopAtEveryLimit) {
  Bitmap source(4, 4, 0x111111);
  source.SetPixel(1, 1, 0x00FF00);
  auto copy = [&](int height_limit, int width_limit, int target_y, int target_x, int rows,
                  int columns) {
    Bitmap target(5, 5, 0);
    CopyRectColorKeyed(source, 0, 0, 0xABCDEF, 0x00FF00, height_limit, width_limit, target_y,
                       target_x, target, rows, columns);
    int copied = 0;
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 5; ++x) copied += target.Pixel(x, y) != 0;
    }
    return std::pair{copied, target.Pixel(target_x + 1, target_y + 1)};
  };
  EXPECT_EQ(copy(10, 10, 0, 0, 3, 3), std::pair(9, Color{0xABCDEF}));
  EXPECT_EQ(copy(2, 10, 0, 0, 3, 3).first, 6);
  EXPECT_EQ(copy(10, 1, 0, 0, 3, 3).first, 3);
  EXPECT_EQ(copy(10, 10, 3, 3, 3, 3).first, 4);    // the target's edge
  EXPECT_EQ(copy(10, 10, 0, 0, 9, 9).first, 16);   // the source's edge
  EXPECT_EQ(copy(10, 10, -1, 0, 3, 3).first, 0);   // a negative origin
  EXPECT_EQ(copy(10, 10, 0, -1, 3, 3).first, 0);
}

TEST(Picture, ReplaceColorsSwapsEachPixelOnce) {
  Bitmap bitmap(3, 1, 0);
  bitmap.SetPixel(0, 0, 0x0000AA);
  bitmap.SetPixel(1, 0, 0x0000DD);
  ReplaceColors(bitmap, 0x0000AA, 0x0000DD, 0x0000CC, 0x0000DD);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x0000DDu);  // a became b and stays b
  EXPECT_EQ(bitmap.Pixel(1, 0), 0x0000CCu);
  EXPECT_EQ(bitmap.Pixel(2, 0), 0u);

  SetPixel(bitmap, 5, 0, kWhite);
  SetPixel(bitmap, -1, 0, kWhite);
  SetPixel(bitmap, 2, 0, kWhite);
  EXPECT_EQ(bitmap.Pixel(2, 0), kWhite);
}

}  // namespace
}  // namespace tolmeo
