#include "port/ftdi_mpsse_link.h"

#include <algorithm>
#include <array>

#include "base/cp949.h"
#include "port/mpsse_protocol.h"

namespace tolmeo {
using namespace mpsse;

namespace {

constexpr std::array<int, 1> kMpsseProducts = {kFt2232hProduct};
// The chip needs 20 ms after RESET went low before it hears the programming enable; the waits
// of the reset pulse are the bit-bang cables' own.
constexpr std::int32_t kResetEdgeMs = 2;
constexpr std::int32_t kResetLowMs = 40;
// The engine is ready this long after the bit mode changed to MPSSE.
constexpr std::int32_t kModeSettleMs = 50;
// Reads go out this many at a time: their answers (4 bytes each) fill a quarter of the chip's
// 4 KB receive buffer, so it never stops clocking for want of room.
constexpr std::size_t kQueriesPerPiece = 256;
// A read waits for the chip to clock out what went before it, twice over, and this long more
// for USB and the latency timer.
constexpr int kReadSlackMs = 500;

Failure BadPins(std::string_view text) {
  return Failure{Ktext(u8"FTDI MPSSE 케이블 설정 '") + std::string(text) +
                 Ktext(u8"' 이(가) 잘못되었습니다. ftdi-mpsse:일련번호:RESET=D3 처럼 적어 주세요. MPSSE 에서는 SCK = D0, "
                       u8"MOSI = D1, MISO = D2 로 정해져 있고 RESET 만 D3 ~ D7 중에서 고를 수 있습니다.")};
}

std::string LostText() {
  return Ktext(u8"FT2232H 가 USB 전송에 답하지 않습니다 (빠졌거나 멈췄습니다). 다시 꽂아 보세요.");
}

std::string TooSlowText() {
  return Ktext(u8"ISP 속도가 FT2232H 의 가장 느린 SCK (약 458 Hz) 보다 더 느린 SCK 를 바랍니다. ISP 속도를 0x1111 이하로 "
               u8"낮추세요.");
}

std::uint8_t Bit(int pin) { return static_cast<std::uint8_t>(1u << pin); }

}  // namespace

FtdiWiring MpsseWiring() {
  FtdiWiring wiring;
  wiring.reset = kDefaultResetPin;
  wiring.sck = kSckPin;
  wiring.mosi = kMosiPin;
  wiring.miso = kMisoPin;
  return wiring;
}

Result<FtdiWiring> ParseMpsseWiring(std::string_view text) {
  Result<FtdiWiring> wiring = ParseFtdiWiring(text, MpsseWiring());
  const FtdiWiring fixed = MpsseWiring();
  if (!wiring || wiring->sck != fixed.sck || wiring->mosi != fixed.mosi || wiring->miso != fixed.miso) {
    return BadPins(text);
  }
  return wiring;
}

FtdiMpsseLink::FtdiMpsseLink(std::unique_ptr<FtdiDevice> device, FtdiWiring wiring, Clock& clock)
    : device_(std::move(device)), wiring_(std::move(wiring)), clock_(&clock) {}

FtdiMpsseLink::~FtdiMpsseLink() { device_->Close(); }

Status FtdiMpsseLink::Open() {
  if (opened_) return Success();
  if (Status found = OpenFtdiChip(*device_, kMpsseProducts, wiring_.serial, "FT2232H 0403:6010"); !found) {
    return found;
  }
  if (device_->Chip() != FtdiChip::kFt2232h) {
    device_->Close();
    return Failure{Ktext(u8"0403:6010 의 FTDI 칩이 FT2232H 가 아니라 MPSSE 를 60 MHz 로 쓸 수 없습니다. 케이블 설정을 "
                         u8"ftdi (비트뱅) 로 바꾸세요.")};
  }
  if (Status configured = Configure(); !configured) {
    device_->Close();
    return configured;
  }
  return Success();
}

// The bit mode is reset first, so an engine left mid-command by an earlier run starts anew.
Status FtdiMpsseLink::Configure() {
  if (device_->SetBitmode(0, kResetMode) < 0 || device_->SetLatencyTimer(1) < 0 || device_->Purge() < 0 ||
      device_->SetBitmode(Outputs(), kMpsseMode) < 0) {
    return Failure{Ktext(u8"FT2232H 를 MPSSE 모드로 바꾸지 못했습니다: ") + Cp949FromUtf8(device_->ErrorText())};
  }
  opened_ = true;
  lost_ = false;
  Discard();
  clock_->SleepMs(kModeSettleMs);
  if (!Sync()) {
    opened_ = false;
    return Failure{Ktext(u8"FT2232H 의 MPSSE 가 답하지 않습니다 (잘못된 명령 0xAA 에 0xFA 0xAA 가 오지 않았습니다). "
                         u8"칩을 다시 꽂아 보세요.")};
  }
  out_.insert(out_.end(), {kDivideBy5Off, kAdaptiveOff, kThreePhaseOff});
  SetPins(true);
  if (!Write()) {
    opened_ = false;
    return Failure{LostText()};
  }
  return Success();
}

// The answer to a command the engine does not know marks where its answers begin.
bool FtdiMpsseLink::Sync() {
  out_.push_back(kSyncOpcode);
  std::array<std::uint8_t, 2> answer{};
  return Exchange(answer) && answer == std::array<std::uint8_t, 2>{kBadCommand, kSyncOpcode};
}

// SCK idles low and MOSI low; RESET as asked.
void FtdiMpsseLink::SetPins(bool reset) {
  out_.insert(out_.end(), {kSetLowPins, reset ? Bit(wiring_.reset) : std::uint8_t{0}, Outputs()});
}

std::uint8_t FtdiMpsseLink::Outputs() const {
  return static_cast<std::uint8_t>(Bit(kSckPin) | Bit(kMosiPin) | Bit(wiring_.reset));
}

LinkCapabilities FtdiMpsseLink::Capabilities() const {
  LinkCapabilities capabilities;
  capabilities.engine_clocks_sck = false;
  capabilities.sck_khz = 1e6 / (2 * HalfPeriodNs(divisor_));
  capabilities.queued_reads = true;
  return capabilities;
}

// Until the first entry the divisor is 0: the fastest SCK, so a read never counts for more
// time than it took.
bool FtdiMpsseLink::SetDivisor(std::int64_t sck_phase_ns) {
  // Periods of the master clock in the phase, rounded up; a phase beyond a second is beyond
  // any divisor, and kept there so the product cannot overflow.
  constexpr std::int64_t kNsPerSecond = 1'000'000'000;
  const std::int64_t phase_ns = std::clamp<std::int64_t>(sck_phase_ns, 0, kNsPerSecond);
  const std::int64_t periods = (phase_ns * kMasterClockHz + kNsPerSecond - 1) / kNsPerSecond;
  const std::int64_t divisor = std::max<std::int64_t>(periods, 1) - 1;
  if (divisor > kLargestDivisor) {
    entry_problem_ = TooSlowText();
    return false;
  }
  divisor_ = static_cast<int>(divisor);
  out_.insert(out_.end(), {kClockDivisor, static_cast<std::uint8_t>(divisor), static_cast<std::uint8_t>(divisor >> 8)});
  return true;
}

void FtdiMpsseLink::ResetPulse() {
  SetPins(true);
  SleepMs(kResetEdgeMs);
  SetPins(false);
  SleepMs(kResetLowMs);
  SetPins(true);
  SleepMs(kResetEdgeMs);
}

// An FT2232H that stopped answering may have been plugged in again: it is opened anew. The
// fourth byte of the enable goes out only once the chip echoed 0x53.
bool FtdiMpsseLink::EnterProgramming(std::int64_t sck_phase_ns) {
  entry_problem_.clear();
  holding_ = false;
  if (lost_) {
    device_->Close();
    opened_ = false;
    if (Status opened = Open(); !opened) {
      entry_problem_ = opened.reason();
      return false;
    }
  }
  if (!opened_ || !SetDivisor(sck_phase_ns)) return false;
  ResetPulse();
  SetPins(false);
  SleepMs(kResetLowMs);
  constexpr std::array<std::uint8_t, 3> kEnable = {0xAC, 0x53, 0x00};
  QueueBytes(kBytesOutIn, kEnable);
  std::array<std::uint8_t, 3> answer{};
  const bool echoed = Exchange(answer) && answer[2] == 0x53;
  if (echoed) {
    QueueBytes(kBytesOut, std::array<std::uint8_t, 1>{0x00});
    SleepMs(kResetEdgeMs);
  }
  if (lost_) entry_problem_ = LostText();
  return echoed && !lost_;
}

void FtdiMpsseLink::ReleaseTarget() {
  holding_ = false;
  ResetPulse();
}

// Bytes that follow a clocking command of the same kind just queued join it: a page of loads
// or of reads is one command, each SPI byte one byte on USB.
void FtdiMpsseLink::QueueBytes(std::uint8_t opcode, std::span<const std::uint8_t> bytes) {
  const bool joins = last_count_ > 0 && last_command_ + kClockHeader + last_count_ == out_.size() && out_[last_command_] == opcode &&
                     last_count_ + bytes.size() <= kLargestClockCount;
  if (!joins) {
    last_command_ = out_.size();
    last_count_ = 0;
    out_.insert(out_.end(), {opcode, 0, 0});
  }
  out_.insert(out_.end(), bytes.begin(), bytes.end());
  last_count_ += bytes.size();
  out_[last_command_ + 1] = static_cast<std::uint8_t>(last_count_ - 1);
  out_[last_command_ + 2] = static_cast<std::uint8_t>((last_count_ - 1) >> 8);
  stats_.accesses += static_cast<std::int64_t>(bytes.size());
}

void FtdiMpsseLink::Discard() {
  out_.clear();
  last_count_ = 0;
}

bool FtdiMpsseLink::Write() {
  if (!opened_ || lost_) {
    Discard();
    return false;
  }
  if (out_.empty()) return true;
  const int size = static_cast<int>(out_.size());
  const int written = device_->Write(out_.data(), size);
  ++stats_.transfers;
  stats_.bytes += std::max(written, 0);
  Discard();
  lost_ = written != size;
  return !lost_;
}

int FtdiMpsseLink::ReadTimeoutMs(std::size_t clocked_bytes) const {
  const double clocking_ms = static_cast<double>(clocked_bytes) * 8 * 2 * HalfPeriodNs(divisor_) / 1e6;
  return kReadSlackMs + static_cast<int>(2 * clocking_ms);
}

bool FtdiMpsseLink::Exchange(std::span<std::uint8_t> answer) {
  out_.push_back(kSendImmediate);
  const int timeout_ms = ReadTimeoutMs(out_.size());
  if (!Write()) return false;
  const int size = static_cast<int>(answer.size());
  const int read = device_->ReadAll(answer.data(), size, timeout_ms);
  ++stats_.transfers;
  stats_.bytes += std::max(read, 0);
  lost_ = read != size;
  return !lost_;
}

void FtdiMpsseLink::Send(const Instruction& instruction) {
  QueueBytes(kBytesOut, instruction);
  if (!holding_) Write();
}

void FtdiMpsseLink::Flush() {
  holding_ = false;
  Write();
}

void FtdiMpsseLink::SleepMs(std::int32_t milliseconds) {
  holding_ = false;
  out_.push_back(kGetLowPins);
  std::uint8_t pins = 0;
  Exchange({&pins, 1});
  clock_->SleepMs(milliseconds);
}

IspReply FtdiMpsseLink::Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  IspReply reply;
  QueryAll(std::array{IspQuery{b0, b1, b2}}, std::span(&reply, 1));
  return reply;
}

void FtdiMpsseLink::QueryAll(std::span<const IspQuery> queries, std::span<IspReply> replies) {
  const std::size_t count = std::min(queries.size(), replies.size());
  for (std::size_t at = 0; at < count; at += kQueriesPerPiece) {
    const std::size_t piece = std::min(kQueriesPerPiece, count - at);
    QueryPiece(queries.subspan(at, piece), replies.subspan(at, piece));
  }
}

// What is held goes first, in the same write. The chip echoes the second byte during the
// third and answers during the fourth.
void FtdiMpsseLink::QueryPiece(std::span<const IspQuery> queries, std::span<IspReply> replies) {
  holding_ = false;
  for (const IspQuery& query : queries) QueueBytes(kBytesOutIn, std::array{query.b0, query.b1, query.b2, std::uint8_t{0}});
  std::vector<std::uint8_t> answer(4 * queries.size(), 0xFF);
  if (!Exchange(answer)) std::fill(answer.begin(), answer.end(), 0xFF);
  for (std::size_t i = 0; i < queries.size(); ++i) replies[i] = {answer[4 * i + 2], answer[4 * i + 3]};
}

}  // namespace tolmeo
