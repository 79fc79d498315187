#pragma once
// How an ISP cable is wired to the parallel port's connector. The line driver speaks in the
// line layout of port/isp_lines.h (Tolmeo's own cable); a wiring says on which connector
// pin each line really is, whether the cable inverts it, and which pins enable the cable's
// buffer while programming. Levels here are pin levels, as libieee1284 hands them over.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolmeo {

enum class PinGroup { kData, kControl, kStatus };

struct PortPin {
  PinGroup group = PinGroup::kData;
  std::uint8_t mask = 0;   // the pin's bit in its group, as libieee1284 numbers them
  bool inverted = false;   // the cable inverts the line between the chip and this pin
  int connector = 0;       // pin number on the DB-25 connector, for the help page
};

struct ParportWiring {
  std::string_view name;
  PortPin reset, sck, mosi;
  PortPin miso;
  // Driven to their active level (1, or 0 when inverted) while programming, inactive at idle,
  // so the cable's buffer lets go of the target when it runs.
  std::vector<PortPin> enables;
  // Always driven high while the port is in use (cables fed from the data lines).
  std::vector<PortPin> supplies;
};

// Pin levels for the data and control groups, from the line driver's data register.
struct PinLevels {
  std::uint8_t data = 0;
  std::uint8_t control = 0;
  bool operator==(const PinLevels&) const = default;
};

// Every wiring Tolmeo knows, Tolmeo's own first.
std::span<const ParportWiring> KnownWirings();
// The wiring of this name; an empty name is Tolmeo's own.
std::optional<ParportWiring> WiringNamed(std::string_view name);
// The names, comma-separated, for messages.
std::string WiringNames();

// The pins for a data-register value; control pins the wiring does not use keep their
// levels from control_base.
PinLevels PinsFor(const ParportWiring& wiring, std::uint8_t register_value, std::uint8_t control_base);
// The status register value that makes the line driver read the wiring's MISO from the
// status pins (libieee1284's levels).
std::uint8_t StatusFor(const ParportWiring& wiring, std::uint8_t status_pins);
// True when any line of the wiring is on a control pin.
bool UsesControlPins(const ParportWiring& wiring);

}  // namespace tolmeo
