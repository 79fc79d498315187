// The real desktop's services: the dialog programs' command lines and answers, the child
// process that runs them (missing, crashing, cancelling), paths crossing from UTF-8 to CP949,
// and the clipboard under SDL's display-less driver.
#include "form/system_desktop.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/cp949.h"
#include "form/child_process.h"
#include "support/temp_folder.h"

namespace tolmeo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(DialogCommandsTest, FilterTextBecomesNamedPatternLists) {
  auto filters = ParseFilter("*.hex|*.hex|*.avrspec|*.avrspec");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[1].name, "*.avrspec");
  EXPECT_THAT(filters[1].patterns, ElementsAre("*.avrspec"));
  EXPECT_THAT(ParseFilter("pictures|*.jpg;*.jpeg").front().patterns, ElementsAre("*.jpg", "*.jpeg"));
  // A name without patterns, or a dangling name, is dropped rather than shown as a filter.
  EXPECT_TRUE(ParseFilter("lonely").empty());
  EXPECT_TRUE(ParseFilter("name|").empty());
  EXPECT_EQ(ParseFilter("a|*.a|dangling").size(), 1u);
  EXPECT_TRUE(ParseFilter("").empty());
}

TEST(DialogCommandsTest, PatternsMatchEitherCaseAndLeaveOtherBytesAlone) {
  EXPECT_EQ(EitherCase("*.hex"), "*.[hH][eE][xX]");
  EXPECT_EQ(EitherCase("*.한글"), "*.한글");
  EXPECT_EQ(EitherCase("*"), "*");
}

TEST(DialogCommandsTest, ZenityAndKdialogGetTitleFolderFiltersAndSaveMode) {
  FileChoice choice{"::: 열기 :::", "/home/a", {{"*.hex", {"*.hex"}}}, false, std::nullopt};
  EXPECT_THAT(FileDialogCommand(DialogProgram::Zenity, choice),
              ElementsAre("zenity", "--file-selection", "--title=::: 열기 :::", "--filename=/home/a/",
                          "--file-filter=*.hex | *.[hH][eE][xX]"));
  choice.save = true;
  choice.initial_folder.clear();
  auto save = FileDialogCommand(DialogProgram::Zenity, choice);
  EXPECT_THAT(save, ::testing::Contains("--save"));
  EXPECT_THAT(save, ::testing::Not(::testing::Contains(HasSubstr("--filename"))));
  EXPECT_THAT(FileDialogCommand(DialogProgram::Kdialog, choice),
              ElementsAre("kdialog", "--title", "::: 열기 :::", "--getsavefilename", ".", "*.[hH][eE][xX]|*.hex"));
}

TEST(DialogCommandsTest, ColourCommandsStartFromTheGivenColour) {
  // Colours are 0x00BBGGRR: red in the low byte.
  EXPECT_THAT(ColorDialogCommand(DialogProgram::Zenity, 0x00336699, std::nullopt),
              ElementsAre("zenity", "--color-selection", "--color=#996633"));
  EXPECT_THAT(ColorDialogCommand(DialogProgram::Kdialog, 0x000000FF, std::nullopt),
              ElementsAre("kdialog", "--getcolor", "--default", "#ff0000"));
}

TEST(DialogCommandsTest, ADialogWithAParentWindowIsAttachedToIt) {
  EXPECT_THAT(ColorDialogCommand(DialogProgram::Zenity, 0, 0x2a00005),
              ElementsAre("zenity", "--attach=44040197", "--color-selection", "--color=#000000"));
  FileChoice choice{"t", "", {}, false, 7};
  EXPECT_THAT(FileDialogCommand(DialogProgram::Kdialog, choice),
              ElementsAre("kdialog", "--attach", "7", "--title", "t", "--getopenfilename", ".", ""));
}

TEST(DialogCommandsTest, AnswersAreReadAsPathsAndColours) {
  EXPECT_EQ(PathFromOutput("/a b/c.hex\n"), "/a b/c.hex");
  EXPECT_EQ(PathFromOutput("\n"), std::nullopt);
  EXPECT_EQ(ColorFromOutput("rgb(255,128,0)\n"), 0x000080FFu);
  EXPECT_EQ(ColorFromOutput("rgba(1,2,3,0.5)"), 0x00030201u);
  EXPECT_EQ(ColorFromOutput("#ff8000\n"), 0x000080FFu);
  EXPECT_EQ(ColorFromOutput("#ffff80800000"), 0x000080FFu);
  for (const char* bad : {"", "rgb(256,0,0)", "rgb(1,2)", "#12345", "#gg0000", "blue"}) {
    EXPECT_EQ(ColorFromOutput(bad), std::nullopt) << bad;
  }
}

TEST(ChildProcessTest, OutputExitCodeMissingProgramAndCrashAreTold) {
  ChildOutcome echo = RunChild({"sh", "-c", "printf 'one two'; exit 3"}, {});
  EXPECT_EQ(echo.kind, ChildOutcome::Kind::Exited);
  EXPECT_EQ(echo.exit_code, 3);
  EXPECT_EQ(echo.output, "one two");
  // Arguments are passed as they are, never through a shell.
  EXPECT_EQ(RunChild({"printf", "%s", "$HOME; rm -rf x"}, {}).output, "$HOME; rm -rf x");
  EXPECT_EQ(RunChild({"tolmeo-no-such-program"}, {}).kind, ChildOutcome::Kind::Missing);
  EXPECT_EQ(RunChild({}, {}).kind, ChildOutcome::Kind::Missing);
  EXPECT_EQ(RunChild({"sh", "-c", "kill -SEGV $$"}, {}).kind, ChildOutcome::Kind::Crashed);
}

class SystemDesktopTest : public ::testing::Test {
 protected:
  // A stand-in dialog program: records its arguments, prints answer, exits with code.
  std::string Script(const std::string& name, const std::string& answer, int code = 0) {
    std::string text = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (folder.path() / "args").string() +
                       "'\nprintf '%s\\n' '" + answer + "'\nexit " + std::to_string(code) + "\n";
    std::filesystem::path path = folder.path() / name;
    folder.Write(name, text);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
  }
  SystemDesktop Zenity(const std::string& path) { return SystemDesktop({{DialogProgram::Zenity, path}}); }
  FileDialog OpenHex() const { return FileDialog{Ktext(u8"::: 열기 ::: Darimsol :::"), "", "*.hex|*.hex"}; }

  TempFolder folder;
};

TEST_F(SystemDesktopTest, AChosenKoreanPathComesBackInCp949) {
  SystemDesktop desktop = Zenity(Script("zenity", "/tmp/대한민국.hex"));
  auto chosen = desktop.ChooseFileToOpen(OpenHex());
  ASSERT_TRUE(chosen.ok()) << chosen.reason();
  ASSERT_TRUE(chosen->has_value());
  EXPECT_EQ(**chosen, Cp949FromUtf8("/tmp/대한민국.hex"));
  // The title reached the program as UTF-8.
  EXPECT_THAT(folder.Read("args"), HasSubstr("--title=::: 열기 ::: Darimsol :::"));
}

TEST_F(SystemDesktopTest, APathCp949CannotHoldIsRefusedNotChanged) {
  SystemDesktop desktop = Zenity(Script("zenity", "/tmp/Ελληνικά😀.hex"));
  auto chosen = desktop.ChooseFileToSave(OpenHex());
  ASSERT_FALSE(chosen.ok());
  EXPECT_FALSE(chosen.reason().empty());
}

TEST_F(SystemDesktopTest, CancellingAnswersNothing) {
  SystemDesktop desktop = Zenity(Script("zenity", "", 1));
  auto chosen = desktop.ChooseFileToOpen(OpenHex());
  ASSERT_TRUE(chosen.ok());
  EXPECT_FALSE(chosen->has_value());
  auto color = desktop.ChooseColor(0);
  ASSERT_TRUE(color.ok());
  EXPECT_FALSE(color->has_value());
}

TEST_F(SystemDesktopTest, AMissingProgramGivesWayToTheNextAndNoneAtAllNamesThePackage) {
  std::string kdialog = Script("kdialog", "#00ff00");
  SystemDesktop fallback({{DialogProgram::Zenity, (folder.path() / "missing").string()},
                          {DialogProgram::Kdialog, kdialog}});
  auto color = fallback.ChooseColor(0x0000FF);
  ASSERT_TRUE(color.ok()) << color.reason();
  EXPECT_EQ(**color, 0x0000FF00u);
  EXPECT_THAT(folder.Read("args"), HasSubstr("--getcolor"));

  SystemDesktop none({{DialogProgram::Zenity, (folder.path() / "missing").string()}});
  auto chosen = none.ChooseFileToOpen(OpenHex());
  ASSERT_FALSE(chosen.ok());
  EXPECT_THAT(chosen.reason(), HasSubstr("zenity"));
}

TEST_F(SystemDesktopTest, ADialogProgramThatCrashesOrFailsIsAFailureNotACancel) {
  folder.Write("crash", "#!/bin/sh\nkill -SEGV $$\n");
  std::filesystem::permissions(folder.path() / "crash", std::filesystem::perms::owner_all);
  EXPECT_FALSE(Zenity((folder.path() / "crash").string()).ChooseFileToOpen(OpenHex()).ok());
  EXPECT_FALSE(Zenity(Script("zenity", "", 255)).ChooseFileToOpen(OpenHex()).ok());
}

TEST_F(SystemDesktopTest, PressesGivenToTolmeosWindowsDuringADialogAreDroppedReleasesKept) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
  for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_KEYDOWN, SDL_MOUSEBUTTONUP}) {
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
  }
  Zenity(Script("zenity", "", 1)).ChooseFileToOpen(OpenHex());
  std::vector<Uint32> left;
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_MOUSEWHEEL) == 1) left.push_back(event.type);
  EXPECT_THAT(left, ElementsAre(static_cast<Uint32>(SDL_MOUSEBUTTONUP)));
  SDL_Quit();
}

TEST(SystemDesktopClipboardTest, KoreanTextMakesTheRoundTripThroughTheClipboard) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
  SystemDesktop desktop;
  std::string text = Cp949FromUtf8("가나다 abc\r\n둘째 줄");
  desktop.SetClipboardText(text);
  char* outside = SDL_GetClipboardText();
  EXPECT_STREQ(outside, "가나다 abc\r\n둘째 줄");  // UTF-8 for the other programs
  SDL_free(outside);
  EXPECT_EQ(desktop.ClipboardText(), text);
  SDL_SetClipboardText("");
  EXPECT_EQ(desktop.ClipboardText(), "");
  SDL_Quit();
}

}  // namespace
}  // namespace tolmeo::testing
