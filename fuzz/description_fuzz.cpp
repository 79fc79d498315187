// links: formats
// Any text fed to the description reader: whatever it takes must be written back in a form it
// reads again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/description_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto description =
      tolmeo::ParseDescription(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!description) return 0;
  auto text = tolmeo::FormatDescription(*description);
  if (!text) return 0;  // values beyond the writer's fixed-width fields
  auto again = tolmeo::ParseDescription(*text);
  if (!again) std::abort();
  auto text_again = tolmeo::FormatDescription(*again);
  if (!text_again || *text_again != *text) std::abort();
  return 0;
}
