#include "port/system_clock.h"

#include <chrono>
#include <thread>

namespace tolmeo {

void SystemClock::SleepMs(std::int32_t milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SystemClock::SpinNs(std::int64_t nanoseconds) {
  if (nanoseconds <= 0) return;
  using Steady = std::chrono::steady_clock;
  const Steady::time_point deadline = Steady::now() + std::chrono::nanoseconds(nanoseconds);
  while (Steady::now() < deadline) {
  }
}

}  // namespace tolmeo
