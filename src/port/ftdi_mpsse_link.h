#pragma once
// The ISP link on an FTDI FT2232H (0403:6010, interface A) in MPSSE mode, through libftdi1:
// the chip's engine clocks SPI itself, so one USB byte carries one byte of SPI instead of the
// two pin states a bit of synchronous bit-bang costs. The instructions go out as MPSSE
// commands, a page of loads and a page of reads each in one write, the reads' answers in one
// read after a send-immediate.
//
// Pins on ADBUS, fixed by the engine but for RESET:
//   SCK = D0   MOSI = D1   MISO = D2   RESET = D3 unless the cable text names D4 ~ D7
//
// SCK runs at 60 MHz / ((1 + divisor) * 2): at every programming-mode entry the divisor is
// the smallest whose half period lasts at least the SCK phase the ISP speed asks. Every write
// that does not take all its bytes and every read that does not bring all the answers in time
// makes the link Lost: nothing it answers after that counts.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "port/clock.h"
#include "port/ftdi_cable.h"
#include "port/isp_link.h"

namespace tolmeo {

// "[SERIAL][:RESET=Dn]" after "ftdi-mpsse:", or what is wrong with it (CP949).
Result<FtdiWiring> ParseMpsseWiring(std::string_view text);
// The pins of the MPSSE link when the cable text names none.
FtdiWiring MpsseWiring();

class FtdiMpsseLink : public IspLink {
 public:
  // The clock is for the waits until SetClock names the engine's.
  FtdiMpsseLink(std::unique_ptr<FtdiDevice> device, FtdiWiring wiring, Clock& clock);
  ~FtdiMpsseLink() override;
  FtdiMpsseLink(const FtdiMpsseLink&) = delete;
  FtdiMpsseLink& operator=(const FtdiMpsseLink&) = delete;

  // Finds the FT2232H, puts interface A into MPSSE and finds the start of its answers, or
  // says why not and what mends it.
  Status Open() override;
  bool Opened() const override { return opened_; }
  LinkCapabilities Capabilities() const override;
  bool EnterProgramming(std::int64_t sck_phase_ns) override;
  std::string EntryProblem() const override { return entry_problem_; }
  void ReleaseTarget() override;
  void Send(const Instruction& instruction) override;
  IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) override;
  void QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies) override;
  // What waits goes out first, and the chip is asked for its pins: the wait starts once the
  // engine has clocked everything, not when USB took the bytes.
  void SleepMs(std::int32_t milliseconds) override;
  void SetClock(Clock& clock) override { clock_ = &clock; }
  void HoldSends() override { holding_ = true; }
  void Flush() override;
  bool Lost() const override { return lost_; }
  // accesses: SPI bytes clocked; transfers: libftdi writes and reads; bytes: both ways.
  CableStats Stats() const override { return stats_; }

  // The divisor the last programming-mode entry chose.
  int divisor() const { return divisor_; }
  FtdiDevice& device() { return *device_; }

 private:
  Status Configure();
  bool Sync();
  void SetPins(bool reset);
  std::uint8_t Outputs() const;  // SCK, MOSI and RESET
  void ResetPulse();
  bool SetDivisor(std::int64_t sck_phase_ns);
  void QueueBytes(std::uint8_t opcode, std::span<const std::uint8_t> bytes);
  // Sends what waits and reads `answer` back in full; false (and Lost) otherwise.
  bool Exchange(std::span<std::uint8_t> answer);
  bool Write();
  void Discard();
  int ReadTimeoutMs(std::size_t answer_bytes) const;
  void QueryPiece(std::span<const IspQuery> queries, std::span<IspReply> replies);

  std::unique_ptr<FtdiDevice> device_;
  FtdiWiring wiring_;
  Clock* clock_;
  bool opened_ = false;
  bool lost_ = false;
  bool holding_ = false;
  int divisor_ = 0;
  std::vector<std::uint8_t> out_;  // commands not yet written
  // Where in out_ the last clocking command starts, and the bytes it clocks (0: none).
  std::size_t last_command_ = 0;
  std::size_t last_count_ = 0;
  std::string entry_problem_;
  CableStats stats_;
};

}  // namespace tolmeo
