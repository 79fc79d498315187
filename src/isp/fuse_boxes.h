#pragma once
// The 4 x 8 check boxes of the lock and fuse bit editor as plain data, with the two rules that
// tie them to the ChipImage bytes. The windows draw them; tolmeo-cli and the tests use them as
// they are.
#include <array>

#include "isp/engine_seam.h"

namespace tolmeo {

class FuseBoxes {
 public:
  BitBox& Box(FuseGroup group, int bit) { return boxes_[Index(group)][bit & 7]; }
  const BitBox& Box(FuseGroup group, int bit) const { return boxes_[Index(group)][bit & 7]; }

  // Every box counts, enabled or not.
  std::uint8_t Collect(FuseGroup group) const;
  // Fixed boxes keep their state.
  void Show(FuseGroup group, std::uint8_t value);

 private:
  static int Index(FuseGroup group) { return static_cast<int>(group); }
  std::array<std::array<BitBox, 8>, 4> boxes_;
};

}  // namespace tolmeo
