#include "isp/line_driver.h"

#include <algorithm>
#include <chrono>

namespace tolmeo {

std::int64_t IspDelayNs(std::int32_t isp_speed) {
  // A hand-edited negative speed would otherwise spin for about 2^64 passes.
  return std::max<std::int64_t>(isp_speed, 0) * kIspSpeedUnitNs;
}

std::int64_t PhaseWaitNs(std::int32_t isp_speed, std::int64_t port_access_ns) {
  return std::max<std::int64_t>(IspDelayNs(isp_speed) - std::max<std::int64_t>(port_access_ns, 0), 0);
}

SckTiming SckTimingOf(std::int32_t isp_speed, double port_access_us) {
  SckTiming timing;
  const double access_us = std::max(port_access_us, 0.0);
  const auto access_ns = static_cast<std::int64_t>(access_us * 1000.0);
  timing.shortest_phase_us = static_cast<double>(PhaseWaitNs(isp_speed, access_ns)) / 1000.0 + access_us;
  if (timing.shortest_phase_us <= 0) return timing;  // only the port's own speed limits it
  timing.fastest_sck_khz = 1000.0 / (kFallingEdgeBit.size() * timing.shortest_phase_us);
  timing.slowest_target_mhz = kTargetClocksPerPhase / timing.shortest_phase_us;
  return timing;
}

double PortAccessUs(Cable& cable) {
  constexpr int kBatches = 8;
  constexpr int kReadsPerBatch = 64;
  using Steady = std::chrono::steady_clock;
  double fastest = -1;
  for (int batch = 0; batch < kBatches; ++batch) {
    const Steady::time_point start = Steady::now();
    for (int i = 0; i < kReadsPerBatch; ++i) cable.ReadStatus();
    const double us = std::chrono::duration<double, std::micro>(Steady::now() - start).count() / kReadsPerBatch;
    if (fastest < 0 || us < fastest) fastest = us;
  }
  return fastest;
}

LineDriver::LineDriver(Cable& cable, Clock& clock, const std::int32_t& isp_speed)
    : cable_(cable), clock_(clock), isp_speed_(isp_speed) {}

Status LineDriver::OpenPort() {
  Status status = cable_.Open();
  opened_ = status.ok();
  if (opened_) shadow_ = 0;
  return status;
}

void LineDriver::WriteDataByte(std::uint8_t value) {
  shadow_ = value;
  queued_.Write(value);
  SendIfNotBatching();
}

void LineDriver::SetLine(int bit, int level) {
  std::uint8_t mask = static_cast<std::uint8_t>(1u << (bit & 7));
  std::uint8_t value = static_cast<std::uint8_t>(shadow_ & ~mask);
  if (level & 1) value |= mask;
  WriteDataByte(value);
}

void LineDriver::SetModeLine(int level) {
  SetLine(kModeLine, level);
  clock_.SleepMs(1);
}

int LineDriver::ReadMiso() {
  if (batch_depth_ == 0) samples_.clear();
  QueueSample();
  Send();
  return samples_.back();
}

void LineDriver::ClockStep(BitStep step, int mosi_level) {
  switch (step) {
    case BitStep::kMosi:
      SetLine(kMosiLine, mosi_level);
      break;
    case BitStep::kSckHigh:
      SetLine(kSckLine, 1);
      break;
    case BitStep::kSckLow:
      SetLine(kSckLine, 0);
      break;
    case BitStep::kMosiAndSckLow:
      WriteDataByte(static_cast<std::uint8_t>((shadow_ & ~(kSckBit | kMosiBit)) | ((mosi_level & 1) ? kMosiBit : 0)));
      break;
  }
  IspDelay();
}

void LineDriver::IspDelay() {
  queued_.Wait(PhaseWaitNs(isp_speed_, port_access_ns_));
  SendIfNotBatching();
}

void LineDriver::SleepMs(std::int32_t milliseconds) {
  Send();
  clock_.SleepMs(milliseconds);
}

void LineDriver::QueueSample() { queued_.Sample(); }

void LineDriver::BeginBatch() {
  if (batch_depth_++ == 0) samples_.clear();
}

const std::vector<std::uint8_t>& LineDriver::FlushBatch() {
  if (batch_depth_ > 0) --batch_depth_;
  if (batch_depth_ == 0) Send();
  return samples_;
}

void LineDriver::SendIfNotBatching() {
  if (batch_depth_ == 0) Send();
}

// Samples add to those of the batch so far: a wait inside a batch sends early but keeps the
// order.
void LineDriver::Send() {
  if (queued_.empty()) return;
  if (opened_) {
    cable_.Exchange(queued_, clock_, samples_);
  } else {
    // The cable is left alone, but the engine still waits as it would on the wire.
    for (const LineBatch::Step& step : queued_.steps()) {
      if (step.kind == LineBatch::Kind::kWait) clock_.SpinNs(step.wait_ns);
      if (step.kind == LineBatch::Kind::kSample) samples_.push_back(1);
    }
  }
  queued_.Clear();
}

void LineDriver::PortIdle() {
  SetModeLine(1);
  SetLine(kResetLine, 1);
  SetLine(kSckLine, 0);
  SetLine(kMosiLine, 0);
}

}  // namespace tolmeo
