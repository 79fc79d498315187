#pragma once
// A clock that never waits: it only counts the time the engine asked for, so tests and the
// simulated cable run at full speed and always see the same times.
#include <cstdint>

#include "port/clock.h"

namespace tolmeo {

class VirtualClock : public Clock {
 public:
  // Advances by the given milliseconds; a negative sleep is no sleep.
  void SleepMs(std::int32_t milliseconds) override;
  // Advances by exactly the time asked; a negative spin is no spin.
  void SpinNs(std::int64_t nanoseconds) override;

  std::int64_t NowUs() const { return now_ns_ / 1000; }
  std::int64_t NowNs() const { return now_ns_; }

 private:
  void Advance(std::int64_t nanoseconds);

  std::int64_t now_ns_ = 0;
};

}  // namespace tolmeo
