#pragma once
// The ISP cable on a board's GPIO header (a Raspberry Pi or the like) through libgpiod 1.6:
// RESET, SCK and MOSI are lines of one gpiochip requested as outputs, MISO one requested as
// input, each named by its offset. The mode line has no pin: nothing stands between the header
// and the target. A line is set only when its level changes, one library call each.
//
// The calls into libgpiod go through GpioLines, so fake lines with a virtual AVR behind them
// (port/gpio_twin.h) run this same cable code in the tests and behind tolmeo-cli's gpio:sim.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "port/cable.h"

namespace tolmeo {

struct GpioWiring {
  std::string chip;  // CP949; as libgpiod looks it up: "gpiochip0", "/dev/gpiochip0", a label, a number
  unsigned reset = 0;
  unsigned sck = 0;
  unsigned mosi = 0;
  unsigned miso = 0;
};

// A Raspberry Pi's header: RESET on GPIO25, SCK, MOSI and MISO on the SPI0 pins 11, 10 and 9.
GpioWiring RaspberryPiWiring();

// "CHIP:RESET,SCK,MOSI,MISO" (decimal line offsets, four different ones) taken apart, or what
// is wrong with it (CP949).
Result<GpioWiring> ParseGpioWiring(std::string_view text);

// The libgpiod calls the cable makes. Each returns 0, or the errno value of the failure.
class GpioLines {
 public:
  virtual ~GpioLines() = default;
  virtual int OpenChip(const std::string& chip) = 0;
  virtual unsigned LineCount() const = 0;
  // Requested for the consumer "tolmeo".
  virtual int RequestOutput(unsigned offset, int value) = 0;
  virtual int RequestInput(unsigned offset) = 0;
  virtual int SetValue(unsigned offset, int value) = 0;
  // The level (0 or 1) into value.
  virtual int GetValue(unsigned offset, int& value) = 0;
  // Every requested line released and the chip closed; nothing when none is open.
  virtual void Close() = 0;
};

// libgpiod itself.
std::unique_ptr<GpioLines> LibgpiodLines();

class GpioCable : public Cable {
 public:
  GpioCable(std::unique_ptr<GpioLines> lines, GpioWiring wiring);
  ~GpioCable() override;
  GpioCable(const GpioCable&) = delete;
  GpioCable& operator=(const GpioCable&) = delete;

  // Opens the chip and requests the four lines (RESET high, SCK and MOSI low), or says why
  // not and what mends it: the chip not found, no permission, a line that is not there or
  // that another user holds.
  Status Open() override;
  // Before a successful Open writes go nowhere and the status reads as MISO high.
  void WriteData(std::uint8_t value) override;
  std::uint8_t ReadStatus() override;
  // Every line set or read is one ioctl carrying one value.
  CableStats Stats() const override { return {accesses_, accesses_, accesses_}; }
  void StartSession(std::int64_t) override { lost_ = false; }
  bool Lost() const override { return lost_; }

  GpioLines& lines() { return *lines_; }

 private:
  Status RequestLines();
  Status LineFailure(unsigned offset, int error) const;
  void SetLine(int index, unsigned offset, bool level);

  std::unique_ptr<GpioLines> lines_;
  GpioWiring wiring_;
  bool opened_ = false;
  bool lost_ = false;
  std::optional<std::uint8_t> written_;  // the RESET, SCK and MOSI bits last set
  std::int64_t accesses_ = 0;
};

}  // namespace tolmeo
