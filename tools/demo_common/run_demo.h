#pragma once
// What every demo does around its own windows: reads its one command line, starts the window
// system, loads the fonts and options, and says what failed on stderr.
#include <functional>
#include <string>
#include <string_view>

#include "form/application.h"

namespace tolmeo {

// Shows the demo's windows and returns the process exit code. An empty screenshot path means
// running until the user closes the windows; otherwise the screen is written there as a BMP.
using DemoBody = std::function<int(Application& app, const std::string& screenshot_path)>;

// Runs "demo [--screenshot FILE.bmp]": 2 for any other command line, 1 when no window system
// starts, else what body returns. Fonts that fail to load are reported and the demo goes on.
int RunDemo(std::string_view demo, int argc, char** argv, const DemoBody& body);

// Writes "demo: reason" to stderr; the reason is CP949 and printed as UTF-8.
void ReportFailure(std::string_view demo, const std::string& reason);

}  // namespace tolmeo
