#include "port/counted_clock.h"

namespace tolmeo {

void CountedClock::SleepMs(std::int32_t milliseconds) {
  if (milliseconds > 0) waited_ns_ += static_cast<std::int64_t>(milliseconds) * 1'000'000;
  beneath_.SleepMs(milliseconds);
}

void CountedClock::SpinNs(std::int64_t nanoseconds) {
  if (nanoseconds > 0) waited_ns_ += nanoseconds;
  beneath_.SpinNs(nanoseconds);
}

}  // namespace tolmeo
