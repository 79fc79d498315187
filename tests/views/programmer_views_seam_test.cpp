// The programmer window behind the engine seam, end to end on the virtual AVR: a description
// fills the bit editor, a Flash read shows in the viewer down to the chip's last row, the
// fuse boxes are written and read back, and the description is saved or not.
#include "views/programmer_views_seam.h"

#include "base/cp949.h"
#include "base/file_system.h"
#include "isp/device_description.h"
#include "isp/engine_session.h"
#include "isp/hex_documents.h"
#include "port/sim_cable.h"
#include "support/recording_seam.h"
#include "support/temp_folder.h"
#include "views_fixture.h"

namespace tolmeo::testing {
namespace {

class ViewsSessionTest : public ViewsTest {
 protected:
  ViewsSessionTest() : avr(MakeProgrammerWindow()), rest(*image), seam(avr, rest) {
    rest.flash_label = NoDocumentText(Memory::Flash);
    rest.eeprom_label = NoDocumentText(Memory::Eeprom);
    Status loaded = LoadDescription(DescriptionPath("ATmega8"), *image, seam);
    EXPECT_TRUE(loaded.ok()) << loaded.reason();
    session = std::make_unique<EngineSession>("sim", *image, seam, speed);
    EXPECT_TRUE(session->OpenPort().ok());
    auto device = [] { return std::string("ATmega8"); };
    ConnectBitEditor(avr.bit_editor(),
                     BitEditorCommands{[this](const std::function<void(Programmer&)>& command) {
                                         command(session->programmer());
                                       },
                                       *image, seam, device, {}});
  }
  AvrMemories& chip() { return session->rig().sim->chip().memories(); }
  TextStyle AddressStyle() const {
    TextStyle style;
    InitTextStyle(style);
    style.xOffset = 4;
    style.padLeft = style.padRight = style.padTop = style.padBottom = 0;
    return style;
  }
  LockFuseEditor& editor() { return avr.bit_editor(); }

  Tide_AVR_Form& avr;
  RecordingSeam rest;
  ProgrammerViewsSeam seam;
  std::int32_t speed = 0;
  std::unique_ptr<EngineSession> session;
  TempFolder folder;
};

TEST_F(ViewsSessionTest, TheDescriptionFillsTheBitEditorAndTheScrollRange) {
  EXPECT_EQ(editor().name(FuseGroup::High, 5).text(), "SPIEN");
  EXPECT_TRUE(editor().box(FuseGroup::High, 5).checked());
  EXPECT_FALSE(editor().box(FuseGroup::High, 5).enabled());
  EXPECT_EQ(editor().name(FuseGroup::Lock, 7).text(), "-");
  EXPECT_EQ(image->lowFuse, 0xE1);
  EXPECT_EQ(avr.vertical_bar().maximum(), 256 - 17);
}

TEST_F(ViewsSessionTest, AFlashReadShowsTheChipDownToItsLastRow) {
  // The chip's last page holds 0x0000, 0x0101, ... 0x1F1F.
  const std::uint32_t page_start = chip().flash_words() - chip().page_words();
  for (std::uint32_t i = 0; i < chip().page_words(); ++i) {
    chip().LoadPageByte(i, false, static_cast<std::uint8_t>(i));
    chip().LoadPageByte(i, true, static_cast<std::uint8_t>(i));
  }
  chip().WritePage(page_start);
  EXPECT_EQ(session->programmer().FlashRead(), CommandOutcome::kDone);
  // Drag the thumb to the bottom of the bar.
  Tgui_scroll_v_Form& bar = avr.vertical_bar();
  MoveOver(bar, 6, 8 + bar.thumb().thumb_offset + 2);
  Press();
  MoveOver(bar, 6, bar.height() + 300);
  Release();
  EXPECT_EQ(bar.position(), 239);
  const Bitmap& shown = avr.viewer().bitmap();
  EXPECT_TRUE(ShowsText(shown, AddressStyle(), "00000FF0", Tmemory_Viewer_Form::kDumpY + 16 * 12));
  const std::string& dump = avr.viewer().dump_text(kFlashView);
  EXPECT_EQ(dump.substr(dump.size() - 82), "1010 1111 1212 1313 1414 1515 1616 1717 1818 1919 1A1A "
                                           "1B1B 1C1C 1D1D 1E1E 1F1F \r\n");
  EXPECT_EQ(dump.size(), 17u * 82u);
}

TEST_F(ViewsSessionTest, FuseBoxesAreWrittenAndReadBack) {
  avr.block_tabs().SetSelected(kAvrSettingsTab);
  Pump();
  ClickOn(editor().box(FuseGroup::Low, 3), 5, 5);   // CKSEL3 unprogrammed
  ClickOn(editor().box(FuseGroup::Low, 7), 5, 5);   // BODLEVEL programmed
  ClickOn(editor().write_button(FuseGroup::Low), 10, 5);
  EXPECT_EQ(chip().ReadFuse(FuseByte::kLow), 0x69);
  ClickOn(editor().box(FuseGroup::High, 4), 5, 5);  // CKOPT programmed
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
  EXPECT_TRUE(rest.notices.empty());
}

TEST_F(ViewsSessionTest, ResetGoesBackToTheDescription) {
  avr.block_tabs().SetSelected(kAvrSettingsTab);
  ClickOn(editor().box(FuseGroup::Low, 0), 5, 5);
  ASSERT_EQ(image->lowFuse, 0xE0);
  editor().on_reset();
  EXPECT_EQ(image->lowFuse, 0xE1);
  EXPECT_FALSE(editor().box(FuseGroup::Low, 0).checked());
}

TEST_F(ViewsSessionTest, CancellingTheSaveWritesNothing) {
  editor().on_save();
  EXPECT_EQ(rest.calls.back(), "dialog save");
  EXPECT_TRUE(rest.notices.empty());
  // The dialog asked nothing of the next save: it is given its folder and filter each time.
  rest.dialog_answers.push_back(folder.Cp949Path() + "copy.avrspec");
  editor().on_save();
  EXPECT_TRUE(FileExists(folder.Cp949Path() + "copy.avrspec"));
}

TEST_F(ViewsSessionTest, ASavedDescriptionLoadsBackWithTheCurrentBits) {
  avr.block_tabs().SetSelected(kAvrSettingsTab);
  ClickOn(editor().box(FuseGroup::Low, 7), 5, 5);
  const std::string path = folder.Cp949Path() + "mine.avrspec";
  rest.dialog_answers.push_back(path);
  editor().on_save();
  std::unique_ptr<ChipImage> owned = SmallChip();
  ChipImage& again = *owned;
  RecordingSeam other(again);
  ASSERT_TRUE(LoadDescription(path, again, other).ok());
  EXPECT_EQ(again.lowFuse, 0x61);
  EXPECT_EQ(other.boxes.Box(FuseGroup::High, 5).name, "SPIEN");
  EXPECT_TRUE(other.boxes.Box(FuseGroup::High, 5).fixed);
}

TEST_F(ViewsSessionTest, ASaveReplacesAnOldFileWholeAndAFailedOneIsShown) {
  const std::string old_path = folder.Write("old.avrspec", "old contents");
  rest.dialog_answers.push_back(old_path);
  editor().on_save();
  const std::string written = folder.Read("old.avrspec");
  EXPECT_EQ(written.rfind(Ktext(u8"<Flash페이지크기>"), 0), 0u);
  EXPECT_EQ(written.substr(written.size() - 6), Ktext(u8"<끝>") + "\r\n");
  EXPECT_TRUE(rest.notices.empty());
  // A folder that is not there: nothing is written, and the user is told.
  rest.dialog_answers.push_back(folder.Cp949Path() + "missing/new.avrspec");
  editor().on_save();
  EXPECT_FALSE(FileExists(folder.Cp949Path() + "missing/new.avrspec"));
  ASSERT_EQ(rest.notices.size(), 1u);
  EXPECT_EQ(rest.notices[0].kind, kNoticeFailure);
}

}  // namespace
}  // namespace tolmeo::testing
