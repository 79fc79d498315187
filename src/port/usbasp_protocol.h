#pragma once
// The vendor requests of the USBasp firmware, shared by the cable that sends them and the
// virtual twin that answers them, so the two cannot drift apart. Every request is a control
// transfer to the device: the writes carry their data out, all others read their answer in.
#include <array>
#include <cstdint>

namespace tolmeo::usbasp {

// VOTI's shared ids, told apart from other devices on them by the two strings.
inline constexpr std::uint16_t kVendorId = 0x16C0;
inline constexpr std::uint16_t kProductId = 0x05DC;
inline constexpr const char* kManufacturer = "www.fischl.de";
inline constexpr const char* kProduct = "USBasp";

inline constexpr std::uint8_t kConnect = 1;
inline constexpr std::uint8_t kDisconnect = 2;
inline constexpr std::uint8_t kTransmit = 3;  // 4 instruction bytes in value and index, 4 back
inline constexpr std::uint8_t kReadFlash = 4;
inline constexpr std::uint8_t kEnableProg = 5;  // one byte back, 0 when the chip came into step
inline constexpr std::uint8_t kWriteFlash = 6;
inline constexpr std::uint8_t kReadEeprom = 7;
inline constexpr std::uint8_t kWriteEeprom = 8;
inline constexpr std::uint8_t kSetLongAddress = 9;  // a 32-bit byte address in value and index
inline constexpr std::uint8_t kSetIspSck = 10;      // one byte back, 0 when the option was taken

// The flags of a Flash write block, in the low nibble of the index's high byte.
inline constexpr std::uint8_t kFirstBlock = 1;
inline constexpr std::uint8_t kLastBlock = 2;

// The firmware takes and gives at most this many bytes per transfer.
inline constexpr std::size_t kBlockSize = 200;

// SCK options 1 to 12 and their rates in Hz; option 0 lets the firmware choose (375 kHz).
inline constexpr std::array<double, 13> kSckHz = {375'000, 500,     1'000,   2'000,   4'000,   8'000,    16'000,
                                                  32'000,  93'750,  187'500, 375'000, 750'000, 1'500'000};
inline constexpr std::uint8_t kSckDefault = 0;
inline constexpr std::uint8_t kSckSlowest = 1;
inline constexpr std::uint8_t kSckFastest = 12;

// How long SCK stays high (and low) at an option.
constexpr double SckHalfPeriodNs(std::uint8_t option) { return 1e9 / (2 * kSckHz[option]); }

// The two bytes a 16-bit field of the setup packet carries, low first.
constexpr std::uint16_t Field(std::uint8_t low, std::uint8_t high) { return static_cast<std::uint16_t>(high << 8 | low); }
// A Flash write's index: the page size (up to 12 bits) and the block flags.
constexpr std::uint16_t WriteFlashIndex(std::uint32_t page_bytes, std::uint8_t flags) {
  return static_cast<std::uint16_t>((page_bytes & 0xFF) | (flags & 0x0F) << 8 | (page_bytes >> 8 & 0x0F) << 12);
}

}  // namespace tolmeo::usbasp
