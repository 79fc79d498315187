#pragma once
// The ISP lines as the engine drives them, in one place for every bit-bang cable: a data
// register with RESET (bit 0), SCK (bit 1), MOSI (bit 2) and the mode line (bit 7, 0 while
// programming), and a status register whose bit 7 is the complement of MISO, as the parallel
// port's BUSY input reads it. Each cable turns these into its own pins.
#include <cstdint>

namespace tolmeo {

inline constexpr int kResetLine = 0;
inline constexpr int kSckLine = 1;
inline constexpr int kMosiLine = 2;
inline constexpr int kModeLine = 7;

inline constexpr std::uint8_t kResetBit = 1u << kResetLine;
inline constexpr std::uint8_t kSckBit = 1u << kSckLine;
inline constexpr std::uint8_t kMosiBit = 1u << kMosiLine;
inline constexpr std::uint8_t kModeBit = 1u << kModeLine;

// The data register at idle: mode line 1, RESET 1, SCK 0, MOSI 0.
inline constexpr std::uint8_t kIdleDataRegister = 0x81;

inline constexpr std::uint8_t kStatusMisoBit = 0x80;
// The other status inputs (error, select, paper out, acknowledge) idle high on a real port.
inline constexpr std::uint8_t kIdleStatusBits = 0x78;

constexpr bool LineIsHigh(std::uint8_t data_register, int line) { return (data_register >> line & 1) != 0; }
constexpr bool ProgrammingSelected(std::uint8_t data_register) { return !LineIsHigh(data_register, kModeLine); }

constexpr bool MisoOf(std::uint8_t status_register) { return (status_register & kStatusMisoBit) == 0; }
// The status register that reads as this MISO level, the other inputs as given.
constexpr std::uint8_t StatusWithMiso(bool miso, std::uint8_t other_inputs = kIdleStatusBits) {
  return static_cast<std::uint8_t>(miso ? other_inputs & ~kStatusMisoBit : other_inputs | kStatusMisoBit);
}

}  // namespace tolmeo
