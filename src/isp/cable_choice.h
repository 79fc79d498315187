#pragma once
// The cable the options name, with the clock its waits must go through: a parallel port with
// the real clock, or a virtual AVR of the loaded description with the simulated cable's own
// virtual clock.
//
// Cable text (CP949):
//   PORT[:WIRING]            a parallel port ("parport0"; empty takes the first found) with
//                            one of the wirings of port/parport_wiring.h (Tolmeo's own when
//                            none is named)
//   usbasp[:SERIAL]          a USBasp on USB, the one with that serial when several are
//                            attached
//   usbasp:sim[:FILE][,KNOB]...
//                            a virtual USBasp with the virtual AVR of "sim" behind it
//   arduino:PORT[@BAUD]      an Arduino running ArduinoISP on a serial port ("/dev/ttyACM0"),
//                            19200 baud unless told
//   gpio:CHIP:RESET,SCK,MOSI,MISO
//                            a GPIO header through libgpiod: the gpiochip and the offsets of
//                            the four lines (a Raspberry Pi: gpio:gpiochip0:25,11,10,9)
//   gpio:sim[:FILE][,KNOB]...
//                            the GPIO cable on fake lines wired as that Raspberry Pi, with a
//                            virtual AVR as sim has it behind them
//   ftdi[:SERIAL][:PINS]     an FTDI FT232R or FT2232H (interface A) in synchronous bit-bang,
//                            the first found or the one with that serial, with the pins of
//                            port/ftdi_cable.h: MOSI=TXD, MISO=RXD, SCK=RTS, RESET=DTR unless
//                            PINS says otherwise (ftdi::RESET=CTS,SCK=D5)
//   ftdi:sim[:FILE][,KNOB]...
//                            the FTDI cable on a fake FT232R wired by default, with a virtual
//                            AVR as sim has it behind it
//   ftdi-mpsse[:SERIAL][:RESET=Dn]
//                            an FTDI FT2232H (interface A) in MPSSE, its engine clocking SPI
//                            itself: SCK=D0, MOSI=D1, MISO=D2 and RESET=D3 unless told (D4..D7)
//   ftdi-mpsse:sim[:FILE][,KNOB]...
//                            the MPSSE link on a fake FT2232H, with a virtual AVR as sim has it
//                            behind it
//   arduino:sim[:FILE][,KNOB]...
//                            the virtual AVR as below, behind a virtual Arduino answering on a
//                            pseudo-terminal, so the Arduino cable's own code runs
//   sim[:FILE][,KNOB]...     a virtual AVR sized from the description, erased at every run or
//                            kept in FILE (which may not hold a comma), with the knobs:
//     absent  signature=1E9514  dead-page=WORD  dead-eeprom=ADDR  stuck-fuses  pull-after=N
//     clock=MHZ (fractions allowed; 1 MHz when not given)
#include <cstdint>
#include <memory>
#include <string>

#include "base/result.h"
#include "isp/chip_image.h"
#include "port/cable.h"
#include "port/ftdi_cable.h"
#include "port/gpio_cable.h"
#include "port/chip_model.h"
#include "port/clock.h"
#include "port/isp_link.h"
#include "port/sim_cable.h"
#include "port/usb_bus.h"
#include "port/virtual_avr.h"

namespace tolmeo {

// A factory-fresh AVR runs at 1 MHz: the virtual one does too, unless told otherwise, so the
// ISP speed is checked against the slowest clock it must serve.
inline constexpr std::int64_t kDefaultSimClockHz = 1'000'000;

// The hardware a cable text names. Simulated, it is that hardware's virtual twin with the
// virtual AVR behind it; a simulated parallel port is the plain "sim".
enum class CableKind { ParallelPort, Arduino, Usbasp, Gpio, Ftdi, FtdiMpsse };

struct CableSetting {
  CableKind kind = CableKind::ParallelPort;
  bool simulated = false;
  std::string port;    // parallel port name
  std::string wiring;  // wiring name; empty is Tolmeo's own
  std::string usb_serial;   // which USBasp; empty takes the first
  std::string serial_port;  // the Arduino's serial port
  int baud = 0;
  std::string file;    // the virtual AVR's file; empty when erased at every run
  bool absent = false;
  ChipFaults faults;
  std::int64_t clock_hz = kDefaultSimClockHz;
  GpioWiring gpio;  // the lines of a GPIO header
  FtdiWiring ftdi;  // the pins of an FTDI chip
};

// The cable text taken apart, or what is wrong with it (CP949).
Result<CableSetting> ParseCableText(const std::string& cable_text);

class Stk500Twin;

struct CableRig {
  CableRig();
  ~CableRig();
  CableRig(CableRig&&);
  CableRig& operator=(CableRig&&);
  std::unique_ptr<Stk500Twin> twin;  // the virtual Arduino behind link, going last
  std::unique_ptr<Cable> cable;      // a bit-bang cable, for the line driver
  std::unique_ptr<UsbBus> usb;       // the bus a USB programmer is on
  std::unique_ptr<IspLink> link;     // or a programmer with its own firmware
  std::unique_ptr<Clock> own_clock;  // the real clock of a cable on hardware
  Clock* clock = nullptr;            // own_clock, or the simulated cable's
  SimCable* sim = nullptr;           // the simulated cable, when there is one
};

// The virtual chip a loaded description describes: its sizes, signature, write times and
// lock and fuse bytes.
ChipModel ModelOfImage(const ChipImage& image);

// What to do when a parallel port does not open: load the driver, join the port's group, try
// the virtual chip, read the help page (CP949, one remedy a line). Every window and tolmeo-cli
// give the same advice: the port's open failure carries it.
std::string PortOpenRemedies();

// The cable the text names. A text that does not parse gives a cable that never opens, with
// the reason, so every command says what is wrong with the setting. A relative virtual chip
// file is taken from chip_folder (CP949, ending in '/') when one is given: a text read from
// the options names its file beside them, wherever Tolmeo was started.
CableRig MakeCable(const std::string& cable_text, const ChipImage& image,
                   const std::string& chip_folder = {});

}  // namespace tolmeo
