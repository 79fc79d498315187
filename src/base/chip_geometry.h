#pragma once
// The shape of a target chip as its description gives it: memory sizes, page size, signature
// and write times. The chip image, the description files and the virtual AVR each hold one, so
// passing a chip between them is one assignment instead of a copy field by field.
#include <array>
#include <cstdint>

namespace tolmeo {

// The ISP instructions carry 16-bit word and byte addresses: no chip beyond this is reachable.
inline constexpr std::uint32_t kIspReachFlashWords = 65'536;
inline constexpr std::uint32_t kIspReachEepromBytes = 65'536;

struct ChipGeometry {
  std::uint32_t flashPageSize = 0;  // bytes; half of it, in words, is a power of two
  std::uint32_t flashSize = 0;      // bytes
  std::uint32_t eepromSize = 0;     // bytes
  std::array<std::uint8_t, 3> signature{};
  std::int32_t flashWriteDelay = 0;   // ms after each page write
  std::int32_t eepromWriteDelay = 0;  // ms after each EEPROM byte write

  std::uint32_t FlashWordCount() const { return flashSize / 2; }
  std::uint32_t PageWords() const { return flashPageSize / 2; }
};

}  // namespace tolmeo
