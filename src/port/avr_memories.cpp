#include "port/avr_memories.h"

#include <algorithm>

namespace tolmeo {

AvrMemories::AvrMemories(const ChipModel& model)
    : model_(Normalised(model)),
      flash_(model_.flashSize, 0xFF),
      eeprom_(model_.eepromSize, 0xFF),
      page_buffer_(model_.flashPageSize, 0xFF),
      fuses_{model_.lock, model_.extended, model_.high, model_.low} {}

void AvrMemories::Erase() {
  std::fill(flash_.begin(), flash_.end(), 0xFF);
  const bool eeprom_saved = (fuses_.high & model_.eesave_high_bit) == 0;
  if (!eeprom_saved) std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  fuses_.lock = 0xFF;
}

void AvrMemories::LoadPageByte(std::uint32_t index, bool high, std::uint8_t value) {
  page_buffer_[(index % page_words()) * 2 + (high ? 1 : 0)] = value;
}

void AvrMemories::WritePage(std::uint32_t word_address) {
  const std::uint32_t first_byte = PageStart(word_address) * 2;
  // The last page of a Flash that is not a whole number of pages is cut short.
  const std::uint32_t count = std::min<std::uint32_t>(model_.flashPageSize, model_.flashSize - first_byte);
  for (std::uint32_t i = 0; i < count; ++i) flash_[first_byte + i] &= page_buffer_[i];
  ClearPageBuffer();
}

void AvrMemories::ClearPageBuffer() { std::fill(page_buffer_.begin(), page_buffer_.end(), 0xFF); }

std::uint8_t AvrMemories::FlashByte(std::uint32_t word_address, bool high) const {
  return flash_[WrapWord(word_address) * 2 + (high ? 1 : 0)];
}

std::uint16_t AvrMemories::FlashWord(std::uint32_t word_address) const {
  return static_cast<std::uint16_t>(FlashByte(word_address, true) << 8 | FlashByte(word_address, false));
}

void AvrMemories::WriteEeprom(std::uint32_t address, std::uint8_t value) {
  if (!eeprom_.empty()) eeprom_[WrapEeprom(address)] = value;
}

std::uint8_t AvrMemories::ReadEeprom(std::uint32_t address) const {
  return eeprom_.empty() ? 0xFF : eeprom_[WrapEeprom(address)];
}

void AvrMemories::WriteFuse(FuseByte which, std::uint8_t value) {
  switch (which) {
    case FuseByte::kLock: fuses_.lock &= value; break;
    case FuseByte::kExtended: fuses_.extended = value; break;
    case FuseByte::kHigh: fuses_.high = value; break;
    case FuseByte::kLow: fuses_.low = value; break;
  }
}

std::uint8_t AvrMemories::ReadFuse(FuseByte which) const {
  switch (which) {
    case FuseByte::kLock: return fuses_.lock;
    case FuseByte::kExtended: return fuses_.extended;
    case FuseByte::kHigh: return fuses_.high;
    case FuseByte::kLow: return fuses_.low;
  }
  return 0xFF;
}

bool AvrMemories::Restore(std::string_view flash, std::string_view eeprom, const FuseBytes& fuses) {
  if (flash.size() != flash_.size() || eeprom.size() != eeprom_.size()) return false;
  std::copy(flash.begin(), flash.end(), flash_.begin());
  std::copy(eeprom.begin(), eeprom.end(), eeprom_.begin());
  fuses_ = fuses;
  return true;
}

}  // namespace tolmeo
