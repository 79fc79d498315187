// The built tolmeo-cli on the virtual USBasp, as a user without the hardware runs it: a whole
// automatic sequence through the real USBasp code, the chip kept in its file, and the true exit
// status when the chip fails behind the programmer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/temp_folder.h"

namespace tolmeo::cli {
namespace {

struct Ran {
  int status = -1;
  std::string output;
};

Ran RunCli(const std::string& arguments) {
  const std::string command = std::string(TOLMEO_RUN_DIR) + "/tolmeo-cli " + arguments + " 2>&1";
  Ran ran;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) ran.output.append(buffer, n);
  const int status = ::pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

std::string Firmware(const char* name) { return "'" + std::string(TOLMEO_SOURCE_DIR) + "/tools/firmware/" + name + "'"; }

TEST(UsbaspCli, AnAutomaticSequenceOnTheVirtualUsbaspIsKeptInItsFile) {
  testing::TempFolder folder;
  const std::string cable = "-c 'usbasp:sim:" + (folder.path() / "chip.sim").string() + "' -d ATmega328P";
  Ran written = RunCli(cable + " -v auto:" + Firmware("blink.hex") + ":" + Firmware("blink_eeprom.hex"));
  ASSERT_EQ(written.status, 0) << written.output;
  const std::size_t stats = written.output.rfind("stats: accesses=0 transfers=");
  ASSERT_NE(stats, std::string::npos) << written.output;
  EXPECT_EQ(written.output.find('\n', stats), written.output.size() - 1);
  Ran verified = RunCli(cable + " flash:v:" + Firmware("blink.hex") + " eeprom:v:" + Firmware("blink_eeprom.hex"));
  EXPECT_EQ(verified.status, 0) << verified.output;
}

TEST(UsbaspCli, AChipThatFailsBehindTheUsbaspExitsOne) {
  for (const char* knobs : {",dead-page=0", ",pull-after=3000", ",absent"}) {
    Ran ran = RunCli(std::string("-c 'usbasp:sim") + knobs + "' -d ATmega328P auto:" + Firmware("blink.hex") + ":");
    EXPECT_EQ(ran.status, 1) << knobs << "\n" << ran.output;
  }
}

TEST(UsbaspCli, AMissingUsbaspIsASetupProblemThatSaysWhatToDo) {
  Ran ran = RunCli("-c usbasp:NO-SUCH-SERIAL -d ATmega328P erase");
  EXPECT_EQ(ran.status, 3) << ran.output;
  EXPECT_NE(ran.output.find("USB"), std::string::npos) << ran.output;
}

}  // namespace
}  // namespace tolmeo::cli
