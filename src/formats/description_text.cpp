#include "formats/description_text.h"

#include <bit>
#include <optional>
#include <vector>

#include "base/cp949.h"
#include "formats/tagged_text.h"

namespace tolmeo {
namespace {

constexpr std::uint32_t kLargestPageSize = 9'999;         // 4 digits
constexpr std::uint32_t kLargestMemorySize = 99'999'999;  // 8 digits
constexpr std::int32_t kLargestDelay = 99;                // 2 digits

const std::string& PageSizeTag() { return Ktext(u8"<Flash페이지크기>"); }
const std::string& FlashSizeTag() { return Ktext(u8"<Flash크기>"); }
const std::string& EepromSizeTag() { return Ktext(u8"<EEprom크기>"); }
const std::string& SignatureTag() { return Ktext(u8"<고유번호>"); }
const std::string& FlashDelayTag() { return Ktext(u8"<Flash기록시간>"); }
const std::string& EepromDelayTag() { return Ktext(u8"<EEprom기록시간>"); }
const std::string& FixedMark() { return Ktext(u8"고정"); }

// The bit sections in the order of the file.
const std::string& SectionTag(FuseGroup group) {
  switch (group) {
    case FuseGroup::Lock:
      return Ktext(u8"<보안설정>");
    case FuseGroup::Extended:
      return Ktext(u8"<확장설정>");
    case FuseGroup::High:
      return Ktext(u8"<상위설정>");
    case FuseGroup::Low:
      break;
  }
  return Ktext(u8"<하위설정>");
}

Failure ValueFailure(std::string_view tag, const std::string& why) {
  return Failure{std::string(tag) + " " + why};
}

class DescriptionReader {
 public:
  explicit DescriptionReader(std::string_view text) : lines_(SplitLines(text)) {}

  Result<std::string_view> ValueLine(std::string_view tag) const {
    auto line = ValueAfterTag(lines_, tag);
    if (!line) return ValueFailure(tag, Ktext(u8"태그나 그 값이 없습니다"));
    return *line;
  }

  // The first word of the value line, as decimal.
  Result<std::uint32_t> FirstWordDecimal(std::string_view tag) const {
    auto line = ValueLine(tag);
    if (!line) return Failure{line.reason()};
    auto words = SplitWords(*line);
    auto value = words.empty() ? std::nullopt : ParseDecimal(words[0]);
    if (!value) return ValueFailure(tag, Ktext(u8"값이 숫자가 아닙니다"));
    return *value;
  }

  // The whole value line, as decimal.
  Result<std::int32_t> Delay(std::string_view tag) const {
    auto line = ValueLine(tag);
    if (!line) return Failure{line.reason()};
    auto value = ParseDecimal(TrimBlanks(*line));
    if (!value || *value > INT32_MAX) return ValueFailure(tag, Ktext(u8"값이 숫자가 아닙니다"));
    return static_cast<std::int32_t>(*value);
  }

  Result<std::array<std::uint8_t, 3>> Signature() const {
    auto line = ValueLine(SignatureTag());
    if (!line) return Failure{line.reason()};
    auto words = SplitWords(*line);
    std::array<std::uint8_t, 3> signature{};
    for (std::size_t i = 0; i < signature.size(); ++i) {
      auto value = i < words.size() ? ParseHex(words[i]) : std::nullopt;
      if (!value || *value > 0xFF) {
        return ValueFailure(SignatureTag(), Ktext(u8"값은 16진수 바이트 세 개여야 합니다"));
      }
      signature[i] = static_cast<std::uint8_t>(*value);
    }
    return signature;
  }

  // The 8 lines after the section's tag, each bit 0..7 exactly once.
  Status BitSection(FuseGroup group, FuseBoxes& bits) const {
    const std::string& tag = SectionTag(group);
    auto tag_line = FindTagLine(lines_, tag);
    if (!tag_line || *tag_line + 8 >= lines_.size()) {
      return ValueFailure(tag, Ktext(u8"태그나 비트 8줄이 없습니다"));
    }
    std::array<bool, 8> seen{};
    for (std::size_t i = 1; i <= 8; ++i) {
      auto words = SplitWords(lines_[*tag_line + i]);
      auto bit = words.size() >= 3 ? ParseDecimal(words[0]) : std::nullopt;
      if (!bit || *bit > 7 || seen[*bit]) {
        return ValueFailure(
            tag, Ktext(u8"비트 줄은 0~7의 비트 번호를 한 번씩, 이름, 상태를 가져야 합니다"));
      }
      seen[*bit] = true;
      BitBox& box = bits.Box(group, static_cast<int>(*bit));
      box.name = std::string(words[1]);
      box.checked = words[2] == "*";
      box.fixed = words.size() >= 4 && words[3] == FixedMark();
    }
    return Success();
  }

 private:
  std::vector<std::string_view> lines_;
};

Status CheckSizes(const DeviceDescription& d) {
  if (d.flashSize == 0 || d.flashSize % 2 != 0 || d.flashSize / 2 > kIspReachFlashWords) {
    return ValueFailure(FlashSizeTag(), Ktext(u8"값은 2~131072 사이의 짝수여야 합니다"));
  }
  if (d.eepromSize == 0 || d.eepromSize > kIspReachEepromBytes) {
    return ValueFailure(EepromSizeTag(), Ktext(u8"값은 1~65536 사이여야 합니다"));
  }
  if (d.flashPageSize % 2 != 0 || !std::has_single_bit(d.flashPageSize / 2) ||
      d.flashPageSize > d.flashSize) {
    return ValueFailure(PageSizeTag(),
                        Ktext(u8"워드 수가 2의 거듭제곱이고 Flash 크기를 넘지 않아야 합니다"));
  }
  return Success();
}

// Reads the fields one by one; the first failure ends the reading.
Status ReadFields(const DescriptionReader& reader, DeviceDescription& d) {
  auto page = reader.FirstWordDecimal(PageSizeTag());
  if (!page) return Failure{page.reason()};
  auto flash = reader.FirstWordDecimal(FlashSizeTag());
  if (!flash) return Failure{flash.reason()};
  auto eeprom = reader.FirstWordDecimal(EepromSizeTag());
  if (!eeprom) return Failure{eeprom.reason()};
  auto signature = reader.Signature();
  if (!signature) return Failure{signature.reason()};
  for (FuseGroup group : kFuseGroups) {
    if (Status section = reader.BitSection(group, d.bits); !section) return section;
  }
  auto flash_delay = reader.Delay(FlashDelayTag());
  if (!flash_delay) return Failure{flash_delay.reason()};
  auto eeprom_delay = reader.Delay(EepromDelayTag());
  if (!eeprom_delay) return Failure{eeprom_delay.reason()};
  d.flashPageSize = *page;
  d.flashSize = *flash;
  d.eepromSize = *eeprom;
  d.signature = *signature;
  d.flashWriteDelay = *flash_delay;
  d.eepromWriteDelay = *eeprom_delay;
  return Success();
}

bool IsWritableName(std::string_view name) {
  return name.find_first_of(" \r\n") == std::string_view::npos;
}

Status CheckFieldWidths(const DeviceDescription& d) {
  if (d.flashPageSize > kLargestPageSize) {
    return ValueFailure(PageSizeTag(), Ktext(u8"값이 4자리를 넘습니다"));
  }
  if (d.flashSize > kLargestMemorySize || d.eepromSize > kLargestMemorySize) {
    return ValueFailure(FlashSizeTag() + "/" + EepromSizeTag(), Ktext(u8"값이 8자리를 넘습니다"));
  }
  if (d.flashWriteDelay < 0 || d.flashWriteDelay > kLargestDelay || d.eepromWriteDelay < 0 ||
      d.eepromWriteDelay > kLargestDelay) {
    return ValueFailure(FlashDelayTag() + "/" + EepromDelayTag(),
                        Ktext(u8"값은 0~99 사이여야 합니다"));
  }
  for (FuseGroup group : kFuseGroups) {
    for (int bit = 0; bit < 8; ++bit) {
      if (!IsWritableName(d.bits.Box(group, bit).name)) {
        return ValueFailure(SectionTag(group), Ktext(u8"비트 이름에 빈칸이나 줄바꿈이 있습니다"));
      }
    }
  }
  return Success();
}

std::string BitLine(int bit, const BitBox& box) {
  std::string line = std::to_string(bit) + " " + (box.name.empty() ? "-" : box.name) + " ";
  line += box.checked ? "* " : "- ";
  if (box.fixed) line += FixedMark();
  return line;
}

}  // namespace

Result<DeviceDescription> ParseDescription(std::string_view cp949_text) {
  DeviceDescription description;
  if (Status read = ReadFields(DescriptionReader(cp949_text), description); !read) {
    return Failure{read.reason()};
  }
  if (Status sizes = CheckSizes(description); !sizes) return Failure{sizes.reason()};
  return description;
}

Result<std::string> FormatDescription(const DeviceDescription& d) {
  if (Status widths = CheckFieldWidths(d); !widths) return Failure{widths.reason()};
  std::string text;
  AppendTagged(text, PageSizeTag(), FixedDecimal(d.flashPageSize, 4));
  AppendTagged(text, FlashSizeTag(), FixedDecimal(d.flashSize, 8));
  AppendTagged(text, EepromSizeTag(), FixedDecimal(d.eepromSize, 8));
  AppendTagged(
      text, SignatureTag(),
      HexByte(d.signature[0]) + " " + HexByte(d.signature[1]) + " " + HexByte(d.signature[2]));
  for (FuseGroup group : kFuseGroups) {
    AppendLine(text, SectionTag(group));
    for (int bit = 7; bit >= 0; --bit) AppendLine(text, BitLine(bit, d.bits.Box(group, bit)));
  }
  AppendTagged(text, FlashDelayTag(),
               FixedDecimal(static_cast<std::uint32_t>(d.flashWriteDelay), 2));
  AppendTagged(text, EepromDelayTag(),
               FixedDecimal(static_cast<std::uint32_t>(d.eepromWriteDelay), 2));
  AppendEndTag(text);
  return text;
}

}  // namespace tolmeo
