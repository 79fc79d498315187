#include "base/run_folders.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "base/cp949.h"
#include "base/file_system.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::ScopedVariable;
using testing::TempFolder;
namespace fs = std::filesystem;

constexpr std::string_view kShippedOptions = "<shipped>\r\n<끝>\r\n";

// Every file below a folder with its bytes, to see that nothing was written there.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(entry.path(), folder).string();
    files[name] = entry.is_regular_file() ? *ReadWholeFile(Cp949FromUtf8(entry.path().string())) : "";
  }
  return files;
}

std::string Cp949Folder(const fs::path& native) { return Cp949FromUtf8(native.string()) + "/"; }

// A home of its own, so no test reads or writes the real ~/.config.
class RunFolders : public ::testing::Test {
 protected:
  ~RunFolders() override { SetExeFolderForTesting(""); }

  // The run folder of a build: the executable beside the data.
  std::string BuildRunFolder() {
    folder.Write("run/opt/opt.opt", kShippedOptions);
    folder.Write("run/AvrSpec/ATmega8.avrspec", "");
    std::string run = folder.Cp949Path() + "run/";
    SetExeFolderForTesting(run);
    return run;
  }

  // PREFIX/bin/ beside PREFIX/share/tolmeo/.
  fs::path InstalledPrefix() {
    folder.Write("prefix/share/tolmeo/opt/opt.opt", kShippedOptions);
    folder.Write("prefix/share/tolmeo/AvrSpec/ATmega8.avrspec", "");
    fs::create_directories(folder.path() / "prefix/bin");
    SetExeFolderForTesting(folder.Cp949Path() + "prefix/bin/");
    return fs::canonical(folder.path() / "prefix");
  }

  TempFolder folder;
  ScopedVariable home{"HOME", (folder.path() / "home").string()};
  ScopedVariable config_home{"XDG_CONFIG_HOME", std::nullopt};
};

TEST_F(RunFolders, TheBuildRunFolderHoldsDataAndUserFilesAlike) {
  std::string run = BuildRunFolder();
  EXPECT_EQ(DataFolder(), run);
  EXPECT_FALSE(StateApartFromData());
  EXPECT_EQ(StateFolder(), run);
  EXPECT_EQ(StateFile("opt/opt.opt"), run + "opt/opt.opt");
  EXPECT_FALSE(ShadowFolder("AvrSpec/").has_value());
  EXPECT_FALSE(fs::exists(folder.path() / "home"));  // nothing per user in the build
}

TEST_F(RunFolders, AnInstalledProgramReadsShareAndKeepsTheUserFilesInTheHome) {
  fs::path prefix = InstalledPrefix();
  const auto before = FilesBelow(prefix);
  EXPECT_EQ(DataFolder(), Cp949Folder(prefix / "share/tolmeo"));
  EXPECT_TRUE(StateApartFromData());
  const fs::path own = folder.path() / "home/.config/tolmeo";
  EXPECT_EQ(StateFolder(), Cp949Folder(own));
  EXPECT_EQ(StateFile("opt/opt.opt"), Cp949Folder(own) + "opt/opt.opt");
  EXPECT_EQ(folder.Read("home/.config/tolmeo/opt/opt.opt"), kShippedOptions);  // seeded
  EXPECT_EQ(ShadowFolder("AvrSpec"), Cp949Folder(own / "AvrSpec"));
  EXPECT_TRUE(fs::is_directory(own / "AvrSpec"));
  ASSERT_TRUE(WriteWholeFile(StateFile("opt/opt.opt"), "changed").ok());
  EXPECT_EQ(FilesBelow(prefix), before);
}

TEST_F(RunFolders, ABinFolderWithoutShareBesideItIsARunFolder) {
  fs::create_directories(folder.path() / "prefix/bin");
  folder.Write("prefix/share/other/file", "");
  SetExeFolderForTesting(folder.Cp949Path() + "prefix/bin/");
  EXPECT_EQ(DataFolder(), folder.Cp949Path() + "prefix/bin/");
  EXPECT_FALSE(StateApartFromData());
}

// Root may write every folder, so under root the looking is done by a child that is nobody, with
// no group of root's.
constexpr uid_t kNobody = 65534;  // nogroup has the same number

TEST_F(RunFolders, ARunFolderTheUserMayNotWriteKeepsTheUserFilesInTheHome) {
  std::string run = BuildRunFolder();
  const fs::path run_native = folder.path() / "run";
  const fs::path home = folder.path() / "home";
  fs::permissions(run_native, fs::perms::owner_write, fs::perm_options::remove);
  fs::permissions(folder.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  fs::create_directories(home);
  fs::permissions(home, fs::perms::all);
  const auto before = FilesBelow(run_native);
  // The child says why it failed only when the seed cannot be read.
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
          std::exit(2);
        }
        const bool apart = DataFolder() == run && StateApartFromData() &&
                           StateFile("opt/opt.opt") == Cp949Folder(home / ".config/tolmeo") + "opt/opt.opt";
        Result<std::string> seed = ReadWholeFile(Cp949Folder(home / ".config/tolmeo") + "opt/opt.opt");
        if (!seed) std::fprintf(stderr, "%s\n", Utf8FromCp949(seed.reason()).c_str());
        const bool seeded = seed && *seed == kShippedOptions;
        std::exit(apart && seeded ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(FilesBelow(run_native), before);
  fs::permissions(run_native, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(RunFolders, XdgConfigHomeWinsWhenAbsoluteAndIsIgnoredWhenRelative) {
  InstalledPrefix();
  {
    ScopedVariable absolute("XDG_CONFIG_HOME", (folder.path() / "xdg").string());
    EXPECT_EQ(StateFolder(), Cp949Folder(folder.path() / "xdg/tolmeo"));
    EXPECT_TRUE(fs::is_directory(folder.path() / "xdg/tolmeo"));
  }
  {
    ScopedVariable relative("XDG_CONFIG_HOME", "xdg");
    EXPECT_EQ(StateFolder(), Cp949Folder(folder.path() / "home/.config/tolmeo"));
  }
  EXPECT_EQ(StateFolder(), Cp949Folder(folder.path() / "home/.config/tolmeo"));
}

TEST_F(RunFolders, SeedingNeverReplacesWhatTheUserHas) {
  InstalledPrefix();
  folder.Write("home/.config/tolmeo/opt/opt.opt", "mine");
  EXPECT_EQ(*ReadWholeFile(StateFile("opt/opt.opt")), "mine");
  // Even a link that points nowhere is the user's, not a gap to fill.
  fs::create_directories(folder.path() / "home/.config/tolmeo/other");
  fs::create_symlink(folder.path() / "nowhere", folder.path() / "home/.config/tolmeo/other/opt.opt");
  (void)StateFile("other/opt.opt");
  EXPECT_FALSE(fs::exists(folder.path() / "nowhere"));
  EXPECT_TRUE(fs::is_symlink(folder.path() / "home/.config/tolmeo/other/opt.opt"));
}

TEST_F(RunFolders, AFileNotShippedIsNotMadeUp) {
  InstalledPrefix();
  std::string own = StateFile("opt/missing.opt");
  EXPECT_EQ(own, Cp949Folder(folder.path() / "home/.config/tolmeo") + "opt/missing.opt");
  EXPECT_FALSE(FileExists(own));
}

}  // namespace
}  // namespace tolmeo
