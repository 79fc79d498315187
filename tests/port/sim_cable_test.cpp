#include "port/sim_cable.h"

#include <gtest/gtest.h>

#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;
using testing::TestWire;

class SimCableTest : public ::testing::Test {
 protected:
  SimCable cable{SmallChip()};
  TestWire wire{cable, cable.clock()};
};

TEST_F(SimCableTest, OpensAndReadsMisoAsTheComplementOfStatusBit7) {
  ASSERT_TRUE(cable.Open().ok());
  cable.WriteData(0x01);  // running: MISO floats high
  EXPECT_EQ(cable.ReadStatus(), 0x78);
  cable.WriteData(0x00);  // held in reset, nothing shifted yet: MISO low
  EXPECT_EQ(cable.ReadStatus(), 0xF8);
}

TEST_F(SimCableTest, ModeLineAndUnusedBitsDoNotReachTheChip) {
  cable.WriteData(0x00);
  const auto changes = cable.chip().line_changes();
  cable.WriteData(0x80);
  cable.WriteData(0x78);
  EXPECT_EQ(cable.chip().line_changes(), changes);
  EXPECT_EQ(cable.data(), 0x78);
}

}  // namespace
}  // namespace tolmeo
