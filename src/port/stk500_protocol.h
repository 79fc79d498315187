#pragma once
// The bytes of the STK500 version 1 protocol that Arduino as ISP speaks, shared by the cable
// that sends them and the virtual board that answers them, so the two cannot drift apart.
#include <cstddef>
#include <cstdint>

namespace tolmeo::stk500 {

inline constexpr std::uint8_t kCrcEop = 0x20;
inline constexpr std::uint8_t kInSync = 0x14;
inline constexpr std::uint8_t kNoSync = 0x15;
inline constexpr std::uint8_t kOk = 0x10;
inline constexpr std::uint8_t kFailed = 0x11;

inline constexpr std::uint8_t kGetSync = 0x30;
inline constexpr std::uint8_t kSetDevice = 0x42;
inline constexpr std::uint8_t kEnterProgmode = 0x50;
inline constexpr std::uint8_t kLeaveProgmode = 0x51;
inline constexpr std::uint8_t kLoadAddress = 0x55;
inline constexpr std::uint8_t kUniversal = 0x56;
inline constexpr std::uint8_t kProgPage = 0x64;
inline constexpr std::uint8_t kReadPage = 0x74;

// Set Device's parameter block: device code, revision, programming type, parallel mode,
// polling, self-timed, lock and fuse byte counts, two Flash and two EEPROM poll values, then
// page size and EEPROM size (two bytes each) and Flash size (four), high byte first.
inline constexpr std::size_t kDeviceParametersSize = 20;
inline constexpr std::size_t kDevicePageSizeAt = 12;
inline constexpr std::size_t kDeviceEepromSizeAt = 14;
inline constexpr std::size_t kDeviceFlashSizeAt = 16;

// Addresses and lengths go out as two bytes.
constexpr std::uint8_t High(std::uint32_t value) { return static_cast<std::uint8_t>(value >> 8); }
constexpr std::uint8_t Low(std::uint32_t value) { return static_cast<std::uint8_t>(value); }

}  // namespace tolmeo::stk500
