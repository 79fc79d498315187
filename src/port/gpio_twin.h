#pragma once
// Fake GPIO lines at the libgpiod boundary, for tolmeo-cli's gpio:sim and the tests: one
// gpiochip whose lines at the wiring's offsets are the RESET, SCK, MOSI and MISO of a virtual
// AVR on a simulated cable (with its file and knobs), so the real GPIO cable code drives it.
// It answers as the kernel does: a line must be requested before it is set or read, a line
// is requested once, and a chip that is not there is not found.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "port/chip_model.h"
#include "port/gpio_cable.h"
#include "port/sim_cable.h"

namespace tolmeo {

class GpioTwin : public GpioLines {
 public:
  // The chip is named as the wiring names it and has enough lines for it.
  GpioTwin(const ChipModel& model, std::string cp949_path, GpioWiring wiring);

  int OpenChip(const std::string& chip) override;
  unsigned LineCount() const override { return opened_ ? line_count : 0; }
  int RequestOutput(unsigned offset, int value) override;
  int RequestInput(unsigned offset) override;
  int SetValue(unsigned offset, int value) override;
  int GetValue(unsigned offset, int& value) override;
  void Close() override;

  SimCable& sim() { return sim_; }

  // Knobs: the errno the chip's open fails with; a line another user holds.
  std::optional<int> open_error;
  std::optional<unsigned> busy_line;
  // How many lines the chip has (a Raspberry Pi's 54 unless told).
  unsigned line_count = 54;

 private:
  int Request(unsigned offset, bool output, int value);
  void DriveChip();

  SimCable sim_;
  GpioWiring wiring_;
  bool opened_ = false;
  std::set<unsigned> outputs_;
  std::set<unsigned> inputs_;
  std::map<unsigned, int> levels_;
};

}  // namespace tolmeo
