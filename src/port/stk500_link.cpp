#include "port/stk500_link.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "base/cp949.h"
#include "port/stk500_protocol.h"

namespace tolmeo {
using namespace stk500;

namespace {
constexpr int kSyncTries = 8;
// The sketch answers within milliseconds; a page write at 19200 baud takes about 70 ms.
constexpr int kAnswerTimeoutMs = 500;
// The bootloader runs this long after the reset pulse before the sketch listens.
constexpr int kBootDelayMs = 300;

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}


}  // namespace

Stk500Link::~Stk500Link() {
  if (fd_ >= 0) close(fd_);
}

Status Stk500Link::Open() {
  if (fd_ >= 0) return Success();
  const speed_t speed = SpeedOf(baud_);
  if (speed == B0) return Failure{Ktext(u8"시리얼 속도는 9600, 19200, 38400, 57600, 115200 중 하나여야 합니다.")};
  fd_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return Failure{Ktext(u8"시리얼 포트 '") + path_ + Ktext(u8"' 를 열 수 없습니다 (dialout 그룹인지 확인하세요).")};
  termios mode{};
  if (tcgetattr(fd_, &mode) != 0) {
    close(fd_);
    fd_ = -1;
    return Failure{Ktext(u8"'") + path_ + Ktext(u8"' 는 시리얼 포트가 아닙니다.")};
  }
  cfmakeraw(&mode);
  mode.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&mode, speed);
  cfsetospeed(&mode, speed);
  tcsetattr(fd_, TCSANOW, &mode);
  PulseReset();
  if (!Sync()) {
    close(fd_);
    fd_ = -1;
    return Failure{Ktext(u8"'") + path_ + Ktext(u8"' 의 Arduino 가 STK500 동기에 답하지 않습니다 (ArduinoISP 스케치와 속도를 확인하세요).")};
  }
  return Success();
}

// The board resets on DTR/RTS going low; a port without modem lines (a pseudo-terminal)
// refuses the ioctl, and the sketch is then already listening.
void Stk500Link::PulseReset() {
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd_, TIOCMBIC, &lines) != 0) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ioctl(fd_, TIOCMBIS, &lines);
  std::this_thread::sleep_for(std::chrono::milliseconds(kBootDelayMs));
}

bool Stk500Link::Sync() {
  for (int attempt = 0; attempt < kSyncTries; ++attempt) {
    tcflush(fd_, TCIFLUSH);
    lost_ = false;
    if (Command({kGetSync}, {})) return true;
  }
  return false;
}

bool Stk500Link::ReadExactly(std::span<std::uint8_t> bytes) {
  std::size_t got = 0;
  while (got < bytes.size()) {
    pollfd wait{fd_, POLLIN, 0};
    if (poll(&wait, 1, kAnswerTimeoutMs) <= 0) return false;
    const ssize_t n = read(fd_, bytes.data() + got, bytes.size() - got);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
    ++stats_.transfers;
    stats_.bytes += n;
  }
  return true;
}

bool Stk500Link::Command(std::vector<std::uint8_t> command, std::span<std::uint8_t> answer) {
  if (fd_ < 0 || lost_) return false;
  command.push_back(kCrcEop);
  ++stats_.transfers;
  stats_.bytes += static_cast<std::int64_t>(command.size());
  std::uint8_t frame = 0;
  const bool ok = write(fd_, command.data(), command.size()) == static_cast<ssize_t>(command.size()) &&
                  ReadExactly({&frame, 1}) && frame == kInSync && ReadExactly(answer) && ReadExactly({&frame, 1}) &&
                  frame == kOk;
  lost_ = !ok;
  return ok;
}

bool Stk500Link::EnterProgramming(std::int64_t) {
  if (fd_ < 0) return false;
  if (lost_ && !Sync()) return false;
  return SetDevice() && Command({kEnterProgmode}, {});
}

// The description knows no poll values: 0xFF, which polling cannot tell from an erased cell,
// has the programmer wait its own write times.
bool Stk500Link::SetDevice() {
  if (!device_ || device_->flashSize == 0) return true;
  std::vector<std::uint8_t> command(1 + kDeviceParametersSize, 0x00);
  command[0] = kSetDevice;
  std::uint8_t* parameters = command.data() + 1;
  const std::uint8_t kinds[] = {0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x01, 0x03, 0xFF, 0xFF, 0xFF, 0xFF};
  std::copy(std::begin(kinds), std::end(kinds), parameters);
  auto put = [parameters](std::size_t at, std::size_t size, std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i) parameters[at + i] = static_cast<std::uint8_t>(value >> (8 * (size - 1 - i)));
  };
  put(kDevicePageSizeAt, 2, device_->flashPageSize);
  put(kDeviceEepromSizeAt, 2, device_->eepromSize);
  put(kDeviceFlashSizeAt, 4, device_->flashSize);
  return Command(std::move(command), {});
}

void Stk500Link::ReleaseTarget() { Command({kLeaveProgmode}, {}); }

bool Stk500Link::Universal(const Instruction& instruction, std::uint8_t& value) {
  return Command({kUniversal, instruction[0], instruction[1], instruction[2], instruction[3]}, {&value, 1});
}

void Stk500Link::Send(const Instruction& instruction) {
  std::uint8_t ignored = 0;
  Universal(instruction, ignored);
}

IspReply Stk500Link::Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  std::uint8_t value = 0;
  Universal({b0, b1, b2, 0x00}, value);
  return {0, value};
}

bool Stk500Link::LoadAddress(std::uint32_t address) { return Command({kLoadAddress, Low(address), High(address)}, {}); }

bool Stk500Link::WritePage(char memory, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> command = {kProgPage, High(bytes.size()), Low(bytes.size()), static_cast<std::uint8_t>(memory)};
  command.insert(command.end(), bytes.begin(), bytes.end());
  return Command(std::move(command), {});
}

bool Stk500Link::ReadPage(char memory, std::span<std::uint8_t> bytes) {
  return Command({kReadPage, High(bytes.size()), Low(bytes.size()), static_cast<std::uint8_t>(memory)}, bytes);
}

// Flash goes by word addresses, low byte of each word first.
bool Stk500Link::WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t word : words) {
    bytes.push_back(Low(word));
    bytes.push_back(High(word));
  }
  return LoadAddress(word_address) && WritePage('F', bytes);
}

bool Stk500Link::ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes(words.size() * 2);
  if (!LoadAddress(word_address) || !ReadPage('F', bytes)) return false;
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(bytes[2 * i + 1] << 8 | bytes[2 * i]);
  return true;
}

bool Stk500Link::WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  return LoadAddress(address) && WritePage('E', bytes);
}

bool Stk500Link::ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes) {
  return LoadAddress(address) && ReadPage('E', bytes);
}

}  // namespace tolmeo
