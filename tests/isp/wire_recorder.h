#pragma once
// A cable that records every data-register write and answers status reads from a script of
// MISO bits, and a clock that only counts: enough to check the engine byte for byte.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "port/cable.h"
#include "port/clock.h"

namespace tolmeo::testing {

class WireRecorder : public Cable {
 public:
  Status Open() override;
  void WriteData(std::uint8_t value) override;
  std::uint8_t ReadStatus() override;

  // Queues the bits of bytes, most significant first, as MISO answers.
  void AnswerBytes(const std::vector<std::uint8_t>& bytes);
  // The bytes on MOSI, one bit per rising SCK edge.
  std::vector<std::uint8_t> SentBytes() const;

  std::string open_failure;  // empty: Open succeeds
  std::vector<std::uint8_t> writes;
  std::deque<int> miso_bits;  // MISO 0 when empty
  int status_reads = 0;
};

class CountingClock : public Clock {
 public:
  void SleepMs(std::int32_t milliseconds) override { sleeps.push_back(milliseconds); }
  void BusyWait(std::int64_t passes) override { busy_waits.push_back(passes); }

  std::vector<std::int32_t> sleeps;
  std::vector<std::int64_t> busy_waits;
};

}  // namespace tolmeo::testing
