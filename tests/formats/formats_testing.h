#pragma once
// Small helpers the file tests share: Korean texts as the system holds them, and Intel HEX
// records with their checksums computed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp949.h"

namespace tolmeo::testing {

// A UTF-8 literal of the test as CP949, as the files hold it.
inline std::string K(std::string_view utf8) { return Cp949FromUtf8(utf8); }

// One Intel HEX record line, without line end: ":" count, address, type, data, checksum.
inline std::string HexRecord(std::uint16_t address, std::uint8_t type,
                             const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()),
                                     static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address & 0xFF), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::uint8_t byte : bytes) sum += byte;
  bytes.push_back(static_cast<std::uint8_t>(-sum & 0xFF));
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line = ":";
  for (std::uint8_t byte : bytes) {
    line += kDigits[byte >> 4];
    line += kDigits[byte & 0xF];
  }
  return line;
}

inline std::string HexData(std::uint16_t address, const std::vector<std::uint8_t>& data) {
  return HexRecord(address, 0, data);
}

inline std::string HexEnd() { return ":00000001FF"; }

}  // namespace tolmeo::testing
