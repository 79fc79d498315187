#pragma once
// The serial-programming instructions clocked bit by bit through a bit-bang cable: SPI bytes
// most significant bit first, MOSI set before the rising SCK edge, MISO sampled while SCK is
// high. Each instruction is one batch of the line driver; loads held with HoldSends wait
// until the next answer or wait, so a page of them goes out together. An instruction that
// needs no answer goes out with two port accesses a bit, MOSI changing with the falling edge.
#include <cstdint>
#include <span>

#include "isp/line_driver.h"
#include "port/isp_link.h"

namespace tolmeo {

class BitBangLink : public IspLink {
 public:
  explicit BitBangLink(LineDriver& driver) : driver_(driver) {}

  Status Open() override { return driver_.OpenPort(); }
  bool Opened() const override { return driver_.PortOpened(); }
  // Pin-level: the echo is the chip's own. The ISP speed is the engine's busy-wait, unless the
  // cable keeps its own pace; then reads are queued too.
  LinkCapabilities Capabilities() const override;
  // A cable at its own pace is told sck_phase_ns; the engine's clocking needs none.
  bool EnterProgramming(std::int64_t sck_phase_ns) override;
  void ReleaseTarget() override;
  void Send(const Instruction& instruction) override;
  IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) override;
  // All of them in one batch.
  void QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies) override;
  bool Lost() const override { return driver_.cable().Lost(); }
  void SleepMs(std::int32_t milliseconds) override;
  void HoldSends() override;
  void Flush() override;
  CableStats Stats() const override { return driver_.cable().Stats(); }

  // One byte each way. Send sets MOSI and clocks, Receive only clocks (MOSI keeps the last
  // bit sent) and samples, Transfer does both.
  void SendByte(std::uint8_t value);
  std::uint8_t ReceiveByte();
  std::uint8_t TransferByte(std::uint8_t value);

  // The SCK phases of one query as QueueQuery clocks it: three bytes with MOSI set first, the
  // answer's byte only clocked.
  static constexpr int kPhasesPerQuery = static_cast<int>(8 * (3 * kMosiFirstBit.size() + kClockOnlyBit.size()));

 private:
  void QueueBits(std::uint8_t value, std::span<const BitStep> bit, bool sample);
  void QueueQuery(const IspQuery& query);
  std::uint8_t Exchange(std::uint8_t value, std::span<const BitStep> bit, bool sample);
  void ResetPulse();

  LineDriver& driver_;  // its cable outlives this link
  bool holding_ = false;
};

}  // namespace tolmeo
