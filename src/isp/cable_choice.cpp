#include "isp/cable_choice.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "base/cp949.h"
#include "base/run_folders.h"
#include "isp/stk500_responder.h"
#include "isp/usbasp_twin.h"
#include "port/ftdi_mpsse_link.h"
#include "port/ftdi_mpsse_twin.h"
#include "port/ftdi_twin.h"
#include "port/gpio_twin.h"
#include "port/parport_cable.h"
#include "port/parport_wiring.h"
#include "port/stk500_link.h"
#include "port/system_clock.h"
#include "port/usbasp_link.h"

namespace tolmeo {
namespace {

// The fastest clock an AVR runs at, with room; above it the text is a slip of the finger.
constexpr double kFastestClockMhz = 100.0;

class UnusableCable : public Cable {
 public:
  explicit UnusableCable(std::string reason) : reason_(std::move(reason)) {}
  Status Open() override { return Failure{reason_}; }
  void WriteData(std::uint8_t) override {}
  std::uint8_t ReadStatus() override { return 0x00; }

 private:
  std::string reason_;
};

// The parallel port, whose failure to open says how to mend it.
class ExplainedParportCable : public ParportCable {
 public:
  using ParportCable::ParportCable;
  Status Open() override {
    Status opened = ParportCable::Open();
    if (opened) return opened;
    return Failure{opened.reason() + "\r\n" + PortOpenRemedies()};
  }
};

Failure BadKnob(std::string_view knob, const std::string& why) {
  return Failure{Ktext(u8"케이블 설정의 '") + std::string(knob) + "': " + why};
}

template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::array<std::uint8_t, 3>> SignatureOf(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  std::array<std::uint8_t, 3> signature{};
  for (std::size_t i = 0; i < 3; ++i) {
    std::string_view pair = text.substr(i * 2, 2);
    auto [end, error] = std::from_chars(pair.data(), pair.data() + 2, signature[i], 16);
    if (error != std::errc() || end != pair.data() + 2) return std::nullopt;
  }
  return signature;
}

std::optional<std::int64_t> ClockHzOf(std::string_view text) {
  double mhz = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mhz);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!(mhz > 0) || mhz > kFastestClockMhz) return std::nullopt;
  return static_cast<std::int64_t>(mhz * 1e6 + 0.5);
}

Status ApplyKnob(std::string_view knob, CableSetting& setting) {
  const std::size_t equals = knob.find('=');
  const std::string_view name = knob.substr(0, equals);
  const std::string_view value = equals == std::string_view::npos ? std::string_view() : knob.substr(equals + 1);
  const bool has_value = equals != std::string_view::npos;
  if (name == "absent" || name == "stuck-fuses") {
    if (has_value) return BadKnob(knob, Ktext(u8"값을 받지 않습니다."));
    (name == "absent" ? setting.absent : setting.faults.stuck_fuses) = true;
    return Success();
  }
  if (name == "signature") {
    setting.faults.signature = SignatureOf(value);
    if (!setting.faults.signature) return BadKnob(knob, Ktext(u8"16진수 여섯 자리가 필요합니다 (예: signature=1E9514)."));
  } else if (name == "dead-page" || name == "dead-eeprom") {
    std::optional<std::uint32_t> address = WholeNumber<std::uint32_t>(value);
    if (!address) return BadKnob(knob, Ktext(u8"주소가 필요합니다 (10진수, 또는 0x 를 붙인 16진수)."));
    (name == "dead-page" ? setting.faults.dead_flash_page : setting.faults.dead_eeprom_address) = *address;
  } else if (name == "pull-after") {
    std::optional<std::int64_t> changes = WholeNumber<std::int64_t>(value);
    if (!changes || *changes < 0) return BadKnob(knob, Ktext(u8"0 이상의 정수가 필요합니다."));
    setting.faults.pull_cable_after_changes = *changes;
  } else if (name == "clock") {
    std::optional<std::int64_t> hz = ClockHzOf(value);
    if (!hz) return BadKnob(knob, Ktext(u8"0 보다 크고 100 이하인 MHz 값이 필요합니다 (예: clock=0.5)."));
    setting.clock_hz = *hz;
  } else {
    return BadKnob(knob, Ktext(u8"알 수 없는 설정입니다. absent, signature=, dead-page=, dead-eeprom=, "
                               u8"stuck-fuses, pull-after=, clock= 중 하나를 쓰세요."));
  }
  return Success();
}

bool NamesSim(std::string_view text) { return text == "sim" || text.starts_with("sim:") || text.starts_with("sim,"); }

Result<CableSetting> Twin(CableKind kind, Result<CableSetting> setting) {
  if (setting) setting->kind = kind;
  return setting;
}

// "sim[:FILE][,KNOB]...": the file ends at the first comma, each knob at the next.
Result<CableSetting> ParseSimText(std::string_view text) {
  CableSetting setting;
  setting.simulated = true;
  const std::size_t comma = std::min(text.find(','), text.size());
  const std::string_view head = text.substr(0, comma);
  if (head == "sim:") return Failure{Ktext(u8"케이블 설정 'sim:' 뒤에 파일 이름이 없습니다.")};
  if (head.size() > 4) setting.file = std::string(head.substr(4));
  for (std::size_t at = comma; at < text.size();) {
    const std::size_t next = std::min(text.find(',', at + 1), text.size());
    Status applied = ApplyKnob(text.substr(at + 1, next - at - 1), setting);
    if (!applied) return Failure{applied.reason()};
    at = next;
  }
  return setting;
}

Result<CableSetting> ParsePortText(std::string_view text) {
  CableSetting setting;
  const std::size_t colon = text.find(':');
  setting.port = std::string(text.substr(0, colon));
  if (colon != std::string_view::npos) setting.wiring = std::string(text.substr(colon + 1));
  if (!WiringNamed(setting.wiring)) {
    return Failure{Ktext(u8"알 수 없는 케이블 배선 '") + setting.wiring + Ktext(u8"' 입니다. 쓸 수 있는 배선: ") +
                   WiringNames()};
  }
  return setting;
}

// "arduino:PORT[@BAUD]": the port is a path, so only the last '@' starts the speed.
Result<CableSetting> ParseArduinoText(std::string_view text) {
  CableSetting setting;
  text.remove_prefix(std::string_view("arduino:").size());
  if (NamesSim(text)) return Twin(CableKind::Arduino, ParseSimText(text));
  setting.kind = CableKind::Arduino;
  const std::size_t at = text.rfind('@');
  setting.serial_port = std::string(text.substr(0, at));
  setting.baud = kStk500DefaultBaud;
  if (at != std::string_view::npos) {
    std::optional<int> baud = WholeNumber<int>(text.substr(at + 1));
    if (!baud || *baud <= 0) return Failure{Ktext(u8"케이블 설정 'arduino:' 의 속도가 잘못되었습니다 (예: arduino:/dev/ttyACM0@19200).")};
    setting.baud = *baud;
  }
  if (setting.serial_port.empty()) return Failure{Ktext(u8"케이블 설정 'arduino:' 뒤에 시리얼 포트가 없습니다 (예: arduino:/dev/ttyACM0).")};
  return setting;
}

// The setting of a cable of this kind: its twin when the rest of the text is a sim text.
Result<CableSetting> KindOf(CableKind kind, std::string_view rest) {
  return Twin(kind, NamesSim(rest) ? ParseSimText(rest) : CableSetting{});
}

// "usbasp[:SERIAL]", or "usbasp:sim..." with the file and knobs of "sim".
Result<CableSetting> ParseUsbaspText(std::string_view text) {
  text.remove_prefix(std::min(text.size(), std::string_view("usbasp:").size()));
  Result<CableSetting> setting = KindOf(CableKind::Usbasp, text);
  if (setting && !setting->simulated) setting->usb_serial = std::string(text);
  return setting;
}

// "gpio:CHIP:RESET,SCK,MOSI,MISO", or "gpio:sim..." with the sim text's file and knobs.
Result<CableSetting> ParseGpioText(std::string_view text) {
  Result<CableSetting> setting = KindOf(CableKind::Gpio, text);
  if (!setting) return setting;
  Result<GpioWiring> wiring = setting->simulated ? RaspberryPiWiring() : ParseGpioWiring(text);
  if (!wiring) return Failure{wiring.reason()};
  setting->gpio = *wiring;
  return setting;
}

// "ftdi[:SERIAL][:PINS]" and "ftdi-mpsse[:SERIAL][:RESET=Dn]", or their "...:sim..." with the
// sim text's file and knobs.
Result<CableSetting> ParseFtdiText(CableKind kind, std::string_view text) {
  Result<CableSetting> setting = KindOf(kind, text);
  if (!setting) return setting;
  const bool mpsse = kind == CableKind::FtdiMpsse;
  Result<FtdiWiring> wiring = setting->simulated ? (mpsse ? MpsseWiring() : FtdiWiring{})
                              : mpsse            ? ParseMpsseWiring(text)
                                                 : ParseFtdiWiring(text);
  if (!wiring) return Failure{wiring.reason()};
  setting->ftdi = *wiring;
  return setting;
}

void SetUpSim(SimCable& sim, const CableSetting& setting) {
  sim.absent = setting.absent;
  sim.chip().faults = setting.faults;
  sim.chip().clock_hz = setting.clock_hz;
}

std::unique_ptr<SimCable> SimChip(const CableSetting& setting, const ChipImage& image) {
  auto sim = std::make_unique<SimCable>(ModelOfImage(image), setting.file);
  SetUpSim(*sim, setting);
  return sim;
}

CableRig SimRig(const CableSetting& setting, const ChipImage& image) {
  CableRig rig;
  auto sim = SimChip(setting, image);
  rig.sim = sim.get();
  rig.clock = &sim->clock();
  rig.cable = std::move(sim);
  return rig;
}

CableRig PortRig(std::unique_ptr<Cable> cable) {
  CableRig rig;
  rig.cable = std::move(cable);
  rig.own_clock = std::make_unique<SystemClock>();
  rig.clock = rig.own_clock.get();
  return rig;
}

// The real USBasp code on the machine's USB, or on the twin's bus with the virtual chip.
CableRig UsbaspRig(const CableSetting& setting, const ChipImage& image) {
  CableRig rig;
  if (setting.simulated) {
    auto twin = std::make_unique<UsbaspTwin>(ModelOfImage(image), setting.file);
    SetUpSim(twin->cable(), setting);
    rig.sim = &twin->cable();
    rig.clock = &twin->cable().clock();
    rig.usb = std::move(twin);
  } else {
    rig.usb = std::make_unique<LibusbBus>();
    rig.own_clock = std::make_unique<SystemClock>();
    rig.clock = rig.own_clock.get();
  }
  rig.link = std::make_unique<UsbaspLink>(*rig.usb, *rig.clock, setting.usb_serial);
  return rig;
}

// The real cable's code over the twin of its library, whose simulated cable holds the chip and
// the clock. A chip file that cannot be taken refuses the run with its reason.
template <typename Twin, typename Attach>
CableRig TwinRig(std::unique_ptr<Twin> twin, const CableSetting& setting, Attach attach) {
  SimCable& sim = twin->sim();
  if (!sim.load_status().ok()) return PortRig(std::make_unique<UnusableCable>(sim.load_status().reason()));
  SetUpSim(sim, setting);
  CableRig rig;
  rig.sim = &sim;
  rig.clock = &sim.clock();
  attach(rig, std::move(twin));
  return rig;
}

CableRig GpioRig(const CableSetting& setting, const ChipImage& image) {
  if (!setting.simulated) return PortRig(std::make_unique<GpioCable>(LibgpiodLines(), setting.gpio));
  auto twin = std::make_unique<GpioTwin>(ModelOfImage(image), setting.file, setting.gpio);
  return TwinRig(std::move(twin), setting, [&](CableRig& rig, std::unique_ptr<GpioTwin> lines) {
    rig.cable = std::make_unique<GpioCable>(std::move(lines), setting.gpio);
  });
}

CableRig FtdiRig(const CableSetting& setting, const ChipImage& image) {
  if (!setting.simulated) return PortRig(std::make_unique<FtdiCable>(Libftdi(), setting.ftdi));
  auto twin = std::make_unique<FtdiTwin>(ModelOfImage(image), setting.file, setting.ftdi);
  return TwinRig(std::move(twin), setting, [&](CableRig& rig, std::unique_ptr<FtdiTwin> chip) {
    rig.cable = std::make_unique<FtdiCable>(std::move(chip), setting.ftdi);
  });
}

// The MPSSE link's real code on libftdi, or on the fake FT2232H with the virtual chip.
CableRig FtdiMpsseRig(const CableSetting& setting, const ChipImage& image) {
  if (!setting.simulated) {
    CableRig rig = PortRig(nullptr);
    rig.link = std::make_unique<FtdiMpsseLink>(Libftdi(), setting.ftdi, *rig.clock);
    return rig;
  }
  auto twin = std::make_unique<FtdiMpsseTwin>(ModelOfImage(image), setting.file, setting.ftdi.reset);
  return TwinRig(std::move(twin), setting, [&](CableRig& rig, std::unique_ptr<FtdiMpsseTwin> chip) {
    rig.link = std::make_unique<FtdiMpsseLink>(std::move(chip), setting.ftdi, *rig.clock);
  });
}

// The Arduino cable's real code on a pseudo-terminal, the virtual board answering from a thread.
CableRig ArduinoTwinRig(const CableSetting& setting, const ChipImage& image) {
  auto twin = std::make_unique<Stk500Twin>(SimChip(setting, image));
  if (Status started = twin->Start(); !started) return PortRig(std::make_unique<UnusableCable>(started.reason()));
  CableRig rig = PortRig(nullptr);
  rig.sim = &twin->cable();
  rig.link = std::make_unique<Stk500Link>(twin->port_path(), kStk500DefaultBaud, &image);
  rig.twin = std::move(twin);
  return rig;
}

CableRig ArduinoRig(const CableSetting& setting, const ChipImage& image) {
  CableRig rig = PortRig(nullptr);
  rig.link = std::make_unique<Stk500Link>(setting.serial_port, setting.baud, &image);
  return rig;
}

}  // namespace

CableRig::CableRig() = default;
CableRig::~CableRig() = default;
CableRig::CableRig(CableRig&&) = default;
CableRig& CableRig::operator=(CableRig&&) = default;

Result<CableSetting> ParseCableText(const std::string& cable_text) {
  std::string_view text = cable_text;
  if (text.starts_with("arduino:")) return ParseArduinoText(text);
  if (text == "usbasp" || text.starts_with("usbasp:")) return ParseUsbaspText(text);
  if (text.starts_with("gpio:")) return ParseGpioText(text.substr(5));
  if (text == "ftdi-mpsse" || text.starts_with("ftdi-mpsse:")) {
    return ParseFtdiText(CableKind::FtdiMpsse, text.substr(std::min<std::size_t>(11, text.size())));
  }
  if (text == "ftdi" || text.starts_with("ftdi:")) {
    return ParseFtdiText(CableKind::Ftdi, text.substr(std::min<std::size_t>(5, text.size())));
  }
  if (NamesSim(text)) return ParseSimText(text);
  return ParsePortText(text);
}

ChipModel ModelOfImage(const ChipImage& image) {
  ChipModel model;
  static_cast<ChipGeometry&>(model) = image;
  model.lock = image.lockBits;
  model.extended = image.extendedFuse;
  model.high = image.highFuse;
  model.low = image.lowFuse;
  return model;
}

CableRig MakeCable(const std::string& cable_text, const ChipImage& image,
                   const std::string& chip_folder) {
  Result<CableSetting> setting = ParseCableText(cable_text);
  if (!setting) return PortRig(std::make_unique<UnusableCable>(setting.reason()));
  if (!setting->file.empty() && setting->file.front() != '/') setting->file = chip_folder + setting->file;
  switch (setting->kind) {
    case CableKind::Usbasp:
      return UsbaspRig(*setting, image);
    case CableKind::Gpio:
      return GpioRig(*setting, image);
    case CableKind::Ftdi:
      return FtdiRig(*setting, image);
    case CableKind::FtdiMpsse:
      return FtdiMpsseRig(*setting, image);
    case CableKind::Arduino:
      return setting->simulated ? ArduinoTwinRig(*setting, image) : ArduinoRig(*setting, image);
    case CableKind::ParallelPort:
      break;
  }
  if (setting->simulated) return SimRig(*setting, image);
  return PortRig(std::make_unique<ExplainedParportCable>(setting->port, *WiringNamed(setting->wiring)));
}

std::string PortOpenRemedies() {
  return Ktext(u8"  - 병렬 포트 드라이버를 올리세요: sudo modprobe ppdev"
               u8"\r\n  - 사용자를 lp 그룹에 넣고 다시 로그인하세요: sudo adduser 사용자 lp"
               u8"\r\n  - 하드웨어 없이 해 보려면 가상 AVR 을 쓰세요: -c sim (Tolmeo 창에서는 설정 파일의 케이블을 sim 으로)"
               u8"\r\n  - 자세한 설명: ") +
         DataFolder() + "help/help.html";
}

}  // namespace tolmeo
