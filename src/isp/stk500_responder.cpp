#include "isp/stk500_responder.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <optional>

#include "port/stk500_protocol.h"

namespace tolmeo {
using namespace stk500;

namespace {

// The chip's own write times, with room, waited on the cable's virtual clock.
constexpr std::int32_t kFlashPageMs = 5;
constexpr std::int32_t kEepromByteMs = 10;

// How many bytes follow each command byte before CRC_EOP; a page command's length comes with it.
std::optional<std::size_t> FixedBodySize(std::uint8_t command) {
  switch (command) {
    case kGetSync: case kEnterProgmode: case kLeaveProgmode: return 0;
    case kLoadAddress: return 2;
    case kUniversal: return 4;
    case kReadPage: return 3;
    case kSetDevice: return kDeviceParametersSize;
    default: return std::nullopt;
  }
}

class Reader {
 public:
  Reader(int fd, const std::atomic<bool>& stop) : fd_(fd), stop_(stop) {}
  std::optional<std::uint8_t> Byte() {
    while (!stop_) {
      pollfd wait{fd_, POLLIN, 0};
      const int ready = poll(&wait, 1, 100);
      if (ready < 0 || (ready > 0 && !(wait.revents & POLLIN))) return std::nullopt;
      if (ready == 0) continue;
      std::uint8_t byte = 0;
      if (read(fd_, &byte, 1) != 1) return std::nullopt;
      return byte;
    }
    return std::nullopt;
  }
  bool Fill(std::vector<std::uint8_t>& bytes, std::size_t count) {
    while (bytes.size() < count) {
      std::optional<std::uint8_t> byte = Byte();
      if (!byte) return false;
      bytes.push_back(*byte);
    }
    return true;
  }

 private:
  int fd_;
  const std::atomic<bool>& stop_;
};

}  // namespace

Stk500Responder::Stk500Responder(SimCable& cable) : cable_(cable), driver_(cable, cable.clock(), speed_) {
  link_.Open();
}

void Stk500Responder::Serve(int fd, const std::atomic<bool>& stop) {
  Reader reader(fd, stop);
  while (std::optional<std::uint8_t> command = reader.Byte()) {
    std::vector<std::uint8_t> body;
    std::optional<std::size_t> size = FixedBodySize(*command);
    if (*command == kProgPage) {
      if (!reader.Fill(body, 3)) return;
      size = 3 + (static_cast<std::size_t>(body[0]) << 8 | body[1]);
    }
    if (!size || !reader.Fill(body, *size + 1)) {
      if (!size) continue;  // out of step: wait for the host's next sync
      return;
    }
    CatchUpWithHost();
    std::vector<std::uint8_t> answer =
        body.back() == kCrcEop ? Answer(*command, body) : std::vector<std::uint8_t>{kNoSync};
    if (write(fd, answer.data(), answer.size()) != static_cast<ssize_t>(answer.size())) return;
  }
}

// The host waits out the chip's write times in its own time between commands; the chip's
// virtual clock moves on by as much, so a write the host waited for is finished.
void Stk500Responder::CatchUpWithHost() {
  const auto now = std::chrono::steady_clock::now();
  if (last_command_) cable_.clock().SpinNs(std::chrono::nanoseconds(now - *last_command_).count());
  last_command_ = now;
}

std::vector<std::uint8_t> Stk500Responder::Answer(std::uint8_t command, const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> answer = {kInSync};
  switch (command) {
    case kEnterProgmode:
      if (!link_.EnterProgramming(0)) return {kInSync, kFailed};
      break;
    case kLeaveProgmode: link_.ReleaseTarget(); break;
    case kSetDevice:
      device_set_ = SetDevice(body);
      if (!device_set_) return {kInSync, kFailed};
      break;
    case kLoadAddress: address_ = static_cast<std::uint32_t>(body[1]) << 8 | body[0]; break;
    case kUniversal: answer.push_back(Universal(body)); break;
    case kProgPage: return ProgramPage(body);
    case kReadPage: return ReadPage(body);
    default: break;
  }
  answer.push_back(kOk);
  return answer;
}

std::uint8_t Stk500Responder::Universal(const std::vector<std::uint8_t>& body) {
  link_.SendByte(body[0]);
  link_.SendByte(body[1]);
  link_.SendByte(body[2]);
  return link_.TransferByte(body[3]);
}

bool Stk500Responder::SetDevice(const std::vector<std::uint8_t>& body) {
  auto field = [&body](std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = value << 8 | body[at + i];
    return value;
  };
  const ChipModel& chip = cable_.chip().memories().model();
  return field(kDevicePageSizeAt, 2) == chip.flashPageSize && field(kDeviceEepromSizeAt, 2) == chip.eepromSize &&
         field(kDeviceFlashSizeAt, 4) == chip.flashSize;
}

std::vector<std::uint8_t> Stk500Responder::ProgramPage(const std::vector<std::uint8_t>& body) {
  if (!device_set_) return {kInSync, kFailed};
  const std::size_t count = body.size() - 4;
  if (body[2] == 'F') {
    for (std::size_t i = 0; i + 1 < count; i += 2) {
      const std::uint32_t word = address_ + static_cast<std::uint32_t>(i / 2);
      link_.Send({0x40, High(word), Low(word), body[3 + i]});
      link_.Send({0x48, High(word), Low(word), body[4 + i]});
    }
    link_.Send({0x4C, High(address_), Low(address_), 0x00});
    link_.SleepMs(kFlashPageMs);
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      link_.Send({0xC0, High(address_ + i), Low(address_ + i), body[3 + i]});
      link_.SleepMs(kEepromByteMs);
    }
  }
  return {kInSync, kOk};
}

std::vector<std::uint8_t> Stk500Responder::ReadPage(const std::vector<std::uint8_t>& body) {
  const std::size_t count = static_cast<std::size_t>(body[0]) << 8 | body[1];
  std::vector<std::uint8_t> answer = {kInSync};
  for (std::size_t i = 0; i < count; ++i) {
    if (body[2] == 'F') {
      const std::uint32_t word = address_ + static_cast<std::uint32_t>(i / 2);
      answer.push_back(link_.Query(i % 2 ? 0x28 : 0x20, High(word), Low(word)).value);
    } else {
      answer.push_back(link_.Query(0xA0, High(address_ + i), Low(address_ + i)).value);
    }
  }
  answer.push_back(kOk);
  return answer;
}

Stk500Twin::~Stk500Twin() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

Status Stk500Twin::Start() {
  if (Status opened = pty_.Open(); !opened) return opened;
  thread_ = std::thread([this] { responder_.Serve(pty_.master(), stop_); });
  return Success();
}

}  // namespace tolmeo
