// links: formats
// Any text fed to the Intel HEX reader: it must never write outside its area, and a success
// must report a range and runs of defined bytes inside it.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "formats/intel_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> area(4096, 0xFF);
  auto range = tolmeo::ParseIntelHex(
      std::string_view(reinterpret_cast<const char*>(data), size), area);
  if (!range) return 0;
  if (range->low > range->high || range->high >= area.size()) std::abort();
  for (const tolmeo::HexSpan& span : range->spans) {
    if (span.count == 0 || span.first < range->low || span.first + span.count - 1 > range->high) std::abort();
  }
  return 0;
}
