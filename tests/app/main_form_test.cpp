// The main window as the entry starts it: where the command panel's controls lie, how the
// document lines follow the width, the menu closing on a resize, translucency and the options
// file on close, the start-up without descriptions, and commands refused while one runs.
#include "app/main_form.h"

#include <algorithm>

#include "isp/hex_documents.h"
#include "isp/isp_instructions.h"
#include "main_window_fixture.h"

namespace tolmeo::testing {
namespace {

TEST(CommandRow, ControlsFollowEachOtherWithTheirGaps) {
  EXPECT_EQ(CommandRowLefts(), (std::array<int, kCommandRowLength>{
                                   8, 64, 115, 147, 179, 215, 275, 307, 339, 375, 459, 491, 527,
                                   593}));
  EXPECT_EQ(CommandRowLefts().back() + CommandRow().back().width, 623);
}

TEST(DocumentLine, EndsSixPixelsShortOfTheRightEdgeAtAnyWidth) {
  for (int width : {700, 800, 1920}) {
    DocumentLineLayout line = LayoutDocumentLine(3, width);
    EXPECT_EQ(line.title_left, 3);
    EXPECT_EQ(line.label_left, 75);
    EXPECT_EQ(line.label_width, width - 145);
    EXPECT_EQ(line.open_left, width - 68);
    EXPECT_EQ(line.close_left, width - 36);
  }
}

class MainFormTest : public MainWindowTest {
 protected:
  MainFormTest() { AddDescription("ATmega328P"); }
};

TEST_F(MainFormTest, ThePanelLiesUnderTheMenuBarAtItsComputedPlaces) {
  Start();
  MainPanel& panel = main->panel();
  EXPECT_EQ(main->width(), kMainDesignWidth);
  EXPECT_EQ(main->height(), kMainDesignHeight);
  EXPECT_EQ(panel.menu().top(), 22);
  EXPECT_EQ(panel.menu().height(), 18);
  std::array<int, kCommandRowLength> lefts = CommandRowLefts();
  for (int i = 0; i < kCommandRowLength; ++i) {
    const WidgetBase& control = *panel.command_row()[i];
    EXPECT_EQ(control.left(), lefts[i]) << i;
    EXPECT_EQ(control.width(), CommandRow()[i].width) << i;
    EXPECT_EQ(control.top(), CommandRow()[i].is_button ? 44 : 48) << i;
  }
  EXPECT_EQ(panel.command_button(PanelCommand::kAutoSequence).caption(), Ktext(u8"자동진행"));
  for (Memory memory : {Memory::Flash, Memory::Eeprom}) {
    int top = memory == Memory::Flash ? 76 : 96;
    EXPECT_EQ(panel.title_label(memory).top(), top);
    EXPECT_EQ(panel.title_label(memory).left(), 3);
    EXPECT_EQ(panel.document_label(memory).bounds().top, top);
    EXPECT_EQ(panel.document_label(memory).text(), NoDocumentText(memory));
    EXPECT_EQ(panel.progress_bar(memory).bounds().left, 75);
    EXPECT_FALSE(panel.progress_bar(memory).visible());
  }
  // The caption lies over everything, the menu bar over the panel.
  EXPECT_EQ(main->children().back(), &panel.caption());
}

TEST_F(MainFormTest, TheDocumentLinesFollowTheWidth) {
  Start();
  MainPanel& panel = main->panel();
  main->SetWidth(700);
  EXPECT_EQ(panel.document_label(Memory::Flash).width(), 555);
  EXPECT_EQ(panel.progress_bar(Memory::Eeprom).width(), 555);
  int open_at_700 = panel.open_button(Memory::Eeprom).left();
  main->SetWidth(800);
  EXPECT_EQ(panel.document_label(Memory::Eeprom).width(), 655);
  EXPECT_EQ(panel.progress_bar(Memory::Flash).width(), 655);
  EXPECT_EQ(panel.open_button(Memory::Eeprom).left(), open_at_700 + 100);
  EXPECT_EQ(panel.close_button(Memory::Flash).left(), 800 - 36);
  EXPECT_EQ(panel.caption().width(), 800);
  EXPECT_EQ(panel.menu().width(), 793);
  // The command row stays where it was.
  EXPECT_EQ(panel.command_button(PanelCommand::kRun).left(), 593);
}

TEST_F(MainFormTest, ResizingWithTheDropDownOpenClosesIt) {
  Start();
  Tide_menu_Form& menu = main->panel().menu();
  ClickOn(menu, menu.slot(0).left + 5, 8);
  ASSERT_TRUE(submenu->visible());
  main->SetHeight(300);
  EXPECT_FALSE(submenu->visible());
  EXPECT_EQ(menu.open_slot(), -1);
}

TEST_F(MainFormTest, StartsTranslucentWhenTheOptionsSaySo) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim";
  file.alphaBlendOn = 1;
  file.alphaBlendValue = 200;
  WriteOptions(file);
  Start();
  EXPECT_TRUE(main->alpha_blend());
  EXPECT_EQ(main->alpha_blend_value(), 200);
  EXPECT_EQ(screen->Find(main->window_handle())->opacity, 200);
}

// UTF-8 with a character CP949 has no place for, garbage, cut short: one notice naming the
// copy of the user's bytes, and the defaults written over the file only after that copy.
class UnreadableOptionsTest : public MainFormTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnreadableOptionsTest, AreKeptAsideToldOnceAndReplacedOnClose) {
  folder.Write("opt/opt.opt", GetParam());
  Start();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find(Ktext(u8"기본 설정으로 시작합니다")), std::string::npos);
  EXPECT_NE(notices[0].find("opt.opt.bak"), std::string::npos);
  EXPECT_EQ(options.ispSpeed, DefaultOptions().ispSpeed);
  EXPECT_EQ(folder.Read("opt/opt.opt.bak"), GetParam());
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_EQ(notices.size(), 1u);
  IdeOptions saved;
  EXPECT_TRUE(LoadOptions(OptionsPath(), saved).ok());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableOptionsTest,
    ::testing::Values(std::string("\xEF\xBB\xBF<ISP\xEC\x86\x8D\xEB\x8F\x84>\r\n\xF0\x9F\x98\x80\r\n"),
                      std::string("\x01\x02 garbage"),
                      FormatOptions(DefaultOptions()).substr(0, 120), std::string()));

TEST_F(MainFormTest, AMissingOptionsFileStartsQuietlyWithTheDefaults) {
  std::filesystem::remove(folder.path() / "opt" / "opt.opt");
  Start();
  EXPECT_TRUE(notices.empty());
}

TEST_F(MainFormTest, ClosingWritesTheOptionsFileEvenWhenNothingChanged) {
  std::filesystem::remove(folder.path() / "opt" / "opt.opt");
  Start();
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_TRUE(app->terminated());
  IdeOptions saved;
  ASSERT_TRUE(LoadOptions(OptionsPath(), saved).ok());
  EXPECT_EQ(saved, options);
}

TEST_F(MainFormTest, ClosingKeepsTheVirtualChipInItsFile) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim:" + folder.Cp949Path() + "/chip.sim";
  WriteOptions(file);
  Start();
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "chip.sim"));
  EXPECT_TRUE(notices.empty());
}

// Started from anywhere (the test runs in another folder), the options' relative chip file
// lives beside the user's settings, not in the folder Tolmeo happened to start in.
TEST_F(MainFormTest, ARelativeChipFileOfTheOptionsLivesInTheSettingsFolder) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim:relative-chip.sim";
  WriteOptions(file);
  Start();
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "relative-chip.sim"));
  EXPECT_FALSE(std::filesystem::exists("relative-chip.sim"));
  EXPECT_TRUE(notices.empty());
}

TEST_F(MainFormTest, AVirtualChipFileThatCannotBeReadIsToldAtTheStart) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim:" + folder.Cp949Path() + "/no-such-folder/chip.sim";
  WriteOptions(file);
  Start();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("chip.sim"), std::string::npos);
}

TEST_F(MainFormTest, AVirtualChipFileThatCannotBeWrittenIsToldOnClosing) {
  std::filesystem::create_directory(folder.path() / "chips");
  IdeOptions file = DefaultOptions();
  file.cable = "sim:" + folder.Cp949Path() + "/chips/chip.sim";
  WriteOptions(file);
  Start();
  std::filesystem::remove_all(folder.path() / "chips");  // the folder goes while Tolmeo runs
  ClickOn(main->panel().menu().close_button(), 6, 6);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("chip.sim"), std::string::npos);
}

TEST_F(MainFormTest, TheSignatureQuestionNamesTheSignatureReadAndTheOneExpected) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim,signature=1E9514";
  WriteOptions(file);
  Start();
  ClickCommand(PanelCommand::kErase);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], SignatureQuestion({0x1E, 0x95, 0x14}, {0x1E, 0x95, 0x0F}));
  EXPECT_NE(notices[0].find(Ktext(u8"읽은 시그너처 1E 95 14, 명세문서의 시그너처 1E 95 0F")), std::string::npos)
      << Utf8FromCp949(notices[0]);
}

TEST_F(MainFormTest, TheCableIsIdleBeforeAnyCommand) {
  Start();
  ASSERT_NE(main->session().rig().sim, nullptr);
  EXPECT_EQ(main->session().rig().sim->data(), 0x81);
  EXPECT_EQ(main->panel().menu().DeviceName(), "ATmega328P");
  EXPECT_EQ(image->flashSize, 32768u);
}

class TwoDeviceTest : public MainWindowTest {
 protected:
  TwoDeviceTest() {
    AddDescription("AT90CAN128");
    AddDescription("ATmega328P");
  }
  int DeviceItem(const std::string& name) {
    const std::vector<std::string>& items = main->panel().menu().slot(kDeviceSlot).items;
    return static_cast<int>(std::find(items.begin(), items.end(), " " + name + " ") - items.begin());
  }
  void ChooseDevice(const std::string& name) { main->panel().menu().RunItem(kDeviceSlot, DeviceItem(name)); }
  // Starts the main window on the virtual chip with name as the device the options remember.
  void StartRemembering(const std::string& name) {
    IdeOptions file = DefaultOptions();
    file.cable = "sim";
    file.deviceName = name;
    WriteOptions(file);
    Start();
  }
};

TEST_F(TwoDeviceTest, TheVirtualChipFollowsTheChosenDeviceWhichIsRememberedOnClose) {
  Start();
  EXPECT_EQ(main->panel().menu().DeviceName(), "AT90CAN128");
  ChooseDevice("ATmega328P");
  ASSERT_NE(main->session().rig().sim, nullptr);
  EXPECT_EQ(main->session().rig().sim->chip().memories().flash().size(), 32768u);
  ClickCommand(PanelCommand::kFlashRead);
  EXPECT_TRUE(notices.empty()) << Utf8FromCp949(notices.front());
  ClickOn(main->panel().menu().close_button(), 6, 6);
  IdeOptions saved;
  ASSERT_TRUE(LoadOptions(OptionsPath(), saved).ok());
  EXPECT_EQ(saved.deviceName, "ATmega328P");
}

TEST_F(TwoDeviceTest, TheRememberedDeviceIsSelectedAtStart) {
  StartRemembering("ATmega328P");
  EXPECT_EQ(main->panel().menu().DeviceName(), "ATmega328P");
  EXPECT_EQ(image->flashSize, 32768u);
  EXPECT_EQ(main->session().rig().sim->chip().memories().flash().size(), 32768u);
}

TEST_F(TwoDeviceTest, ARememberedDeviceWithoutItsDescriptionIsToldOnceAndGivesWayToTheFirst) {
  StartRemembering("ATtiny13");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("ATtiny13"), std::string::npos) << Utf8FromCp949(notices[0]);
  EXPECT_NE(notices[0].find("AT90CAN128"), std::string::npos) << Utf8FromCp949(notices[0]);
  EXPECT_EQ(main->panel().menu().DeviceName(), "AT90CAN128");
  EXPECT_EQ(image->flashSize, 131072u);
  ClickOn(main->panel().menu().close_button(), 6, 6);
  IdeOptions saved;
  ASSERT_TRUE(LoadOptions(OptionsPath(), saved).ok());
  EXPECT_EQ(saved.deviceName, "AT90CAN128");
}

TEST_F(TwoDeviceTest, AChipFileOfAnotherDeviceRefusesTheCommandsAndIsLeftAsItIs) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim:" + folder.Cp949Path() + "chip.sim";
  WriteOptions(file);
  Start();
  ChooseDevice("ATmega328P");  // the AT90CAN128's chip is written back before the change
  const std::string kept = folder.Read("chip.sim");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("chip.sim"), std::string::npos);
  ClickCommand(PanelCommand::kErase);
  EXPECT_EQ(notices.size(), 2u);
  EXPECT_EQ(main->session().rig().sim->chip().chip_erases(), 0);
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_EQ(folder.Read("chip.sim"), kept);
}

TEST_F(TwoDeviceTest, TheDocumentMenuSavesTheChipImageAsIntelHex) {
  Start();
  ChooseDevice("ATmega328P");
  image->SetFlashByte(0, 0x0C);
  desktop().AnswerFile(folder.Cp949Path() + "read.hex");
  main->panel().menu().RunItem(0, 2);
  EXPECT_TRUE(notices.empty());
  std::string hex = folder.Read("read.hex");
  EXPECT_EQ(hex.substr(0, 11), ":100000000C");
  EXPECT_EQ(hex.size(), 32768u / 16 * 45 + 13);  // 16-byte records in CR LF lines, then the end record
  desktop().AnswerFile(folder.Cp949Path() + "eeprom.hex");
  main->panel().menu().RunItem(0, 3);
  EXPECT_EQ(folder.Read("eeprom.hex").size(), 1024u / 16 * 45 + 13);
  desktop().AnswerFile(std::nullopt);  // cancelled: nothing written, nothing said
  main->panel().menu().RunItem(0, 2);
  EXPECT_TRUE(notices.empty());
}

// A run folder without a single description.
using EmptyRunFolderTest = MainWindowTest;

TEST_F(EmptyRunFolderTest, StartsWithTheAvrEntryAndCommandsSayNoDescriptionIsLoaded) {
  Start();
  Tide_menu_Form& menu = main->panel().menu();
  EXPECT_EQ(menu.slot(kDeviceSlot).title, " AVR ");
  EXPECT_EQ(menu.slot(kDeviceSlot).items, (std::vector<std::string>{" AVR "}));
  ClickCommand(PanelCommand::kErase);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find(Ktext(u8"명세문서")), std::string::npos);
  EXPECT_EQ(main->session().rig().sim->chip().chip_erases(), 0);
}

}  // namespace
}  // namespace tolmeo::testing
