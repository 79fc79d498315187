#include "port/gpio_twin.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "port/isp_lines.h"

namespace tolmeo {

GpioTwin::GpioTwin(const ChipModel& model, std::string cp949_path, GpioWiring wiring)
    : sim_(model, std::move(cp949_path)), wiring_(std::move(wiring)) {
  line_count = std::max({line_count, wiring_.reset + 1, wiring_.sck + 1, wiring_.mosi + 1, wiring_.miso + 1});
}

// An absent cable is a header with nothing on it: no chip of that name.
int GpioTwin::OpenChip(const std::string& chip) {
  if (open_error) return *open_error;
  if (chip != wiring_.chip || !sim_.Open()) return ENOENT;
  opened_ = true;
  return 0;
}

int GpioTwin::Request(unsigned offset, bool output, int value) {
  if (!opened_ || offset >= line_count) return EINVAL;
  if (busy_line == offset || outputs_.contains(offset) || inputs_.contains(offset)) return EBUSY;
  (output ? outputs_ : inputs_).insert(offset);
  if (output) {
    levels_[offset] = value ? 1 : 0;
    DriveChip();
  }
  return 0;
}

int GpioTwin::RequestOutput(unsigned offset, int value) { return Request(offset, true, value); }
int GpioTwin::RequestInput(unsigned offset) { return Request(offset, false, 0); }

int GpioTwin::SetValue(unsigned offset, int value) {
  if (!outputs_.contains(offset)) return EPERM;
  levels_[offset] = value ? 1 : 0;
  DriveChip();
  return 0;
}

int GpioTwin::GetValue(unsigned offset, int& value) {
  if (!inputs_.contains(offset) && !outputs_.contains(offset)) return EPERM;
  value = offset == wiring_.miso ? MisoOf(sim_.ReadStatus()) : levels_[offset];
  return 0;
}

void GpioTwin::Close() {
  opened_ = false;
  outputs_.clear();
  inputs_.clear();
}

// The chip sees the three lines as the simulated cable's data register.
void GpioTwin::DriveChip() {
  auto bit = [this](unsigned offset, std::uint8_t mask) {
    return outputs_.contains(offset) && levels_[offset] ? mask : std::uint8_t{0};
  };
  sim_.WriteData(static_cast<std::uint8_t>(bit(wiring_.reset, kResetBit) | bit(wiring_.sck, kSckBit) |
                                           bit(wiring_.mosi, kMosiBit)));
}

}  // namespace tolmeo
