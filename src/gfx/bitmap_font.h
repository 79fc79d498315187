#pragma once
// One font file image, checked once and then used in place. Every glyph a font claims lies
// inside its file, so drawing never has to check bounds again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/result.h"

namespace tolmeo {

// Where a glyph's bits start: counted in bits from the font's glyph data.
using BitAddress = std::uint64_t;

class BitmapFont {
 public:
  // Header layout of a font file; every field is a 32-bit big-endian value.
  static constexpr std::size_t kHeaderSize = 36;
  static constexpr std::uint32_t kListFlag = 1u << 31;
  static constexpr std::uint32_t kProportionalFlag = 1u << 30;
  static constexpr std::uint32_t kCodeSetMask = kProportionalFlag - 1;
  static constexpr std::uint32_t kHangulSet = 1;
  static constexpr std::uint32_t kSymbolSet = 2;
  static constexpr std::uint32_t kHanjaSet = 4;
  // Glyph rows are read as one machine word while drawing.
  static constexpr std::uint32_t kMaxCellWidth = 32;
  static constexpr std::uint32_t kMaxCellHeight = 255;

  // Checks the file image and keeps a view of it; the bytes must outlive the font.
  // name only goes into the failure reason.
  static Result<BitmapFont> Parse(std::span<const std::uint8_t> file, const std::string& name);

  int cellWidth() const { return static_cast<int>(cellWidth_); }
  int cellHeight() const { return static_cast<int>(cellHeight_); }
  bool IsList() const { return (fontKind_ & kListFlag) != 0; }
  bool IsProportional() const { return (fontKind_ & kProportionalFlag) != 0; }
  std::uint32_t CodeSet() const { return fontKind_ & kCodeSetMask; }
  std::uint16_t FirstCode() const { return static_cast<std::uint16_t>(codeRange_ >> 16); }
  std::uint16_t LastCode() const { return static_cast<std::uint16_t>(codeRange_ & 0xFFFF); }
  std::uint32_t entryCount() const { return IsList() ? entryCount_ : 0; }
  const std::uint8_t* GlyphData() const { return file_.data() + dataOffset_; }

  // Range fonts: the glyph index of code by its code set, or nothing when the code has no
  // place there (a trail byte outside 0xA1..0xFE, a lead byte below the set's first row).
  std::optional<std::uint32_t> GlyphIndex(std::uint16_t code) const {
    std::uint32_t lead = code >> 8, trail = code & 0xFF;
    if (firstLead_ == 0) return lead * kRowLength + trail;
    if (lead < firstLead_ || trail < kFirstTrail || trail > kLastTrail) return std::nullopt;
    return (lead - firstLead_) * kRowLength + (trail - kFirstTrail);
  }
  // The glyph of code when this font holds it: its range index, or its list position.
  std::optional<std::uint32_t> Find(std::uint16_t code) const {
    if (IsList()) return FindEntry(code);
    if (code < FirstCode() || code > LastCode()) return std::nullopt;
    return GlyphIndex(code);
  }
  bool Holds(std::uint16_t code) const { return Find(code).has_value(); }
  // List fonts: the position of the first entry naming code.
  std::optional<std::uint32_t> FindEntry(std::uint16_t code) const;
  // The code, width and start bit of list entry i (i < entryCount()).
  std::uint16_t EntryCode(std::uint32_t i) const;
  int EntryWidth(std::uint32_t i) const;
  BitAddress EntryBitAddress(std::uint32_t i) const;
  // Range fonts: where glyph index starts.
  BitAddress RangeBitAddress(std::uint32_t index) const;

  // The width of glyph index (a range index, or a list position), or nothing when this font
  // has no such glyph. Used for the bold twin too, with the regular font's index.
  std::optional<int> GlyphWidth(std::uint32_t index) const {
    if (IsList()) return index < entryCount_ ? std::optional<int>(EntryWidth(index)) : std::nullopt;
    if (index >= glyphCount_) return std::nullopt;
    if (!IsProportional()) return static_cast<int>(advanceWidth_);
    return TableWidth(index);
  }
  // True when a glyph of width w starting at address lies wholly inside the glyph data.
  bool GlyphFits(BitAddress address, int width) const;

 private:
  // Double-byte code sets: 94 trail bytes per lead byte.
  static constexpr std::uint32_t kFirstTrail = 0xA1;
  static constexpr std::uint32_t kLastTrail = 0xFE;
  static constexpr std::uint32_t kRowLength = kLastTrail - kFirstTrail + 1;

  std::uint32_t Field(std::size_t offset) const;
  int TableWidth(std::uint32_t index) const;
  std::optional<std::string> Check() const;
  std::optional<std::string> CheckRangeFont() const;
  std::optional<std::string> CheckListFont() const;
  std::optional<std::uint32_t> HighestRangeIndex() const;

  std::span<const std::uint8_t> file_;
  std::uint32_t cellWidth_ = 0;
  std::uint32_t cellHeight_ = 0;
  std::uint32_t fontKind_ = 0;
  std::uint32_t entryCount_ = 0;
  std::uint32_t codeRange_ = 0;
  std::uint32_t advanceWidth_ = 0;
  std::uint32_t dataOffset_ = 0;
  std::uint32_t glyphCount_ = 0;  // range fonts: highest index + 1
  std::uint32_t firstLead_ = 0;   // lead byte of a double-byte set's first row; 0 otherwise
};

}  // namespace tolmeo
