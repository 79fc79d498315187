#include "port/ftdi_mpsse_twin.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "port/isp_lines.h"
#include "port/mpsse_protocol.h"

namespace tolmeo {
using namespace mpsse;

namespace {


// What a whole command of this length puts into the receive buffer.
std::size_t AnswerBytes(std::uint8_t opcode, std::size_t length) {
  switch (opcode) {
    case kBytesOutIn: return length - kClockHeader;
    case kGetLowPins: return 1;
    case kBytesOut:
    case kSetLowPins:
    case kClockDivisor:
    case kSendImmediate:
    case kDivideBy5Off:
    case kDivideBy5On:
    case kThreePhaseOn:
    case kThreePhaseOff:
    case kAdaptiveOn:
    case kAdaptiveOff: return 0;
    default: return 2;  // not known: 0xFA and the opcode
  }
}

}  // namespace

FtdiMpsseTwin::FtdiMpsseTwin(const ChipModel& model, std::string cp949_path, int reset_pin)
    : FtdiTwinChip(model, std::move(cp949_path), kFt2232hProduct, kSerial), reset_pin_(reset_pin) {}

void FtdiMpsseTwin::Restart() {
  mpsse_ = false;
  DropReceived();
}

// Entering MPSSE starts its engine afresh, with the divide-by-5 on.
int FtdiMpsseTwin::SetBitmode(std::uint8_t outputs, std::uint8_t mode) {
  if (!opened_) return -1;
  mpsse_ = mode == kMpsseMode;
  outputs_ = outputs;
  divide_by_5_ = true;
  pending_.clear();
  return 0;
}

// The chip drops what waits both ways.
void FtdiMpsseTwin::DropReceived() {
  pending_.clear();
  received_.clear();
}

double FtdiMpsseTwin::half_period_ns() const {
  return HalfPeriodNs(divisor_, divide_by_5_ ? kDividedClockHz : kMasterClockHz);
}

// Out of MPSSE the bytes go to the UART, which nothing here listens to.
int FtdiMpsseTwin::Write(const std::uint8_t* data, int size) {
  if (Fails("usb bulk write failed")) return kFtdiTransferFailed;
  size = WriteSize(size);
  if (!mpsse_) return size;
  pending_.insert(pending_.end(), data, data + size);
  if (!RunCommands()) {
    error_ = "usb bulk write failed: the chip's buffers are full";
    return kFtdiTransferFailed;
  }
  return size;
}

int FtdiMpsseTwin::Read(std::uint8_t* data, int size) {
  if (Fails("usb bulk read failed")) return kFtdiTransferFailed;
  ++reads_;
  int count = std::min(size, static_cast<int>(received_.size()));
  if (short_reads_after && reads_ > *short_reads_after) count = std::min(count, size / 2);
  std::copy_n(received_.begin(), count, data);
  received_.erase(received_.begin(), received_.begin() + count);
  return count;
}

std::size_t FtdiMpsseTwin::CommandLength() const {
  if (pending_.empty()) return 0;
  std::size_t length = 1;
  switch (pending_.front()) {
    case kBytesOutIn:
    case kBytesOut:
      if (pending_.size() < kClockHeader) return 0;
      length = kClockHeader + 1 + (pending_[1] | std::size_t{pending_[2]} << 8);
      break;
    case kSetLowPins:
    case kClockDivisor: length = 3; break;
    default: break;
  }
  return pending_.size() < length ? 0 : length;
}

bool FtdiMpsseTwin::RunCommands() {
  for (std::size_t length; (length = CommandLength()) > 0;) {
    const std::uint8_t opcode = pending_.front();
    const std::size_t answers = AnswerBytes(opcode, length);
    if (received_.size() + answers > kMpsseTwinReceiveBytes) return false;
    Execute(length);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
  }
  return true;
}

void FtdiMpsseTwin::Execute(std::size_t length) {
  const std::uint8_t opcode = pending_.front();
  switch (opcode) {
    case kBytesOutIn:
    case kBytesOut: ClockBytes(kClockHeader, length - kClockHeader, opcode == kBytesOutIn); break;
    case kSetLowPins:
      levels_ = pending_[1];
      outputs_ = pending_[2];
      Drive(Level(kSckPin), Level(kMosiPin));
      break;
    case kGetLowPins: {
      const std::uint8_t inputs = static_cast<std::uint8_t>(~outputs_ & ~(1u << kMisoPin));
      const bool miso = MisoOf(sim_.ReadStatus());
      received_.push_back(static_cast<std::uint8_t>((levels_ & outputs_) | inputs | (miso ? 1u << kMisoPin : 0u)));
      break;
    }
    case kClockDivisor: divisor_ = pending_[1] | pending_[2] << 8; break;
    case kDivideBy5Off:
    case kDivideBy5On: divide_by_5_ = opcode == kDivideBy5On; break;
    case kSendImmediate:
    case kThreePhaseOn:
    case kThreePhaseOff:
    case kAdaptiveOn:
    case kAdaptiveOff: break;
    default:
      unknown_.push_back(opcode);
      received_.insert(received_.end(), {kBadCommand, opcode});
      break;
  }
}

void FtdiMpsseTwin::ClockBytes(std::size_t first, std::size_t count, bool read) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t in = ClockByte(pending_[first + i]);
    if (read) received_.push_back(in);
  }
}

// Each bit: MOSI takes its level with SCK low for a half period, then SCK high for one, MISO
// sampled at the rising edge. SCK ends low, MOSI where the last bit left it.
std::uint8_t FtdiMpsseTwin::ClockByte(std::uint8_t out) {
  const auto half_ns = static_cast<std::int64_t>(std::ceil(half_period_ns()));
  std::uint8_t in = 0;
  for (int bit = 7; bit >= 0; --bit) {
    const bool mosi = (out >> bit & 1) != 0;
    Drive(false, mosi);
    sim_.clock().SpinNs(half_ns);
    Drive(true, mosi);
    in = static_cast<std::uint8_t>(in << 1 | (MisoOf(sim_.ReadStatus()) ? 1 : 0));
    sim_.clock().SpinNs(half_ns);
  }
  Drive(false, Level(kMosiPin));
  return in;
}

// A pin the engine does not drive: RESET reads high from the chip's pull-up, SCK and MOSI low.
bool FtdiMpsseTwin::Level(int pin) const {
  const bool output = (outputs_ >> pin & 1) != 0;
  if (!output) return pin == reset_pin_;
  return (levels_ >> pin & 1) != 0;
}

void FtdiMpsseTwin::Drive(bool sck, bool mosi) {
  auto set = [this](int pin, bool high) {
    levels_ = static_cast<std::uint8_t>(high ? levels_ | 1u << pin : levels_ & ~(1u << pin));
  };
  set(kSckPin, sck);
  set(kMosiPin, mosi);
  sim_.WriteData(static_cast<std::uint8_t>((Level(reset_pin_) ? kResetBit : 0) | (Level(kSckPin) ? kSckBit : 0) |
                                           (Level(kMosiPin) ? kMosiBit : 0)));
}

}  // namespace tolmeo
