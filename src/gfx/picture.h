#pragma once
// Small helpers every self-drawn window uses to prepare its pictures. They keep no state.
#include <string>

#include "base/result.h"
#include "gfx/bitmap.h"

namespace tolmeo {

// Moves every pixel of bitmap towards white, as LightenColor does a colour.
void LightenBitmap(Bitmap& bitmap, int amount);

// Tiling mode of LoadTiledPicture: repeat the picture over the whole bitmap.
inline constexpr int kTilePicture = 2;

// Decodes the JPEG file (CP949 path, colour or grey) into bitmap at its top-left corner; a
// non-zero width or height sets that size of the bitmap, the rest is white, and mode
// kTilePicture repeats the picture over it. A file that is missing or not a decodable JPEG
// leaves bitmap as it was and gives the reason.
Status LoadTiledPicture(Bitmap& bitmap, const std::string& cp949_path, int width, int mode,
                        int height);

// Writes one pixel; nothing happens outside the bitmap.
inline void SetPixel(Bitmap& bitmap, int x, int y, Color color) { bitmap.SetPixel(x, y, color); }

// Copies rows x columns pixels from source at (sourceX, sourceY) to target at (targetX,
// targetY), writing replacement where the source pixel is key. Copying stops at the first
// row or column that would leave the target or the source, or pass heightLimit rows or
// widthLimit columns; a negative origin copies nothing.
void CopyRectColorKeyed(const Bitmap& source, int sourceX, int sourceY, Color replacement, Color key,
                        int heightLimit, int widthLimit, int targetY, int targetX, Bitmap& target,
                        int rows, int columns);

// Every pixel of colour a becomes b; every other pixel of colour d becomes c.
void ReplaceColors(Bitmap& bitmap, Color a, Color b, Color c, Color d);

}  // namespace tolmeo
