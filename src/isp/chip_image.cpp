#include "isp/chip_image.h"

#include <algorithm>
#include <memory>

namespace tolmeo {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Shared by both dump texts: only the item width and the item source differ.
template <typename ItemAt>
void DumpText(std::int32_t from, std::int32_t to, std::uint32_t item_count, int digits,
              ItemAt item_at, std::string& out) {
  out.clear();
  std::int64_t end = std::min<std::int64_t>(to, item_count);
  std::int64_t first = std::max<std::int64_t>(from, 0);
  if (first >= end) return;
  out.reserve(static_cast<std::size_t>((end - first) * (digits + 1) + (end - first) / 16 * 2 + 2));
  char item[8];
  for (std::int64_t i = first; i < end; ++i) {
    unsigned value = item_at(static_cast<std::uint32_t>(i));
    for (int d = 0; d < digits; ++d) item[d] = kHexDigits[(value >> (4 * (digits - 1 - d))) & 0xF];
    item[digits] = ' ';
    out.append(item, digits + 1);
    if (i % 16 == 15) out.append("\r\n");
  }
}

}  // namespace

void ChipImage::SetFlashByte(std::uint32_t byte_address, std::uint8_t value) {
  std::uint16_t& word = flashWords[byte_address / 2];
  word = (byte_address & 1) ? static_cast<std::uint16_t>((word & 0x00FF) | (value << 8))
                            : static_cast<std::uint16_t>((word & 0xFF00) | value);
}

std::uint8_t ChipImage::FlashByte(std::uint32_t byte_address) const {
  std::uint16_t word = flashWords[byte_address / 2];
  return static_cast<std::uint8_t>((byte_address & 1) ? word >> 8 : word & 0xFF);
}

std::uint8_t& ChipImage::FuseByte(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock: return lockBits;
    case FuseGroup::Extended: return extendedFuse;
    case FuseGroup::High: return highFuse;
    case FuseGroup::Low: break;
  }
  return lowFuse;
}

void ChipImage::InitFlashImage() {
  std::uint32_t words = std::min(FlashWordCount(), kFlashCapacityWords);
  std::fill_n(flashWords.begin(), words, 0xFFFF);
  flashDefined.set();
  flashStart = 0;
  flashEnd = words - 1;  // a zero size leaves no range: the commands refuse it
}

void ChipImage::InitEepromImage() {
  std::uint32_t bytes = std::min(eepromSize, kEepromCapacityBytes);
  std::fill_n(eepromBytes.begin(), bytes, 0xFF);
  eepromDefined.set();
  eepromStart = 0;
  eepromEnd = bytes - 1;
}

void ChipImage::ClampFlashEnd() {
  if (flashEnd > FlashWordCount() - 1) flashEnd = FlashWordCount() - 1;
}

void ChipImage::ClampEepromEnd() {
  if (eepromEnd > eepromSize - 1) eepromEnd = eepromSize - 1;
}

void ChipImage::AlignFlashPages() {
  std::uint32_t mask = ~(PageWords() - 1);
  flashPageStart = flashStart & mask;
  flashPageEnd = flashEnd & mask;
}

PageWork ChipImage::FlashPageWork(std::uint32_t page) const {
  const std::uint32_t end = std::min({page + PageWords(), FlashWordCount(), kFlashCapacityWords});
  PageWork work = PageWork::kNone;
  for (std::uint32_t w = page; w < end; ++w) {
    if (!flashDefined.test(w)) continue;
    if (flashWords[w] != 0xFFFF) return PageWork::kWrite;
    work = PageWork::kCheck;
  }
  return work;
}

void ChipImage::FlashDumpText(std::int32_t from, std::int32_t to, std::string& out) const {
  std::uint32_t words = std::min(FlashWordCount(), kFlashCapacityWords);
  DumpText(from, to, words, 4, [this](std::uint32_t i) { return flashWords[i]; }, out);
}

void ChipImage::EepromDumpText(std::int32_t from, std::int32_t to, std::string& out) const {
  std::uint32_t bytes = std::min(eepromSize, kEepromCapacityBytes);
  DumpText(from, to, bytes, 2, [this](std::uint32_t i) { return eepromBytes[i]; }, out);
}

ChipImage& ChipImageRef() {
  static const std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  return *image;
}

}  // namespace tolmeo
