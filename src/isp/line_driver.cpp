#include "isp/line_driver.h"

#include <algorithm>
#include <chrono>

namespace tolmeo {

std::int64_t IspDelayNs(std::int32_t isp_speed) {
  // A hand-edited negative speed would otherwise spin for about 2^64 passes.
  return std::max<std::int64_t>(isp_speed, 0) * kIspSpeedUnitNs;
}

SckTiming SckTimingOf(std::int32_t isp_speed, double port_access_us) {
  SckTiming timing;
  timing.shortest_phase_us = static_cast<double>(IspDelayNs(isp_speed)) / 1000.0 + std::max(port_access_us, 0.0);
  if (timing.shortest_phase_us <= 0) return timing;  // only the port's own speed limits it
  timing.fastest_sck_khz = 1000.0 / (3 * timing.shortest_phase_us);
  timing.slowest_target_mhz = kTargetClocksPerPhase / timing.shortest_phase_us;
  return timing;
}

double PortAccessUs(Cable& cable, std::uint8_t value) {
  constexpr int kBatches = 8;
  constexpr int kWritesPerBatch = 64;
  using Steady = std::chrono::steady_clock;
  double fastest = -1;
  for (int batch = 0; batch < kBatches; ++batch) {
    const Steady::time_point start = Steady::now();
    for (int i = 0; i < kWritesPerBatch; ++i) cable.WriteData(value);
    const double us = std::chrono::duration<double, std::micro>(Steady::now() - start).count() / kWritesPerBatch;
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
  if (opened_) cable_.WriteData(value);
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
  if (!opened_) return 1;
  return ((~cable_.ReadStatus()) >> 7) & 1;
}

void LineDriver::IspDelay() {
  clock_.SpinNs(IspDelayNs(isp_speed_));
}

void LineDriver::PortIdle() {
  SetModeLine(1);
  SetLine(kResetLine, 1);
  SetLine(kSckLine, 0);
  SetLine(kMosiLine, 0);
}

}  // namespace tolmeo
