#include "support/recording_cable.h"

#include <gtest/gtest.h>

#include "port/virtual_clock.h"
#include "test_wire.h"

namespace tolmeo {
namespace {

TEST(RecordingCableTest, KeepsWritesAndAnswersTheScriptThenIdle) {
  RecordingCable cable;
  EXPECT_TRUE(cable.Open().ok());
  cable.WriteData(0x81);
  cable.WriteData(0x83);
  cable.ScriptStatus(0x00);
  cable.ScriptStatus(0x80);
  EXPECT_EQ(cable.ReadStatus(), 0x00);
  EXPECT_EQ(cable.ReadStatus(), 0x80);
  EXPECT_EQ(cable.ReadStatus(), 0x78);
  EXPECT_EQ(cable.writes(), (std::vector<std::uint8_t>{0x81, 0x83}));
  EXPECT_EQ(cable.status_reads(), 3);
}

TEST(RecordingCableTest, ScriptedMisoByteIsReceivedBitByBit) {
  RecordingCable cable;
  VirtualClock clock;
  testing::TestWire wire(cable, clock);
  cable.ScriptMisoByte(0x53);
  cable.ScriptMisoByte(0xA0);
  EXPECT_EQ(wire.Transfer(0x00), 0x53);
  EXPECT_EQ(wire.Transfer(0x00), 0xA0);
  EXPECT_EQ(wire.Transfer(0x00), 0xFF);  // idle: nothing on the other end
}

TEST(RecordingCableTest, OpenFailsWithTheGivenReason) {
  RecordingCable cable;
  cable.FailOpen("no port");
  Status opened = cable.Open();
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.reason(), "no port");
  EXPECT_EQ(cable.open_calls(), 1);
}

}  // namespace
}  // namespace tolmeo
