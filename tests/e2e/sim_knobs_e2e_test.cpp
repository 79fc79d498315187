// The virtual AVR's faults through tolmeo-cli, as a user or a script meets them: a failure is
// never reported as success, names what failed, and leaves the chip's stored file and the
// documents as they were.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli_rig.h"
#include "isp/isp_instructions.h"
#include "pulled_cable.h"

namespace tolmeo {
namespace {

using testing::CliResult;
using testing::CliRig;
using testing::FileBytes;
using testing::FirmwarePath;
using testing::PullAfter;
using testing::ExpectPullsNeverSucceed;

class PulledCable : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(rig.Run({"auto:" + blink + ":"}).status, 0); }
  CliRig rig;
  const std::string blink = FirmwarePath("blink.hex");
};

TEST_F(PulledCable, ARead) {
  ASSERT_EQ(rig.Run({"auto::" + FirmwarePath("blink_eeprom.hex")}).status, 0);
  ASSERT_EQ(rig.Run({"eeprom:r:" + rig.here() + "reference.hex"}).status, 0);
  const std::string out = rig.here() + "read.hex";
  ExpectPullsNeverSucceed(rig, {"eeprom:r", {"eeprom:r:" + out}, [&](const CliRig&) {
                                  return FileBytes(out) == FileBytes(rig.here() + "reference.hex");
                                }});
}

TEST_F(PulledCable, AFlashReadWritesNoFile) {
  const std::string out = rig.here() + "read.hex";
  CliResult result = rig.Run({"flash:r:" + out}, PullAfter(1'000'000));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("Flash"), std::string::npos) << result.output;
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(PulledCable, AVerify) {
  ExpectPullsNeverSucceed(rig, {"flash:v", {"flash:v:" + blink}, [](const CliRig&) { return true; }});
}

TEST_F(PulledCable, AWrite) {
  ExpectPullsNeverSucceed(rig, {"erase flash:w", {"erase", "flash:w:" + blink}, [&](const CliRig& r) {
                                  return r.Run({"erase", "flash:w:" + blink, "flash:v:" + blink}).status == 0;
                                }});
}

TEST_F(PulledCable, AFuseWrite) {
  ExpectPullsNeverSucceed(rig, {"fuses:w", {"fuses:w:FF,FD,DE,E2"}, [](const CliRig& r) {
                                  CliResult shown = r.Run({"fuses:r"});
                                  return shown.status == 0 && shown.output.find("0xE2") != std::string::npos;
                                }});
}

TEST(SimKnobs, StuckFusesFailFuseWritesAndAutoNamingTheByte) {
  CliRig rig;
  CliResult written = rig.Run({"fuses:w:FF,FF,D9,E2"}, ",stuck-fuses");
  EXPECT_EQ(written.status, 1);
  EXPECT_NE(written.output.find("Low fuse"), std::string::npos) << written.output;
  EXPECT_TRUE(FileBytes(rig.chip_path()).empty());  // nothing kept from a failed run
  // The chip's low fuse now differs from the description's, which auto writes back.
  ASSERT_EQ(rig.Run({"fuses:w:FF,FF,D9,E2"}).status, 0);
  const std::string chip_before = FileBytes(rig.chip_path());
  CliResult automatic = rig.Run({"auto:" + FirmwarePath("blink.hex") + ":"}, ",stuck-fuses");
  EXPECT_EQ(automatic.status, 1);
  EXPECT_NE(automatic.output.find("Low fuse"), std::string::npos) << automatic.output;
  EXPECT_TRUE(FileBytes(rig.chip_path()) == chip_before);
}

TEST(SimKnobs, AnAbsentCableAndAnotherSignatureSaySo) {
  CliRig rig;
  CliResult absent = rig.Run({"erase"}, ",absent");
  EXPECT_NE(absent.status, 0);
  EXPECT_NE(absent.output.find(Utf8FromCp949(Ktext(u8"시뮬레이션 케이블이 연결되어 있지 않습니다."))),
            std::string::npos)
      << absent.output;
  // A virtual cable needs no parallel-port driver: the port's fixes are not offered.
  EXPECT_EQ(absent.output.find("modprobe"), std::string::npos) << absent.output;
  CliResult other = rig.Run({"erase"}, ",signature=1E9514");
  EXPECT_EQ(other.status, 1);
  EXPECT_NE(other.output.find(Utf8FromCp949(Ktext(u8"연결된 AVR 종류가 명세문서의 종류와 일치하지 않습니다."))),
            std::string::npos)
      << other.output;
  EXPECT_NE(other.output.find("1E 95 14"), std::string::npos) << other.output;
  EXPECT_NE(other.output.find("1E 95 0F"), std::string::npos) << other.output;
  EXPECT_EQ(other.output.find(Utf8FromCp949(AnswerByButtonsLine())), std::string::npos) << other.output;
  EXPECT_EQ(rig.Run({"erase"}, ",signature=1E9514", {"-y"}).status, 0);
}

TEST(SimKnobs, DeadPageAndDeadEepromByteFailTheWrite) {
  CliRig rig;
  EXPECT_EQ(rig.Run({"auto:" + FirmwarePath("blink.hex") + ":"}, ",dead-page=0x10").status, 1);
  EXPECT_EQ(rig.Run({"auto::" + FirmwarePath("blink_eeprom.hex")}, ",dead-eeprom=0").status, 1);
}

TEST(SimKnobs, BadKnobTextIsAUsageErrorNamingTheKnob) {
  auto arguments = cli::ParseArguments(std::vector<std::string>{"-c", "sim,clock=fast", "erase"});
  ASSERT_FALSE(arguments.ok());
  EXPECT_NE(arguments.reason().find("clock=fast"), std::string::npos);
}

TEST(SimKnobs, ADamagedChipFileIsNamedAndKeptAsItWas) {
  CliRig rig;
  rig.folder.Write("atmega328p.sim", "not a chip");
  CliResult result = rig.Run({"erase"});
  EXPECT_NE(result.output.find(rig.chip_path()), std::string::npos) << result.output;
  EXPECT_EQ(FileBytes(rig.chip_path()), "not a chip");
}

TEST(SimKnobs, AChipFileThatCannotBeSavedFailsTheRun) {
  CliRig rig;
  ASSERT_EQ(rig.Run({"erase"}).status, 0);
  std::filesystem::permissions(rig.folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  CliResult result = rig.Run({"erase"});
  std::filesystem::permissions(rig.folder.path(), std::filesystem::perms::owner_all);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find(rig.chip_path()), std::string::npos) << result.output;
}

}  // namespace
}  // namespace tolmeo
