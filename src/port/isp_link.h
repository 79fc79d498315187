#pragma once
// What the engine needs of any ISP programmer, at the level of the serial-programming
// instructions: a bit-bang cable clocked by the engine's line driver, or a programmer with its
// own firmware (USBasp, an Arduino as ISP) that takes whole instructions and, where its
// protocol has them, whole pages. The engine above (operations, verify, retries, fuse
// read-back) is the same for every kind; what a kind cannot promise is asked of it through
// Capabilities.
#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"
#include "port/cable_stats.h"
#include "port/clock.h"
#include "port/instruction.h"

namespace tolmeo {

struct LinkCapabilities {
  // A read's answer carries the chip's own echo of the instruction's second byte, clocked back
  // during the third: the engine's check that a chip is still there. A programmer that hands
  // back only the answer byte cannot give it.
  bool echoes = true;
  // The programmer loads, writes and reads whole pages of this memory itself.
  bool flash_pages = false;
  bool eeprom_pages = false;
  // The engine clocks SCK with its own waits (the ISP speed is a busy-wait). Otherwise the
  // programmer clocks it, at sck_khz when it can say (0 when it cannot).
  bool engine_clocks_sck = true;
  double sck_khz = 0;
  // Reads go out best many at a time (QueryAll), a page's worth: every exchange with the
  // programmer costs a transfer.
  bool queued_reads = false;
};

// A read's two bytes back: the echo of the second byte (meaningful only with echoes) and the
// answer in the fourth.
struct IspReply {
  std::uint8_t echo = 0;
  std::uint8_t value = 0;
};

// The three bytes of a read that go out.
struct IspQuery {
  std::uint8_t b0 = 0;
  std::uint8_t b1 = 0;
  std::uint8_t b2 = 0;
};

class IspLink {
 public:
  virtual ~IspLink() = default;

  // Opens the programmer, or says why it cannot (with the fix where one is known).
  virtual Status Open() = 0;
  virtual bool Opened() const = 0;
  virtual LinkCapabilities Capabilities() const = 0;

  // Holds the target in reset and sends the programming enable; true when the chip came into
  // step. A programmer that clocks SCK itself picks the fastest rate whose high and low phases
  // last at least sck_phase_ns.
  virtual bool EnterProgramming(std::int64_t sck_phase_ns) = 0;
  // Why the last EnterProgramming failed, when the programmer itself knows (CP949); empty
  // when the chip simply did not come into step.
  virtual std::string EntryProblem() const { return {}; }
  // Out of programming mode: the target runs.
  virtual void ReleaseTarget() = 0;

  // An instruction whose answer is not needed. Between HoldSends and Flush it may wait in a
  // queue; an answer (Query), a wait (SleepMs) or Flush sends what waits first.
  virtual void Send(const Instruction& instruction) = 0;
  // A read: the three bytes go out, the fourth as 0x00 (a bit-bang cable leaves MOSI where the
  // third byte left it while it clocks the answer in).
  virtual IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) = 0;
  // The reads in order, a reply for each into replies (as many); by default one Query after
  // another.
  virtual void QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies);
  virtual void SleepMs(std::int32_t milliseconds) = 0;
  // The clock SleepMs goes through: the engine's, so a programmer's waits count with the
  // engine's own. A link that waits on nothing of its own ignores it.
  virtual void SetClock(Clock&) {}
  virtual void HoldSends() {}
  virtual void Flush() {}

  // True once the programmer itself stopped answering (unplugged, a transfer that failed or
  // timed out): every answer since is worthless. Cleared by the next EnterProgramming.
  virtual bool Lost() const { return false; }

  // Whole pages, where Capabilities says so; otherwise they do nothing and return false.
  // word_address and address are the first of the page; the spans hold the page. A false
  // return means the transfer failed (the link is then Lost), not that the chip disagreed.
  virtual bool WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words);
  virtual bool ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words);
  virtual bool WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes);
  virtual bool ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes);

  virtual CableStats Stats() const = 0;
};

}  // namespace tolmeo
