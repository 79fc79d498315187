// The seam every cable shares: batches go out edge by edge in order, statistics count only what
// reaches the port, and the engine's waits are added up.
#include <gtest/gtest.h>

#include "port/counted_clock.h"
#include "port/isp_lines.h"
#include "support/recording_cable.h"
#include "port/sim_cable.h"
#include "port/virtual_clock.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

TEST(CableSeam, ABatchGoesOutInOrderWithItsWaitsAndSamples) {
  RecordingCable cable;
  cable.ScriptStatus(StatusWithMiso(true));
  cable.ScriptStatus(StatusWithMiso(false));
  VirtualClock clock;
  LineBatch batch;
  batch.Write(0x02);
  batch.Wait(1500);
  batch.Sample();
  batch.Write(0x00);
  batch.Wait(0);
  batch.Sample();
  std::vector<std::uint8_t> miso;
  cable.Exchange(batch, clock, miso);
  EXPECT_EQ(cable.writes(), (std::vector<std::uint8_t>{0x02, 0x00}));
  EXPECT_EQ(miso, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_EQ(batch.samples(), 2);
  EXPECT_EQ(clock.NowNs(), 1500);
}

TEST(CableSeam, TheVirtualPortCountsOnlyWritesThatChangeALineAndEveryRead) {
  SimCable cable{testing::SmallChip()};
  ASSERT_TRUE(cable.Open().ok());
  cable.WriteData(kIdleDataRegister);
  cable.WriteData(kIdleDataRegister);  // changes nothing: never reaches a real port
  cable.WriteData(kIdleDataRegister | kSckBit);
  cable.ReadStatus();
  EXPECT_EQ(cable.Stats().accesses, 3);
  EXPECT_EQ(cable.Stats().transfers, 3);  // one ioctl each on ppdev
}

TEST(CableSeam, TheCountedClockAddsSleepsAndSpinsAndPassesThemOn) {
  VirtualClock beneath;
  CountedClock clock(beneath);
  clock.SleepMs(3);
  clock.SpinNs(500);
  clock.SpinNs(-7);
  clock.SleepMs(-1);
  EXPECT_DOUBLE_EQ(clock.waited_s(), 0.0030005);
  EXPECT_EQ(beneath.NowNs(), 3'000'500);
}

}  // namespace
}  // namespace tolmeo
