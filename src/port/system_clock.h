#pragma once
// The clock of real cables: sleeps really sleep and the busy-wait really spins.
#include "port/clock.h"

namespace tolmeo {

class SystemClock : public Clock {
 public:
  void SleepMs(std::int32_t milliseconds) override;
  void BusyWait(std::int64_t passes) override;
};

}  // namespace tolmeo
