#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto arguments = tolmeo::cli::ParseArguments(args);
  if (!arguments) {
    std::fprintf(stderr, "tolmeo-cli: %s\n", arguments.reason().c_str());
    return 2;
  }
  std::fputs(tolmeo::cli::UsageText().c_str(), stdout);
  return 0;
}
