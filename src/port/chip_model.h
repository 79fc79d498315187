#pragma once
// What a virtual AVR is: its memory sizes, signature, write times and the fuse bytes it comes
// with. Plain data, filled by whoever knows the chip (a test, or the engine from a loaded
// description), so the cable layer needs nothing of the description files.
#include <cstdint>

#include "base/chip_geometry.h"

namespace tolmeo {

struct ChipModel : ChipGeometry {
  // An ATmega8 unless told otherwise.
  ChipModel() : ChipGeometry{64, 8192, 512, {0x1E, 0x93, 0x07}, 5, 9} {}

  std::int32_t erase_ms = 10;
  std::int32_t fuse_write_ms = 5;
  std::uint8_t lock = 0xFF;
  std::uint8_t extended = 0xFF;
  std::uint8_t high = 0xD9;
  std::uint8_t low = 0xE1;
  // EESAVE in the high fuse (bit 3 on the ATmega family); 0 for a chip without it.
  std::uint8_t eesave_high_bit = 0x08;
};

// The model made safe to simulate: at least one Flash word, at most what 16 address bits
// reach; a page of a power of two words that fits the Flash; no negative write times.
ChipModel Normalised(const ChipModel& model);

}  // namespace tolmeo
