#include "cli/cli_arguments.h"

#include "base/cp949.h"
#include "isp/cable_choice.h"

#include <charconv>
#include <string_view>

namespace tolmeo::cli {
namespace {

Action ActionOf(ActionKind kind) {
  Action action;
  action.kind = kind;
  return action;
}

Failure Usage(std::string reason) { return Failure{std::move(reason) + " (see --help)"}; }

// Text after "prefix", or nullopt when text does not start with it.
std::optional<std::string_view> After(std::string_view text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return std::nullopt;
  return text.substr(prefix.size());
}

std::optional<std::uint8_t> ParseHexByte(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 2) return std::nullopt;
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

Result<Action> ParseFuseValues(std::string_view values) {
  Action action = ActionOf(ActionKind::kFusesWrite);
  for (std::size_t i = 0; i < 4; ++i) {
    std::size_t comma = values.find(',');
    bool last = i == 3;
    if (last != (comma == std::string_view::npos)) {
      return Usage("fuses:w needs four hex values LOCK,EXT,HIGH,LOW");
    }
    std::optional<std::uint8_t> value = ParseHexByte(values.substr(0, comma));
    if (!value) return Usage("not a hex byte in fuses:w: '" + std::string(values.substr(0, comma)) + "'");
    action.fuses[i] = *value;
    if (!last) values.remove_prefix(comma + 1);
  }
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
    if (file->empty()) return Usage("missing file name in '" + std::string(text) + "'");
    Action action = ActionOf(kind);
    (memory == "flash" ? action.flash_file : action.eeprom_file) = std::string(*file);
    return action;
  }
  return Usage("unknown action '" + std::string(text) + "'");
}

// "auto:FLASH:EEPROM"; either file may be empty. The Flash file ends at the first colon.
Result<Action> ParseAuto(std::string_view files) {
  std::size_t colon = files.find(':');
  if (colon == std::string_view::npos) return Usage("auto needs FLASH:EEPROM (either may be empty)");
  Action action = ActionOf(ActionKind::kAuto);
  action.flash_file = std::string(files.substr(0, colon));
  action.eeprom_file = std::string(files.substr(colon + 1));
  return action;
}

Result<Action> ParseAction(std::string_view text) {
  if (text == "erase") return ActionOf(ActionKind::kErase);
  if (text == "run") return ActionOf(ActionKind::kRun);
  if (text == "list") return ActionOf(ActionKind::kList);
  if (text == "fuses:r") return ActionOf(ActionKind::kFusesRead);
  if (auto values = After(text, "fuses:w:")) return ParseFuseValues(*values);
  if (auto files = After(text, "auto:")) return ParseAuto(*files);
  if (auto flash = ParseMemoryAction(text, "flash", ActionKind::kFlashWrite, ActionKind::kFlashVerify,
                                     ActionKind::kFlashRead)) {
    return *flash;
  }
  if (auto eeprom = ParseMemoryAction(text, "eeprom", ActionKind::kEepromWrite,
                                      ActionKind::kEepromVerify, ActionKind::kEepromRead)) {
    return *eeprom;
  }
  return Usage("unknown action '" + std::string(text) + "'");
}

Result<std::int32_t> ParseSpeed(std::string_view text) {
  std::int32_t speed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || speed < 0) {
    return Usage("-s needs a whole number from 0 to 2147483647, not '" + std::string(text) + "'");
  }
  return speed;
}

// Applies option flag with its value; an unknown flag is a usage error.
Status ApplyOption(std::string_view flag, const std::string& value, Arguments& arguments) {
  if (value.empty()) return Usage(std::string(flag) + " needs a non-empty value");
  if (flag == "-c") {
    Result<CableSpec> cable = ParseCableText(Cp949FromUtf8(value));
    if (!cable) return Usage(Utf8FromCp949(cable.reason()));
    arguments.cable = value;
  } else if (flag == "-d") {
    arguments.device = value;
  } else {
    Result<std::int32_t> speed = ParseSpeed(value);
    if (!speed) return Failure{speed.reason()};
    arguments.speed = *speed;
  }
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
    } else if (arg == "--sck") {
      arguments.report_sck = true;
    } else if (arg == "-c" || arg == "-d" || arg == "-s") {
      if (i + 1 == args.size()) return Usage(arg + " needs a value");
      Status applied = ApplyOption(arg, args[++i], arguments);
      if (!applied) return Failure{applied.reason()};
    } else if (arg.starts_with("-")) {
      return Usage("unknown option '" + arg + "'");
    } else {
      Result<Action> action = ParseAction(arg);
      if (!action) return Failure{action.reason()};
      arguments.actions.push_back(*action);
    }
  }
  if (!arguments.help && !arguments.report_sck && arguments.actions.empty()) return Usage("no action given");
  return arguments;
}

std::string UsageText() {
  return R"(Usage: tolmeo-cli [-c CABLE] [-d DEVICE] [-s SPEED] [-y] [--sck] ACTION...

Programs an AVR microcontroller through an ISP cable. Actions run in the order given;
every action but 'run' and 'list' puts the chip into programming mode and checks its
signature against the device description first. The first action that fails stops the rest.

Actions:
  erase                   erase Flash, EEPROM and lock bits
  flash:w:FILE            write the Intel HEX file FILE into Flash (erase first, or use auto)
  flash:v:FILE            compare Flash with FILE
  flash:r:FILE            read the whole Flash into the Intel HEX file FILE
  eeprom:w:FILE           the same three for the EEPROM
  eeprom:v:FILE
  eeprom:r:FILE
  fuses:r                 read and show the lock, extended, high and low fuse bytes
  fuses:w:LOCK,EXT,HIGH,LOW
                          write the four bytes, given in hex (e.g. fuses:w:FF,FF,D9,E1)
  auto:FLASH:EEPROM       erase, write and verify Flash, then EEPROM, then write the
                          description's lock and fuse bytes; leave a file empty to skip it
                          (auto:blink.hex: programs Flash only)
  run                     release the chip so that it runs
  list                    list the device descriptions that can be given to -d

Options:
  -c CABLE    the cable for this run, instead of the one in opt/opt.opt:
              PORT[:WIRING]  a parallel port (parport0; empty: the first one found)
                             with the cable's wiring: tolmeo (the default), stk200,
                             dapa, bsd, dt006 (pins in help/help.html)
              sim[:FILE][,KNOB]...
                             a virtual chip of the selected device, erased at every
                             run, or kept in FILE (no comma in FILE; the file is locked
                             while a run uses it, and written back only when every
                             action succeeded). Knobs show how failures look:
                absent           no cable at all
                signature=1E9514 the chip answers another signature
                dead-page=WORD   the Flash page holding that word address never takes
                dead-eeprom=ADDR that EEPROM byte never takes
                stuck-fuses      fuse and lock writes never take
                pull-after=N     the cable comes off after N line changes
                clock=MHZ        the chip's clock, fractions allowed (clock=0.5); the
                                 default is 1, the clock of a factory-fresh AVR, so a
                                 speed too fast for such a chip fails here as it would
                                 on the bench
              Numbers are decimal, or hex with 0x.
  -d DEVICE   the device description AvrSpec/DEVICE.avrspec beside the program
              (default: the first one in name order; see 'list')
  -s SPEED    the ISP speed: the wait between clock edges in units of 0.25 us, the
              same on every PC (0 is as fast as the port goes). Each SCK phase must last
              more than 2 clocks of the chip: 0x10 (the default, 4 us) suits chips at
              1 MHz and faster; use about 16 / MHz, e.g. 0x80 for 128 kHz, 2 for 8 MHz
  --sck       say which SCK rate the ISP speed gives on the cable (a parallel port that
              opens is timed) and which chips it suits
  -y          go on when the chip's signature does not match the description
              (without -y such a chip is refused)
  -h, --help  show this text

Exit status: 0 success, 1 the chip failed (no answer, signature refused, a write that did
not read back, verify difference), 2 usage or file errors.

Example:
  tolmeo-cli -d ATmega328P auto:blink.hex:blink.eep.hex run
)";
}

}  // namespace tolmeo::cli
