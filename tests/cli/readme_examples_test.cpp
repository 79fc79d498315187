// README's tolmeo-cli examples, run as a newcomer would: from the repository root, after the
// build. The root is stood in for by a folder whose build/ is this build and whose tools/ are
// the repository's, so the sanitizer build checks its own binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace tolmeo::cli {
namespace {

std::vector<std::string> ReadmeExamples() {
  std::ifstream readme(std::filesystem::path(TOLMEO_SOURCE_DIR) / "README.md");
  std::vector<std::string> examples;
  for (std::string line; std::getline(readme, line);) {
    if (line.starts_with("    build/run/tolmeo-cli")) examples.push_back(line.substr(4));
  }
  return examples;
}

TEST(ReadmeExamples, EveryExampleRunsAsWrittenFromTheRepositoryRoot) {
  std::vector<std::string> examples = ReadmeExamples();
  ASSERT_GE(examples.size(), 4u);
  testing::TempFolder root;
  std::filesystem::create_directory_symlink(std::filesystem::path(TOLMEO_RUN_DIR).parent_path(),
                                            root.path() / "build");
  std::filesystem::create_directory_symlink(std::filesystem::path(TOLMEO_SOURCE_DIR) / "tools",
                                            root.path() / "tools");
  for (const std::string& example : examples) {
    std::string command = "cd '" + root.path().string() + "' && " + example + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << example;
    EXPECT_EQ(WEXITSTATUS(status), 0) << example;
  }
}

}  // namespace
}  // namespace tolmeo::cli
