#include "port/virtual_avr_file.h"

#include <cstdint>

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr std::string_view kMagic = "TOLMEO-VIRTUAL-AVR-1\n";
constexpr std::size_t kHeaderBytes = kMagic.size() + 4 + 4 + 4;

void AppendU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift & 0xFF));
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); }

}  // namespace

std::string SerialiseChip(const AvrMemories& memories) {
  const FuseBytes& fuses = memories.fuses();
  std::string out(kMagic);
  AppendU32(out, static_cast<std::uint32_t>(memories.flash().size()));
  AppendU32(out, static_cast<std::uint32_t>(memories.eeprom().size()));
  for (std::uint8_t fuse : {fuses.lock, fuses.extended, fuses.high, fuses.low}) out.push_back(static_cast<char>(fuse));
  out.append(memories.flash().begin(), memories.flash().end());
  out.append(memories.eeprom().begin(), memories.eeprom().end());
  return out;
}

Status RestoreChip(std::string_view bytes, AvrMemories& memories) {
  if (bytes.size() < kHeaderBytes || !bytes.starts_with(kMagic)) {
    return Failure{Ktext(u8"가상 AVR 파일의 형식이 올바르지 않습니다.")};
  }
  const std::uint32_t flashSize = ReadU32(bytes, kMagic.size());
  const std::uint32_t eepromSize = ReadU32(bytes, kMagic.size() + 4);
  if (flashSize != memories.flash().size() || eepromSize != memories.eeprom().size()) {
    return Failure{Ktext(u8"가상 AVR 파일의 메모리 크기가 선택한 칩과 다릅니다.")};
  }
  if (bytes.size() != kHeaderBytes + flashSize + eepromSize) {
    return Failure{Ktext(u8"가상 AVR 파일이 잘려 있거나 손상되었습니다.")};
  }
  const std::size_t fuse_at = kMagic.size() + 8;
  const FuseBytes fuses{ByteAt(bytes, fuse_at), ByteAt(bytes, fuse_at + 1), ByteAt(bytes, fuse_at + 2),
                        ByteAt(bytes, fuse_at + 3)};
  memories.Restore(bytes.substr(kHeaderBytes, flashSize), bytes.substr(kHeaderBytes + flashSize), fuses);
  return Success();
}

}  // namespace tolmeo
