#pragma once
// Upper-case hexadecimal with a fixed number of digits, as the engine's messages show
// addresses and values.
#include <cstdint>
#include <string>

namespace tolmeo {

std::string HexDigits(std::uint32_t value, int digits);

}  // namespace tolmeo
