#pragma once
// The text of a device description file (AvrSpec/<name>.avrspec): Flash page size, memory
// sizes, signature, the lock and fuse bytes bit by bit with names and fixed marks, and the write
// delays. Reading checks everything before anything is used, so a damaged file is refused whole
// and the description in force stays as it was.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/chip_geometry.h"
#include "base/result.h"
#include "formats/fuse_boxes.h"

namespace tolmeo {

// Sizes even and within the ISP reach once parsed.
struct DeviceDescription : ChipGeometry {
  FuseBoxes bits;  // per bit: checked = programmed (value 0), its name, and the fixed mark
};

// Refuses a missing tag, a value that is not a number, a zero size, a size the image or the
// ISP instructions cannot hold, a page size whose words are not a power of two, a bit section
// with fewer than 8 bit lines or a bit number outside 0..7 or given twice. Bit lines may come
// in any order and words may be separated by several blanks. A bit the chip lacks is named "-".
Result<DeviceDescription> ParseDescription(std::string_view cp949_text);

// The file text. Refuses values that do not fit their fixed-width fields (page size 4 digits,
// sizes 8, delays 2) and bit names holding blanks or line breaks, rather than write a file
// that reads back differently. An empty name is written as "-", the name of a bit the chip lacks,
// since a line without a name word would not read back.
Result<std::string> FormatDescription(const DeviceDescription& description);

}  // namespace tolmeo
