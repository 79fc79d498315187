// The built Tolmeo, started on SDL's display-less driver from a run folder of the test's own,
// ends on SIGHUP, SIGINT and SIGTERM the way closing its window does: it exits normally and
// has written its options file.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tolmeo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TerminationSignalTest : public ::testing::TestWithParam<int> {
 protected:
  TerminationSignalTest() {
    for (const char* shared : {"font", "sysbmp", "help", "image", "AvrSpec"}) {
      fs::create_directory_symlink(fs::path(TOLMEO_RUN_DIR) / shared, folder.path() / shared);
    }
    fs::create_directory(folder.path() / "opt");
    // /proc/self/exe names the real file, so the program is copied, not linked.
    fs::copy_file(fs::path(TOLMEO_RUN_DIR) / "tolmeo", folder.path() / "tolmeo");
  }

  pid_t Start() {
    pid_t child = fork();
    if (child == 0) {
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      execl((folder.path() / "tolmeo").c_str(), "tolmeo", static_cast<char*>(nullptr));
      _exit(127);
    }
    return child;
  }

  // The handlers are in place once the watcher thread runs beside the main one.
  static bool Listening(pid_t child) {
    std::error_code error;
    auto tasks = fs::directory_iterator(fs::path("/proc") / std::to_string(child) / "task", error);
    return !error && std::distance(tasks, fs::directory_iterator()) >= 2;
  }

  static int WaitFor(pid_t child) {
    for (int tries = 0; tries < 200; ++tries) {
      int status = 0;
      if (waitpid(child, &status, WNOHANG) == child) return status;
      std::this_thread::sleep_for(50ms);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  }

  TempFolder folder;
};

TEST_P(TerminationSignalTest, EndsThroughTheClosePathAndKeepsTheOptions) {
  pid_t child = Start();
  ASSERT_GT(child, 0);
  for (int tries = 0; tries < 200 && !Listening(child); ++tries) std::this_thread::sleep_for(25ms);
  ASSERT_TRUE(Listening(child));
  ASSERT_FALSE(fs::exists(folder.path() / "opt" / "opt.opt"));
  kill(child, GetParam());
  int status = WaitFor(child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(fs::exists(folder.path() / "opt" / "opt.opt"));
}

INSTANTIATE_TEST_SUITE_P(HangupInterruptTerminate, TerminationSignalTest,
                         ::testing::Values(SIGHUP, SIGINT, SIGTERM));

}  // namespace
}  // namespace tolmeo::testing
