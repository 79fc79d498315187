#include "formats/intel_hex_writer.h"

#include <algorithm>

#include "base/file_system.h"

namespace tolmeo {
namespace {

constexpr std::size_t kRecordBytes = 16;
constexpr std::size_t kBlockBytes = 0x10000;

void AppendHexByte(std::string& out, std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(kDigits[value >> 4]);
  out.push_back(kDigits[value & 0xF]);
}

// One record: count, address, type, data and the checksum that makes the bytes sum to 0.
void AppendRecord(std::string& out, std::uint16_t address, std::uint8_t type,
                  std::span<const std::uint8_t> data) {
  std::uint8_t header[] = {static_cast<std::uint8_t>(data.size()),
                           static_cast<std::uint8_t>(address >> 8),
                           static_cast<std::uint8_t>(address), type};
  std::uint8_t sum = 0;
  out.push_back(':');
  for (std::uint8_t byte : header) {
    AppendHexByte(out, byte);
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  for (std::uint8_t byte : data) {
    AppendHexByte(out, byte);
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  AppendHexByte(out, static_cast<std::uint8_t>(-sum));
  out.append("\r\n");
}

}  // namespace

std::string IntelHexText(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() / kRecordBytes * 45 + 64);
  for (std::size_t at = 0; at < bytes.size(); at += kRecordBytes) {
    if (at % kBlockBytes == 0 && at > 0) {
      std::uint16_t block = static_cast<std::uint16_t>(at / kBlockBytes);
      std::uint8_t upper[] = {static_cast<std::uint8_t>(block >> 8),
                              static_cast<std::uint8_t>(block)};
      AppendRecord(out, 0, 0x04, upper);
    }
    std::size_t count = std::min(kRecordBytes, bytes.size() - at);
    AppendRecord(out, static_cast<std::uint16_t>(at % kBlockBytes), 0x00, bytes.subspan(at, count));
  }
  AppendRecord(out, 0, 0x01, {});
  return out;
}

Status WriteIntelHex(const std::string& path, std::span<const std::uint8_t> bytes) {
  return WriteWholeFile(path, IntelHexText(bytes));
}

}  // namespace tolmeo
