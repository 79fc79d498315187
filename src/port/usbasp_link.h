#pragma once
// A USBasp over USB (port/usb_bus.h): its firmware takes 4-byte instructions (and hands all
// four answer bytes back, so the chip's echo is there) and writes and reads Flash and EEPROM in
// blocks of at most 200 bytes, waiting out the chip's write times itself. Chips beyond 64 KB
// get their byte addresses through the long-address request. Any transfer that fails, times
// out or comes back short makes the link Lost: nothing it answers after that counts.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "port/clock.h"
#include "port/isp_link.h"
#include "port/usb_bus.h"

namespace tolmeo {

class UsbaspLink : public IspLink {
 public:
  // serial picks one of several attached USBasps; empty takes the first. The clock is for the
  // waits between instructions until SetClock names the engine's.
  UsbaspLink(UsbBus& bus, Clock& clock, std::string serial = {});

  Status Open() override;
  bool Opened() const override { return device_ != nullptr; }
  LinkCapabilities Capabilities() const override;
  // Chooses the SCK option first: the fastest whose half period lasts at least sck_phase_ns.
  bool EnterProgramming(std::int64_t sck_phase_ns) override;
  std::string EntryProblem() const override { return entry_problem_; }
  void ReleaseTarget() override;
  void Send(const Instruction& instruction) override;
  IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) override;
  void SleepMs(std::int32_t milliseconds) override { clock_->SleepMs(milliseconds); }
  void SetClock(Clock& clock) override { clock_ = &clock; }
  bool Lost() const override { return lost_; }
  bool WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words) override;
  bool ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words) override;
  bool WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes) override;
  bool ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes) override;
  CableStats Stats() const override { return stats_; }

  // The SCK option the last programming entry chose (0: the firmware's own rate).
  std::uint8_t sck_option() const { return sck_option_; }

 private:
  // One read request, counted in the stats: the bytes that came back, negative on failure.
  int Request(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer);
  // The stats count the setup packet of every transfer and the data that moved.
  void Count(int moved);
  // A request whose answer must fill `answer` exactly, or whose data must all go out; false
  // (and Lost) otherwise, and nothing is sent once Lost.
  bool In(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer);
  bool Out(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<const std::uint8_t> data);
  bool Transmit(const Instruction& instruction, Instruction& answer);
  bool SetSck(std::int64_t sck_phase_ns);
  // Points the next block at a byte address: in the request itself, or by the long-address
  // request once an address needs more than 16 bits (it then holds until the next connect).
  bool Address(std::uint32_t byte_address, std::uint16_t& value);
  bool ReadBlocks(std::uint8_t request, std::uint32_t byte_address, std::span<std::uint8_t> bytes);
  bool WriteBlocks(std::uint8_t request, std::uint32_t byte_address, std::span<const std::uint8_t> bytes);

  UsbBus& bus_;
  Clock* clock_;
  std::string serial_;
  std::unique_ptr<UsbDevice> device_;
  bool lost_ = false;
  bool long_addresses_ = false;
  bool old_firmware_ = false;  // it refused the SCK request
  std::uint8_t sck_option_ = 0;
  std::string entry_problem_;
  CableStats stats_;
};

}  // namespace tolmeo
