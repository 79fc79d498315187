#pragma once
// The command line of tolmeo-cli: options first, then the actions to run in order.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace tolmeo::cli {

enum class ActionKind {
  kErase,
  kFlashWrite,
  kFlashVerify,
  kFlashRead,
  kEepromWrite,
  kEepromVerify,
  kEepromRead,
  kFusesRead,
  kFusesWrite,
  kAuto,
  kRun,
  kList,
  kProbe,  // what is attached: done alone, before any other action
};

// Which lock and fuse bytes auto writes after the memories.
enum class AutoFuses {
  kDescription,  // the description's (auto:FLASH:EEPROM)
  kChip,         // the chip's own, read before the erase (auto:FLASH:EEPROM:keep)
  kGiven,        // the four typed (auto:FLASH:EEPROM:LOCK,EXT,HIGH,LOW)
};

// Texts that name files, the cable and the device are CP949, converted exactly from what was
// typed: a name CP949 cannot hold is a usage error, never a different file.
struct Action {
  ActionKind kind = ActionKind::kErase;
  std::string flash_file;   // empty when the action has none
  std::string eeprom_file;  // for eeprom:*:FILE and the second file of auto
  // fuses:w values, or auto's with AutoFuses::kGiven, in the order typed: lock, extended,
  // high, low.
  std::array<std::uint8_t, 4> fuses{};
  AutoFuses auto_fuses = AutoFuses::kDescription;
};

struct Arguments {
  std::optional<std::string> cable;   // -c, overrides the options' cable for this run
  std::optional<std::string> device;  // -d, a description name without ".avrspec"
  std::optional<std::int32_t> speed;  // -s, overrides the options' ISP speed
  bool assume_yes = false;            // -y, go on when the signature does not match
  bool help = false;
  bool report_sck = false;            // --sck, say what the ISP speed gives on the wire
  bool verbose = false;               // -v, end with what the cable did (the stats line)
  std::vector<Action> actions;
};

// The arguments after the program name (UTF-8, as the terminal gives them). A usage error comes
// back with its reason (UTF-8).
Result<Arguments> ParseArguments(std::span<const std::string> args);

// The --help text (UTF-8).
std::string UsageText();

}  // namespace tolmeo::cli
