#pragma once
// An Arduino running the ArduinoISP sketch, over a serial port in STK500 version 1: every
// command ends in CRC_EOP (0x20) and is answered INSYNC (0x14) ... OK (0x10). Instructions go
// through the universal command, Flash and EEPROM through the page commands. Every read of
// the port is bounded, so a silent port ends in Lost, never in a hang.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/chip_geometry.h"
#include "port/isp_link.h"
#include "port/system_clock.h"

namespace tolmeo {

inline constexpr int kStk500DefaultBaud = 19200;

class Stk500Link : public IspLink {
 public:
  // device, when given, is read at every programming-mode entry: the sketch is told the chip's
  // page, EEPROM and Flash sizes (Set Device) before it programs a page. Without it (a probe
  // that only reads the signature) nothing is set.
  Stk500Link(std::string path, int baud = kStk500DefaultBaud, const ChipGeometry* device = nullptr)
      : path_(std::move(path)), baud_(baud), device_(device) {}
  ~Stk500Link() override;
  Stk500Link(const Stk500Link&) = delete;
  Stk500Link& operator=(const Stk500Link&) = delete;

  Status Open() override;
  bool Opened() const override { return fd_ >= 0; }
  // Only the fourth byte comes back; the sketch clocks SCK itself at a rate it does not say.
  LinkCapabilities Capabilities() const override { return {false, true, true, false, 0, false}; }
  bool EnterProgramming(std::int64_t sck_phase_ns) override;
  void ReleaseTarget() override;
  void Send(const Instruction& instruction) override;
  IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) override;
  // The sketch waits out its own page write times; the engine's waits, for instructions sent
  // one by one, go through its clock, so they count with its own in the run's figures.
  void SleepMs(std::int32_t milliseconds) override { clock_->SleepMs(milliseconds); }
  void SetClock(Clock& clock) override { clock_ = &clock; }
  bool Lost() const override { return lost_; }
  bool WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words) override;
  bool ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words) override;
  bool WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes) override;
  bool ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes) override;
  CableStats Stats() const override { return stats_; }

 private:
  bool Sync();
  bool SetDevice();
  // One command and its framed answer of answer_size bytes between INSYNC and OK.
  bool Command(std::vector<std::uint8_t> command, std::span<std::uint8_t> answer);
  bool Universal(const Instruction& instruction, std::uint8_t& value);
  bool LoadAddress(std::uint32_t address);
  bool WritePage(char memory, std::span<const std::uint8_t> bytes);
  bool ReadPage(char memory, std::span<std::uint8_t> bytes);
  bool ReadExactly(std::span<std::uint8_t> bytes);
  void PulseReset();

  std::string path_;
  int baud_;
  const ChipGeometry* device_;
  SystemClock system_clock_;
  Clock* clock_ = &system_clock_;
  int fd_ = -1;
  bool lost_ = false;
  CableStats stats_;
};

}  // namespace tolmeo
