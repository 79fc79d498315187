#pragma once
// tolmeo-cli probe: one line for each cable found (or for the one -c names), saying whether a
// chip answers, its signature and the fastest ISP speed that reads it right.
#include <cstdio>
#include <optional>
#include <string>

#include "base/chip_geometry.h"

namespace tolmeo::cli {

// 0 when a chip answered on some cable, 1 when none did, 3 when no cable was found.
int PrintProbe(const std::optional<std::string>& cable_text, const ChipGeometry& device, std::FILE* out);

}  // namespace tolmeo::cli
