#include "port/parport_cable.h"

#include <gtest/gtest.h>

namespace tolmeo {
namespace {

// No test machine has a parallel port to spare: only the way a missing port fails is checked.
TEST(ParportCableTest, MissingPortFailsWithAReasonAndStaysHarmless) {
  ParportCable cable("tolmeo-no-such-port");
  Status opened = cable.Open();
  ASSERT_FALSE(opened.ok());
  EXPECT_NE(opened.reason().find("tolmeo-no-such-port"), std::string::npos);
  cable.WriteData(0x81);
  EXPECT_EQ(cable.ReadStatus() & 0x80, 0);  // MISO reads high, as with nothing attached
  EXPECT_FALSE(cable.Open().ok());
}

}  // namespace
}  // namespace tolmeo
