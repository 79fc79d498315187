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
};

struct Action {
  ActionKind kind = ActionKind::kErase;
  std::string flash_file;   // UTF-8, as typed; empty when the action has none
  std::string eeprom_file;  // for eeprom:*:FILE and the second file of auto
  // fuses:w values in the order typed: lock, extended, high, low.
  std::array<std::uint8_t, 4> fuses{};
};

struct Arguments {
  std::optional<std::string> cable;   // -c, overrides the options' cable for this run
  std::optional<std::string> device;  // -d, a description name without ".avrspec"
  std::optional<std::int32_t> speed;  // -s, overrides the options' ISP speed
  bool assume_yes = false;            // -y, go on when the signature does not match
  bool help = false;
  bool report_sck = false;            // --sck, say what the ISP speed gives on the wire
  std::vector<Action> actions;
};

// The arguments after the program name. A usage error comes back with its reason (UTF-8).
Result<Arguments> ParseArguments(std::span<const std::string> args);

// The --help text.
std::string UsageText();

}  // namespace tolmeo::cli
