#include "port/system_clock.h"

#include <chrono>
#include <thread>

namespace tolmeo {

void SystemClock::SleepMs(std::int32_t milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SystemClock::BusyWait(std::int64_t passes) {
  // The counter is volatile so the compiler keeps every pass: the time the loop takes is its
  // only effect, and it sets the ISP clock.
  volatile std::int64_t counter = passes;
  do {
    counter = counter - 1;
  } while (counter > 0);
}

}  // namespace tolmeo
