#pragma once
// The simulated cable: data-register writes drive a virtual AVR's RESET (bit 0), SCK (bit 1)
// and MOSI (bit 2); the mode line (bit 7) goes nowhere. The status register reads MISO
// inverted in bit 7, as the parallel port's BUSY input does. Time is the cable's own virtual
// clock, which the engine must use for its waits so the chip's write times pass.
#include <cstdint>
#include <string>

#include "base/result.h"
#include "port/cable.h"
#include "port/chip_model.h"
#include "port/virtual_avr.h"
#include "port/virtual_clock.h"

namespace tolmeo {

class SimCable : public Cable {
 public:
  // With a file path the chip starts from that file and is saved back to it when the cable
  // goes away; a file that could not be read is left alone (see load_status).
  explicit SimCable(const ChipModel& model, std::string cp949_path = {});
  ~SimCable() override;
  SimCable(const SimCable&) = delete;
  SimCable& operator=(const SimCable&) = delete;

  // Fails only when the cable is switched to absent.
  Status Open() override;
  void WriteData(std::uint8_t value) override;
  std::uint8_t ReadStatus() override;

  // Writes the chip to the cable's file now; success when the cable has no file.
  Status Save();

  // Knob: no cable on the port at all.
  bool absent = false;

  VirtualClock& clock() { return clock_; }
  VirtualAvr& chip() { return chip_; }
  std::uint8_t data() const { return data_; }
  const Status& load_status() const { return load_status_; }

 private:
  VirtualClock clock_;
  VirtualAvr chip_;
  std::string path_;
  Status load_status_ = Success();
  std::uint8_t data_ = 0;
};

}  // namespace tolmeo
