#pragma once
// Bit-banging for the cable tests and the wire benchmark, independent of the engine's line
// driver: the lines are set in the data register directly, bytes go out most significant bit
// first, and MISO is sampled while SCK is high, after the rising edge.
#include <array>
#include <cstdint>

#include "port/cable.h"
#include "port/clock.h"

namespace tolmeo::testing {

class TestWire {
 public:
  static constexpr std::uint8_t kReset = 0x01;
  static constexpr std::uint8_t kSck = 0x02;
  static constexpr std::uint8_t kMosi = 0x04;

  // spin_ns: the wait after each line change, so each SCK phase lasts at least that long.
  TestWire(Cable& cable, Clock& clock, std::int64_t spin_ns = 1) : cable_(cable), clock_(clock), spin_ns_(spin_ns) {}

  void Set(std::uint8_t data) {
    data_ = data;
    cable_.WriteData(data);
    clock_.SpinNs(spin_ns_);
  }
  void Line(std::uint8_t bit, bool level) { Set(level ? data_ | bit : data_ & ~bit); }
  bool Miso() { return (~cable_.ReadStatus() & 0x80) != 0; }

  std::uint8_t Transfer(std::uint8_t out) {
    std::uint8_t in = 0;
    for (int bit = 7; bit >= 0; --bit) {
      Line(kMosi, (out >> bit & 1) != 0);
      Line(kSck, true);
      if (Miso()) in |= static_cast<std::uint8_t>(1 << bit);
      Line(kSck, false);
    }
    return in;
  }

  std::array<std::uint8_t, 4> Instruction(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return {Transfer(a), Transfer(b), Transfer(c), Transfer(d)};
  }

  // RESET pulse into reset, then programming enable; the echo of its third byte.
  std::uint8_t EnterProgramming() {
    PulseReset();
    return Instruction(0xAC, 0x53, 0x00, 0x00)[2];
  }

  void PulseReset() {
    Set(0);
    Line(kReset, true);
    clock_.SleepMs(2);
    Line(kReset, false);
    clock_.SleepMs(20);
  }

 private:
  Cable& cable_;
  Clock& clock_;
  std::int64_t spin_ns_;
  std::uint8_t data_ = 0;
};

}  // namespace tolmeo::testing
