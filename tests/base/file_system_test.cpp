#include "base/file_system.h"

#include <gtest/gtest.h>

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
