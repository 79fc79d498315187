#pragma once
// The commands of an FTDI chip's MPSSE engine that the ISP link speaks and its twin answers
// (FTDI's application note AN_108), and the pins SPI takes on the FT2232H's ADBUS.
#include <cstddef>
#include <cstdint>

namespace tolmeo::mpsse {

// Bytes clocked most significant bit first, out on the falling SCK edge and in on the rising
// one (SPI mode 0 with SCK idle low), followed by the count less one, low byte first.
inline constexpr std::uint8_t kBytesOutIn = 0x31;
inline constexpr std::uint8_t kBytesOut = 0x11;
inline constexpr std::size_t kClockHeader = 3;  // the opcode and the count
inline constexpr std::size_t kLargestClockCount = 0x10000;
// The ADBUS pins: set (level, then direction, 1 an output) and read back.
inline constexpr std::uint8_t kSetLowPins = 0x80;
inline constexpr std::uint8_t kGetLowPins = 0x81;
// SCK = master clock / ((1 + divisor) * 2), the divisor low byte first.
inline constexpr std::uint8_t kClockDivisor = 0x86;
// What has been read goes to the host now, not when the latency timer runs out.
inline constexpr std::uint8_t kSendImmediate = 0x87;
inline constexpr std::uint8_t kDivideBy5Off = 0x8A;
inline constexpr std::uint8_t kDivideBy5On = 0x8B;
inline constexpr std::uint8_t kThreePhaseOn = 0x8C;
inline constexpr std::uint8_t kThreePhaseOff = 0x8D;
inline constexpr std::uint8_t kAdaptiveOn = 0x96;
inline constexpr std::uint8_t kAdaptiveOff = 0x97;
// An opcode the engine does not know comes back as this byte and the opcode: the way to find
// the start of its answers after entering the mode.
inline constexpr std::uint8_t kBadCommand = 0xFA;
inline constexpr std::uint8_t kSyncOpcode = 0xAA;

// libftdi's bit modes.
inline constexpr std::uint8_t kResetMode = 0x00;
inline constexpr std::uint8_t kMpsseMode = 0x02;

// The FT2232H's master clock, and what it is with the divide-by-5 the chip starts with.
inline constexpr std::int64_t kMasterClockHz = 60'000'000;
inline constexpr std::int64_t kDividedClockHz = 12'000'000;
inline constexpr int kLargestDivisor = 0xFFFF;

// SCK, MOSI (the engine's data out) and MISO (its data in) are fixed; RESET is any other pin.
inline constexpr int kSckPin = 0;
inline constexpr int kMosiPin = 1;
inline constexpr int kMisoPin = 2;
inline constexpr int kDefaultResetPin = 3;

// The half period of SCK at this divisor on this master clock.
constexpr double HalfPeriodNs(int divisor, std::int64_t master_hz = kMasterClockHz) {
  return 1e9 * (1.0 + divisor) / static_cast<double>(master_hz);
}

}  // namespace tolmeo::mpsse
