#include "wire_trace.h"

namespace tolmeo::testing {

std::vector<std::uint8_t> MosiBytes(std::span<const std::uint8_t> writes) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t previous = 0;
  std::uint8_t current = 0;
  int bits = 0;
  for (std::uint8_t value : writes) {
    bool rising_sck = (value & 0x02) && !(previous & 0x02);
    previous = value;
    if (!rising_sck) continue;
    current = static_cast<std::uint8_t>((current << 1) | ((value >> 2) & 1));
    if (++bits == 8) {
      bytes.push_back(current);
      bits = 0;
      current = 0;
    }
  }
  return bytes;
}

}  // namespace tolmeo::testing
