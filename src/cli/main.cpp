// tolmeo-cli: programs an AVR from a terminal with the same engine as the windows.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/action_runner.h"
#include "cli/cli_arguments.h"
#include "cli/cli_run.h"

int main(int argc, char** argv) {
  using namespace tolmeo::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  auto arguments = ParseArguments(args);
  if (!arguments) {
    std::fprintf(stderr, "tolmeo-cli: %s\n", arguments.reason().c_str());
    return kExitUsage;
  }
  if (arguments->help) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  return RunCli(*arguments, stdout, stderr);
}
