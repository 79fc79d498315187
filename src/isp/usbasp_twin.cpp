#include "isp/usbasp_twin.h"

#include <algorithm>
#include <cmath>

#include "port/usbasp_protocol.h"

namespace tolmeo {
using namespace usbasp;

namespace {

// The firmware's own waits: a reset edge, the page write it cannot poll, an EEPROM byte.
constexpr std::int64_t kResetEdgeUs = 320;
constexpr std::int64_t kPageWriteUs = 4800;
constexpr std::int64_t kEepromByteUs = 9600;
// A programming enable the chip did not echo is tried again after a reset pulse, this often.
constexpr int kEnableTries = 32;
// A control transfer on a low-speed bus takes at least a frame.
constexpr std::int64_t kTransferUs = 1000;
// What a libusb transfer that timed out returns.
constexpr int kTransferFailed = -7;

// The busy-wait units that hold each SCK phase at least as long as the option's.
std::int32_t SpeedFor(std::uint8_t option) {
  return static_cast<std::int32_t>(std::ceil(SckHalfPeriodNs(option) / static_cast<double>(kIspSpeedUnitNs)));
}

std::uint8_t Byte(std::uint32_t value, int which) { return static_cast<std::uint8_t>(value >> (8 * which)); }

class TwinDevice : public UsbDevice {
 public:
  explicit TwinDevice(UsbaspTwin& twin) : twin_(twin) {}
  int ControlIn(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> data,
                int) override {
    return twin_.In(request, value, index, data);
  }
  int ControlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<const std::uint8_t> data,
                 int) override {
    return twin_.Out(request, value, index, data);
  }

 private:
  UsbaspTwin& twin_;
};

}  // namespace

UsbaspTwin::UsbaspTwin(const ChipModel& model, std::string cp949_path)
    : cable_(model, std::move(cp949_path)), speed_(SpeedFor(kSckDefault)) {
  link_.Open();
}

Result<std::vector<UsbDeviceEntry>> UsbaspTwin::Devices(std::uint16_t vendor_id, std::uint16_t product_id) {
  if (!cable_.load_status().ok()) return Failure{cable_.load_status().reason()};
  if (vendor_id != kVendorId || product_id != kProductId) return std::vector<UsbDeviceEntry>{};
  UsbDeviceEntry entry;
  entry.vendor_id = kVendorId;
  entry.product_id = kProductId;
  entry.manufacturer = kManufacturer;
  entry.product = kProduct;
  entry.serial = "sim";
  return std::vector<UsbDeviceEntry>{entry};
}

std::unique_ptr<UsbDevice> UsbaspTwin::Open(const UsbDeviceEntry&) { return std::make_unique<TwinDevice>(*this); }

bool UsbaspTwin::Reached(std::uint8_t request) {
  const bool fails = fail_from_transfer && static_cast<std::int64_t>(requests_.size()) >= *fail_from_transfer;
  requests_.push_back(request);
  WaitUs(kTransferUs);
  return !fails;
}

void UsbaspTwin::WaitUs(std::int64_t microseconds) { cable_.clock().SpinNs(microseconds * 1000); }

// Requests the firmware does not know answer nothing, as its USB driver does.
int UsbaspTwin::In(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer) {
  if (!Reached(request)) return kTransferFailed;
  std::uint8_t reply[4] = {};
  std::size_t length = 0;
  switch (request) {
    case kConnect: Connect(); break;
    case kDisconnect: driver_.SetLine(kResetLine, 1); break;
    case kEnableProg:
      reply[0] = EnableProgramming();
      length = 1;
      break;
    case kTransmit: {
      const Instruction out = Transmit({Byte(value, 0), Byte(value, 1), Byte(index, 0), Byte(index, 1)});
      std::copy(out.begin(), out.end(), reply);
      length = 4;
      break;
    }
    case kSetIspSck:
      if (old_firmware) break;
      sck_chosen_ = std::min<std::uint8_t>(Byte(value, 0), kSckFastest);
      length = 1;
      break;
    case kSetLongAddress:
      if (old_firmware) break;
      address_ = std::uint32_t{index} << 16 | value;
      long_address_ = true;
      break;
    case kReadFlash:
    case kReadEeprom:
      TakeAddress(value);
      for (std::uint8_t& byte : answer) {
        byte = request == kReadFlash ? ReadFlashByte(address_) : ReadEepromByte(address_);
        ++address_;
      }
      return static_cast<int>(answer.size());
    default: break;
  }
  length = std::min(length, answer.size());
  std::copy(reply, reply + length, answer.begin());
  return static_cast<int>(length);
}

int UsbaspTwin::Out(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                    std::span<const std::uint8_t> data) {
  if (!Reached(request)) return kTransferFailed;
  TakeAddress(value);
  if (request == kWriteFlash) return WriteFlash(index, data);
  if (request == kWriteEeprom) return WriteEeprom(data);
  return 0;
}

void UsbaspTwin::TakeAddress(std::uint16_t value) {
  if (!long_address_) address_ = value;
}

// The SCK option takes effect here; the reset goes high once and low again.
void UsbaspTwin::Connect() {
  sck_in_force_ = old_firmware ? kSckDefault : sck_chosen_;
  speed_ = SpeedFor(sck_in_force_);
  long_address_ = false;
  driver_.SetLine(kResetLine, 0);
  driver_.SetLine(kSckLine, 0);
  WaitUs(kResetEdgeUs);
  driver_.SetLine(kResetLine, 1);
  WaitUs(kResetEdgeUs);
  driver_.SetLine(kResetLine, 0);
}

std::uint8_t UsbaspTwin::EnableProgramming() {
  for (int attempt = 0; attempt < kEnableTries; ++attempt) {
    if (Transmit({0xAC, 0x53, 0x00, 0x00})[2] == 0x53) return 0;
    driver_.SetLine(kResetLine, 1);
    WaitUs(kResetEdgeUs);
    driver_.SetLine(kResetLine, 0);
    WaitUs(kResetEdgeUs);
  }
  return 1;
}

Instruction UsbaspTwin::Transmit(const Instruction& instruction) {
  Instruction answer{};
  for (std::size_t i = 0; i < answer.size(); ++i) answer[i] = link_.TransferByte(instruction[i]);
  return answer;
}

// Flash goes by byte addresses: the word address in the instruction, the byte in bit 3 of its
// first byte.
std::uint8_t UsbaspTwin::ReadFlashByte(std::uint32_t byte_address) {
  const std::uint32_t word = byte_address >> 1;
  return Transmit({static_cast<std::uint8_t>(0x20 | (byte_address & 1) << 3), Byte(word, 1), Byte(word, 0), 0})[3];
}

std::uint8_t UsbaspTwin::ReadEepromByte(std::uint32_t byte_address) {
  return Transmit({0xA0, Byte(byte_address, 1), Byte(byte_address, 0), 0})[3];
}

// The page size and flags ride in the index; the page is written when its last byte is loaded,
// or at the last block when the page was cut short.
int UsbaspTwin::WriteFlash(std::uint16_t index, std::span<const std::uint8_t> data) {
  const std::uint8_t flags = Byte(index, 1) & 0x0F;
  page_size_ = (index & 0xFFu) | (index >> 12 & 0x0Fu) << 8;
  if (page_size_ == 0) return kTransferFailed;  // chips without pages are not twinned
  if (flags & kFirstBlock) page_counter_ = page_size_;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint32_t word = address_ >> 1;
    Transmit({static_cast<std::uint8_t>(0x40 | (address_ & 1) << 3), Byte(word, 1), Byte(word, 0), data[i]});
    if (--page_counter_ == 0) {
      FlushPage(address_, data[i]);
      page_counter_ = page_size_;
    }
    const bool last = i + 1 == data.size();
    if (last && (flags & kLastBlock) && page_counter_ != page_size_) FlushPage(address_, data[i]);
    ++address_;
  }
  return static_cast<int>(data.size());
}

// A last byte of 0xFF cannot be told from a busy chip: the firmware then waits its fixed time.
void UsbaspTwin::FlushPage(std::uint32_t byte_address, std::uint8_t last_value) {
  const std::uint32_t word = byte_address >> 1;
  Transmit({0x4C, Byte(word, 1), Byte(word, 0), 0x00});
  if (last_value == 0xFF) return WaitUs(kPageWriteUs);
  const std::int64_t give_up_ns = cable_.clock().NowNs() + kPageWriteUs * 1000;
  while (cable_.clock().NowNs() < give_up_ns && ReadFlashByte(byte_address) == 0xFF) {
  }
}

int UsbaspTwin::WriteEeprom(std::span<const std::uint8_t> data) {
  for (std::uint8_t byte : data) {
    Transmit({0xC0, Byte(address_, 1), Byte(address_, 0), byte});
    WaitUs(kEepromByteUs);
    ++address_;
  }
  return static_cast<int>(data.size());
}

}  // namespace tolmeo
