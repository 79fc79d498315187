#include "port/recording_cable.h"

namespace tolmeo {
namespace {

constexpr std::uint8_t kBusyBit = 0x80;

}  // namespace

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
  // MISO is the complement of status bit 7.
  for (int bit = 7; bit >= 0; --bit) {
    const bool miso = (value >> bit & 1) != 0;
    ScriptStatus(miso ? idle_status_ & ~kBusyBit : idle_status_ | kBusyBit);
  }
}

}  // namespace tolmeo
