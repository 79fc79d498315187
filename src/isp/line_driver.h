#pragma once
// The cable's lines as bits of the data register: RESET (bit 0), SCK (bit 1), MOSI (bit 2) and
// the mode line (bit 7, 0 while programming); MISO is the complement of status bit 7. A shadow
// of the data register lets one line change without touching the others.
#include <cstdint>

#include "base/result.h"
#include "port/cable.h"
#include "port/clock.h"

namespace tolmeo {

inline constexpr int kResetLine = 0;
inline constexpr int kSckLine = 1;
inline constexpr int kMosiLine = 2;
inline constexpr int kModeLine = 7;

class LineDriver {
 public:
  // isp_speed is the options' value, read at every delay so a change takes effect at once.
  LineDriver(Cable& cable, Clock& clock, const std::int32_t& isp_speed);

  // Opens the cable and clears the shadow. Until an open succeeds the cable is left alone:
  // writes only change the shadow and MISO reads as 1.
  Status OpenPort();
  bool PortOpened() const { return opened_; }

  std::uint8_t PortShadow() const { return shadow_; }
  void WriteDataByte(std::uint8_t value);
  // Only the lowest bit of level counts.
  void SetLine(int bit, int level);
  // The mode line, then 1 ms for the cable's buffers to follow.
  void SetModeLine(int level);
  int ReadMiso();
  // speed + 1 passes of the busy-wait; a negative speed counts as 0.
  void IspDelay();
  // Mode line 1, RESET 1, SCK 0, MOSI 0: the data register holds 0x81.
  void PortIdle();

  void SleepMs(std::int32_t milliseconds) { clock_.SleepMs(milliseconds); }

 private:
  Cable& cable_;
  Clock& clock_;
  const std::int32_t& isp_speed_;
  std::uint8_t shadow_ = 0;
  bool opened_ = false;
};

}  // namespace tolmeo
