#include "isp/bit_bang_link.h"

#include <array>

namespace tolmeo {
namespace {

std::uint8_t ByteOf(const std::vector<std::uint8_t>& samples, std::size_t first) {
  std::uint8_t value = 0;
  for (std::size_t i = 0; i < 8; ++i) value = static_cast<std::uint8_t>(value << 1 | samples[first + i]);
  return value;
}

}  // namespace

void BitBangLink::QueueBits(std::uint8_t value, std::span<const BitStep> bit, bool sample) {
  for (int position = 7; position >= 0; --position) {
    for (BitStep step : bit) {
      driver_.ClockStep(step, value >> position);
      if (sample && step == BitStep::kSckHigh) driver_.QueueSample();
    }
  }
}

std::uint8_t BitBangLink::Exchange(std::uint8_t value, std::span<const BitStep> bit, bool sample) {
  if (sample) Flush();  // what is held goes first, and the answer comes back at once
  driver_.BeginBatch();
  QueueBits(value, bit, sample);
  const std::vector<std::uint8_t>& samples = driver_.FlushBatch();
  return sample ? ByteOf(samples, 0) : 0;
}

void BitBangLink::SendByte(std::uint8_t value) { Exchange(value, kMosiFirstBit, false); }
std::uint8_t BitBangLink::ReceiveByte() { return Exchange(0, kClockOnlyBit, true); }
std::uint8_t BitBangLink::TransferByte(std::uint8_t value) { return Exchange(value, kMosiFirstBit, true); }

void BitBangLink::HoldSends() {
  if (holding_) return;
  holding_ = true;
  driver_.BeginBatch();
}

void BitBangLink::Flush() {
  if (!holding_) return;
  holding_ = false;
  driver_.FlushBatch();
}

void BitBangLink::SleepMs(std::int32_t milliseconds) {
  Flush();
  driver_.SleepMs(milliseconds);
}

// Nothing comes back from an instruction sent, so MISO is not sampled and MOSI may change
// with the falling edge (the chip takes it on the rising one); a chip that did not hear it (a
// pulled cable) is found by the read-back that follows every write.
void BitBangLink::Send(const Instruction& instruction) {
  driver_.BeginBatch();
  for (std::uint8_t byte : instruction) QueueBits(byte, kFallingEdgeBit, false);
  driver_.ClockStep(BitStep::kSckLow, 0);
  driver_.FlushBatch();
}

LinkCapabilities BitBangLink::Capabilities() const {
  LinkCapabilities capabilities;
  capabilities.engine_clocks_sck = !driver_.cable().KeepsOwnPace();
  capabilities.queued_reads = !capabilities.engine_clocks_sck;
  return capabilities;
}

void BitBangLink::QueueQuery(const IspQuery& query) {
  QueueBits(query.b0, kMosiFirstBit, false);
  QueueBits(query.b1, kMosiFirstBit, false);
  QueueBits(query.b2, kMosiFirstBit, true);
  QueueBits(0, kClockOnlyBit, true);
}

IspReply BitBangLink::Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  IspReply reply;
  QueryAll(std::span<const IspQuery>(std::array{IspQuery{b0, b1, b2}}), std::span(&reply, 1));
  return reply;
}

void BitBangLink::QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies) {
  Flush();
  driver_.BeginBatch();
  for (const IspQuery& query : queries) QueueQuery(query);
  const std::vector<std::uint8_t>& samples = driver_.FlushBatch();
  for (std::size_t i = 0; i < queries.size() && i < replies.size(); ++i) {
    replies[i] = {ByteOf(samples, 16 * i), ByteOf(samples, 16 * i + 8)};
  }
}

void BitBangLink::ResetPulse() {
  driver_.SetLine(kResetLine, 1);
  driver_.SleepMs(2);
  driver_.SetLine(kResetLine, 0);
  driver_.SleepMs(40);
  driver_.SetLine(kResetLine, 1);
  driver_.SleepMs(2);
}

// The fourth byte goes out only once the chip echoed 0x53: a chip out of step is not sent
// more than it needs.
bool BitBangLink::EnterProgramming(std::int64_t sck_phase_ns) {
  Flush();
  driver_.cable().StartSession(sck_phase_ns);
  driver_.SetModeLine(0);
  ResetPulse();
  driver_.SetLine(kResetLine, 0);
  driver_.SetLine(kSckLine, 0);
  driver_.SleepMs(40);
  SendByte(0xAC);
  SendByte(0x53);
  if (TransferByte(0x00) != 0x53) return false;
  SendByte(0x00);
  driver_.SleepMs(2);
  return true;
}

void BitBangLink::ReleaseTarget() {
  Flush();
  driver_.SetModeLine(1);
  ResetPulse();
}

}  // namespace tolmeo
