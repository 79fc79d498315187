// The tolmeo-cli examples of README.md, of --help and of the help page, run as a newcomer would
// run them from the folder each names: README's and --help's from the repository root after
// the build, the help page's from the run folder. Each runs in a stand-in folder of its own, so
// the files the examples write stay there: a repository root whose build/run is this build's
// run folder and whose tools/ are the repository's, or a copy of the run folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace tolmeo::cli {
namespace {

namespace fs = std::filesystem;

// The lines of text that start with prefix after leading blanks (and an opening <pre>), with
// those taken off.
std::vector<std::string> ExampleLines(std::istream& text, const std::string& prefix) {
  std::vector<std::string> examples;
  for (std::string line; std::getline(text, line);) {
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    line = line.substr(start);
    if (line.starts_with("<pre>")) line = line.substr(5);
    if (line.ends_with("</pre>")) line.resize(line.size() - 6);
    if (line.starts_with(prefix)) examples.push_back(line);
  }
  return examples;
}

std::vector<std::string> FileExamples(const fs::path& file, const std::string& prefix) {
  std::ifstream text(file);
  return ExampleLines(text, prefix);
}

std::string CommandOutput(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  pclose(pipe);
  return output;
}

// Runs each example in folder; one that its comment says fails ("# fails" or "# 실패") must end
// with a status other than 0, every other one with 0.
void RunEach(const std::vector<std::string>& examples, const fs::path& folder) {
  for (const std::string& example : examples) {
    const std::size_t comment = example.find(" #");
    const bool should_fail =
        comment != std::string::npos && (example.find("# fails", comment) != std::string::npos ||
                                         example.find("# 실패", comment) != std::string::npos);
    std::string command = "cd '" + folder.string() + "' && " + example.substr(0, comment) + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << example;
    if (should_fail) {
      EXPECT_NE(WEXITSTATUS(status), 0) << example;
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 0) << example;
    }
  }
}

// A repository root whose build/ is a folder of its own, holding this build's run folder.
class RepositoryRoot {
 public:
  RepositoryRoot() {
    fs::create_directory(root_.path() / "build");
    fs::create_directory_symlink(fs::path(TOLMEO_RUN_DIR), root_.path() / "build" / "run");
    fs::create_directory_symlink(fs::path(TOLMEO_SOURCE_DIR) / "tools", root_.path() / "tools");
  }
  const fs::path& path() const { return root_.path(); }

 private:
  testing::TempFolder root_;
};

TEST(DocumentedExamples, READMEsRunAsWrittenFromTheRepositoryRoot) {
  std::vector<std::string> examples =
      FileExamples(fs::path(TOLMEO_SOURCE_DIR) / "README.md", "build/run/tolmeo-cli");
  ASSERT_GE(examples.size(), 6u);
  RepositoryRoot root;
  RunEach(examples, root.path());
  EXPECT_TRUE(fs::exists(root.path() / "build" / "flash-read.hex"));
}

TEST(DocumentedExamples, TheHelpTextsRunAsWrittenFromTheRepositoryRoot) {
  std::istringstream help(CommandOutput("'" TOLMEO_RUN_DIR "/tolmeo-cli' --help"));
  std::vector<std::string> examples = ExampleLines(help, "build/run/tolmeo-cli");
  ASSERT_GE(examples.size(), 2u);
  RepositoryRoot root;
  RunEach(examples, root.path());
}

TEST(DocumentedExamples, TheHelpPagesRunAsWrittenFromTheRunFolder) {
  std::vector<std::string> examples =
      FileExamples(fs::path(TOLMEO_RUN_DIR) / "help" / "help.html", "./tolmeo-cli");
  ASSERT_GE(examples.size(), 5u);
  // The program finds its data beside its own file, so it is copied, not linked.
  testing::TempFolder run;
  fs::copy_file(fs::path(TOLMEO_RUN_DIR) / "tolmeo-cli", run.path() / "tolmeo-cli");
  for (const char* shared : {"AvrSpec", "opt", "help", "examples"}) {
    fs::create_directory_symlink(fs::path(TOLMEO_RUN_DIR) / shared, run.path() / shared);
  }
  RunEach(examples, run.path());
  EXPECT_TRUE(fs::exists(run.path() / "read.hex"));
}

}  // namespace
}  // namespace tolmeo::cli
