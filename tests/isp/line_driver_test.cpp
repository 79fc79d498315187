#include "isp/line_driver.h"

#include <gtest/gtest.h>

#include "wire_trace.h"

namespace tolmeo {
namespace {

using testing::CountingClock;
using testing::MarkedCable;

struct Wire {
  MarkedCable cable;
  CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver{cable, clock, speed};
};

TEST(LineDriver, OpenAndIdleLeave0x81) {
  Wire wire;
  wire.driver.WriteDataByte(0x55);
  ASSERT_TRUE(wire.driver.OpenPort().ok());
  EXPECT_EQ(wire.driver.PortShadow(), 0);
  wire.driver.PortIdle();
  EXPECT_EQ(wire.cable.Writes(), (std::vector<std::uint8_t>{0x80, 0x81, 0x81, 0x81}));
  EXPECT_EQ(wire.driver.PortShadow(), 0x81);
  EXPECT_EQ(wire.clock.sleeps, std::vector<std::int32_t>{1});
}

TEST(LineDriver, OneLineChangeIsOneWriteOfTheWholeShadow) {
  Wire wire;
  ASSERT_TRUE(wire.driver.OpenPort().ok());
  wire.driver.PortIdle();
  wire.cable.Mark();
  wire.driver.SetLine(kSckLine, 1);
  wire.driver.SetLine(kSckLine, 0);
  wire.driver.SetLine(kMosiLine, 3);  // only the lowest bit of the level counts
  wire.driver.SetLine(kMosiLine, 2);
  EXPECT_EQ(wire.cable.Writes(), (std::vector<std::uint8_t>{0x83, 0x81, 0x85, 0x81}));
}

TEST(LineDriver, MisoIsTheComplementOfStatusBit7) {
  struct FixedStatus : Cable {
    std::uint8_t status = 0;
    Status Open() override { return Success(); }
    void WriteData(std::uint8_t) override {}
    std::uint8_t ReadStatus() override { return status; }
  } cable;
  CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver(cable, clock, speed);
  ASSERT_TRUE(driver.OpenPort().ok());
  for (auto [status, miso] : {std::pair{0x00, 1}, {0x80, 0}, {0x7F, 1}, {0xFF, 0}}) {
    cable.status = static_cast<std::uint8_t>(status);
    EXPECT_EQ(driver.ReadMiso(), miso) << "status " << status;
  }
}

TEST(LineDriver, DelaysAreQuarterMicrosecondsOfTheSpeedAtEveryCall) {
  Wire wire;
  wire.driver.IspDelay();
  wire.speed = 0x40;
  wire.driver.IspDelay();
  wire.speed = -5;  // a hand-edited options file must not spin for ever
  wire.driver.IspDelay();
  wire.speed = INT32_MAX;
  wire.driver.IspDelay();
  EXPECT_EQ(wire.clock.spins_ns,
            (std::vector<std::int64_t>{0, 0x40 * 250, 0, std::int64_t{INT32_MAX} * 250}));
}

TEST(LineDriver, TheDefaultSpeedSuitsAOneMegahertzChipWithMargin) {
  SckTiming timing = SckTimingOf(0x10);
  EXPECT_DOUBLE_EQ(timing.shortest_phase_us, 4.0);  // 4 clocks of a 1 MHz chip; it needs 2
  EXPECT_DOUBLE_EQ(timing.slowest_target_mhz, 1.0);
  EXPECT_DOUBLE_EQ(timing.fastest_sck_khz, 125.0);  // two phases a bit where no answer is read
  EXPECT_DOUBLE_EQ(SckTimingOf(0x80).slowest_target_mhz, 0.125);
  EXPECT_EQ(SckTimingOf(0).slowest_target_mhz, 0.0);  // no promise without a wait
  EXPECT_EQ(SckTimingOf(-3).shortest_phase_us, 0.0);
  // The port access is taken out of the wait: a phase is the longer of the two.
  EXPECT_DOUBLE_EQ(SckTimingOf(0x10, 1.0).shortest_phase_us, 4.0);
  EXPECT_DOUBLE_EQ(SckTimingOf(0x10, 6.0).shortest_phase_us, 6.0);
  // A bare port still suits a 4 MHz chip.
  EXPECT_DOUBLE_EQ(SckTimingOf(0, 1.0).slowest_target_mhz, 4.0);
}

TEST(LineDriver, EachWaitIsTheSpeedLessThePortAccessAndNeverBelowNothing) {
  Wire wire;
  wire.speed = 0x10;
  wire.driver.set_port_access_ns(1900);
  wire.driver.IspDelay();
  wire.driver.set_port_access_ns(5000);
  wire.driver.IspDelay();
  wire.driver.set_port_access_ns(-7);  // a clock that went backwards subtracts nothing
  wire.driver.IspDelay();
  EXPECT_EQ(wire.clock.spins_ns, (std::vector<std::int64_t>{2100, 0, 4000}));
  for (std::int64_t access_ns : {0, 1900, 4000, 9000}) {
    const double phase_us = SckTimingOf(0x10, static_cast<double>(access_ns) / 1000.0).shortest_phase_us;
    EXPECT_DOUBLE_EQ(phase_us, static_cast<double>(PhaseWaitNs(0x10, access_ns) + access_ns) / 1000.0);
    EXPECT_GE(phase_us, 4.0);  // never shorter than the chosen time
  }
}

TEST(LineDriver, PortAccessIsTimedOnStatusReadsThatChangeNoLine) {
  Wire wire;
  ASSERT_TRUE(wire.driver.OpenPort().ok());
  const double us = PortAccessUs(wire.cable);
  EXPECT_GE(us, 0.0);
  EXPECT_TRUE(wire.cable.Writes().empty());
  EXPECT_GT(wire.cable.status_reads(), 0);
}

TEST(LineDriver, AFailedOpenKeepsTheCableUntouchedAndGivesTheReason) {
  Wire wire;
  wire.cable.FailOpen("no port");
  Status status = wire.driver.OpenPort();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.reason(), "no port");
  EXPECT_FALSE(wire.driver.PortOpened());
  wire.driver.PortIdle();
  EXPECT_EQ(wire.driver.ReadMiso(), 1);
  EXPECT_TRUE(wire.cable.Writes().empty());
  EXPECT_EQ(wire.cable.status_reads(), 0);
}

}  // namespace
}  // namespace tolmeo
