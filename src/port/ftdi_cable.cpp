#include "port/ftdi_cable.h"

#include <ftdi.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <utility>

#include "base/cp949.h"
#include "port/isp_lines.h"

namespace tolmeo {
namespace {

// libftdi's code for "usb device not found" (ftdi_usb_open_desc), and for a device the
// process may not open or may not claim.
constexpr int kNotFound = -3;
constexpr int kCannotOpen = -4;
constexpr int kCannotClaim = -5;

// In bit-bang mode libftdi scales the rate so that its argument is pin states a second. The
// chip's divider may land a few percent off: the rate asked has this much room.
constexpr double kRateMargin = 0.95;
constexpr int kSlowestRate = 1000;
// The fastest bit-bang clock of each chip (its fastest baud rate over libftdi's factor of 4).
constexpr int kFt232rFastest = 750'000;
constexpr int kFt2232hFastest = 3'000'000;
// Bytes written before they are read back: in synchronous mode the chip puts a byte out only
// while its receive buffer has room for the byte read, so a piece fills at most the transmit
// buffer and the receive buffer together (FT232R: 128 and 256 bytes; FT2232H: 4 KB each).
constexpr int kFt232rChunk = 384;
constexpr int kFt2232hChunk = 4096;
constexpr int kOtherChunk = 128;
// A read that brings nothing back this many times in a row means the bytes are lost.
constexpr int kEmptyReadsAllowed = 200;
// The ISP speed's default phase, until the first programming-mode entry sets its own.
constexpr std::int64_t kFirstPhaseNs = 4000;
// The chips bit-bang is tried on, the FT232R first.
constexpr std::array<int, 2> kBitBangProducts = {kFt232rProduct, kFt2232hProduct};

struct PinName {
  std::string_view name;
  int bit;
};
constexpr std::array<PinName, 16> kPinNames = {{{"TXD", 0}, {"RXD", 1}, {"RTS", 2}, {"CTS", 3},
                                                {"DTR", 4}, {"DSR", 5}, {"DCD", 6}, {"RI", 7},
                                                {"D0", 0},  {"D1", 1},  {"D2", 2},  {"D3", 3},
                                                {"D4", 4},  {"D5", 5},  {"D6", 6},  {"D7", 7}}};

std::optional<int> PinBit(std::string_view name) {
  for (const PinName& pin : kPinNames) {
    if (pin.name == name) return pin.bit;
  }
  return std::nullopt;
}

Failure BadPins(std::string_view text) {
  return Failure{Ktext(u8"FTDI 케이블 설정 '") + std::string(text) +
                 Ktext(u8"' 이(가) 잘못되었습니다. ftdi:일련번호:RESET=DTR,SCK=RTS,MOSI=TXD,MISO=RXD 처럼 서로 다른 "
                       u8"핀을 적어 주세요 (핀: TXD RXD RTS CTS DTR DSR DCD RI 또는 D0 ~ D7).")};
}

Status ApplyPins(std::string_view text, FtdiWiring& wiring) {
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t comma = std::min(rest.find(','), rest.size());
    const std::string_view item = rest.substr(0, comma);
    rest.remove_prefix(std::min(comma + 1, rest.size()));
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) return BadPins(text);
    std::optional<int> bit = PinBit(item.substr(equals + 1));
    const std::string_view line = item.substr(0, equals);
    int* slot = line == "RESET" ? &wiring.reset : line == "SCK" ? &wiring.sck : line == "MOSI" ? &wiring.mosi
              : line == "MISO"  ? &wiring.miso : nullptr;
    if (!bit || !slot) return BadPins(text);
    *slot = *bit;
  }
  const std::array<int, 4> bits = {wiring.reset, wiring.sck, wiring.mosi, wiring.miso};
  for (std::size_t i = 0; i < bits.size(); ++i) {
    if (std::count(bits.begin(), bits.end(), bits[i]) != 1) return BadPins(text);
  }
  return Success();
}

class Libftdi1 : public FtdiDevice {
 public:
  ~Libftdi1() override { Close(); }

  int Open(int vendor, int product, const std::string& serial) override {
    Close();
    context_ = ftdi_new();
    if (!context_) return kCannotOpen;
    ftdi_set_interface(context_, INTERFACE_A);
    const int opened = ftdi_usb_open_desc(context_, vendor, product, nullptr, serial.empty() ? nullptr : serial.c_str());
    open_ = opened == 0;
    return opened;
  }
  FtdiChip Chip() const override {
    if (!context_) return FtdiChip::kOther;
    if (context_->type == TYPE_R) return FtdiChip::kFt232r;
    return context_->type == TYPE_2232H ? FtdiChip::kFt2232h : FtdiChip::kOther;
  }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override { return ftdi_set_bitmode(context_, outputs, mode); }
  int SetBaudrate(int rate) override { return ftdi_set_baudrate(context_, rate); }
  int SetLatencyTimer(std::uint8_t milliseconds) override { return ftdi_set_latency_timer(context_, milliseconds); }
  int Purge() override { return ftdi_tcioflush(context_); }
  int Write(const std::uint8_t* data, int size) override { return ftdi_write_data(context_, data, size); }
  int Read(std::uint8_t* data, int size) override { return ftdi_read_data(context_, data, size); }
  void Close() override {
    if (!context_) return;
    if (open_) ftdi_usb_close(context_);
    ftdi_free(context_);
    context_ = nullptr;
    open_ = false;
  }
  std::string ErrorText() const override {
    return context_ ? ftdi_get_error_string(context_) : "ftdi_new failed";
  }

 private:
  ftdi_context* context_ = nullptr;
  bool open_ = false;
};

}  // namespace

Result<FtdiWiring> ParseFtdiWiring(std::string_view text, const FtdiWiring& defaults) {
  FtdiWiring wiring = defaults;
  const std::size_t colon = text.find(':');
  std::string_view serial = text.substr(0, colon);
  std::string_view pins = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  if (colon == std::string_view::npos && serial.find('=') != std::string_view::npos) std::swap(serial, pins);
  if (serial.find('=') != std::string_view::npos || pins.find(':') != std::string_view::npos) return BadPins(text);
  wiring.serial = std::string(serial);
  if (Status applied = ApplyPins(pins, wiring); !applied) return Failure{applied.reason()};
  return wiring;
}

std::unique_ptr<FtdiDevice> Libftdi() { return std::make_unique<Libftdi1>(); }

int FtdiDevice::ReadAll(std::uint8_t* data, int size, int timeout_ms) {
  using Steady = std::chrono::steady_clock;
  const Steady::time_point give_up = Steady::now() + std::chrono::milliseconds(timeout_ms);
  int got = 0;
  while (got < size) {
    const int read = Read(data + got, size - got);
    if (read < 0) return read;
    got += read;
    if (read == 0 && Steady::now() >= give_up) break;
  }
  return got;
}

Status OpenFtdiChip(FtdiDevice& device, std::span<const int> products, const std::string& serial,
                    const std::string& products_tried) {
  int opened = kNotFound;
  for (int product : products) {
    opened = device.Open(kFtdiVendor, product, Utf8FromCp949(serial));
    if (opened != kNotFound) break;
  }
  if (opened == 0) return Success();
  const std::string why = Cp949FromUtf8(device.ErrorText());
  device.Close();
  switch (opened) {
    case kNotFound:
      if (!serial.empty()) {
        return Failure{Ktext(u8"일련번호가 '") + serial +
                       Ktext(u8"' 인 FTDI 칩을 찾지 못했습니다. tolmeo-cli probe 로 붙어 있는 칩의 일련번호를 보세요.")};
      }
      return Failure{Ktext(u8"FTDI 칩(") + products_tried + Ktext(u8")을 찾지 못했습니다. USB 연결을 확인해 주세요.")};
    case kCannotOpen:
      return Failure{Ktext(u8"FTDI 칩을 열 권한이 없습니다. 저장소의 udev 규칙을 설치하고 (도움말 참고) 사용자를 plugdev "
                           u8"그룹에 넣은 뒤 (sudo adduser 사용자 plugdev) 다시 로그인하세요.")};
    case kCannotClaim:
      return Failure{Ktext(u8"FTDI 칩을 다른 프로그램이 쓰고 있습니다. 그 프로그램을 끝낸 뒤 다시 해 주세요.")};
    default:
      return Failure{Ktext(u8"FTDI 칩을 열지 못했습니다: ") + why};
  }
}

FtdiCable::FtdiCable(std::unique_ptr<FtdiDevice> device, FtdiWiring wiring)
    : device_(std::move(device)), wiring_(std::move(wiring)), phase_ns_(kFirstPhaseNs) {}

FtdiCable::~FtdiCable() { device_->Close(); }

Status FtdiCable::Open() {
  if (opened_) return Success();
  if (Status found = OpenFtdiChip(*device_, kBitBangProducts, wiring_.serial,
                                  Ktext(u8"FT232R 0403:6001, FT2232H 0403:6010"));
      !found) {
    return found;
  }
  const std::uint8_t outputs =
      static_cast<std::uint8_t>(1u << wiring_.reset | 1u << wiring_.sck | 1u << wiring_.mosi);
  if (device_->SetBitmode(outputs, BITMODE_SYNCBB) < 0) {
    const std::string why = device_->ErrorText();
    device_->Close();
    return Failure{Ktext(u8"FTDI 칩을 동기 비트뱅 모드로 바꾸지 못했습니다: ") + Cp949FromUtf8(why)};
  }
  // Read-back bytes come in as soon as there are any, not after the chip's 16 ms default.
  device_->SetLatencyTimer(1);
  device_->Purge();
  const FtdiChip chip = device_->Chip();
  chunk_bytes_ = chip == FtdiChip::kFt232r ? kFt232rChunk : chip == FtdiChip::kFt2232h ? kFt2232hChunk : kOtherChunk;
  opened_ = true;
  lost_ = false;
  pins_ = 0;
  SetRate(phase_ns_);
  return Success();
}

void FtdiCable::StartSession(std::int64_t phase_ns) {
  lost_ = false;
  phase_ns_ = phase_ns;
  if (opened_) SetRate(phase_ns);
}

// The fastest clock whose period is at least the phase; a phase longer than the slowest
// clock's period is made of several periods (WaitBytes).
void FtdiCable::SetRate(std::int64_t phase_ns) {
  const int fastest = device_->Chip() == FtdiChip::kFt2232h ? kFt2232hFastest : kFt232rFastest;
  const double wanted = phase_ns > 0 ? kRateMargin * 1e9 / static_cast<double>(phase_ns) : fastest;
  rate_ = static_cast<int>(std::clamp(wanted, static_cast<double>(kSlowestRate), static_cast<double>(fastest)));
  period_ns_ = (1'000'000'000 + rate_ - 1) / rate_;
  if (device_->SetBaudrate(rate_) < 0) lost_ = true;
}

std::uint8_t FtdiCable::PinsOf(std::uint8_t data_register) const {
  auto pin = [data_register](int line, int bit) {
    return LineIsHigh(data_register, line) ? static_cast<std::uint8_t>(1u << bit) : std::uint8_t{0};
  };
  return static_cast<std::uint8_t>(pin(kResetLine, wiring_.reset) | pin(kSckLine, wiring_.sck) |
                                   pin(kMosiLine, wiring_.mosi));
}

// The pins already hold for one period after a change; a longer wait holds them for more.
int FtdiCable::WaitBytes(std::int64_t wait_ns) const {
  if (wait_ns <= period_ns_) return 0;
  return static_cast<int>((wait_ns + period_ns_ - 1) / period_ns_ - 1);
}

void FtdiCable::WriteData(std::uint8_t value) {
  LineBatch batch;
  batch.Write(value);
  std::vector<std::uint8_t> none;
  Run(batch, none);
}

std::uint8_t FtdiCable::ReadStatus() {
  LineBatch batch;
  batch.Sample();
  std::vector<std::uint8_t> miso;
  Run(batch, miso);
  return StatusWithMiso(miso.front() != 0);
}

void FtdiCable::Exchange(const LineBatch& batch, Clock&, std::vector<std::uint8_t>& miso) { Run(batch, miso); }

// A sample is the byte read back for the next byte written (the pins just before it went
// out), so a batch that ends in a sample puts the same pins out once more.
void FtdiCable::Run(const LineBatch& batch, std::vector<std::uint8_t>& miso) {
  std::vector<std::uint8_t> out;
  std::vector<std::size_t> sample_at;
  std::uint8_t pins = pins_;
  for (const LineBatch::Step& step : batch.steps()) {
    switch (step.kind) {
      case LineBatch::Kind::kWrite:
        if (const std::uint8_t wanted = PinsOf(step.value); wanted != pins) {
          pins = wanted;
          out.push_back(pins);
        }
        break;
      case LineBatch::Kind::kWait: out.insert(out.end(), WaitBytes(step.wait_ns), pins); break;
      case LineBatch::Kind::kSample: sample_at.push_back(out.size()); break;
    }
  }
  if (!sample_at.empty() && sample_at.back() == out.size()) out.push_back(pins);
  std::vector<std::uint8_t> in;
  const bool answered = opened_ && !lost_ && Transfer(out, in);
  if (answered) pins_ = pins;
  for (std::size_t at : sample_at) miso.push_back(answered ? (in[at] >> wiring_.miso & 1) : 1);
}

bool FtdiCable::Transfer(const std::vector<std::uint8_t>& out, std::vector<std::uint8_t>& in) {
  in.resize(out.size());
  for (std::size_t at = 0; at < out.size(); at += static_cast<std::size_t>(chunk_bytes_)) {
    const int size = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(chunk_bytes_), out.size() - at));
    const int written = device_->Write(out.data() + at, size);
    ++stats_.transfers;
    stats_.bytes += std::max(written, 0);
    stats_.accesses += std::max(written, 0);
    if (written != size || !ReadBack(in.data() + at, size)) {
      lost_ = true;
      return false;
    }
  }
  return true;
}

bool FtdiCable::ReadBack(std::uint8_t* data, int size) {
  for (int got = 0, empty = 0; got < size;) {
    const int read = device_->Read(data + got, size - got);
    ++stats_.transfers;
    if (read < 0 || (read == 0 && ++empty > kEmptyReadsAllowed)) return false;
    if (read > 0) empty = 0;
    got += std::max(read, 0);
    stats_.bytes += std::max(read, 0);
  }
  return true;
}

}  // namespace tolmeo
