#pragma once
// The fixed colours every control and window draws with. Everything else derives from the
// user's overall colour, which a control reads from the options when it draws.
#include "gfx/bitmap.h"

namespace tolmeo {

inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;

}  // namespace tolmeo
