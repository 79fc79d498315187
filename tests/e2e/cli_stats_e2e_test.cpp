// tolmeo-cli -v: what the cable did, in one line at the end.
#include "cli_rig.h"

namespace tolmeo::testing {
namespace {

TEST(CliStats, VerboseEndsWithOneStatsLineOfTheCable) {
  CliRig rig;
  CliResult result = rig.Run({"erase"}, {}, {"-v"});
  ASSERT_EQ(result.status, 0) << result.output;
  const std::size_t at = result.output.rfind("stats: accesses=");
  ASSERT_NE(at, std::string::npos) << result.output;
  EXPECT_NE(result.output.find(" transfers=", at), std::string::npos);
  EXPECT_NE(result.output.find(" wait_s=0.1", at), std::string::npos);  // the erase's 100 ms and more
  EXPECT_EQ(result.output.back(), '\n');
}

}  // namespace
}  // namespace tolmeo::testing
