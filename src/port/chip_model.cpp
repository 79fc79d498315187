#include "port/chip_model.h"

#include <algorithm>
#include <bit>

namespace tolmeo {

ChipModel Normalised(const ChipModel& model) {
  ChipModel safe = model;
  const std::uint32_t flash_words = std::clamp<std::uint32_t>(model.flash_bytes / 2, 1, kMaxFlashWords);
  const std::uint32_t page_words = std::clamp<std::uint32_t>(model.page_bytes / 2, 1, flash_words);
  safe.flash_bytes = flash_words * 2;
  // Pages are found by masking the word address, which only works for powers of two.
  safe.page_bytes = std::bit_floor(page_words) * 2;
  safe.eeprom_bytes = std::min(model.eeprom_bytes, kMaxEepromBytes);
  safe.flash_write_ms = std::max(model.flash_write_ms, 0);
  safe.eeprom_write_ms = std::max(model.eeprom_write_ms, 0);
  safe.erase_ms = std::max(model.erase_ms, 0);
  safe.fuse_write_ms = std::max(model.fuse_write_ms, 0);
  return safe;
}

}  // namespace tolmeo
