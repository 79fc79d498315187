#include "port/ftdi_twin.h"

#include <ftdi.h>

#include <algorithm>
#include <utility>

#include "port/isp_lines.h"

namespace tolmeo {
namespace {

constexpr int kNotFound = -3;

}  // namespace

FtdiTwinChip::FtdiTwinChip(const ChipModel& model, std::string cp949_path, int product, std::string serial)
    : sim_(model, std::move(cp949_path)), product_(product), serial_(std::move(serial)) {}

int FtdiTwinChip::Open(int vendor, int product, const std::string& serial) {
  const bool matches = vendor == kFtdiVendor && product == product_ && (serial.empty() || serial == serial_);
  if (!matches || !sim_.Open()) {
    error_ = "device not found";
    return kNotFound;
  }
  opened_ = true;
  Restart();
  return 0;
}

int FtdiTwinChip::SetBaudrate(int rate) {
  if (!opened_ || rate <= 0) return -1;
  rate_ = rate;
  return 0;
}

int FtdiTwinChip::Purge() {
  if (!opened_) return -1;
  DropReceived();
  return 0;
}

bool FtdiTwinChip::Fails(const char* what) {
  ++transfers_;
  if (opened_ && !(fail_after_transfers && transfers_ > *fail_after_transfers)) return false;
  error_ = what;
  return true;
}

int FtdiTwinChip::WriteSize(int size) {
  ++writes_;
  return short_writes_after && writes_ > *short_writes_after ? size / 2 : size;
}

FtdiTwin::FtdiTwin(const ChipModel& model, std::string cp949_path, FtdiWiring wiring)
    : FtdiTwinChip(model, std::move(cp949_path), kFt232rProduct, kSerial), wiring_(std::move(wiring)) {}

void FtdiTwin::Restart() {
  synchronous_ = false;
  received_.clear();
}

int FtdiTwin::SetBitmode(std::uint8_t outputs, std::uint8_t mode) {
  if (!opened_) return -1;
  outputs_ = outputs;
  synchronous_ = mode == BITMODE_SYNCBB;
  return 0;
}

// The pins are sampled after the last byte held for a period, then this byte goes out.
void FtdiTwin::PutOut(std::uint8_t byte) {
  sim_.clock().SpinNs((1'000'000'000 + rate_ - 1) / rate_);
  const bool miso = MisoOf(sim_.ReadStatus());
  const std::uint8_t inputs = static_cast<std::uint8_t>(~outputs_ & ~(1u << wiring_.miso));
  received_.push_back(static_cast<std::uint8_t>((pins_ & outputs_) | inputs | (miso ? 1u << wiring_.miso : 0u)));
  pins_ = byte;
  auto line = [this](int bit, std::uint8_t mask) { return (pins_ & outputs_ & 1u << bit) ? mask : std::uint8_t{0}; };
  sim_.WriteData(static_cast<std::uint8_t>(line(wiring_.reset, kResetBit) | line(wiring_.sck, kSckBit) |
                                           line(wiring_.mosi, kMosiBit)));
}

int FtdiTwin::Write(const std::uint8_t* data, int size) {
  if (Fails("usb bulk write failed")) return kFtdiTransferFailed;
  size = WriteSize(size);
  if (static_cast<int>(received_.size()) + size > kFtdiTwinBufferBytes) {
    error_ = "usb bulk write failed: the chip's buffers are full";
    return kFtdiTransferFailed;
  }
  if (synchronous_) std::for_each(data, data + size, [this](std::uint8_t byte) { PutOut(byte); });
  return size;
}

int FtdiTwin::Read(std::uint8_t* data, int size) {
  if (Fails("usb bulk read failed")) return kFtdiTransferFailed;
  ++reads_;
  if (lose_reads_after && reads_ > *lose_reads_after) return 0;
  int count = std::min(size, static_cast<int>(received_.size()));
  if (read_limit > 0) count = std::min(count, read_limit);
  std::copy_n(received_.begin(), count, data);
  received_.erase(received_.begin(), received_.begin() + count);
  return count;
}

}  // namespace tolmeo
