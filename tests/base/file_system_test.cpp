#include "base/file_system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/cp949.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::TempFolder;

TEST(FileSystem, KoreanPathsCrossTheBoundary) {
  TempFolder folder;
  std::string path = folder.Cp949Path() + Cp949FromUtf8("대한민국.txt");
  ASSERT_TRUE(WriteWholeFile(path, "abc").ok());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "대한민국.txt"));
  auto read = ReadWholeFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, "abc");
}

TEST(FileSystem, WriteReplacesWholeAndLeavesNoTemporaryFile) {
  TempFolder folder;
  std::string path = folder.Write("a.opt", "old contents");
  ASSERT_TRUE(WriteWholeFile(path, "new").ok());
  EXPECT_EQ(folder.Read("a.opt"), "new");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(FileSystem, FailuresCarryAReason) {
  TempFolder folder;
  auto missing = ReadWholeFile(folder.Cp949Path() + "none");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.reason().find("none"), std::string::npos);
  EXPECT_FALSE(WriteWholeFile(folder.Cp949Path() + "no/such/folder/x", "x").ok());
}

mode_t CurrentUmask() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

int FileCount(const std::filesystem::path& folder) {
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  return files;
}

mode_t ModeOf(const std::string& native_path) {
  struct stat status {};
  EXPECT_EQ(::lstat(native_path.c_str(), &status), 0);
  return status.st_mode;
}

// A write bigger than the process may make fails as a full disk does.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST(FileSystemWrite, ExistingFileKeepsItsModeAndALinkStaysALink) {
  TempFolder folder;
  std::string path = folder.Write("script.hex", "old");
  std::string native = (folder.path() / "script.hex").string();
  ::chmod(native.c_str(), 0750);
  ASSERT_TRUE(WriteWholeFile(path, "new").ok());
  EXPECT_EQ(ModeOf(native) & 07777, 0750u);

  std::filesystem::create_symlink("script.hex", folder.path() / "link.hex");
  ASSERT_TRUE(WriteWholeFile(folder.Cp949Path() + "link.hex", "through the link").ok());
  EXPECT_TRUE(S_ISLNK(ModeOf((folder.path() / "link.hex").string())));
  EXPECT_EQ(folder.Read("script.hex"), "through the link");
  EXPECT_EQ(ModeOf(native) & 07777, 0750u);

  // A link to a file still to be made creates that file and stays a link.
  std::filesystem::create_symlink("made.hex", folder.path() / "dangling.hex");
  ASSERT_TRUE(WriteWholeFile(folder.Cp949Path() + "dangling.hex", "made").ok());
  EXPECT_TRUE(S_ISLNK(ModeOf((folder.path() / "dangling.hex").string())));
  EXPECT_EQ(folder.Read("made.hex"), "made");
  EXPECT_EQ(FileCount(folder.path()), 4);
}

TEST(FileSystemWrite, FifoAndDeviceAreWrittenInPlaceNeverReplaced) {
  TempFolder folder;
  std::string fifo = (folder.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Nobody reads: refused at once instead of waiting forever.
  Status unread = WriteWholeFile(folder.Cp949Path() + "pipe", "x");
  ASSERT_FALSE(unread.ok());
  EXPECT_NE(unread.reason().find("FIFO"), std::string::npos);
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));

  int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(WriteWholeFile(folder.Cp949Path() + "pipe", "through").ok());
  char got[16] = {};
  EXPECT_EQ(::read(reader, got, sizeof got), 7);
  EXPECT_STREQ(got, "through");
  ::close(reader);
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
  EXPECT_EQ(FileCount(folder.path()), 1);

  ASSERT_TRUE(WriteWholeFile("/dev/null", "nothing").ok());
  EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
}

TEST(FileSystemWrite, FoldersAndUnknownBytesAreRefusedWithAReason) {
  TempFolder folder;
  folder.Write("sub/inner", "");
  Status onto_folder = WriteWholeFile(folder.Cp949Path() + "sub", "x");
  ASSERT_FALSE(onto_folder.ok());
  EXPECT_NE(onto_folder.reason().find(Ktext(u8"폴더입니다")), std::string::npos);

  // 0xFF starts no CP949 character: the name cannot be meant, so nothing is created.
  Status bad_name = WriteWholeFile(folder.Cp949Path() + "\xFF\xFF.hex", "x");
  EXPECT_FALSE(bad_name.ok());
  EXPECT_FALSE(ReadWholeFile(folder.Cp949Path() + "\xFF\xFF.hex").ok());
  EXPECT_EQ(FileCount(folder.path()), 1);
}

// Every replacing write, once with O_TMPFILE and once the way a file system without it goes.
class FileSystemReplace : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseNamedTemporaryFilesForTesting(GetParam()); }
  void TearDown() override { UseNamedTemporaryFilesForTesting(false); }
};
INSTANTIATE_TEST_SUITE_P(TemporaryFiles, FileSystemReplace, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Named" : "Anonymous"; });

TEST_P(FileSystemReplace, NewAndReplacedFilesLeaveNoTemporary) {
  TempFolder folder;
  std::string path = folder.Cp949Path() + "a.hex";
  ASSERT_TRUE(WriteWholeFile(path, "first").ok());
  EXPECT_EQ(ModeOf((folder.path() / "a.hex").string()) & 0777, 0666u & ~CurrentUmask());
  ASSERT_TRUE(WriteWholeFile(path, "second").ok());
  EXPECT_EQ(folder.Read("a.hex"), "second");
  EXPECT_EQ(FileCount(folder.path()), 1);
}

TEST_P(FileSystemReplace, ANameAtTheLengthLimitCanBeWritten) {
  TempFolder folder;
  std::string name(255, 'n');
  ASSERT_TRUE(WriteWholeFile(folder.Cp949Path() + name, "first").ok());
  ASSERT_TRUE(WriteWholeFile(folder.Cp949Path() + name, "second").ok());
  EXPECT_EQ(folder.Read(name), "second");
  EXPECT_EQ(FileCount(folder.path()), 1);
}

TEST_P(FileSystemReplace, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  TempFolder folder;
  std::string path = folder.Write("a.hex", "old contents");
  ::signal(SIGXFSZ, SIG_IGN);
  Status written = [&] {
    FileSizeLimit limit(1000);
    return WriteWholeFile(path, std::string(5000, 'x'));
  }();
  ::signal(SIGXFSZ, SIG_DFL);
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.reason().find(Ktext(u8"파일이 너무 큽니다")), std::string::npos);
  EXPECT_EQ(folder.Read("a.hex"), "old contents");
  EXPECT_EQ(FileCount(folder.path()), 1);
}

TEST(FileSystemWrite, AProcessKilledMidWriteLeavesTheOldFileAndNoTemporary) {
  TempFolder folder;
  std::string path = folder.Write("a.hex", "old contents");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Going past the limit kills the process in the middle of its write (without a core file).
    rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    FileSizeLimit limit(1000);
    (void)WriteWholeFile(path, std::string(5000, 'x'));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(folder.Read("a.hex"), "old contents");
  EXPECT_EQ(FileCount(folder.path()), 1);
}

TEST(FileSystemRead, OnlyRegularFilesAreReadAndReasonsAreKorean) {
  TempFolder folder;
  std::string fifo = (folder.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(folder.Cp949Path() + "pipe").ok());  // and does not wait for a writer
  EXPECT_FALSE(ReadWholeFile(folder.Cp949Path()).ok());
  auto missing = ReadWholeFile(folder.Cp949Path() + "none");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.reason().find(Ktext(u8"파일이 없습니다")), std::string::npos);
  EXPECT_EQ(missing.reason().find("No such"), std::string::npos);
  EXPECT_FALSE(FileExists(folder.Cp949Path() + "pipe"));
}

TEST(FileSystemRead, AFileOfUnknownSizeIsReadToItsEnd) {
  auto status = ReadWholeFile("/proc/self/status");
  ASSERT_TRUE(status.ok()) << status.reason();
  EXPECT_NE(status->find("Name:"), std::string::npos);
  std::string big(3 << 20, 'h');
  TempFolder folder;
  std::string path = folder.Write("big.hex", big);
  auto read = ReadWholeFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, big);
}

TEST(FileSystem, ListFolderTakesOnlyMatchingFilesSorted) {
  TempFolder folder;
  folder.Write("b.avrspec", "");
  folder.Write("a.avrspec", "");
  folder.Write("c.txt", "");
  folder.Write("d.avrspec/inner", "");  // a folder with a matching name is skipped
  folder.Write(".avrspec", "");         // no name before the extension
  auto names = ListFolder(folder.Cp949Path(), "avrspec");
  EXPECT_EQ(names, (std::vector<std::string>{"a.avrspec", "b.avrspec"}));
  EXPECT_TRUE(ListFolder(folder.Cp949Path() + "missing", "avrspec").empty());
}

TEST(FileSystem, CutAtLastDot) {
  EXPECT_EQ(CutAtLastDot("ATmega8.avrspec"), "ATmega8");
  EXPECT_EQ(CutAtLastDot("a.b.c"), "a.b");
  EXPECT_EQ(CutAtLastDot("plain"), "plain");
}

}  // namespace
}  // namespace tolmeo
