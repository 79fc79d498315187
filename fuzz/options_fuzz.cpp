// links: formats
// Any file fed to the options reader gives a record inside its ranges that survives a save and
// a load unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/ide_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The way a file goes at start-up: recognised as UTF-8 or CP949, then read.
  tolmeo::Result<std::string> cp949 =
      tolmeo::OptionsTextInCp949(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!cp949) return 0;
  tolmeo::IdeOptions options = tolmeo::ParseOptions(*cp949);
  if (options.brightness < 0 || options.brightness > 255 || options.ispSpeed < 0 ||
      options.backgroundPicturePath.size() >= tolmeo::kMaxOptionPathBytes) {
    std::abort();
  }
  std::string text = tolmeo::FormatOptions(options);
  if (tolmeo::ParseOptions(text) != options) std::abort();
  return 0;
}
