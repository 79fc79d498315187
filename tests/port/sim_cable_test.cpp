#include "port/sim_cable.h"

#include <gtest/gtest.h>

#include "test_wire.h"

namespace tolmeo {
namespace {

using testing::TestWire;

class SimCableTest : public ::testing::Test {
 protected:
  ChipModel model;
  SimCable cable{model};
  TestWire wire{cable, cable.clock()};
};

TEST_F(SimCableTest, ProgrammingEnableEchoesTheSecondByteInTheThird) {
  ASSERT_TRUE(cable.Open().ok());
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_TRUE(cable.chip().programming_enabled());
}

TEST_F(SimCableTest, ReadsTheSignature) {
  wire.EnterProgramming();
  for (std::uint8_t i = 0; i < 3; ++i) EXPECT_EQ(wire.Instruction(0x30, 0x00, i, 0x00)[3], model.signature[i]);
}

}  // namespace
}  // namespace tolmeo
