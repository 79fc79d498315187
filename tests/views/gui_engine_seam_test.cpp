// The GUI seam: the engine's notices and questions reach the message box, its progress calls
// the right bar, with addresses beyond a bar's range taken as the range's end, and a changed
// document its label.
#include "views/gui_engine_seam.h"

#include <limits>

#include "form/form_timer.h"
#include "isp/hex_documents.h"
#include "shell/shell_fixture.h"
#include "views_fixture.h"

namespace tolmeo::testing {
namespace {

class GuiSeamTest : public ShellTest {
 protected:
  GuiSeamTest()
      : box(Make<Tide_msgbox_Form>(options)),
        flash(Place<Tgui_Progress_Form>(10, 10)),
        eeprom(Place<Tgui_Progress_Form>(10, 40)),
        flash_label(Place<Tgui_Label_Form>(10, 70)),
        eeprom_label(Place<Tgui_Label_Form>(10, 100)),
        avr(Make<Tide_AVR_Form>(window, options, *image, 3)),
        seam(EngineWindows{flash, eeprom, flash_label, eeprom_label, avr}, *image) {
    seam.SetMsgbox(&box);
    flash.Hide();
    eeprom.Hide();
  }
  Tide_msgbox_Form& box;
  Tgui_Progress_Form& flash;
  Tgui_Progress_Form& eeprom;
  Tgui_Label_Form& flash_label;
  Tgui_Label_Form& eeprom_label;
  std::unique_ptr<ChipImage> image = SmallChip();
  Tide_AVR_Form& avr;
  GuiEngineSeam seam;
};

TEST_F(GuiSeamTest, NoticesAndQuestionsGoThroughTheMessageBox) {
  AnswerWith(box.ok_button());
  seam.ShowNotice(kNoticeFailure, "failed");
  EXPECT_TRUE(answered);
  EXPECT_FALSE(box.cancel_button().visible());
  AnswerWith(box.cancel_button());
  EXPECT_FALSE(seam.AskConfirm(kNoticeWarning, "go on?"));
  AnswerWith(box.ok_button());
  EXPECT_TRUE(seam.AskConfirm(kNoticeWarning, "go on?"));
  EXPECT_FALSE(app->terminated());
}

TEST_F(GuiSeamTest, BeforeTheMessageBoxExistsNoticesGoNowhereAndQuestionsAnswerCancel) {
  seam.SetMsgbox(nullptr);
  seam.ShowNotice(kNoticeFailure, "failed");
  EXPECT_FALSE(seam.AskConfirm(kNoticeWarning, "go on?"));
  EXPECT_FALSE(box.visible());
}

TEST_F(GuiSeamTest, AProgrammingLoopMovesOnlyItsOwnBar) {
  seam.ShowProgress(Memory::Eeprom, 0, 511);
  EXPECT_TRUE(eeprom.visible());
  EXPECT_FALSE(flash.visible());
  seam.SetProgressPosition(Memory::Eeprom, 256);
  EXPECT_EQ(eeprom.position(), 256);
  EXPECT_EQ(flash.position(), 50);
  seam.HideProgress(Memory::Eeprom);
  EXPECT_FALSE(eeprom.visible());
}

TEST_F(GuiSeamTest, ValuesBeyondTheBarsRangeAreTakenAsItsEnds) {
  seam.ShowProgress(Memory::Flash, -(std::int64_t{1} << 40), std::int64_t{1} << 40);
  EXPECT_EQ(flash.minimum(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(flash.maximum(), std::numeric_limits<std::int32_t>::max());
  seam.SetProgressPosition(Memory::Flash, std::int64_t{1} << 33);
  EXPECT_EQ(flash.position(), std::numeric_limits<std::int32_t>::max());
}

TEST_F(GuiSeamTest, PendingMessagesRunOnceWithTheirTimersAndPainting) {
  int ticks = 0;
  FormTimer timer("test_Timer", [&] { ++ticks; }, 10);
  timer.SetEnabled(true);
  screen->AdvanceClock(10);
  seam.ShowProgress(Memory::Flash, 0, 100);
  seam.SetProgressPosition(Memory::Flash, 100);
  seam.RunPendingMessages();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(ScreenPixel(window, 10 + 77, 10 + 8), kOverall);
}

TEST_F(GuiSeamTest, ALabelShowsItsDocumentsPathOrTheNoDocumentText) {
  image->documents.eeprom = "/tmp/eeprom.hex";
  seam.DocumentChanged(Memory::Eeprom);
  EXPECT_EQ(eeprom_label.text(), "/tmp/eeprom.hex");
  EXPECT_EQ(eeprom_label.balloon_text(), "/tmp/eeprom.hex");
  EXPECT_NE(flash_label.text(), "/tmp/eeprom.hex");  // the other label is left alone
  image->documents.eeprom.clear();
  seam.DocumentChanged(Memory::Eeprom);
  EXPECT_EQ(eeprom_label.text(), NoDocumentText(Memory::Eeprom));
}

}  // namespace
}  // namespace tolmeo::testing
