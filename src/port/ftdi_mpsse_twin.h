#pragma once
// A fake FTDI FT2232H at the libftdi boundary, for tolmeo-cli's ftdi-mpsse:sim and the tests:
// in MPSSE mode it takes the command stream of port/mpsse_protocol.h as the chip's engine
// does, and clocks each SPI byte bit by bit into a virtual AVR on a simulated cable (with its
// file and knobs), each SCK phase lasting the half period the divisor and master clock give on
// the cable's virtual clock, so an SCK too fast for the chip is misheard as on a real one.
// A command it does not know answers 0xFA and the opcode, as the chip does.
//
// It is as strict as the chip: answers not read back beyond its 4 KB receive buffer stall the
// engine, and the write fails as a real one times out. A command cut off at the end of a write
// waits for its rest in the next.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "port/chip_model.h"
#include "port/ftdi_twin.h"

namespace tolmeo {

inline constexpr int kMpsseTwinReceiveBytes = 4096;

class FtdiMpsseTwin : public FtdiTwinChip {
 public:
  // reset_pin: the ADBUS pin wired to the chip's RESET.
  FtdiMpsseTwin(const ChipModel& model, std::string cp949_path, int reset_pin);

  FtdiChip Chip() const override { return FtdiChip::kFt2232h; }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override;
  int Write(const std::uint8_t* data, int size) override;
  int Read(std::uint8_t* data, int size) override;
  // Everything written has been carried out: what is not there now never comes.
  int ReadAll(std::uint8_t* data, int size, int) override { return Read(data, size); }

  // The SCK half period in force, and the opcodes the engine did not know.
  double half_period_ns() const;
  const std::vector<std::uint8_t>& unknown_opcodes() const { return unknown_; }

  static constexpr const char* kSerial = "TOLMEO-MPSSE-TWIN";

  // Knob: after this many reads each read brings at most half of what it asked.
  std::optional<int> short_reads_after;

 private:
  void Restart() override;
  void DropReceived() override;
  // Carries out the commands that are whole; false when the receive buffer overflows.
  bool RunCommands();
  // The bytes a whole command at the front of pending_ takes, 0 while it is cut off.
  std::size_t CommandLength() const;
  void Execute(std::size_t length);
  void ClockBytes(std::size_t first, std::size_t count, bool read);
  std::uint8_t ClockByte(std::uint8_t out);
  void Drive(bool sck, bool mosi);
  bool Level(int pin) const;

  int reset_pin_;
  bool mpsse_ = false;
  std::uint8_t levels_ = 0;
  std::uint8_t outputs_ = 0;
  int divisor_ = 0;
  bool divide_by_5_ = true;  // as the chip starts
  int reads_ = 0;
  std::deque<std::uint8_t> pending_;  // written, not yet a whole command
  std::deque<std::uint8_t> received_;
  std::vector<std::uint8_t> unknown_;
};

}  // namespace tolmeo
