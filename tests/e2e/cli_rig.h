#pragma once
// tolmeo-cli run in-process on a virtual ATmega328P kept in a temporary file, with what it
// printed and the bytes of the files it must not spoil; on the simulated cable, or on another
// cable's twin ("gpio:sim", "ftdi:sim").
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/cli_run.h"
#include "support/temp_folder.h"

namespace tolmeo::testing {

inline std::string FirmwarePath(const char* name) {
  return std::string(TOLMEO_SOURCE_DIR) + "/tools/firmware/" + name;
}

// A file's bytes, or an empty string when there is none.
inline std::string FileBytes(const std::string& utf8_path) {
  auto bytes = ReadWholeFile(Cp949FromUtf8(utf8_path));
  return bytes.ok() ? *bytes : std::string();
}

struct CliResult {
  int status = 0;
  std::string output;  // stdout and stderr together, UTF-8
};

class CliRig {
 public:
  explicit CliRig(std::string cable = "sim") : cable_(std::move(cable)) {}

  // knobs: ",KNOB,..." after the chip's file in the cable text.
  CliResult Run(const std::vector<std::string>& actions, const std::string& knobs = {},
                const std::vector<std::string>& options = {}) const {
    std::vector<std::string> args = {"-c", cable_ + ":" + chip_path() + knobs, "-d", "ATmega328P"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), actions.begin(), actions.end());
    auto arguments = cli::ParseArguments(args);
    EXPECT_TRUE(arguments.ok()) << (arguments.ok() ? "" : arguments.reason());
    if (!arguments.ok()) return {-1, {}};
    std::FILE* sink = std::tmpfile();
    CliResult result;
    result.status = cli::RunCli(*arguments, sink, sink);
    std::rewind(sink);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, sink)) > 0;) result.output.append(buffer, n);
    std::fclose(sink);
    return result;
  }

  std::string chip_path() const { return here() + "atmega328p.sim"; }
  std::string here() const { return Utf8FromCp949(folder.Cp949Path()); }

  TempFolder folder;

 private:
  std::string cable_;
};

}  // namespace tolmeo::testing
