#pragma once
// A clock that passes every wait on to the clock beneath and adds up how long the engine asked
// to wait, sleeps and busy-waits together.
#include <cstdint>

#include "port/clock.h"

namespace tolmeo {

class CountedClock : public Clock {
 public:
  explicit CountedClock(Clock& beneath) : beneath_(beneath) {}
  void SleepMs(std::int32_t milliseconds) override;
  void SpinNs(std::int64_t nanoseconds) override;

  double waited_s() const { return static_cast<double>(waited_ns_) / 1e9; }

 private:
  Clock& beneath_;
  std::int64_t waited_ns_ = 0;
};

}  // namespace tolmeo
