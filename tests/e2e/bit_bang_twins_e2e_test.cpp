// The GPIO header and FTDI cables (bit-bang and MPSSE) through tolmeo-cli, each on the twin of
// its library with the virtual AVR behind it: a whole automatic sequence runs through the
// cable's own code, and a pulled cable, a dead page, stuck fuses or a foreign chip never end in
// success.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "cli_rig.h"
#include "pulled_cable.h"

namespace tolmeo::testing {
namespace {

class TwinCable : public ::testing::TestWithParam<const char*> {
 protected:
  CliRig rig{GetParam()};
  const std::string blink = FirmwarePath("blink.hex");
  const std::string blink_eeprom = FirmwarePath("blink_eeprom.hex");
};

INSTANTIATE_TEST_SUITE_P(Cables, TwinCable, ::testing::Values("gpio:sim", "ftdi:sim", "ftdi-mpsse:sim"),
                         [](const auto& info) {
                           std::string name = info.param;
                           name.resize(name.find(':'));
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST_P(TwinCable, RunsTheAutomaticSequenceAndVerifiesWhatItWrote) {
  CliResult automatic = rig.Run({"auto:" + blink + ":" + blink_eeprom}, {}, {"-v"});
  ASSERT_EQ(automatic.status, 0) << automatic.output;
  EXPECT_NE(automatic.output.find("stats: accesses="), std::string::npos);
  CliResult verified = rig.Run({"flash:v:" + blink, "eeprom:v:" + blink_eeprom});
  EXPECT_EQ(verified.status, 0) << verified.output;
  // The chip the twin kept is the one the plain virtual cable reads.
  CliRig plain;
  std::filesystem::copy_file(rig.chip_path(), plain.chip_path());
  EXPECT_EQ(plain.Run({"flash:v:" + blink}).status, 0);
}

TEST_P(TwinCable, APulledCableNeverEndsInSuccess) {
  ASSERT_EQ(rig.Run({"auto:" + blink + ":"}).status, 0);
  ExpectPullsNeverSucceed(rig, {"erase flash:w", {"erase", "flash:w:" + blink}, [&](const CliRig& r) {
                                  return r.Run({"flash:v:" + blink}).status == 0;
                                }});
}

TEST_P(TwinCable, ADeadPageAndStuckFusesFailNamingWhatFailed) {
  CliResult dead = rig.Run({"auto:" + blink + ":"}, ",dead-page=0x10");
  EXPECT_EQ(dead.status, 1);
  EXPECT_NE(dead.output.find("Flash"), std::string::npos) << dead.output;
  CliResult stuck = rig.Run({"fuses:w:FF,FF,D9,E2"}, ",stuck-fuses");
  EXPECT_EQ(stuck.status, 1);
  EXPECT_NE(stuck.output.find("Low fuse"), std::string::npos) << stuck.output;
  EXPECT_TRUE(FileBytes(rig.chip_path()).empty());  // nothing kept from a failed run
}

TEST_P(TwinCable, AnAbsentCableIsASetUpFailure) {
  CliResult absent = rig.Run({"erase"}, ",absent");
  EXPECT_EQ(absent.status, 3) << absent.output;
}

TEST_P(TwinCable, AForeignChipIsNotErasedUnlessTold) {
  CliResult foreign = rig.Run({"erase"}, ",signature=1E9514");
  EXPECT_EQ(foreign.status, 1) << foreign.output;
  EXPECT_NE(foreign.output.find("1E 95 14"), std::string::npos) << foreign.output;
  EXPECT_EQ(rig.Run({"erase"}, ",signature=1E9514", {"-y"}).status, 0);
}

}  // namespace
}  // namespace tolmeo::testing
