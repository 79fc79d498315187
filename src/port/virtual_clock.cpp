#include "port/virtual_clock.h"

#include <algorithm>
#include <limits>

namespace tolmeo {

void VirtualClock::SleepMs(std::int32_t milliseconds) {
  if (milliseconds > 0) Advance(std::int64_t{milliseconds} * 1'000'000);
}

void VirtualClock::SpinNs(std::int64_t nanoseconds) {
  if (nanoseconds > 0) Advance(nanoseconds);
}

void VirtualClock::Advance(std::int64_t nanoseconds) {
  // Saturates instead of wrapping, so a huge wait can never make time run backwards.
  const std::int64_t room = std::numeric_limits<std::int64_t>::max() - now_ns_;
  now_ns_ += std::min(nanoseconds, room);
}

}  // namespace tolmeo
