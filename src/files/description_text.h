#pragma once
// The text of a device description file (AvrSpec/<name>.avrspec): Flash page size, memory
// sizes, signature, the lock and fuse bytes bit by bit with names and fixed marks, and the write
// delays. Reading checks everything before anything is used, so a damaged file is refused whole
// and the description in force stays as it was.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"
#include "isp/fuse_boxes.h"

namespace tolmeo {

// The ISP instructions carry 16-bit word and byte addresses: no chip beyond this is reachable.
inline constexpr std::uint32_t kIspReachFlashWords = 65'536;
inline constexpr std::uint32_t kIspReachEepromBytes = 65'536;

struct DeviceDescription {
  std::uint32_t flashPageSize = 0;  // bytes; half of it, in words, is a power of two
  std::uint32_t flashSize = 0;      // bytes, even, at most 2 x kIspReachFlashWords
  std::uint32_t eepromSize = 0;     // bytes, at most kIspReachEepromBytes
  std::array<std::uint8_t, 3> signature{};
  FuseBoxes bits;  // per bit: checked = programmed (value 0), its name, and the fixed mark
  std::int32_t flashWriteDelay = 0;   // ms
  std::int32_t eepromWriteDelay = 0;  // ms
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
