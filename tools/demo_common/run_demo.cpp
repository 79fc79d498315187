#include "demo_common/run_demo.h"

#include <cstdio>
#include <optional>

#include "base/cp949.h"
#include "formats/ide_options.h"
#include "form/sdl_backend.h"
#include "gfx/font_store.h"

namespace tolmeo {
namespace {

// The screenshot path ("" for none), or nothing when the command line is not one the demos take.
std::optional<std::string> ScreenshotPath(int argc, char** argv) {
  if (argc == 1) return std::string();
  if (argc == 3 && std::string_view(argv[1]) == "--screenshot") return std::string(argv[2]);
  return std::nullopt;
}

}  // namespace

void ReportFailure(std::string_view demo, const std::string& reason) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(demo.size()), demo.data(),
               Utf8FromCp949(reason).c_str());
}

int RunDemo(std::string_view demo, int argc, char** argv, const DemoBody& body) {
  std::optional<std::string> screenshot_path = ScreenshotPath(argc, argv);
  if (!screenshot_path) {
    std::fprintf(stderr, "usage: %.*s [--screenshot FILE.bmp]\n", static_cast<int>(demo.size()),
                 demo.data());
    return 2;
  }
  auto backend = StartSdlBackend();
  if (!backend) {
    ReportFailure(demo, backend.reason());
    return 1;
  }
  Application app(std::move(*backend));
  if (Status fonts = LoadFonts(); !fonts) ReportFailure(demo, fonts.reason());
  LoadOptions();  // a missing file leaves the defaults
  int exit_code = body(app, *screenshot_path);
  FreeFonts();
  return exit_code;
}

}  // namespace tolmeo
