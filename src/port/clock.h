#pragma once
// Every wait of the engine goes through a clock: the millisecond sleeps of the protocol and the
// busy-wait between clock edges. The real clock waits; a virtual clock only counts, so tests and
// the virtual AVR run without waiting.
#include <cstdint>

namespace tolmeo {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void SleepMs(std::int32_t milliseconds) = 0;
  // Spins for at least the given number of nanoseconds, without giving up the processor; zero
  // or less returns at once.
  virtual void SpinNs(std::int64_t nanoseconds) = 0;
};

}  // namespace tolmeo
