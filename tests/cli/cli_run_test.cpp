#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/cp949.h"
#include "cli/action_runner.h"
#include "cli/terminal_seam.h"
#include "formats/intel_hex.h"
#include "support/temp_folder.h"

namespace tolmeo::cli {
namespace {

// A temporary stream whose text can be read back.
class Capture {
 public:
  Capture() : file_(std::tmpfile()) {}
  ~Capture() { std::fclose(file_); }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  std::FILE* file() { return file_; }
  std::string Text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c; (c = std::fgetc(file_)) != EOF;) text.push_back(static_cast<char>(c));
    return text;
  }

 private:
  std::FILE* file_;
};

// Runs tolmeo-cli's actions on an ATmega328P kept in a file of the test's folder.
class CliRun : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> actions, std::string device = "ATmega328P") {
    std::vector<std::string> args = {"-c", "sim:" + Utf8FromCp949(folder.Cp949Path()) + "chip.sim",
                                      "-d", device};
    args.insert(args.end(), actions.begin(), actions.end());
    auto arguments = ParseArguments(args);
    EXPECT_TRUE(arguments.ok());
    return RunCli(*arguments, out.file(), err.file());
  }
  std::string Path(const std::string& name) { return Utf8FromCp949(folder.Cp949Path()) + name; }

  testing::TempFolder folder;
  Capture out;
  Capture err;
};

TEST_F(CliRun, WriteVerifyAndReadBackAFlashDocument) {
  folder.Write("a.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
  EXPECT_EQ(Run({"erase", "flash:w:" + Path("a.hex"), "flash:v:" + Path("a.hex"),
                 "flash:r:" + Path("back.hex")}),
            kExitOk)
      << err.Text();
  std::string text = out.Text();
  EXPECT_NE(text.find(reinterpret_cast<const char*>(u8"Flash 에 기록한 내용과 읽은 내용이 전부 일치합니다.\n")),
            std::string::npos);
  EXPECT_NE(text.find("Flash: 32768 bytes read into"), std::string::npos);
  std::vector<std::uint8_t> back(32768);
  auto range = ParseIntelHex(folder.Read("back.hex"), back);
  ASSERT_TRUE(range.ok());
  EXPECT_EQ(range->high, 32767u);
  EXPECT_EQ(back[0], 0x01);
  EXPECT_EQ(back[3], 0x04);
  EXPECT_EQ(back[4], 0xFF);
}

TEST_F(CliRun, AVerifyDifferenceIsAChipFailure) {
  folder.Write("a.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
  EXPECT_EQ(Run({"flash:v:" + Path("a.hex")}), kExitChipFailed);
  EXPECT_NE(err.Text().find(reinterpret_cast<const char*>(u8"주소 : 00000000\n쓰기 : 0201\n읽기 : FFFF")),
            std::string::npos);
}

TEST_F(CliRun, FileAndDeviceProblemsAreUsageErrors) {
  EXPECT_EQ(Run({"flash:w:" + Path("missing.hex")}), kExitUsage);
  EXPECT_NE(err.Text().find("missing.hex"), std::string::npos);
  EXPECT_EQ(Run({"erase"}, "ATmega9999"), kExitUsage);
  EXPECT_NE(err.Text().find("ATmega9999"), std::string::npos);
  EXPECT_EQ(Run({"eeprom:r:" + Path("no/such/folder/e.hex")}), kExitUsage);
}

TEST_F(CliRun, TheFirstFailureStopsTheRest) {
  EXPECT_EQ(Run({"flash:w:" + Path("missing.hex"), "fuses:w:FF,FF,FF,00"}), kExitUsage);
  EXPECT_EQ(Run({"fuses:r"}), kExitOk);
  EXPECT_EQ(out.Text().find("low 0x00"), std::string::npos);
}

TEST_F(CliRun, FusesAreWrittenAndShown) {
  EXPECT_EQ(Run({"fuses:w:FF,FD,DE,E2", "fuses:r"}), kExitOk) << err.Text();
  std::string text = out.Text();
  EXPECT_NE(text.find("lock 0xFF\nextended 0xFD\nhigh 0xDE\nlow 0xE2\n"), std::string::npos) << text;
}

TEST_F(CliRun, AutoWithEitherDocumentAndRun) {
  folder.Write("e.hex", ":020010005AA5EF\r\n:00000001FF\r\n");
  EXPECT_EQ(Run({"auto::" + Path("e.hex"), "eeprom:r:" + Path("e_back.hex"), "run"}), kExitOk)
      << err.Text();
  std::vector<std::uint8_t> back(1024);
  ASSERT_TRUE(ParseIntelHex(folder.Read("e_back.hex"), back).ok());
  EXPECT_EQ(back[0x10], 0x5A);
  EXPECT_EQ(back[0x11], 0xA5);
  EXPECT_EQ(back[0x12], 0xFF);
}

TEST_F(CliRun, ADamagedChipFileIsReportedAndLeftAlone) {
  folder.Write("chip.sim", "not a chip");
  EXPECT_EQ(Run({"erase"}), kExitOk);
  EXPECT_NE(err.Text().find("warning: "), std::string::npos);
  EXPECT_EQ(folder.Read("chip.sim"), "not a chip");
}

TEST_F(CliRun, ListingNeedsNoChip) {
  auto arguments = ParseArguments(std::vector<std::string>{"-c", "parport9", "list"});
  ASSERT_TRUE(arguments.ok());
  EXPECT_EQ(RunCli(*arguments, out.file(), err.file()), kExitOk);
  EXPECT_NE(out.Text().find("\nATmega328P\n"), std::string::npos);
  EXPECT_TRUE(err.Text().empty());
}

TEST(CliExit, OutcomesMapToTheThreeStatuses) {
  EXPECT_EQ(ExitStatusOf(CommandOutcome::kDone), kExitOk);
  EXPECT_EQ(ExitStatusOf(CommandOutcome::kChipFailed), kExitChipFailed);
  EXPECT_EQ(ExitStatusOf(CommandOutcome::kNoDocument), kExitUsage);
  EXPECT_EQ(ExitStatusOf(CommandOutcome::kDocumentFailed), kExitUsage);
  EXPECT_EQ(ExitStatusOf(CommandOutcome::kRefused), kExitUsage);
}

TEST(TerminalSeam, NoticesInUtf8AndTheQuestionAnsweredByTheFlag) {
  auto image = std::make_unique<ChipImage>();
  for (bool assume_yes : {false, true}) {
    Capture out;
    Capture err;
    TerminalSeam seam(*image, out.file(), err.file(), assume_yes, false);
    seam.ShowNotice(kNoticeInfo, Ktext(u8"읽기 : 00\r\n끝"));
    seam.ShowNotice(kNoticeFailure, "bad");
    EXPECT_EQ(seam.AskConfirm(kNoticeWarning, "go on?"), assume_yes);
    EXPECT_EQ(out.Text(), reinterpret_cast<const char*>(u8"읽기 : 00\n끝\n"));
    std::string errors = err.Text();
    EXPECT_EQ(errors.find("error: bad\nwarning: go on?\n"), 0u) << errors;
    EXPECT_NE(errors.find(assume_yes ? "going on" : "-y"), std::string::npos);
  }
}

TEST(TerminalSeam, ProgressIsDrawnOnlyWhenAskedAndOnlyOnChange) {
  auto image = std::make_unique<ChipImage>();
  Capture out;
  Capture err;
  TerminalSeam seam(*image, out.file(), err.file(), false, true);
  seam.SetProgressMin(Memory::Flash, 0);
  seam.SetProgressMax(Memory::Flash, 1000);
  seam.ShowProgress(Memory::Flash);
  for (int i = 0; i <= 1000; ++i) seam.SetProgressPosition(Memory::Flash, i);
  seam.HideProgress(Memory::Flash);
  std::string text = err.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '%'), 101);
  EXPECT_NE(text.find("100%"), std::string::npos);
  EXPECT_TRUE(out.Text().empty());
}

}  // namespace
}  // namespace tolmeo::cli
