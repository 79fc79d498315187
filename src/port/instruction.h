#pragma once
// One serial-programming instruction: the four bytes that go out, or the four that come back.
#include <array>
#include <cstdint>

namespace tolmeo {

using Instruction = std::array<std::uint8_t, 4>;

}  // namespace tolmeo
