#include "formats/fuse_boxes.h"

#include <gtest/gtest.h>

namespace tolmeo {
namespace {

TEST(FuseBoxes, CheckedBoxIsAProgrammedZeroBit) {
  FuseBoxes boxes;
  boxes.Box(FuseGroup::Low, 0).checked = true;
  boxes.Box(FuseGroup::Low, 7).checked = true;
  EXPECT_EQ(boxes.Collect(FuseGroup::Low), 0x7E);
  EXPECT_EQ(boxes.Collect(FuseGroup::High), 0xFF);
}

TEST(FuseBoxes, ShowLeavesFixedBitsAsTheyAre) {
  FuseBoxes boxes;
  boxes.Box(FuseGroup::Lock, 1) = BitBox{true, "LB2", true};
  boxes.Show(FuseGroup::Lock, 0xFF);
  EXPECT_TRUE(boxes.Box(FuseGroup::Lock, 1).checked);
  EXPECT_FALSE(boxes.Box(FuseGroup::Lock, 0).checked);
  // The fixed, checked bit is sent as 0 again by the next collect.
  EXPECT_EQ(boxes.Collect(FuseGroup::Lock), 0xFD);
  boxes.Show(FuseGroup::Lock, 0x00);
  EXPECT_TRUE(boxes.Box(FuseGroup::Lock, 0).checked);
}

}  // namespace
}  // namespace tolmeo
