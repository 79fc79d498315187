#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/action_runner.h"
#include "cli/terminal_seam.h"
#include "isp/isp_instructions.h"
#include "formats/intel_hex.h"
#include "support/temp_folder.h"

namespace tolmeo::cli {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

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
  EXPECT_NE(text.find(U8(u8"칩을 지웠습니다")), std::string::npos);
  EXPECT_NE(text.find(U8(u8"Flash 에 ") + Path("a.hex") + U8(u8" 을(를) 기록했습니다.\n")), std::string::npos);
  EXPECT_NE(text.find(U8(u8"Flash 32768 바이트를 읽어 ") + Path("back.hex") + U8(u8" 에 저장했습니다.\n")),
            std::string::npos)
      << text;
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

TEST_F(CliRun, TheDeviceIsFoundWhateverItsCapitals) {
  EXPECT_EQ(Run({"fuses:r"}, "atmega328p"), kExitOk);
  EXPECT_EQ(Run({"fuses:r"}, "ATMEGA328P"), kExitOk);
  EXPECT_EQ(Run({"fuses:r"}, "atmega328q"), kExitUsage);
}

TEST_F(CliRun, TheFirstFailureStopsTheRest) {
  EXPECT_EQ(Run({"flash:w:" + Path("missing.hex"), "fuses:w:FF,FF,FF,00"}), kExitUsage);
  EXPECT_EQ(Run({"fuses:r"}), kExitOk);
  EXPECT_EQ(out.Text().find("low 0x00"), std::string::npos);
}

TEST_F(CliRun, FusesAreWrittenAndShown) {
  EXPECT_EQ(Run({"fuses:w:FF,FD,DE,E2", "fuses:r"}), kExitOk) << err.Text();
  std::string text = out.Text();
  const std::string bytes = "Lock 0xFF, Extended 0xFD, High 0xDE, Low 0xE2\n";
  EXPECT_NE(text.find(U8(u8"Lock, 퓨즈 바이트를 기록했습니다: ") + bytes), std::string::npos) << text;
  EXPECT_NE(text.find(U8(u8"Lock, 퓨즈 바이트를 읽었습니다: ") + bytes), std::string::npos) << text;
}

TEST_F(CliRun, AutoSaysWhichFuseBytesItWritesBeforeWriting) {
  folder.Write("f.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
  const std::string arduino = "Lock 0xFF, Extended 0xFD, High 0xDE, Low 0xFF";
  // The chip's own bytes stay.
  ASSERT_EQ(Run({"fuses:w:FF,FD,DE,FF", "auto:" + Path("f.hex") + "::keep", "fuses:r"}), kExitOk)
      << err.Text();
  std::string text = out.Text();
  std::size_t announced = text.find(U8(u8"(칩에 있던 값 그대로): ") + arduino + "\n");
  std::size_t finished = text.find(U8(u8"자동 순서를 마쳤습니다: 지우기, Flash 기록과 비교, Lock·퓨즈 기록."));
  ASSERT_NE(announced, std::string::npos) << text;
  ASSERT_NE(finished, std::string::npos) << text;
  EXPECT_LT(announced, finished);
  EXPECT_NE(text.find(U8(u8"읽었습니다: ") + arduino), std::string::npos) << text;
}

TEST_F(CliRun, AutoWritesTheFourBytesGivenOrTheDescriptions) {
  folder.Write("f.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
  ASSERT_EQ(Run({"auto:" + Path("f.hex") + "::FF,FD,DE,FF", "fuses:r"}), kExitOk) << err.Text();
  EXPECT_NE(out.Text().find(U8(u8"(주어진 값): Lock 0xFF, Extended 0xFD, High 0xDE, Low 0xFF")),
            std::string::npos);
  EXPECT_NE(out.Text().find(U8(u8"읽었습니다: Lock 0xFF, Extended 0xFD, High 0xDE, Low 0xFF")),
            std::string::npos);

  // Without a choice, the description's bytes, as the announcement says.
  ASSERT_EQ(Run({"auto:" + Path("f.hex") + ":", "fuses:r"}), kExitOk) << err.Text();
  std::string text = out.Text();
  const std::string announced_prefix = U8(u8"(명세문서의 값): ");
  std::size_t at = text.rfind(announced_prefix);
  ASSERT_NE(at, std::string::npos) << text;
  std::string bytes = text.substr(at + announced_prefix.size(), text.find('\n', at) - at - announced_prefix.size());
  EXPECT_NE(text.rfind(U8(u8"읽었습니다: ") + bytes + "\n"), std::string::npos) << text;
}

TEST_F(CliRun, ACableThatDoesNotOpenNamesTheFixAndIsASetupProblem) {
  for (const char* action : {"erase", "run"}) {
    auto arguments = ParseArguments(std::vector<std::string>{"-c", "parport9", "-d", "ATmega328P", action});
    ASSERT_TRUE(arguments.ok());
    Capture cable_err;
    EXPECT_EQ(RunCli(*arguments, out.file(), cable_err.file()), kExitSetup) << action;
    std::string text = cable_err.Text();
    EXPECT_EQ(text.find(U8(u8"오류: 케이블 'parport9' 을(를) 열지 못했습니다")), 0u) << text;
    for (const char* fix : {"modprobe ppdev", " lp", "-c sim", "help/help.html"}) {
      EXPECT_NE(text.find(fix), std::string::npos) << fix;
    }
  }
  EXPECT_TRUE(out.Text().empty());
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

// Garbage, or a whole chip file of another device: never a run on a blank chip in its place.
TEST_F(CliRun, ADamagedChipFileRefusesTheRunNamingTheFileAndIsLeftAlone) {
  ASSERT_EQ(Run({"erase"}, "AT90CAN128"), kExitOk) << err.Text();
  const std::string other_device = folder.Read("chip.sim");
  for (const std::string& bytes : {std::string("not a chip"), other_device}) {
    folder.Write("chip.sim", bytes);
    Capture refused_err;
    auto arguments = ParseArguments(std::vector<std::string>{"-c", "sim:" + Path("chip.sim"), "-d", "ATmega328P",
                                                             "flash:r:" + Path("back.hex")});
    ASSERT_TRUE(arguments.ok());
    EXPECT_EQ(RunCli(*arguments, out.file(), refused_err.file()), kExitSetup);
    const std::string text = refused_err.Text();
    EXPECT_NE(text.find(Path("chip.sim")), std::string::npos) << text;
    EXPECT_EQ(text.find("modprobe"), std::string::npos) << text;
    EXPECT_EQ(folder.Read("chip.sim"), bytes);
    EXPECT_FALSE(std::filesystem::exists(Path("back.hex")));
  }
}

TEST_F(CliRun, ListingNeedsNoChip) {
  auto arguments = ParseArguments(std::vector<std::string>{"-c", "parport9", "list"});
  ASSERT_TRUE(arguments.ok());
  EXPECT_EQ(RunCli(*arguments, out.file(), err.file()), kExitOk);
  EXPECT_NE(out.Text().find("\nATmega328P\n"), std::string::npos);
  EXPECT_TRUE(err.Text().empty());
}

TEST_F(CliRun, ListingWithoutDescriptionsSaysWhereItLooked) {
  SetExeFolderForTesting(folder.Cp949Path());
  auto arguments = ParseArguments(std::vector<std::string>{"list"});
  ASSERT_TRUE(arguments.ok());
  int status = RunCli(*arguments, out.file(), err.file());
  SetExeFolderForTesting("");
  EXPECT_EQ(status, kExitSetup);
  EXPECT_TRUE(out.Text().empty());
  EXPECT_NE(err.Text().find(Utf8FromCp949(folder.Cp949Path()) + "AvrSpec/"), std::string::npos) << err.Text();
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
    TerminalSeam seam(out.file(), err.file(), assume_yes, false);
    seam.ShowNotice(kNoticeInfo, Ktext(u8"읽기 : 00\r\n끝"));
    seam.ShowNotice(kNoticeFailure, "bad");
    EXPECT_EQ(seam.AskConfirm(kNoticeWarning, "go on?"), assume_yes);
    EXPECT_EQ(out.Text(), reinterpret_cast<const char*>(u8"읽기 : 00\n끝\n"));
    std::string errors = err.Text();
    EXPECT_EQ(errors.find(U8(u8"오류: bad\n경고: go on?\n")), 0u) << errors;
    EXPECT_NE(errors.find(assume_yes ? U8(u8"계속합니다 (-y)") : U8(u8"-y 를 주세요")), std::string::npos);
  }
}

TEST(TerminalSeam, TheSignatureQuestionNamesBothSignaturesAndNotTheButtons) {
  auto image = std::make_unique<ChipImage>();
  Capture out;
  Capture err;
  TerminalSeam seam(out.file(), err.file(), false, false);
  EXPECT_FALSE(seam.AskConfirm(kNoticeWarning, SignatureQuestion({0x1E, 0x95, 0x0F}, {0x1E, 0x97, 0x02})));
  const std::string errors = err.Text();
  EXPECT_NE(errors.find(U8(u8"읽은 시그너처 1E 95 0F, 명세문서의 시그너처 1E 97 02\n")), std::string::npos)
      << errors;
  EXPECT_EQ(errors.find(U8(u8"\"확인\"")), std::string::npos) << errors;
  EXPECT_EQ(errors.find(U8(u8"\"취소\"")), std::string::npos) << errors;
  EXPECT_NE(errors.find("-y"), std::string::npos) << errors;
}

TEST(TerminalSeam, ProgressIsDrawnOnlyWhenAskedAndOnlyOnChange) {
  auto image = std::make_unique<ChipImage>();
  Capture out;
  Capture err;
  TerminalSeam seam(out.file(), err.file(), false, true);
  seam.ShowProgress(Memory::Flash, 0, 1000);
  for (int i = 0; i <= 1000; ++i) seam.SetProgressPosition(Memory::Flash, i);
  seam.HideProgress(Memory::Flash);
  std::string text = err.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '%'), 101);
  EXPECT_NE(text.find("100%"), std::string::npos);
  EXPECT_TRUE(out.Text().empty());
}

}  // namespace
}  // namespace tolmeo::cli
