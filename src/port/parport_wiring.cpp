#include "port/parport_wiring.h"

#include <array>

#include "port/isp_lines.h"

namespace tolmeo {
namespace {

// Data pins D0..D7 are connector pins 2..9.
PortPin Data(int bit, bool inverted = false) {
  return {PinGroup::kData, static_cast<std::uint8_t>(1u << bit), inverted, 2 + bit};
}
// libieee1284's control and status bits, with their connector pins.
PortPin Strobe() { return {PinGroup::kControl, 0x01, false, 1}; }
PortPin Init() { return {PinGroup::kControl, 0x04, false, 16}; }
PortPin Ack() { return {PinGroup::kStatus, 0x40, false, 10}; }
PortPin Busy() { return {PinGroup::kStatus, 0x80, false, 11}; }

const std::array<ParportWiring, 5>& Wirings() {
  static const std::array<ParportWiring, 5> wirings = {{
      // Tolmeo's own cable: the mode line D7 is low while programming.
      {"tolmeo", Data(0), Data(1), Data(2), Busy(), {Data(7, true)}, {}},
      // STK200/STK300 style, with a 74HC244 buffer enabled by D2 and D3 low.
      {"stk200", Data(7), Data(4), Data(5), Ack(), {Data(2, true), Data(3, true)}, {}},
      // Direct AVR Parallel Access: no buffer, RESET on INIT, SCK on STROBE.
      {"dapa", Init(), Strobe(), Data(0), Busy(), {}, {}},
      // The BSD cable: fed from D0..D3, lines on D5..D7 and ACK.
      {"bsd", Data(5), Data(6), Data(7), Ack(), {}, {Data(0), Data(1), Data(2), Data(3)}},
      // Dontronics DT006.
      {"dt006", Data(2), Data(3), Data(0), Busy(), {}, {}},
  }};
  return wirings;
}

void Drive(PinLevels& levels, const PortPin& pin, bool line_level) {
  const bool pin_level = line_level != pin.inverted;
  std::uint8_t& group = pin.group == PinGroup::kControl ? levels.control : levels.data;
  group = static_cast<std::uint8_t>(pin_level ? group | pin.mask : group & ~pin.mask);
}

}  // namespace

std::span<const ParportWiring> KnownWirings() { return Wirings(); }

std::optional<ParportWiring> WiringNamed(std::string_view name) {
  if (name.empty()) return Wirings().front();
  for (const ParportWiring& wiring : Wirings()) {
    if (wiring.name == name) return wiring;
  }
  return std::nullopt;
}

std::string WiringNames() {
  std::string names;
  for (const ParportWiring& wiring : Wirings()) {
    if (!names.empty()) names += ", ";
    names += wiring.name;
  }
  return names;
}

PinLevels PinsFor(const ParportWiring& wiring, std::uint8_t register_value, std::uint8_t control_base) {
  PinLevels levels{0, control_base};
  for (const PortPin& pin : wiring.supplies) Drive(levels, pin, true);
  for (const PortPin& pin : wiring.enables) Drive(levels, pin, ProgrammingSelected(register_value));
  Drive(levels, wiring.reset, LineIsHigh(register_value, kResetLine));
  Drive(levels, wiring.sck, LineIsHigh(register_value, kSckLine));
  Drive(levels, wiring.mosi, LineIsHigh(register_value, kMosiLine));
  return levels;
}

std::uint8_t StatusFor(const ParportWiring& wiring, std::uint8_t status_pins) {
  const bool miso = ((status_pins & wiring.miso.mask) != 0) != wiring.miso.inverted;
  return StatusWithMiso(miso, 0x00);
}

bool UsesControlPins(const ParportWiring& wiring) {
  for (const PortPin* pin : {&wiring.reset, &wiring.sck, &wiring.mosi}) {
    if (pin->group == PinGroup::kControl) return true;
  }
  return false;
}

}  // namespace tolmeo
