// links: formats
// Any text fed to the Intel HEX reader: it must never write outside its area, and a success
// must report a range inside it.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "formats/intel_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> area(4096, 0xFF);
  auto range = tolmeo::ParseIntelHex(
      std::string_view(reinterpret_cast<const char*>(data), size), area);
  if (range && (range->low != 0 || range->high >= area.size())) std::abort();
  return 0;
}
