#include "cli/cli_arguments.h"

#include <charconv>
#include <string_view>

#include "base/cp949.h"
#include "isp/cable_choice.h"

namespace tolmeo::cli {
namespace {

// Korean literals of this file, as the terminal shows them.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

Action ActionOf(ActionKind kind) {
  Action action;
  action.kind = kind;
  return action;
}

Failure Usage(std::string reason) { return Failure{std::move(reason) + U8(u8" (--help 를 보세요)")}; }

// Text after "prefix", or nullopt when text does not start with it.
std::optional<std::string_view> After(std::string_view text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return std::nullopt;
  return text.substr(prefix.size());
}

// A typed name as Tolmeo keeps it; what CP949 cannot hold would name another file.
Result<std::string> Cp949Name(std::string_view typed) {
  if (std::optional<std::string> cp949 = ExactCp949FromUtf8(typed)) return *cp949;
  return Usage("'" + std::string(typed) +
               U8(u8"' 에 CP949 로 나타낼 수 없는 글자가 있습니다. Tolmeo 는 파일 이름을 CP949 로 다루므로 "
                  u8"다른 이름을 써 주세요"));
}

std::optional<std::uint8_t> ParseHexByte(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 2) return std::nullopt;
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

// "LOCK,EXT,HIGH,LOW" in hex, for fuses:w and auto.
Result<std::array<std::uint8_t, 4>> ParseFuseBytes(std::string_view values) {
  std::array<std::uint8_t, 4> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::size_t comma = values.find(',');
    bool last = i + 1 == bytes.size();
    if (last != (comma == std::string_view::npos)) {
      return Usage(U8(u8"Lock, 퓨즈 바이트는 LOCK,EXT,HIGH,LOW 네 개의 16진수로 적어 주세요"));
    }
    std::optional<std::uint8_t> value = ParseHexByte(values.substr(0, comma));
    if (!value) {
      return Usage(U8(u8"16진수 한 바이트가 아닙니다: '") + std::string(values.substr(0, comma)) + "'");
    }
    bytes[i] = *value;
    if (!last) values.remove_prefix(comma + 1);
  }
  return bytes;
}

Result<Action> ParseFuseWrite(std::string_view values) {
  Result<std::array<std::uint8_t, 4>> bytes = ParseFuseBytes(values);
  if (!bytes) return Failure{bytes.reason()};
  Action action = ActionOf(ActionKind::kFusesWrite);
  action.fuses = *bytes;
  return action;
}

Result<Action> FileAction(ActionKind kind, std::string_view memory, std::string_view file) {
  Result<std::string> name = Cp949Name(file);
  if (!name) return Failure{name.reason()};
  Action action = ActionOf(kind);
  (memory == "flash" ? action.flash_file : action.eeprom_file) = *name;
  return action;
}

// "flash:w:FILE" and its kin. The file is everything after the second colon, so a path may
// hold colons of its own.
std::optional<Result<Action>> ParseMemoryAction(std::string_view text, std::string_view memory,
                                                ActionKind write, ActionKind verify,
                                                ActionKind read) {
  std::optional<std::string_view> rest = After(text, std::string(memory) + ":");
  if (!rest) return std::nullopt;
  const std::pair<std::string_view, ActionKind> operations[] = {{"w:", write}, {"v:", verify}, {"r:", read}};
  for (auto [prefix, kind] : operations) {
    std::optional<std::string_view> file = After(*rest, prefix);
    if (!file) continue;
    if (file->empty()) return Usage(U8(u8"파일 이름이 없습니다: '") + std::string(text) + "'");
    return FileAction(kind, memory, *file);
  }
  return Usage(U8(u8"모르는 작업입니다: '") + std::string(text) + "'");
}

// The end of auto's EEPROM part that says which fuse bytes to write: "keep" or four bytes
// after the last colon. Anything else there belongs to the EEPROM file's name.
Status TakeAutoFuses(std::string_view& eeprom, Action& action) {
  std::size_t colon = eeprom.rfind(':');
  if (colon == std::string_view::npos) return Success();
  std::string_view tail = eeprom.substr(colon + 1);
  if (tail == "keep") {
    action.auto_fuses = AutoFuses::kChip;
  } else if (tail.find(',') != std::string_view::npos) {
    Result<std::array<std::uint8_t, 4>> bytes = ParseFuseBytes(tail);
    if (!bytes) return Failure{bytes.reason()};
    action.auto_fuses = AutoFuses::kGiven;
    action.fuses = *bytes;
  } else {
    return Success();
  }
  eeprom = eeprom.substr(0, colon);
  return Success();
}

// "auto:FLASH:EEPROM[:keep|:LOCK,EXT,HIGH,LOW]"; either file may be empty. The Flash file ends
// at the first colon.
Result<Action> ParseAuto(std::string_view files) {
  std::size_t colon = files.find(':');
  if (colon == std::string_view::npos) {
    return Usage(U8(u8"auto 에는 FLASH:EEPROM 이 필요합니다 (어느 쪽이든 비워 둘 수 있습니다)"));
  }
  Action action = ActionOf(ActionKind::kAuto);
  std::string_view eeprom = files.substr(colon + 1);
  if (Status fuses = TakeAutoFuses(eeprom, action); !fuses) return Failure{fuses.reason()};
  Result<std::string> flash_name = Cp949Name(files.substr(0, colon));
  if (!flash_name) return Failure{flash_name.reason()};
  Result<std::string> eeprom_name = Cp949Name(eeprom);
  if (!eeprom_name) return Failure{eeprom_name.reason()};
  action.flash_file = *flash_name;
  action.eeprom_file = *eeprom_name;
  return action;
}

Result<Action> ParseAction(std::string_view text) {
  if (text == "erase") return ActionOf(ActionKind::kErase);
  if (text == "run") return ActionOf(ActionKind::kRun);
  if (text == "list") return ActionOf(ActionKind::kList);
  if (text == "probe") return ActionOf(ActionKind::kProbe);
  if (text == "fuses:r") return ActionOf(ActionKind::kFusesRead);
  if (auto values = After(text, "fuses:w:")) return ParseFuseWrite(*values);
  if (auto files = After(text, "auto:")) return ParseAuto(*files);
  if (auto flash = ParseMemoryAction(text, "flash", ActionKind::kFlashWrite, ActionKind::kFlashVerify,
                                     ActionKind::kFlashRead)) {
    return *flash;
  }
  if (auto eeprom = ParseMemoryAction(text, "eeprom", ActionKind::kEepromWrite,
                                      ActionKind::kEepromVerify, ActionKind::kEepromRead)) {
    return *eeprom;
  }
  return Usage(U8(u8"모르는 작업입니다: '") + std::string(text) + "'");
}

// The slowest chips on ISP run from a 32 kHz crystal and need a speed near 500; 0xFFFF (16 ms a
// clock phase) is far beyond any of them, and a larger value is a typing slip, not a setting.
inline constexpr std::int32_t kMaxIspSpeed = 0xFFFF;

// Decimal, or hexadecimal with "0x" as the options file and --help write it.
Result<std::int32_t> ParseSpeed(std::string_view text) {
  int base = 10;
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  std::int32_t speed = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), speed, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      speed < 0 || speed > kMaxIspSpeed) {
    return Usage(U8(u8"-s 에는 0 부터 65535 (0xFFFF) 까지의 정수를 주세요: '") + std::string(text) +
                 "'");
  }
  return speed;
}

// Applies option flag with its value; an unknown flag is a usage error.
Status ApplyOption(std::string_view flag, const std::string& value, Arguments& arguments) {
  if (value.empty()) return Usage(std::string(flag) + U8(u8" 의 값이 비어 있습니다"));
  if (flag == "-s") {
    Result<std::int32_t> speed = ParseSpeed(value);
    if (!speed) return Failure{speed.reason()};
    arguments.speed = *speed;
    return Success();
  }
  Result<std::string> name = Cp949Name(value);
  if (!name) return Failure{name.reason()};
  if (flag == "-c") {
    if (Result<CableSetting> cable = ParseCableText(*name); !cable) return Usage(Utf8FromCp949(cable.reason()));
  }
  (flag == "-c" ? arguments.cable : arguments.device) = *name;
  return Success();
}

}  // namespace

Result<Arguments> ParseArguments(std::span<const std::string> args) {
  Arguments arguments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      arguments.help = true;
    } else if (arg == "-y") {
      arguments.assume_yes = true;
    } else if (arg == "-v") {
      arguments.verbose = true;
    } else if (arg == "--sck") {
      arguments.report_sck = true;
    } else if (arg == "-c" || arg == "-d" || arg == "-s") {
      if (i + 1 == args.size()) return Usage(arg + U8(u8" 다음에 값이 필요합니다"));
      Status applied = ApplyOption(arg, args[++i], arguments);
      if (!applied) return Failure{applied.reason()};
    } else if (arg.starts_with("-")) {
      return Usage(U8(u8"모르는 옵션입니다: '") + arg + "'");
    } else {
      Result<Action> action = ParseAction(arg);
      if (!action) return Failure{action.reason()};
      arguments.actions.push_back(*action);
    }
  }
  if (!arguments.help && !arguments.report_sck && arguments.actions.empty()) {
    return Usage(U8(u8"할 작업이 없습니다"));
  }
  return arguments;
}

std::string UsageText() {
  return U8(u8R"(사용법: tolmeo-cli [-c 케이블] [-d 장치] [-s 속도] [-y] [-v] [--sck] 작업...

ISP 케이블로 AVR 마이크로컨트롤러를 프로그램합니다. 작업은 적은 순서대로 합니다.
'run' 과 'list' 를 뺀 모든 작업은 먼저 칩을 프로그램 모드로 넣고 칩의 시그너처를
명세문서와 맞추어 봅니다. 작업 하나가 실패하면 나머지는 하지 않습니다.
작업마다 한 줄로 무엇을 했는지 알려 줍니다.

작업:
  erase                   Flash, EEPROM, Lock 비트를 지웁니다
  flash:w:FILE            Intel HEX 파일 FILE 을 Flash 에 기록합니다 (먼저 erase 하거나 auto 를 쓰세요)
  flash:v:FILE            Flash 를 FILE 과 비교합니다
  flash:r:FILE            Flash 전체를 읽어 Intel HEX 파일 FILE 로 저장합니다
  eeprom:w:FILE           EEPROM 에 대한 같은 세 가지
  eeprom:v:FILE
  eeprom:r:FILE
  fuses:r                 Lock, Extended, High, Low 퓨즈 바이트를 읽어 보여 줍니다
  fuses:w:LOCK,EXT,HIGH,LOW
                          네 바이트를 16진수로 받아 기록합니다 (예: fuses:w:FF,FD,DE,FF)
  auto:FLASH:EEPROM       지우고, Flash 를 기록하고 비교하고, EEPROM 을 기록하고 비교한 뒤
                          명세문서의 Lock, 퓨즈 바이트를 기록합니다. 파일을 비워 두면 그
                          메모리는 건너뜁니다 (auto:blink.hex: 는 Flash 만 합니다)
  auto:FLASH:EEPROM:keep  같은 순서이되, 지우기 전에 칩에서 읽은 네 바이트를 그대로 다시 씁니다
  auto:FLASH:EEPROM:LOCK,EXT,HIGH,LOW
                          같은 순서이되, 주어진 네 바이트를 씁니다
                          auto 는 기록하기 전에 어느 바이트를 쓰는지 먼저 알려 줍니다
  run                     칩을 놓아 주어 칩의 프로그램이 실행되게 합니다
  list                    -d 에 줄 수 있는 명세문서를 보여 줍니다
  probe                   달려 있는 케이블을 찾아 (병렬 포트, Arduino 가 대답하는 시리얼 포트,
                          gpiochip, USBasp, FTDI) 케이블마다 한 줄로 칩이 대답하는지, 칩의
                          시그너처와 시그너처를 바르게 읽는 가장 빠른 ISP 속도를 알려 줍니다.
                          -c 를 주면 그 케이블만 봅니다. 다른 작업은 하지 않습니다

명세문서에서 고정(fixed)으로 표시된 비트는 주어진 값 대신 명세문서의 값을 지킵니다
(ISP 를 끄는 SPIEN 같은 비트를 잘못 기록하지 않도록). 그때는 경고가 나옵니다.

옵션:
  -c 케이블   이번 실행에 쓸 케이블 (설정 파일 opt/opt.opt 의 설정 대신, 아래 '파일' 참고):
              포트[:배선]   병렬 포트 (parport0; 비우면 처음 찾은 포트)와 케이블의 배선:
                             tolmeo (기본값), stk200, dapa, bsd, dt006 (핀 번호는 help/help.html)
              arduino:PORT[@BAUD]
                             ArduinoISP 스케치를 올린 Arduino (시리얼 포트, 기본 19200 baud)
              arduino:sim[:FILE][,고장]...
                             가상 Arduino 뒤의 가상 칩 (아래 sim 과 같은 고장들)
              usbasp[:SERIAL]
                             USB 의 USBasp (여러 개면 일련번호 SERIAL 의 것). SCK 는 USBasp 가
                             ISP 속도에 맞는 가장 빠른 것으로 정합니다
              usbasp:sim[:FILE][,고장]...
                             가상 USBasp 와 그 뒤의 가상 칩 (FILE 과 고장은 아래 sim 과 같습니다)
              gpio:CHIP:RESET,SCK,MOSI,MISO
                             GPIO 헤더 (라즈베리 파이: gpio:gpiochip0:25,11,10,9)
              ftdi[:SERIAL][:핀]
                             FTDI FT232R/FT2232H 비트뱅 (기본 MOSI=TXD MISO=RXD SCK=RTS RESET=DTR,
                             바꾸려면 ftdi::RESET=CTS,SCK=D5)
              ftdi-mpsse[:SERIAL][:RESET=Dn]
                             FT2232H 의 MPSSE: SPI 를 칩이 스스로 보냅니다 (SCK=D0 MOSI=D1
                             MISO=D2 RESET=D3, RESET 만 D4~D7 로 바꿀 수 있습니다)
              gpio:sim..., ftdi:sim..., ftdi-mpsse:sim...
                             그 케이블의 코드로 가상 칩을 씁니다 (sim 과 같은 FILE 과 고장)
              sim[:FILE][,고장]...
                             선택한 장치의 가상 칩. 실행할 때마다 지워진 상태이거나, FILE 에
                             보관됩니다 (FILE 에는 쉼표를 쓸 수 없습니다. 실행하는 동안 파일을
                             잠그고, 모든 작업이 성공했을 때만 다시 씁니다). 고장을 넣어 실패가
                             어떻게 보이는지 볼 수 있습니다:
                absent           케이블에 아무것도 달려 있지 않습니다
                signature=1E9514 칩이 다른 시그너처로 대답합니다
                dead-page=WORD   그 워드 주소를 담은 Flash 페이지가 기록되지 않습니다
                dead-eeprom=ADDR 그 EEPROM 바이트가 기록되지 않습니다
                stuck-fuses      퓨즈와 Lock 기록이 먹지 않습니다
                pull-after=N     선이 N 번 바뀐 뒤 케이블이 빠집니다
                clock=MHZ        칩의 클럭, 소수도 됩니다 (clock=0.5). 기본값은 공장에서 갓
                                 나온 AVR 의 클럭인 1 입니다. 그런 칩에 너무 빠른 속도는 실제
                                 칩에서처럼 여기서도 실패합니다
              숫자는 10진수, 또는 0x 를 붙인 16진수입니다.
  -d 장치     명세문서 AvrSpec/장치.avrspec (아래 '파일' 참고. 기본값: 이름 순서로 첫 번째,
              'list' 참고)
  -s 속도     ISP 속도: SCK 가 바뀔 때마다 기다리는 시간, 0.25 us 단위로 어느 PC 에서나
              같습니다 (0 은 포트가 허락하는 만큼 빠릅니다). 10진수나 0x 로 시작하는
              16진수로, 0 부터 0xFFFF (65535) 까지 씁니다. SCK 의 한 단계는 칩 클럭 2 개보다
              길어야 합니다: 0x10 (기본값, 4 us) 은 1 MHz 이상의 칩에 맞습니다. 대략
              16 / MHz 를 쓰세요 (128 kHz 는 0x80, 8 MHz 는 2)
  --sck       ISP 속도가 이 케이블에서 주는 SCK 속도와 맞는 칩을 알려 줍니다 (열리는 병렬
              포트는 시간을 잽니다)
  -y          칩의 시그너처가 명세문서와 다를 때도 계속합니다 (-y 가 없으면 거절합니다)
  -v          끝에 케이블이 한 일을 한 줄로 알려 줍니다: 포트 접근, 전송, 바이트 수와
              엔진이 기다린 시간 (stats: accesses=N transfers=N bytes=N wait_s=X)
  -h, --help  이 설명을 보여 줍니다

종료 상태:
  0  성공
  1  칩이 실패했습니다 (응답 없음, 시그너처 거절, 기록한 값이 읽히지 않음, 비교 차이)
  2  사용법이나 파일의 문제 (모르는 작업, 없거나 망가진 HEX 파일, 저장하지 못한 파일)
  3  설치와 설정의 문제 (케이블을 열지 못함, 명세문서가 없음): 칩은 건드리지 않았습니다

병렬 포트 케이블이 열리지 않으면: sudo modprobe ppdev 로 ppdev 모듈을 올리고, 사용자를
lp 그룹에 넣은 뒤 (sudo adduser 사용자 lp) 다시 로그인하세요. 하드웨어 없이 해 보려면
-c sim 을 쓰세요. 자세한 설명은 help/help.html 에 있습니다.

파일:
  명세문서 AvrSpec/, 도움말 help/help.html 과 처음 설정 opt/opt.opt 는 빌드 폴더에서는
  프로그램 옆에, 설치된 Tolmeo 에서는 bin/ 옆의 share/tolmeo/ (예: /usr/share/tolmeo/) 에
  있습니다. 예제 펌웨어 examples/ 도 설치된 share/tolmeo/ 에 있습니다.
  설정 파일 opt/opt.opt 와 비트 편집기로 저장한 명세문서 AvrSpec/ 는 빌드 폴더에서는
  프로그램 옆의 것을 씁니다. 설치된 Tolmeo 는 (또는 프로그램 옆 폴더에 쓸 수 없으면)
  사용자마다 $XDG_CONFIG_HOME/tolmeo/ (없으면 ~/.config/tolmeo/) 에 둡니다. 설정 파일은
  처음에 설치된 것을 복사해 만들고, 같은 이름의 명세문서는 사용자의 것을 먼저 씁니다.

예 (저장소 맨 위 폴더에서, 빌드한 뒤; -c sim 을 빼면 설정 파일의 케이블로 실제 칩에 합니다):
  build/run/tolmeo-cli -c sim -d ATmega328P auto:tools/firmware/blink.hex:tools/firmware/blink_eeprom.hex run
  build/run/tolmeo-cli -c sim:build/chip.sim -d ATmega328P auto:tools/firmware/blink.hex::keep run
예 (설치된 Tolmeo, 어느 폴더에서나):
  tolmeo-cli -c sim -d ATmega328P auto:/usr/share/tolmeo/examples/blink.hex: run
)");
}

}  // namespace tolmeo::cli
