#include "formats/intel_hex.h"

#include <algorithm>
#include <array>

#include "base/cp949.h"
#include "base/file_system.h"
#include "formats/tagged_text.h"

namespace tolmeo {
namespace {

enum RecordType : std::uint8_t {
  kData = 0,
  kEndOfFile = 1,
  kExtendedSegmentAddress = 2,
  kExtendedLinearAddress = 4,
};

// Count, two address bytes, type and checksum around the data bytes.
constexpr std::size_t kRecordOverheadBytes = 5;

struct Record {
  std::uint8_t count = 0;
  std::uint16_t offset = 0;
  std::uint8_t type = 0;
  std::array<std::uint8_t, 255 + kRecordOverheadBytes> bytes{};  // as on the line
  const std::uint8_t* data() const { return bytes.data() + 4; }
};

constexpr std::array<std::int8_t, 256> MakeHexDigitTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& entry : table) entry = -1;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::int8_t>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::int8_t>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::int8_t>(c - 'A' + 10);
  return table;
}
constexpr std::array<std::int8_t, 256> kHexDigit = MakeHexDigitTable();

// Decodes pairs of hex digits; false at the first character that is not one.
bool DecodeHexBytes(std::string_view digits, std::uint8_t* out) {
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    int high = kHexDigit[static_cast<unsigned char>(digits[i])];
    int low = kHexDigit[static_cast<unsigned char>(digits[i + 1])];
    if (high < 0 || low < 0) return false;
    *out++ = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

std::string_view TrimLineEnd(std::string_view line) {
  std::size_t end = line.find_last_not_of(" \t\r");
  return end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
}

bool OnlyBlankLinesFollow(std::string_view rest) {
  return rest.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

Failure LineFailure(std::size_t line_number, const std::string& why) {
  return Failure{std::to_string(line_number) + Ktext(u8"번째 줄: ") + why};
}

// One checked record; the failure reason says what is wrong with the line.
Result<Record> DecodeRecord(std::string_view line) {
  if (line.empty() || line[0] != ':') return Failure{Ktext(u8"':'로 시작하지 않습니다")};
  std::string_view digits = line.substr(1);
  Record record;
  if (digits.size() < 2 * kRecordOverheadBytes || digits.size() % 2 != 0) {
    return Failure{Ktext(u8"레코드가 너무 짧거나 길이가 맞지 않습니다")};
  }
  if (!DecodeHexBytes(digits.substr(0, 2), record.bytes.data())) {
    return Failure{Ktext(u8"16진수가 아닌 글자가 있습니다")};
  }
  record.count = record.bytes[0];
  if (digits.size() != 2 * (kRecordOverheadBytes + record.count)) {
    return Failure{Ktext(u8"바이트 수가 줄의 길이와 맞지 않습니다")};
  }
  if (!DecodeHexBytes(digits, record.bytes.data())) {
    return Failure{Ktext(u8"16진수가 아닌 글자가 있습니다")};
  }
  unsigned sum = 0;
  for (std::size_t i = 0; i < kRecordOverheadBytes + record.count; ++i) sum += record.bytes[i];
  if ((sum & 0xFF) != 0) return Failure{Ktext(u8"검사합이 맞지 않습니다")};
  record.offset = static_cast<std::uint16_t>(record.bytes[1] << 8 | record.bytes[2]);
  record.type = record.bytes[3];
  return record;
}

class HexReader {
 public:
  explicit HexReader(std::span<std::uint8_t> area) : area_(area) {}

  Result<HexRange> Read(std::string_view text) {
    std::size_t line_number = 0;
    while (!text.empty()) {
      std::size_t end = text.find('\n');
      std::string_view line = TrimLineEnd(text.substr(0, end));
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      ++line_number;
      if (line.empty() && OnlyBlankLinesFollow(text)) break;
      auto record = DecodeRecord(line);
      if (!record) return LineFailure(line_number, record.reason());
      records_seen_ = true;
      if (record->type == kEndOfFile) return range_;
      if (Status applied = Apply(*record); !applied) {
        return LineFailure(line_number, applied.reason());
      }
      last_record_line_ = line_number;
    }
    // An empty file is more likely a build that failed than a wish to program nothing.
    if (!records_seen_) return Failure{Ktext(u8"레코드가 하나도 없는 빈 파일입니다")};
    // A file cut at a line boundary looks whole line by line; only the end record tells.
    return LineFailure(last_record_line_,
                       Ktext(u8"이 줄 뒤에 끝 레코드(:00000001FF)가 없습니다. 파일이 중간에 잘렸을 수 있습니다"));
  }

 private:
  Status Apply(const Record& record) {
    switch (record.type) {
      case kData:
        return StoreData(record);
      case kExtendedSegmentAddress:
        return SetBase(record, 4, true);
      case kExtendedLinearAddress:
        return SetBase(record, 16, false);
      default:
        return Success();  // start addresses and unknown types carry nothing to store
    }
  }

  Status SetBase(const Record& record, int shift, bool segmented) {
    if (record.count != 2) return Failure{Ktext(u8"확장 주소 레코드는 2바이트여야 합니다")};
    base_ = static_cast<std::uint64_t>(record.data()[0] << 8 | record.data()[1]) << shift;
    segmented_ = segmented;
    return Success();
  }

  // Segmented addresses wrap inside their 64 KB segment, linear ones run on.
  std::uint64_t AddressOf(const Record& record, std::uint32_t k) const {
    std::uint32_t offset = record.offset + k;
    return base_ + (segmented_ ? (offset & 0xFFFF) : offset);
  }

  Status StoreData(const Record& record) {
    for (std::uint32_t k = 0; k < record.count; ++k) {
      std::uint64_t address = AddressOf(record, k);
      if (address >= area_.size()) return BeyondMemory(address);
      area_[address] = record.data()[k];
      Note(static_cast<std::uint32_t>(address));
    }
    return Success();
  }

  void Note(std::uint32_t address) {
    std::vector<HexSpan>& spans = range_.spans;
    if (spans.empty()) range_.low = address;
    range_.low = std::min(range_.low, address);
    range_.high = std::max(range_.high, address);
    if (!spans.empty() && spans.back().first + spans.back().count == address) {
      ++spans.back().count;
    } else {
      spans.push_back({address, 1});
    }
  }

  Failure BeyondMemory(std::uint64_t address) const {
    return Failure{Ktext(u8"주소 ") + PrefixedHex(address) + Ktext(u8"이(가) 메모리 크기 ") +
                   std::to_string(area_.size()) + Ktext(u8"바이트를 벗어납니다")};
  }

  std::span<std::uint8_t> area_;
  std::uint64_t base_ = 0;
  bool segmented_ = false;
  bool records_seen_ = false;
  std::size_t last_record_line_ = 0;
  HexRange range_;
};

}  // namespace

Result<HexRange> ParseIntelHex(std::string_view text, std::span<std::uint8_t> area) {
  return HexReader(area).Read(text);
}

Result<HexRange> ReadIntelHex(const std::string& path, std::span<std::uint8_t> area) {
  if (!FileExists(path)) return Failure{NoFileReason(path)};
  auto text = ReadWholeFile(path);
  if (!text) return Failure{text.reason()};
  return ParseIntelHex(*text, area);
}

}  // namespace tolmeo
