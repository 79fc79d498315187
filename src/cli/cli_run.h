#pragma once
// Everything tolmeo-cli does once its arguments are parsed: the options of the run folder,
// the device description, the cable, then the actions in order until one fails.
#include <cstdio>

#include "cli/cli_arguments.h"

namespace tolmeo::cli {

// The exit status: 0, or that of the first action that failed.
int RunCli(const Arguments& arguments, std::FILE* out, std::FILE* err);

}  // namespace tolmeo::cli
