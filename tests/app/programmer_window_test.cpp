// The programmer window in Tolmeo's own wiring, end to end on the virtual AVR: a description
// fills the bit editor, a Flash read shows in the viewer down to the chip's last row, the
// fuse boxes are written and read back, and the description is saved or not.
#include "isp/device_description.h"
#include "main_window_fixture.h"
#include "support/recording_seam.h"

namespace tolmeo::testing {
namespace {

class ProgrammerWindowTest : public MainWindowTest {
 protected:
  ProgrammerWindowTest() {
    AddDescription("ATmega8");
    Start();
  }
  Tide_AVR_Form& avr() { return main->programmer_window(); }
  LockFuseEditor& editor() { return avr().bit_editor(); }
  AvrMemories& chip() { return main->session().rig().sim->chip().memories(); }
  void ShowSettings() {
    avr().block_tabs().SetSelected(kAvrSettingsTab);
    Pump();
  }
  // Presses at one point of control and lets go at another.
  void Drag(const Form& control, Point from, Point to) {
    Point start = control.ClientToScreen(from);
    Point end = control.ClientToScreen(to);
    screen->MoveMouse(start.x, start.y);
    Pump();
    screen->PressMouse(MouseButton::Left);
    Pump();
    screen->MoveMouse(end.x, end.y);
    Pump();
    screen->ReleaseMouse(MouseButton::Left);
    Pump();
  }
};

TEST_F(ProgrammerWindowTest, TheDescriptionFillsTheBitEditorAndTheScrollRange) {
  EXPECT_EQ(editor().name(FuseGroup::High, 5).text(), "SPIEN");
  EXPECT_TRUE(editor().box(FuseGroup::High, 5).checked());
  EXPECT_FALSE(editor().box(FuseGroup::High, 5).enabled());
  EXPECT_EQ(editor().name(FuseGroup::Lock, 7).text(), "-");
  EXPECT_EQ(image->lowFuse, 0xE1);
  // 256 rows of 16 words; the last ones fill the viewer's page (the read below ends there).
  EXPECT_GT(avr().vertical_bar().maximum(), 200);
  EXPECT_LT(avr().vertical_bar().maximum(), 256);
}

TEST_F(ProgrammerWindowTest, AFlashReadShowsTheChipDownToItsLastRow) {
  // The chip's last page holds 0x0000, 0x0101, ... 0x1F1F.
  const std::uint32_t page_start = chip().flash_words() - chip().page_words();
  for (std::uint32_t i = 0; i < chip().page_words(); ++i) {
    chip().LoadPageByte(i, false, static_cast<std::uint8_t>(i));
    chip().LoadPageByte(i, true, static_cast<std::uint8_t>(i));
  }
  chip().WritePage(page_start);
  ClickCommand(PanelCommand::kFlashRead);
  EXPECT_TRUE(notices.empty());
  // Drag the thumb to the bottom of the bar.
  Tgui_scroll_v_Form& bar = avr().vertical_bar();
  Drag(bar, Point{6, 8 + bar.thumb().thumb_offset + 2}, Point{6, bar.height() + 300});
  EXPECT_EQ(bar.position(), bar.maximum());
  const std::string& dump = avr().viewer().dump_text(kFlashView);
  EXPECT_EQ(dump.substr(dump.size() - 82), "1010 1111 1212 1313 1414 1515 1616 1717 1818 1919 1A1A "
                                           "1B1B 1C1C 1D1D 1E1E 1F1F \r\n");
}

TEST_F(ProgrammerWindowTest, FuseBoxesAreWrittenAndReadBack) {
  ShowSettings();
  ClickOn(editor().box(FuseGroup::Low, 3));   // CKSEL3 unprogrammed
  ClickOn(editor().box(FuseGroup::Low, 7));   // BODLEVEL programmed
  ClickOn(editor().write_button(FuseGroup::Low), 10, 5);
  EXPECT_EQ(chip().ReadFuse(FuseByte::kLow), 0x69);
  ClickOn(editor().box(FuseGroup::High, 4));  // CKOPT programmed
  ClickOn(editor().write_button(FuseGroup::High), 10, 5);
  EXPECT_EQ(chip().ReadFuse(FuseByte::kHigh), 0xC9);
  // Another tool changed the chip meanwhile: the read shows it, fixed bits stay as they are.
  chip().WriteFuse(FuseByte::kHigh, 0x3F);
  ClickOn(editor().read_button(FuseGroup::High), 10, 5);
  EXPECT_EQ(image->highFuse, 0x3F);
  EXPECT_TRUE(editor().box(FuseGroup::High, 6).checked());   // 0 read: programmed
  EXPECT_FALSE(editor().box(FuseGroup::High, 7).checked());  // fixed RSTDISBL stays unchecked
  EXPECT_TRUE(editor().box(FuseGroup::High, 5).checked());   // fixed SPIEN stays checked
  EXPECT_FALSE(editor().box(FuseGroup::High, 1).checked());
  EXPECT_FALSE(editor().box(FuseGroup::High, 4).checked());
  EXPECT_TRUE(notices.empty());
}

TEST_F(ProgrammerWindowTest, ResetGoesBackToTheDescription) {
  ShowSettings();
  ClickOn(editor().box(FuseGroup::Low, 0));
  ASSERT_EQ(image->lowFuse, 0xE0);
  ClickOn(editor().reset_button(), 10, 5);
  EXPECT_EQ(image->lowFuse, 0xE1);
  EXPECT_FALSE(editor().box(FuseGroup::Low, 0).checked());
}

TEST_F(ProgrammerWindowTest, CancellingTheSaveWritesNothing) {
  ShowSettings();
  ClickOn(editor().save_button(), 10, 5);
  ASSERT_EQ(desktop().save_requests.size(), 1u);
  EXPECT_TRUE(notices.empty());
  // The dialog asked nothing of the next save: it is given its folder and filter each time.
  desktop().AnswerFile(folder.Cp949Path() + "copy.avrspec");
  ClickOn(editor().save_button(), 10, 5);
  ASSERT_EQ(desktop().save_requests.size(), 2u);
  EXPECT_EQ(desktop().save_requests[1].initial_folder, desktop().save_requests[0].initial_folder);
  EXPECT_TRUE(FileExists(folder.Cp949Path() + "copy.avrspec"));
}

TEST_F(ProgrammerWindowTest, ASavedDescriptionLoadsBackWithTheCurrentBits) {
  ShowSettings();
  ClickOn(editor().box(FuseGroup::Low, 7));
  const std::string path = folder.Cp949Path() + "mine.avrspec";
  desktop().AnswerFile(path);
  ClickOn(editor().save_button(), 10, 5);
  auto again = std::make_unique<ChipImage>();
  RecordingSeam other;
  ASSERT_TRUE(LoadDescription(path, *again, other).ok());
  EXPECT_EQ(again->lowFuse, 0x61);
  EXPECT_EQ(again->bits.Box(FuseGroup::High, 5).name, "SPIEN");
  EXPECT_TRUE(again->bits.Box(FuseGroup::High, 5).fixed);
}

TEST_F(ProgrammerWindowTest, ASaveReplacesAnOldFileWholeAndAFailedOneIsShown) {
  ShowSettings();
  const std::string old_path = folder.Write("old.avrspec", "old contents");
  desktop().AnswerFile(old_path);
  ClickOn(editor().save_button(), 10, 5);
  const std::string written = folder.Read("old.avrspec");
  EXPECT_EQ(written.rfind(Ktext(u8"<Flash페이지크기>"), 0), 0u);
  EXPECT_EQ(written.substr(written.size() - 6), Ktext(u8"<끝>") + "\r\n");
  EXPECT_TRUE(notices.empty());
  // A folder that is not there: nothing is written, and the user is told.
  desktop().AnswerFile(folder.Cp949Path() + "missing/new.avrspec");
  ClickOn(editor().save_button(), 10, 5);
  EXPECT_FALSE(FileExists(folder.Cp949Path() + "missing/new.avrspec"));
  EXPECT_EQ(notices.size(), 1u);
}

}  // namespace
}  // namespace tolmeo::testing
