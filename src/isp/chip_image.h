#pragma once
// Everything Tolmeo knows of the target chip: the selected description and the two memory
// images with the ranges the programming commands work on.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "base/chip_geometry.h"
#include "formats/fuse_boxes.h"

namespace tolmeo {

inline constexpr std::uint32_t kFlashCapacityWords = 1'024'000;
inline constexpr std::uint32_t kFlashCapacityBytes = 2 * kFlashCapacityWords;
inline constexpr std::uint32_t kEepromCapacityBytes = 1'024'000;

// What the Flash writer must do for one page.
enum class PageWork {
  kNone,   // the document defines none of its words
  kCheck,  // every word is 0xFFFF: a page write would change no bit, a read-back is enough
  kWrite,  // loads, the page write and its read-back
};

struct ChipImage : ChipGeometry {
  std::array<std::uint16_t, kFlashCapacityWords> flashWords{};
  // The words and bytes the open document defines; the gaps between hold the erased value
  // and are neither programmed nor compared. After an image reset every item counts as
  // defined, as the range is then the whole chip.
  std::bitset<kFlashCapacityWords> flashDefined;
  std::bitset<kEepromCapacityBytes> eepromDefined;
  std::uint32_t flashStart = 0;  // word range, inclusive
  std::uint32_t flashEnd = 0;
  std::uint32_t flashPageStart = 0;
  std::uint32_t flashPageEnd = 0;
  std::array<std::uint8_t, kEepromCapacityBytes> eepromBytes{};
  std::uint32_t eepromStart = 0;  // byte range, inclusive
  std::uint32_t eepromEnd = 0;
  std::uint8_t lockBits = 0;
  std::uint8_t highFuse = 0;
  std::uint8_t lowFuse = 0;
  std::uint8_t extendedFuse = 0;

  // The Flash image seen as bytes, low byte of each word first, as Intel HEX addresses it.
  void SetFlashByte(std::uint32_t byte_address, std::uint8_t value);
  std::uint8_t FlashByte(std::uint32_t byte_address) const;

  std::uint8_t& FuseByte(FuseGroup group);

  void InitFlashImage();
  void InitEepromImage();
  void ClampFlashEnd();
  void ClampEepromEnd();
  void AlignFlashPages();
  // For the page that starts at word page.
  PageWork FlashPageWork(std::uint32_t page) const;

  // Rows of 16 items as upper-case hex, each followed by a blank, CR LF after every item whose
  // index ends in F. from and to are item indices, to exclusive and cut to the chip's size.
  void FlashDumpText(std::int32_t from, std::int32_t to, std::string& out) const;
  void EepromDumpText(std::int32_t from, std::int32_t to, std::string& out) const;
};

// The one chip image of the run.
ChipImage& ChipImageRef();

}  // namespace tolmeo
