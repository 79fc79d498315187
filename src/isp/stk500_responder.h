#pragma once
// The virtual twin of an Arduino running ArduinoISP: it answers STK500 version 1 on a serial
// file descriptor (the master side of a pseudo-terminal) and clocks what it is asked through
// the simulated cable into the virtual AVR behind it, as the sketch clocks its SPI pins.
#include <atomic>
#include <chrono>
#include <optional>
#include <cstdint>
#include <vector>

#include "isp/bit_bang_link.h"
#include "isp/line_driver.h"
#include "port/sim_cable.h"

namespace tolmeo {

class Stk500Responder {
 public:
  explicit Stk500Responder(SimCable& cable);
  // Answers commands on fd until it closes or stop is set (checked at least every 100 ms).
  void Serve(int fd, const std::atomic<bool>& stop);

 private:
  // The answer to one command (its bytes after the command byte, CRC_EOP included).
  std::vector<std::uint8_t> Answer(std::uint8_t command, const std::vector<std::uint8_t>& body);
  std::vector<std::uint8_t> ProgramPage(const std::vector<std::uint8_t>& body);
  std::vector<std::uint8_t> ReadPage(const std::vector<std::uint8_t>& body);
  void CatchUpWithHost();
  std::uint8_t Universal(const std::vector<std::uint8_t>& body);

  SimCable& cable_;
  std::optional<std::chrono::steady_clock::time_point> last_command_;
  std::int32_t speed_ = 0x10;
  LineDriver driver_;
  BitBangLink link_{driver_};
  std::uint32_t address_ = 0;
};

}  // namespace tolmeo
