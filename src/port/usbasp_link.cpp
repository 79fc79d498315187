#include "port/usbasp_link.h"

#include <algorithm>
#include <array>

#include "base/cp949.h"
#include "port/usbasp_protocol.h"

namespace tolmeo {
using namespace usbasp;

namespace {

// A 200-byte EEPROM block keeps the firmware about 2 s (it waits 9.6 ms per byte).
constexpr int kTransferTimeoutMs = 5000;
// Every control transfer starts with its 8-byte setup packet.
constexpr std::int64_t kSetupBytes = 8;
// The chip needs 20 ms after RESET went low before it hears the programming enable.
constexpr std::int32_t kResetSettleMs = 20;

bool IsUsbasp(const UsbDeviceEntry& entry) {
  return entry.denied || (entry.manufacturer == kManufacturer && entry.product == kProduct);
}

// The fastest option slow enough; no AVR runs slower than the slowest option suits (4 kHz).
std::uint8_t SckOptionFor(std::int64_t sck_phase_ns) {
  for (std::uint8_t option = kSckFastest; option > kSckSlowest; --option) {
    if (SckHalfPeriodNs(option) >= static_cast<double>(sck_phase_ns)) return option;
  }
  return kSckSlowest;
}

std::uint8_t Byte(std::uint32_t value, int which) { return static_cast<std::uint8_t>(value >> (8 * which)); }

const std::string& UdevAdvice() {
  static const std::string& advice =
      Ktext(u8"\r\n  - udev 규칙으로 USBasp (16c0:05dc) 를 plugdev 그룹에 열어 주세요 (help/help.html)"
            u8"\r\n  - 사용자를 plugdev 그룹에 넣고 다시 로그인하세요: sudo adduser 사용자 plugdev");
  return advice;
}

Failure NotFound() {
  return Failure{Ktext(u8"USBasp 를 찾지 못했습니다 (USB id 16c0:05dc).\r\n  - USBasp 가 USB 에 꽂혀 있는지 확인하세요") +
                 UdevAdvice() + Ktext(u8"\r\n  - 하드웨어 없이 해 보려면 가상 USBasp 를 쓰세요: -c usbasp:sim")};
}

Failure Denied() { return Failure{Ktext(u8"USBasp 를 열 권한이 없습니다.") + UdevAdvice()}; }

Failure NoSuchSerial(const std::string& serial, const std::vector<UsbDeviceEntry>& usbasps) {
  std::string attached;
  for (const UsbDeviceEntry& entry : usbasps) {
    if (!attached.empty()) attached += ", ";
    attached += entry.serial.empty() ? Ktext(u8"(일련번호 없음)") : "'" + entry.serial + "'";
  }
  return Failure{Ktext(u8"일련번호가 '") + serial + Ktext(u8"' 인 USBasp 가 없습니다. 꽂혀 있는 USBasp: ") + attached};
}

std::string LostText() {
  return Ktext(u8"USBasp 가 USB 요청에 답하지 않습니다 (빠졌거나 멈췄습니다). 다시 꽂아 보세요.");
}

std::string SlowSckMissing() {
  return Ktext(u8"이 USBasp 의 펌웨어는 SCK 속도를 바꾸지 못해 375 kHz 로만 보내는데, ISP 속도는 더 느린 SCK 를 "
               u8"바랍니다. USBasp 펌웨어를 새로 올리거나, 칩의 클럭이 3 MHz 이상이면 ISP 속도를 0x05 이하로 "
               u8"낮추세요.");
}

}  // namespace

UsbaspLink::UsbaspLink(UsbBus& bus, Clock& clock, std::string serial)
    : bus_(bus), clock_(&clock), serial_(std::move(serial)) {}

Status UsbaspLink::Open() {
  if (device_) return Success();
  Result<std::vector<UsbDeviceEntry>> devices = bus_.Devices(kVendorId, kProductId);
  if (!devices) return Failure{devices.reason()};
  std::vector<UsbDeviceEntry> usbasps;
  std::copy_if(devices->begin(), devices->end(), std::back_inserter(usbasps), IsUsbasp);
  if (usbasps.empty()) return NotFound();
  auto chosen = std::find_if(usbasps.begin(), usbasps.end(), [this](const UsbDeviceEntry& entry) {
    return !entry.denied && (serial_.empty() || entry.serial == serial_);
  });
  const bool any_denied = std::any_of(usbasps.begin(), usbasps.end(), [](const UsbDeviceEntry& e) { return e.denied; });
  if (chosen == usbasps.end()) return any_denied ? Denied() : NoSuchSerial(serial_, usbasps);
  device_ = bus_.Open(*chosen);
  if (!device_) return Failure{LostText()};
  lost_ = false;
  return Success();
}

LinkCapabilities UsbaspLink::Capabilities() const {
  return {true, true, true, false, kSckHz[sck_option_] / 1000};
}

int UsbaspLink::Request(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer) {
  const int moved = device_->ControlIn(request, value, index, answer, kTransferTimeoutMs);
  Count(moved);
  return moved;
}

void UsbaspLink::Count(int moved) {
  ++stats_.transfers;
  stats_.bytes += kSetupBytes + std::max(moved, 0);
}

bool UsbaspLink::In(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> answer) {
  if (!device_ || lost_) return false;
  lost_ = Request(request, value, index, answer) != static_cast<int>(answer.size());
  return !lost_;
}

bool UsbaspLink::Out(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                     std::span<const std::uint8_t> data) {
  if (!device_ || lost_) return false;
  const int moved = device_->ControlOut(request, value, index, data, kTransferTimeoutMs);
  Count(moved);
  lost_ = moved != static_cast<int>(data.size());
  return !lost_;
}

// A firmware without the request answers nothing (or fails it) and keeps its own 375 kHz,
// which serves only a phase that short.
bool UsbaspLink::SetSck(std::int64_t sck_phase_ns) {
  const std::uint8_t option = SckOptionFor(sck_phase_ns);
  std::uint8_t reply = 0xFF;
  if (Request(kSetIspSck, option, 0, {&reply, 1}) == 1 && reply == 0) {
    sck_option_ = option;
    old_firmware_ = false;
    return true;
  }
  sck_option_ = kSckDefault;
  old_firmware_ = true;
  if (SckHalfPeriodNs(kSckDefault) >= static_cast<double>(sck_phase_ns)) return true;
  entry_problem_ = SlowSckMissing();
  return false;
}

// A USBasp that stopped answering may have been plugged in again: it is looked for anew.
bool UsbaspLink::EnterProgramming(std::int64_t sck_phase_ns) {
  entry_problem_.clear();
  if (lost_) {
    device_.reset();
    if (Status opened = Open(); !opened) {
      entry_problem_ = opened.reason();
      return false;
    }
  }
  if (!device_) return false;
  long_addresses_ = false;
  if (!SetSck(sck_phase_ns)) return false;
  std::uint8_t answer = 0xFF;
  if (In(kConnect, 0, 0, {})) {
    SleepMs(kResetSettleMs);
    In(kEnableProg, 0, 0, {&answer, 1});
  }
  if (lost_) entry_problem_ = LostText();
  return !lost_ && answer == 0;
}

void UsbaspLink::ReleaseTarget() { In(kDisconnect, 0, 0, {}); }

bool UsbaspLink::Transmit(const Instruction& instruction, Instruction& answer) {
  return In(kTransmit, Field(instruction[0], instruction[1]), Field(instruction[2], instruction[3]), answer);
}

void UsbaspLink::Send(const Instruction& instruction) {
  Instruction ignored{};
  Transmit(instruction, ignored);
}

// The chip clocks the second byte back during the third, and the answer during the fourth.
IspReply UsbaspLink::Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  Instruction answer = {0xFF, 0xFF, 0xFF, 0xFF};
  if (!Transmit({b0, b1, b2, 0x00}, answer)) return {0xFF, 0xFF};
  return {answer[2], answer[3]};
}

// A firmware from before the SCK request has no long addresses either: it would take the low
// 16 bits and write, and read back, the wrong place. Such a block counts as failed.
bool UsbaspLink::Address(std::uint32_t byte_address, std::uint16_t& value) {
  value = static_cast<std::uint16_t>(byte_address);
  if (byte_address > 0xFFFF && old_firmware_) lost_ = true;
  if (lost_) return false;
  if (byte_address > 0xFFFF) long_addresses_ = true;
  if (!long_addresses_) return true;
  return In(kSetLongAddress, Field(Byte(byte_address, 0), Byte(byte_address, 1)),
            Field(Byte(byte_address, 2), Byte(byte_address, 3)), {});
}

bool UsbaspLink::ReadBlocks(std::uint8_t request, std::uint32_t byte_address, std::span<std::uint8_t> bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += kBlockSize) {
    std::uint16_t value = 0;
    const std::span<std::uint8_t> block = bytes.subspan(at, std::min(kBlockSize, bytes.size() - at));
    if (!Address(byte_address + static_cast<std::uint32_t>(at), value) || !In(request, value, 0, block)) return false;
  }
  return !lost_;
}

// A Flash page goes in one call, so its first block starts the page and its last one writes it.
bool UsbaspLink::WriteBlocks(std::uint8_t request, std::uint32_t byte_address, std::span<const std::uint8_t> bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += kBlockSize) {
    const std::span<const std::uint8_t> block = bytes.subspan(at, std::min(kBlockSize, bytes.size() - at));
    const std::uint8_t flags = static_cast<std::uint8_t>((at == 0 ? kFirstBlock : 0) |
                                                         (at + block.size() == bytes.size() ? kLastBlock : 0));
    const std::uint16_t index = request == kWriteFlash ? WriteFlashIndex(bytes.size(), flags) : 0;
    std::uint16_t value = 0;
    if (!Address(byte_address + static_cast<std::uint32_t>(at), value) || !Out(request, value, index, block)) {
      return false;
    }
  }
  return !lost_;
}

// Flash bytes go low byte of each word first, at byte addresses.
bool UsbaspLink::WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t word : words) {
    bytes.push_back(Byte(word, 0));
    bytes.push_back(Byte(word, 1));
  }
  return WriteBlocks(kWriteFlash, word_address * 2, bytes);
}

bool UsbaspLink::ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes(words.size() * 2, 0xFF);
  if (!ReadBlocks(kReadFlash, word_address * 2, bytes)) return false;
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = Field(bytes[2 * i], bytes[2 * i + 1]);
  return true;
}

bool UsbaspLink::WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  return WriteBlocks(kWriteEeprom, address, bytes);
}

bool UsbaspLink::ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes) {
  return ReadBlocks(kReadEeprom, address, bytes);
}

}  // namespace tolmeo
