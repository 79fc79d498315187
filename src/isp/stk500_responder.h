#pragma once
// The virtual twin of an Arduino running ArduinoISP: it answers STK500 version 1 on a serial
// file descriptor (the master side of a pseudo-terminal) and clocks what it is asked through
// the simulated cable into the virtual AVR behind it, as the sketch clocks its SPI pins.
// Stk500Responder serves in the calling thread (a program of its own serves in its main
// thread); Stk500Twin gives it a pseudo-terminal and a thread inside the host's process.
#include <atomic>
#include <chrono>
#include <optional>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "isp/bit_bang_link.h"
#include "isp/line_driver.h"
#include "port/pseudo_terminal.h"
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
  // The sketch writes pages by the page size Set Device gave it: a host that did not send the
  // chip's own parameters gets its page writes refused.
  bool SetDevice(const std::vector<std::uint8_t>& body);
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
  bool device_set_ = false;
};

class Stk500Twin {
 public:
  explicit Stk500Twin(std::unique_ptr<SimCable> cable) : cable_(std::move(cable)), responder_(*cable_) {}
  ~Stk500Twin();
  Stk500Twin(const Stk500Twin&) = delete;
  Stk500Twin& operator=(const Stk500Twin&) = delete;

  // Makes the pseudo-terminal and starts answering on it, or says why it cannot.
  Status Start();
  // The serial port a host opens.
  const std::string& port_path() const { return pty_.slave_path(); }
  SimCable& cable() { return *cable_; }

 private:
  std::unique_ptr<SimCable> cable_;
  Stk500Responder responder_;
  PseudoTerminal pty_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace tolmeo
