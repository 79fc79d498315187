#pragma once
// The memories of a virtual AVR and the rules that make real chips fail: Flash and lock bits
// only go from 1 to 0 until a chip erase; Flash is written a page at a time from a page buffer
// that is blank again after each page write. An EEPROM byte is erased as part of its write, so
// it takes any value; a chip erase keeps the EEPROM when the high fuse's EESAVE bit is
// programmed. Addresses wrap to the memory size,
// as real chips ignore the address bits they do not have. Timing is the caller's business.
#include <cstdint>
#include <string_view>
#include <vector>

#include "port/chip_model.h"

namespace tolmeo {

struct FuseBytes {
  std::uint8_t lock = 0xFF;
  std::uint8_t extended = 0xFF;
  std::uint8_t high = 0xFF;
  std::uint8_t low = 0xFF;
  bool operator==(const FuseBytes&) const = default;
};

enum class FuseByte { kLock, kExtended, kHigh, kLow };

class AvrMemories {
 public:
  // Starts erased, with the model's fuse bytes. The model is normalised first.
  explicit AvrMemories(const ChipModel& model);

  const ChipModel& model() const { return model_; }
  std::uint32_t flash_words() const { return model_.flashSize / 2; }
  std::uint32_t page_words() const { return model_.flashPageSize / 2; }

  // The first word of the page that holds word_address.
  std::uint32_t PageStart(std::uint32_t word_address) const {
    return WrapWord(word_address) & ~(page_words() - 1);
  }
  std::uint32_t WrapEeprom(std::uint32_t address) const {
    return eeprom_.empty() ? 0 : address % static_cast<std::uint32_t>(eeprom_.size());
  }

  // Flash and EEPROM (unless EESAVE is programmed) to 0xFF, lock bits to 0xFF; fuses keep
  // their values.
  void Erase();

  // high selects the high byte of the word; index is taken within the page.
  void LoadPageByte(std::uint32_t index, bool high, std::uint8_t value);
  // ANDs the page buffer into the page holding word_address, then blanks the buffer.
  void WritePage(std::uint32_t word_address);
  void ClearPageBuffer();
  std::uint8_t FlashByte(std::uint32_t word_address, bool high) const;
  std::uint16_t FlashWord(std::uint32_t word_address) const;

  // A chip without EEPROM reads 0xFF and takes no writes.
  void WriteEeprom(std::uint32_t address, std::uint8_t value);
  std::uint8_t ReadEeprom(std::uint32_t address) const;

  // Lock bits only go from 1 to 0; fuses take any value.
  void WriteFuse(FuseByte which, std::uint8_t value);
  std::uint8_t ReadFuse(FuseByte which) const;
  const FuseBytes& fuses() const { return fuses_; }

  // Flash as bytes, low byte of each word first, as Intel HEX files lay it out.
  const std::vector<std::uint8_t>& flash() const { return flash_; }
  const std::vector<std::uint8_t>& eeprom() const { return eeprom_; }

  // Takes over a saved state; false (and nothing changed) when the sizes do not fit.
  bool Restore(std::string_view flash, std::string_view eeprom, const FuseBytes& fuses);

 private:
  std::uint32_t WrapWord(std::uint32_t word_address) const { return word_address % flash_words(); }

  ChipModel model_;
  std::vector<std::uint8_t> flash_;
  std::vector<std::uint8_t> eeprom_;
  std::vector<std::uint8_t> page_buffer_;
  FuseBytes fuses_;
};

}  // namespace tolmeo
