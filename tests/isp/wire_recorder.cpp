#include "wire_recorder.h"

namespace tolmeo::testing {

Status WireRecorder::Open() {
  if (!open_failure.empty()) return Failure{open_failure};
  return Success();
}

void WireRecorder::WriteData(std::uint8_t value) { writes.push_back(value); }

std::uint8_t WireRecorder::ReadStatus() {
  ++status_reads;
  int miso = 0;
  if (!miso_bits.empty()) {
    miso = miso_bits.front();
    miso_bits.pop_front();
  }
  return miso ? 0x00 : 0x80;  // the cable inverts MISO into status bit 7
}

void WireRecorder::AnswerBytes(const std::vector<std::uint8_t>& bytes) {
  for (std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) miso_bits.push_back((byte >> bit) & 1);
  }
}

std::vector<std::uint8_t> WireRecorder::SentBytes() const {
  std::vector<std::uint8_t> bytes;
  std::uint8_t previous = 0;
  int bits = 0;
  std::uint8_t current = 0;
  for (std::uint8_t value : writes) {
    bool rising_sck = (value & 0x02) && !(previous & 0x02);
    previous = value;
    if (!rising_sck) continue;
    current = static_cast<std::uint8_t>((current << 1) | ((value >> 2) & 1));
    if (++bits == 8) {
      bytes.push_back(current);
      bits = 0;
      current = 0;
    }
  }
  return bytes;
}

}  // namespace tolmeo::testing
