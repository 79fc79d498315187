#pragma once
// The clock of real cables: sleeps really sleep and the busy-wait really spins.
#include "port/clock.h"

namespace tolmeo {

class SystemClock : public Clock {
 public:
  void SleepMs(std::int32_t milliseconds) override;
  // Spins on the monotonic clock until the time has passed, so a wait is never shorter than
  // asked, whatever the processor's speed or its frequency scaling at the moment.
  void SpinNs(std::int64_t nanoseconds) override;
};

}  // namespace tolmeo
