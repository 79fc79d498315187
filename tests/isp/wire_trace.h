#pragma once
// Reading the wire in engine tests: the bytes on MOSI behind a run of data-register writes, a
// clock that lists every wait, and a RecordingCable with a mark so a test looks only at what
// happened after its set-up.
#include <cstdint>
#include <span>
#include <vector>

#include "port/clock.h"
#include "support/recording_cable.h"

namespace tolmeo::testing {

// One bit per rising SCK edge (bit 1), taken from MOSI (bit 2), most significant first.
std::vector<std::uint8_t> MosiBytes(std::span<const std::uint8_t> writes);

class CountingClock : public Clock {
 public:
  void SleepMs(std::int32_t milliseconds) override { sleeps.push_back(milliseconds); }
  void SpinNs(std::int64_t nanoseconds) override { spins_ns.push_back(nanoseconds); }

  std::vector<std::int32_t> sleeps;
  std::vector<std::int64_t> spins_ns;
};

// A recording cable whose unscripted reads give MISO 0, with a mark.
class MarkedCable : public RecordingCable {
 public:
  MarkedCable() { set_idle_status(0x80); }
  void Mark() { mark_ = writes().size(); }
  std::vector<std::uint8_t> Writes() const {
    return {writes().begin() + static_cast<std::ptrdiff_t>(mark_), writes().end()};
  }
  std::vector<std::uint8_t> Sent() const { return MosiBytes(Writes()); }
  void Answer(std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) ScriptMisoByte(byte);
  }
  void Answer(const std::vector<std::uint8_t>& bytes) {
    for (std::uint8_t byte : bytes) ScriptMisoByte(byte);
  }
  // What a chip answers to a read: the echo of the second byte during the third, then value.
  void AnswerQuery(std::uint8_t second_byte, std::uint8_t value, int times = 1) {
    for (int i = 0; i < times; ++i) Answer({second_byte, value});
  }
  // A chip still there when the engine makes sure after its last read (a high fuse read).
  void AnswerProbe() { AnswerQuery(0x08, 0xD9); }

 private:
  std::size_t mark_ = 0;
};

}  // namespace tolmeo::testing
