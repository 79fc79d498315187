#pragma once
// Everything Tolmeo knows of the target chip: the selected description, the two memory images
// with the ranges the programming commands work on, the lock and fuse bits with their names,
// and the documents the images are read from. The windows only show it and report a user's
// change.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "base/chip_geometry.h"
#include "formats/fuse_boxes.h"

namespace tolmeo {

enum class Memory { Flash, Eeprom };

// The Flash and EEPROM documents: the paths of the Intel HEX files the user opened, empty while
// none is open. Only the path is kept; the file is read again whenever a command needs it.
struct DocumentPaths {
  std::string flash;
  std::string eeprom;

  std::string& Of(Memory memory) { return memory == Memory::Flash ? flash : eeprom; }
  const std::string& Of(Memory memory) const { return memory == Memory::Flash ? flash : eeprom; }
  bool Open(Memory memory) const { return !Of(memory).empty(); }
};

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
  // The bit editor's boxes as the description names and fixes them.
  FuseBoxes bits;
  DocumentPaths documents;

  // The Flash image seen as bytes, low byte of each word first, as Intel HEX addresses it.
  void SetFlashByte(std::uint32_t byte_address, std::uint8_t value);
  std::uint8_t FlashByte(std::uint32_t byte_address) const;

  std::uint8_t& FuseByte(FuseGroup group);
  // The group's byte from its boxes, every box counting (a checked box gives 0).
  void CollectBits(FuseGroup group) { FuseByte(group) = bits.Collect(group); }
  // The changeable boxes from the group's byte; a fixed box keeps its state.
  void ShowBits(FuseGroup group) { bits.Show(group, FuseByte(group)); }

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
