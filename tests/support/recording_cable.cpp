#include "support/recording_cable.h"

#include "port/isp_lines.h"

namespace tolmeo {

Status RecordingCable::Open() {
  ++open_calls_;
  if (!open_failure_.empty()) return Failure{open_failure_};
  return Success();
}

void RecordingCable::WriteData(std::uint8_t value) { writes_.push_back(value); }

std::uint8_t RecordingCable::ReadStatus() {
  ++status_reads_;
  if (script_.empty()) return idle_status_;
  const std::uint8_t status = script_.front();
  script_.pop_front();
  return status;
}

void RecordingCable::ScriptMisoByte(std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) ScriptStatus(StatusWithMiso((value >> bit & 1) != 0, idle_status_));
}

}  // namespace tolmeo
