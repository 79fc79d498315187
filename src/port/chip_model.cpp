#include "port/chip_model.h"

#include <algorithm>
#include <bit>

namespace tolmeo {

ChipModel Normalised(const ChipModel& model) {
  ChipModel safe = model;
  const std::uint32_t flash_words = std::clamp<std::uint32_t>(model.flashSize / 2, 1, kIspReachFlashWords);
  const std::uint32_t page_words = std::clamp<std::uint32_t>(model.flashPageSize / 2, 1, flash_words);
  safe.flashSize = flash_words * 2;
  // Pages are found by masking the word address, which only works for powers of two.
  safe.flashPageSize = std::bit_floor(page_words) * 2;
  safe.eepromSize = std::min(model.eepromSize, kIspReachEepromBytes);
  safe.flashWriteDelay = std::max(model.flashWriteDelay, 0);
  safe.eepromWriteDelay = std::max(model.eepromWriteDelay, 0);
  safe.erase_ms = std::max(model.erase_ms, 0);
  safe.fuse_write_ms = std::max(model.fuse_write_ms, 0);
  return safe;
}

}  // namespace tolmeo
