#include "gfx/bitmap_font.h"

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr std::size_t kCellWidthAt = 8;
constexpr std::size_t kCellHeightAt = 12;
constexpr std::size_t kFontKindAt = 16;
constexpr std::size_t kEntryCountAt = 20;
constexpr std::size_t kCodeRangeAt = 24;
constexpr std::size_t kAdvanceWidthAt = 28;
constexpr std::size_t kDataOffsetAt = 32;
constexpr std::size_t kTableAt = BitmapFont::kHeaderSize;
constexpr std::size_t kListEntrySize = 8;

std::uint64_t BigEndian(const std::uint8_t* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

// The lead byte of the first row of a double-byte code set; 0 for the single-byte sets.
std::uint32_t FirstLead(std::uint32_t code_set) {
  switch (code_set) {
    case BitmapFont::kHangulSet: return 0xB0;
    case BitmapFont::kSymbolSet: return 0xA1;
    case BitmapFont::kHanjaSet: return 0xCA;
    default: return 0;
  }
}

}  // namespace

Result<BitmapFont> BitmapFont::Parse(std::span<const std::uint8_t> file, const std::string& name) {
  auto refuse = [&](const std::string& why) {
    return Failure{Ktext(u8"글꼴 파일이 손상되었습니다 (") + why + "): " + name};
  };
  if (file.size() < kHeaderSize) return refuse(Ktext(u8"머리가 잘렸습니다"));
  BitmapFont font;
  font.file_ = file;
  font.cellWidth_ = font.Field(kCellWidthAt);
  font.cellHeight_ = font.Field(kCellHeightAt);
  font.fontKind_ = font.Field(kFontKindAt);
  font.entryCount_ = font.Field(kEntryCountAt);
  font.codeRange_ = font.Field(kCodeRangeAt);
  font.advanceWidth_ = font.Field(kAdvanceWidthAt);
  font.dataOffset_ = font.Field(kDataOffsetAt);
  font.firstLead_ = FirstLead(font.CodeSet());
  if (!font.IsList()) {
    auto highest = font.HighestRangeIndex();
    font.glyphCount_ = highest ? *highest + 1 : 0;
  }
  if (auto problem = font.Check()) return refuse(*problem);
  return font;
}

std::uint32_t BitmapFont::Field(std::size_t offset) const {
  return static_cast<std::uint32_t>(BigEndian(file_.data() + offset, 4));
}

std::optional<std::string> BitmapFont::Check() const {
  if (cellWidth_ < 1 || cellWidth_ > kMaxCellWidth || cellHeight_ < 1 ||
      cellHeight_ > kMaxCellHeight) {
    return Ktext(u8"지원하지 않는 칸 크기");
  }
  if (dataOffset_ > file_.size()) return Ktext(u8"글자 자료가 파일 밖에 있습니다");
  return IsList() ? CheckListFont() : CheckRangeFont();
}

std::optional<std::string> BitmapFont::CheckRangeFont() const {
  if (IsProportional()) {
    if (kTableAt + 2 * std::uint64_t{glyphCount_} > file_.size()) {
      return Ktext(u8"너비 표가 파일 밖에 있습니다");
    }
    for (std::uint32_t index = 0; index < glyphCount_; ++index) {
      if (*GlyphWidth(index) > cellWidth()) return Ktext(u8"글자 너비가 칸보다 넓습니다");
    }
  } else if (advanceWidth_ > cellWidth_) {
    return Ktext(u8"글자 너비가 칸보다 넓습니다");
  }
  // Glyphs lie in index order, so the last one reaches furthest into the data.
  std::uint32_t last = glyphCount_ - 1;
  if (glyphCount_ > 0 && !GlyphFits(RangeBitAddress(last), *GlyphWidth(last))) {
    return Ktext(u8"글자 자료가 파일 밖에 있습니다");
  }
  return std::nullopt;
}

std::optional<std::string> BitmapFont::CheckListFont() const {
  if (kTableAt + kListEntrySize * std::uint64_t{entryCount_} > file_.size()) {
    return Ktext(u8"목록이 파일 밖에 있습니다");
  }
  for (std::uint32_t i = 0; i < entryCount_; ++i) {
    if (EntryWidth(i) > cellWidth()) return Ktext(u8"글자 너비가 칸보다 넓습니다");
    if (!GlyphFits(EntryBitAddress(i), EntryWidth(i))) {
      return Ktext(u8"글자 자료가 파일 밖에 있습니다");
    }
  }
  return std::nullopt;
}

std::optional<std::uint32_t> BitmapFont::HighestRangeIndex() const {
  // The single-byte formula is not monotonic above 0xFF, so every code of the range is tried.
  std::optional<std::uint32_t> highest;
  for (std::uint32_t code = FirstCode(); code <= LastCode(); ++code) {
    auto index = GlyphIndex(static_cast<std::uint16_t>(code));
    if (index && (!highest || *index > *highest)) highest = index;
  }
  return highest;
}

std::optional<std::uint32_t> BitmapFont::FindEntry(std::uint16_t code) const {
  for (std::uint32_t i = 0; i < entryCount(); ++i) {
    if (EntryCode(i) == code) return i;
  }
  return std::nullopt;
}

namespace {

std::uint64_t ListEntry(std::span<const std::uint8_t> file, std::uint32_t i) {
  return BigEndian(file.data() + kTableAt + kListEntrySize * i, 8);
}

}  // namespace

std::uint16_t BitmapFont::EntryCode(std::uint32_t i) const {
  return static_cast<std::uint16_t>(ListEntry(file_, i) & 0xFFFF);
}

int BitmapFont::EntryWidth(std::uint32_t i) const {
  return static_cast<int>(ListEntry(file_, i) >> 51);
}

BitAddress BitmapFont::EntryBitAddress(std::uint32_t i) const {
  std::uint64_t entry = ListEntry(file_, i);
  std::uint64_t start_byte = (entry >> 19) & 0xFFFFFFFF;
  std::uint64_t start_bit = (entry >> 16) & 7;
  return start_byte * 8 + (7 - start_bit);
}

BitAddress BitmapFont::RangeBitAddress(std::uint32_t index) const {
  return std::uint64_t{cellWidth_} * cellHeight_ * index;
}

int BitmapFont::TableWidth(std::uint32_t index) const {
  return static_cast<int>(BigEndian(file_.data() + kTableAt + 2 * std::size_t{index}, 2));
}

bool BitmapFont::GlyphFits(BitAddress address, int width) const {
  std::uint64_t available = (file_.size() - dataOffset_) * std::uint64_t{8};
  std::uint64_t needed = std::uint64_t{cellHeight_ - 1} * cellWidth_ + static_cast<std::uint64_t>(width);
  return address <= available && needed <= available - address;
}

}  // namespace tolmeo
