#include "port/virtual_clock.h"

#include <gtest/gtest.h>

#include <limits>

namespace tolmeo {
namespace {

TEST(VirtualClockTest, SleepsAndSpinsOnlyCount) {
  VirtualClock clock;
  EXPECT_EQ(clock.NowUs(), 0);
  clock.SleepMs(40);
  EXPECT_EQ(clock.NowUs(), 40'000);
  clock.SpinNs(65);
  EXPECT_EQ(clock.NowNs(), 40'000'065);
  clock.SpinNs(1000);
  EXPECT_EQ(clock.NowUs(), 40'001);
}

TEST(VirtualClockTest, NothingRunsTimeBackwards) {
  VirtualClock clock;
  clock.SleepMs(-5);
  EXPECT_EQ(clock.NowNs(), 0);
  clock.SpinNs(0);
  clock.SpinNs(-7);
  EXPECT_EQ(clock.NowNs(), 0);
  clock.SpinNs(std::numeric_limits<std::int64_t>::max());
  clock.SleepMs(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(clock.NowNs(), std::numeric_limits<std::int64_t>::max());
}

}  // namespace
}  // namespace tolmeo
