#include "port/gpio_cable.h"

#include <gpiod.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "base/cp949.h"
#include "port/isp_lines.h"

namespace tolmeo {
namespace {

constexpr const char* kConsumer = "tolmeo";

std::string ErrorText(int error) { return std::strerror(error); }

std::optional<unsigned> Offset(std::string_view text) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Failure BadWiring(std::string_view text) {
  return Failure{Ktext(u8"GPIO 케이블 설정 '") + std::string(text) +
                 Ktext(u8"' 이(가) 잘못되었습니다. gpio:칩:RESET,SCK,MOSI,MISO 처럼 칩과 서로 다른 라인 번호 넷을 "
                       u8"적어 주세요 (예: gpio:gpiochip0:25,11,10,9).")};
}

class Libgpiod : public GpioLines {
 public:
  ~Libgpiod() override { Close(); }

  int OpenChip(const std::string& chip) override {
    Close();
    chip_ = gpiod_chip_open_lookup(chip.c_str());
    return chip_ ? 0 : Errno();
  }
  unsigned LineCount() const override { return chip_ ? gpiod_chip_num_lines(chip_) : 0; }
  int RequestOutput(unsigned offset, int value) override {
    gpiod_line* line = Line(offset);
    if (!line) return Errno();
    return gpiod_line_request_output(line, kConsumer, value) == 0 ? Requested(offset, line) : Errno();
  }
  int RequestInput(unsigned offset) override {
    gpiod_line* line = Line(offset);
    if (!line) return Errno();
    return gpiod_line_request_input(line, kConsumer) == 0 ? Requested(offset, line) : Errno();
  }
  int SetValue(unsigned offset, int value) override {
    auto line = requested_.find(offset);
    if (line == requested_.end()) return EPERM;
    return gpiod_line_set_value(line->second, value) == 0 ? 0 : Errno();
  }
  int GetValue(unsigned offset, int& value) override {
    auto line = requested_.find(offset);
    if (line == requested_.end()) return EPERM;
    value = gpiod_line_get_value(line->second);
    return value < 0 ? Errno() : 0;
  }
  void Close() override {
    for (auto& [offset, line] : requested_) gpiod_line_release(line);
    requested_.clear();
    if (chip_) gpiod_chip_close(chip_);
    chip_ = nullptr;
  }

 private:
  static int Errno() { return errno ? errno : EIO; }
  gpiod_line* Line(unsigned offset) {
    errno = 0;
    return chip_ ? gpiod_chip_get_line(chip_, offset) : nullptr;
  }
  int Requested(unsigned offset, gpiod_line* line) {
    requested_[offset] = line;
    return 0;
  }

  gpiod_chip* chip_ = nullptr;
  std::map<unsigned, gpiod_line*> requested_;
};

}  // namespace

GpioWiring RaspberryPiWiring() { return {"gpiochip0", 25, 11, 10, 9}; }

Result<GpioWiring> ParseGpioWiring(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return BadWiring(text);
  std::vector<unsigned> offsets;
  for (std::string_view rest = text.substr(colon + 1);;) {
    const std::size_t comma = std::min(rest.find(','), rest.size());
    std::optional<unsigned> offset = Offset(rest.substr(0, comma));
    if (!offset) return BadWiring(text);
    offsets.push_back(*offset);
    if (comma == rest.size()) break;
    rest.remove_prefix(comma + 1);
  }
  if (offsets.size() != 4 || std::set<unsigned>(offsets.begin(), offsets.end()).size() != 4) return BadWiring(text);
  return GpioWiring{std::string(text.substr(0, colon)), offsets[0], offsets[1], offsets[2], offsets[3]};
}

std::unique_ptr<GpioLines> LibgpiodLines() { return std::make_unique<Libgpiod>(); }

GpioCable::GpioCable(std::unique_ptr<GpioLines> lines, GpioWiring wiring)
    : lines_(std::move(lines)), wiring_(std::move(wiring)) {}

GpioCable::~GpioCable() { lines_->Close(); }

Status GpioCable::Open() {
  if (opened_) return Success();
  const std::string& chip = wiring_.chip;
  if (const int error = lines_->OpenChip(Utf8FromCp949(chip)); error != 0) {
    if (error == EACCES || error == EPERM) {
      return Failure{chip + Ktext(u8" 에 접근할 권한이 없습니다. 사용자를 gpio 그룹에 넣고 다시 로그인하거나 "
                                  u8"(sudo adduser 사용자 gpio), udev 규칙으로 /dev/gpiochip* 의 권한을 주세요.")};
    }
    if (error == ENOENT || error == ENODEV) {
      return Failure{Ktext(u8"GPIO 칩 '") + chip +
                     Ktext(u8"' 을(를) 찾지 못했습니다. gpiodetect 로 있는 칩의 이름을 보고 케이블 설정에 적어 주세요.")};
    }
    return Failure{Ktext(u8"GPIO 칩 '") + chip + Ktext(u8"' 을(를) 열지 못했습니다: ") + ErrorText(error)};
  }
  Status requested = RequestLines();
  if (!requested) {
    lines_->Close();
    return requested;
  }
  opened_ = true;
  lost_ = false;
  written_ = kResetBit;
  return Success();
}

Status GpioCable::RequestLines() {
  for (unsigned offset : {wiring_.reset, wiring_.sck, wiring_.mosi, wiring_.miso}) {
    if (offset >= lines_->LineCount()) {
      return Failure{wiring_.chip + Ktext(u8" 에는 ") + std::to_string(offset) +
                     Ktext(u8" 번 라인이 없습니다 (라인은 ") + std::to_string(lines_->LineCount()) +
                     Ktext(u8" 개). gpioinfo 로 라인을 확인해 주세요.")};
    }
  }
  const std::pair<unsigned, int> outputs[] = {{wiring_.reset, 1}, {wiring_.sck, 0}, {wiring_.mosi, 0}};
  for (auto [offset, level] : outputs) {
    if (const int error = lines_->RequestOutput(offset, level); error != 0) return LineFailure(offset, error);
  }
  if (const int error = lines_->RequestInput(wiring_.miso); error != 0) return LineFailure(wiring_.miso, error);
  return Success();
}

Status GpioCable::LineFailure(unsigned offset, int error) const {
  const std::string line = wiring_.chip + Ktext(u8" 의 ") + std::to_string(offset) + Ktext(u8" 번 라인");
  if (error == EBUSY) {
    return Failure{line + Ktext(u8" 을(를) 다른 프로그램이나 커널 드라이버가 쓰고 있습니다. gpioinfo 로 쓰는 쪽을 "
                                u8"보고 그 프로그램을 끝내거나, SPI 처럼 그 핀을 쥔 장치 트리 설정을 꺼 주세요.")};
  }
  return Failure{line + Ktext(u8" 을(를) 얻지 못했습니다: ") + ErrorText(error)};
}

void GpioCable::SetLine(int index, unsigned offset, bool level) {
  if (written_ && LineIsHigh(*written_, index) == level) return;
  if (lines_->SetValue(offset, level ? 1 : 0) != 0) lost_ = true;
  ++accesses_;
}

void GpioCable::WriteData(std::uint8_t value) {
  if (!opened_) return;
  SetLine(kResetLine, wiring_.reset, LineIsHigh(value, kResetLine));
  SetLine(kSckLine, wiring_.sck, LineIsHigh(value, kSckLine));
  SetLine(kMosiLine, wiring_.mosi, LineIsHigh(value, kMosiLine));
  written_ = static_cast<std::uint8_t>(value & (kResetBit | kSckBit | kMosiBit));
}

std::uint8_t GpioCable::ReadStatus() {
  if (!opened_) return StatusWithMiso(true);
  int level = 1;
  if (lines_->GetValue(wiring_.miso, level) != 0) {
    lost_ = true;
    level = 1;
  }
  ++accesses_;
  return StatusWithMiso(level != 0);
}

}  // namespace tolmeo
