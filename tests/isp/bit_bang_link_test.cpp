// The bit-bang link under the instructions: held loads wait and then go out exactly as single
// instructions would, before the answer that needs them.
#include "isp/bit_bang_link.h"

#include <gtest/gtest.h>

#include "wire_trace.h"

namespace tolmeo {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Wire {
  Wire() {
    driver.OpenPort();
    driver.PortIdle();
    cable.Mark();
    clock.sleeps.clear();
  }
  testing::MarkedCable cable;
  testing::CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver{cable, clock, speed};
  BitBangLink link{driver};
};

TEST(BitBangLink, HeldSendsWaitAndGoOutBeforeTheNextAnswerInOrder) {
  Wire wire;
  wire.link.HoldSends();
  wire.link.Send({0x40, 0x00, 0x01, 0x34});
  wire.link.Send({0x48, 0x00, 0x01, 0x12});
  EXPECT_TRUE(wire.cable.Writes().empty());
  wire.cable.AnswerQuery(0x08, 0xD9);
  const IspReply reply = wire.link.Query(0x58, 0x08, 0x00);
  EXPECT_EQ(wire.cable.Sent(), (Bytes{0x40, 0x00, 0x01, 0x34, 0x48, 0x00, 0x01, 0x12, 0x58, 0x08, 0x00, 0x00}));
  EXPECT_EQ(wire.cable.status_reads(), 16);  // only the query samples MISO
  EXPECT_EQ(reply.echo, 0x08);
  EXPECT_EQ(reply.value, 0xD9);
}

TEST(BitBangLink, AWaitSendsWhatIsHeldFirst) {
  Wire wire;
  wire.link.HoldSends();
  wire.link.Send({0x4C, 0x00, 0x40, 0x00});
  wire.link.SleepMs(5);
  EXPECT_EQ(wire.cable.Sent(), (Bytes{0x4C, 0x00, 0x40, 0x00}));
  EXPECT_EQ(wire.clock.sleeps, std::vector<std::int32_t>{5});
}

TEST(BitBangLink, TheCableCountsAreTheLinks) {
  Wire wire;
  EXPECT_EQ(wire.link.Stats().accesses, 0);  // a recording cable counts nothing
  EXPECT_TRUE(wire.link.Capabilities().echoes);
  EXPECT_TRUE(wire.link.Capabilities().engine_clocks_sck);
}

}  // namespace
}  // namespace tolmeo
