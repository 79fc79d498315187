#include "formats/fuse_boxes.h"

namespace tolmeo {

std::uint8_t FuseBoxes::Collect(FuseGroup group) const {
  std::uint8_t value = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (!Box(group, bit).checked) value |= static_cast<std::uint8_t>(1u << bit);
  }
  return value;
}

void FuseBoxes::Show(FuseGroup group, std::uint8_t value) {
  for (int bit = 0; bit < 8; ++bit) {
    BitBox& box = Box(group, bit);
    if (!box.fixed) box.checked = ((value >> bit) & 1) == 0;
  }
}

}  // namespace tolmeo
