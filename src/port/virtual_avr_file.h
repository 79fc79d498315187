#pragma once
// The file a virtual AVR keeps its memories in between runs: a short header with the memory
// sizes, the lock and fuse bytes, then the Flash and EEPROM bytes as they are.
#include <string>
#include <string_view>

#include "base/result.h"
#include "port/avr_memories.h"

namespace tolmeo {

std::string SerialiseChip(const AvrMemories& memories);

// Takes over the saved state when it is whole and made for chips of the same sizes; otherwise
// says why and leaves the memories as they were.
Status RestoreChip(std::string_view bytes, AvrMemories& memories);

}  // namespace tolmeo
