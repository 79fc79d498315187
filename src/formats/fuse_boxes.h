#pragma once
// The 4 x 8 check boxes of the lock and fuse bit editor as plain data, with the two rules that
// tie them to the lock and fuse bytes. The windows draw them; tolmeo-cli and the tests use them as
// they are.
#include <array>
#include <cstdint>
#include <string>

namespace tolmeo {

enum class FuseGroup { Lock, Extended, High, Low };
inline constexpr std::array<FuseGroup, 4> kFuseGroups = {FuseGroup::Lock, FuseGroup::Extended,
                                                          FuseGroup::High, FuseGroup::Low};

// One check box of the lock and fuse bit editor with its name label.
struct BitBox {
  bool checked = false;  // checked = programmed = bit value 0
  std::string name;      // CP949
  bool fixed = false;    // a fixed bit's box is disabled
};

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
