// tolmeo-cli on an Arduino as ISP, as a user with the board meets it: the built program opens a
// serial port (a pseudo-terminal) where a virtual Arduino runs as a process of its own, with the
// virtual chip behind it. A run that exits 0 has left the chip right; a pulled cable, an absent
// or a foreign chip never exits 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli_rig.h"

extern char** environ;

namespace tolmeo {
namespace {

using testing::FirmwarePath;

// stk500_twin started with a sim cable text, its serial port read from its first line.
class TwinProcess {
 public:
  explicit TwinProcess(const std::string& sim) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string program = std::string(TOLMEO_RUN_DIR) + "/stk500_twin";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("ATmega328P"),
                    const_cast<char*>(sim.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::FILE* first_line = fdopen(out[0], "r");
    char line[256] = {};
    if (std::fgets(line, sizeof line, first_line)) port_ = std::string(line, std::string(line).find('\n'));
    std::fclose(first_line);
  }
  // Stopped as a user stops it; its chip file is written as it goes.
  ~TwinProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  const std::string& port() const { return port_; }

 private:
  pid_t pid_ = -1;
  std::string port_;
};

struct CliRun {
  int status = -1;
  std::string output;
};

CliRun RunCli(const std::string& port, const std::string& action) {
  const std::string command = std::string(TOLMEO_RUN_DIR) + "/tolmeo-cli -c arduino:" + port +
                              " -d ATmega328P " + action + " 2>&1";
  CliRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string kAuto = "auto:" + FirmwarePath("blink.hex") + ":" + FirmwarePath("blink_eeprom.hex");
const std::string kVerify = "flash:v:" + FirmwarePath("blink.hex") + " eeprom:v:" + FirmwarePath("blink_eeprom.hex");

TEST(ArduinoTwinProcess, AnAutomaticSequenceAndItsVerifyPassThroughTheRealSerialCode) {
  TwinProcess twin("sim");
  ASSERT_TRUE(twin.port().starts_with("/dev/pts/")) << twin.port();
  CliRun written = RunCli(twin.port(), kAuto);
  EXPECT_EQ(written.status, 0) << written.output;
  CliRun verified = RunCli(twin.port(), kVerify + " -v");
  EXPECT_EQ(verified.status, 0) << verified.output;
  EXPECT_NE(verified.output.find("stats: "), std::string::npos) << verified.output;
}

TEST(ArduinoTwinProcess, APulledCableNeverExitsZeroWithAWrongChip) {
  testing::TempFolder folder;
  const std::string chip = Utf8FromCp949(folder.Cp949Path()) + "chip.sim";
  for (int pull : {0, 400, 3000, 20000, 80000}) {
    std::remove(chip.c_str());
    int status = -1;
    {
      TwinProcess pulled("sim:" + chip + ",pull-after=" + std::to_string(pull));
      status = RunCli(pulled.port(), kAuto).status;
    }
    if (pull == 0) {
      EXPECT_EQ(status, 1);
    }
    if (status != 0) continue;
    TwinProcess again("sim:" + chip);
    CliRun verified = RunCli(again.port(), kVerify);
    EXPECT_EQ(verified.status, 0) << "pulled after " << pull << ": " << verified.output;
  }
}

TEST(ArduinoTwinProcess, AnAbsentOrForeignChipFailsTheRun) {
  TwinProcess absent("sim,absent");
  EXPECT_EQ(RunCli(absent.port(), kAuto).status, 1);
  TwinProcess foreign("sim,signature=1E9514");
  EXPECT_EQ(RunCli(foreign.port(), kAuto).status, 1);
}

}  // namespace
}  // namespace tolmeo
