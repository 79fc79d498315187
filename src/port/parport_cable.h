#pragma once
// The ISP cable on a real parallel port, through libieee1284 (ppdev on Linux): the port is
// found by name, opened for pin-level access and claimed for as long as the cable lives. Where
// the printer driver lp has the port registered, it is shared with it (lp only takes the port
// while it prints). The wiring turns the line driver's register into the cable's pins.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "port/cable.h"
#include "port/parport_wiring.h"

struct parport;
struct parport_list;

namespace tolmeo {

struct ParportListDeleter {
  void operator()(parport_list* list) const;
};
using ParportList = std::unique_ptr<parport_list, ParportListDeleter>;

// Names of the parallel ports the library finds ("parport0" ...), in its order.
std::vector<std::string> ParallelPortNames();

class ParportCable : public Cable {
 public:
  // An empty name takes the first port found.
  explicit ParportCable(std::string port_name = {}, ParportWiring wiring = KnownWirings().front());
  ~ParportCable() override;
  ParportCable(const ParportCable&) = delete;
  ParportCable& operator=(const ParportCable&) = delete;

  // Finds, opens and claims the port, or says why it cannot (no port, no permission, busy).
  Status Open() override;
  // Before a successful Open writes go nowhere and the status reads as MISO high.
  void WriteData(std::uint8_t value) override;
  // Bit 7 is the complement of the wiring's MISO pin, as on Tolmeo's own cable.
  std::uint8_t ReadStatus() override;
  // Every libieee1284 call that reached the port, one ioctl and one byte each.
  CableStats Stats() const override { return {accesses_, accesses_, accesses_}; }

 private:
  Status OpenPort(parport* port);
  void Close();

  std::string name_;
  ParportWiring wiring_;
  bool uses_control_ = false;
  std::uint8_t control_base_ = 0;  // the control pins as found, for those the wiring leaves alone
  std::optional<PinLevels> written_;  // what the pins were last set to
  ParportList ports_;  // the ports found, kept while one of them is open
  parport* port_ = nullptr;  // claimed, when not null
  std::int64_t accesses_ = 0;
};

}  // namespace tolmeo
