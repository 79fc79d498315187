#pragma once
// Intel HEX out: what a chip read back is saved as, so the same file can be opened as a
// document again.
#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"

namespace tolmeo {

// Data records of 16 bytes for every byte, byte address b from bytes[b], an extended linear
// address record before each 64 KB block beyond the first, and the end record. Lines end in
// CR LF; hex digits are upper case.
std::string IntelHexText(std::span<const std::uint8_t> bytes);

// IntelHexText written to path (CP949), whole or not at all.
Status WriteIntelHex(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tolmeo
