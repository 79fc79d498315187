// The GUI seam: the engine's notices and questions reach the message box, and its progress
// calls reach the right bar, with addresses beyond a bar's range taken as the range's end.
#include "shell/gui_engine_seam.h"

#include <limits>

#include "form/form_timer.h"
#include "shell_fixture.h"

namespace tolmeo::testing {
namespace {

// The seam's own operations; the views' ones are not the shell's business.
class ShellOnlySeam : public GuiEngineSeam {
 public:
  using GuiEngineSeam::GuiEngineSeam;
  void RefreshViewer() override {}
  void UpdateViewerScrollRange() override {}
  void CollectBits(FuseGroup) override {}
  void ShowBits(FuseGroup) override {}
  BitBox GetBitBox(FuseGroup, int) const override { return {}; }
  void SetBitBox(FuseGroup, int, const BitBox&) override {}
  std::string DocumentLabel(Memory) const override { return {}; }
  void SetDocumentLabel(Memory, const std::string&) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFileToSave(const std::string&, const std::string&,
                                              const std::string&) override {
    return std::nullopt;
  }
};

class GuiSeamTest : public ShellTest {
 protected:
  GuiSeamTest()
      : box(Make<Tide_msgbox_Form>(options)),
        flash(Place<Tgui_Progress_Form>(10, 10)),
        eeprom(Place<Tgui_Progress_Form>(10, 40)),
        seam(flash, eeprom) {
    seam.SetMsgbox(&box);
    flash.Hide();
    eeprom.Hide();
  }
  Tide_msgbox_Form& box;
  Tgui_Progress_Form& flash;
  Tgui_Progress_Form& eeprom;
  ShellOnlySeam seam;
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
  seam.SetProgressMin(Memory::Eeprom, 0);
  seam.SetProgressMax(Memory::Eeprom, 511);
  seam.SetProgressPosition(Memory::Eeprom, 0);
  seam.ShowProgress(Memory::Eeprom);
  EXPECT_TRUE(eeprom.visible());
  EXPECT_FALSE(flash.visible());
  seam.SetProgressPosition(Memory::Eeprom, 256);
  EXPECT_EQ(eeprom.position(), 256);
  EXPECT_EQ(flash.position(), 50);
  seam.HideProgress(Memory::Eeprom);
  EXPECT_FALSE(eeprom.visible());
}

TEST_F(GuiSeamTest, ValuesBeyondTheBarsRangeAreTakenAsItsEnds) {
  seam.SetProgressMin(Memory::Flash, -(std::int64_t{1} << 40));
  seam.SetProgressMax(Memory::Flash, std::int64_t{1} << 40);
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
  seam.SetProgressPosition(Memory::Flash, 100);
  seam.ShowProgress(Memory::Flash);
  seam.RunPendingMessages();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(ScreenPixel(window, 10 + 77, 10 + 8), kOverall);
}

}  // namespace
}  // namespace tolmeo::testing
