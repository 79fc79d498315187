#pragma once
// The Intel HEX reader behind the Flash and EEPROM documents. Every record is checked (start
// code, hex digits, byte count against the line length, checksum) and data must fall inside
// the memory it is read for, so a damaged or oversized file is refused with the line and the
// reason instead of being programmed half right.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tolmeo {

// Bytes first to first + count - 1, all stored by the file.
struct HexSpan {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  bool operator==(const HexSpan&) const = default;
};

// Byte addresses of the data read: the lowest and highest stored, and every run of stored
// bytes in file order (a run that goes on where the one before ended joins it); the bytes
// between runs are gaps the file leaves out. A text without data records gives 0..0 and no
// runs.
struct HexRange {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::vector<HexSpan> spans;
};

// Stores the data records of text into area, byte address b at area[b]; area is exactly the
// memory the data is meant for. Lines end with CR LF or LF; trailing blanks and blank lines at
// the end are tolerated. Extended segment (type 2) and extended linear (type 4) addresses
// apply as Intel HEX defines them; start addresses (types 3, 5) and unknown types are skipped.
// Reading stops at the end record. On failure the bytes stored from the lines before stay in
// area and the reason names the line (CP949).
Result<HexRange> ParseIntelHex(std::string_view text, std::span<std::uint8_t> area);

// ParseIntelHex on the whole file at path (CP949).
Result<HexRange> ReadIntelHex(const std::string& path, std::span<std::uint8_t> area);

}  // namespace tolmeo
