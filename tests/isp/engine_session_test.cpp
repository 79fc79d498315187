// The session hands the line driver the time of a port access, so each SCK phase busy-waits
// only what the access does not already give, and a 1 MHz chip still hears every bit.
#include "isp/engine_session.h"

#include <gtest/gtest.h>

#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;

TEST(EngineSession, AOneMegahertzChipHearsEveryBitWithThePortAccessTakenOutOfTheWait) {
  std::vector<std::uint8_t> firmware(300);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 37 + 5);
  // The default speed, and the fastest one whose phases a 1 MHz chip hears (2 of its clocks).
  for (std::int32_t speed : {0x10, 0x08}) {
    SimBench b;
    b.speed = speed;
    b.session->rig().sim->access_ns = 1900;  // ppdev
    ASSERT_TRUE(b.session->OpenPort().ok());
    ASSERT_EQ(b.session->line_driver()->port_access_ns(), 1900);
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, firmware));
    EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone) << "speed " << speed;
    EXPECT_EQ(b.chip().misheard_bits(), 0) << "speed " << speed;
    const std::vector<std::uint8_t>& flash = b.chip().memories().flash();
    EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), flash.begin())) << "speed " << speed;
  }
}

TEST(EngineSession, AVirtualCableWithoutAnAccessTimeSubtractsNothing) {
  SimBench b;
  ASSERT_NE(b.session->line_driver(), nullptr);
  EXPECT_EQ(b.session->line_driver()->port_access_ns(), 0);
  EXPECT_EQ(PortAccessNsOf(b.session->rig()), 0);
}

}  // namespace
}  // namespace tolmeo
