// The settings dialog: each control's handler, the restart note, the transparency bar and its
// box, the picture dialog, the balloon boxes, reloading on every showing, and the settings
// surviving a restart through the options file.
#include "app/ide_dialogbox.h"

#include "app/dialog_fixture.h"
#include "base/cp949.h"
#include "support/fake_desktop.h"
#include "support/temp_folder.h"

namespace tolmeo::testing {
namespace {

class DialogTest : public AppDialogTest {
 protected:
  DialogTest() {
    options = DefaultOptions();
    options.overallColor = kOverall;
    options.savedColor = 0x123456;
    SettingsHooks hooks;
    hooks.set_background_picture = [this](const std::string& path) { pictures.push_back(path); };
    hooks.set_background_brightness = [this](int value) { brightnesses.push_back(value); };
    hooks.main_translucent = [this] { return main_translucent; };
    hooks.set_main_translucency = [this](bool on, std::uint8_t opacity) {
      main_translucent = on;
      main_opacity = opacity;
      ++translucency_calls;
    };
    hooks.apply_balloon_translucency = [this] { ++balloon_calls; };
    hooks.show_notice = RecordNotices();
    dialog = &Make<Tide_dialogbox_Form>(options, std::move(hooks));
  }
  void Open() {
    dialog->Show();
    Pump();
  }

  FakeDesktop* desktop = &AttachFakeDesktop(*app);
  Tide_dialogbox_Form* dialog = nullptr;
  std::vector<std::string> pictures;
  std::vector<int> brightnesses;
  bool main_translucent = false;
  int main_opacity = -1;
  int translucency_calls = 0;
  int balloon_calls = 0;
};

TEST_F(DialogTest, IsCentredWithItsTabAndStartsWithBothBarsAt225) {
  Rect screen_rect = app->ScreenRect();
  EXPECT_EQ(dialog->width(), kDialogWidth);
  EXPECT_EQ(dialog->height(), kDialogHeight);
  EXPECT_EQ(dialog->left(), (screen_rect.width - kDialogWidth) / 2);
  EXPECT_EQ(dialog->brightness_bar().position(), kStartingBarPosition);
  EXPECT_EQ(dialog->transparency_bar().position(), kStartingBarPosition);
  EXPECT_EQ(dialog->transparency_text(), "225");
  EXPECT_FALSE(dialog->transparency_bar().enabled());
  EXPECT_TRUE(brightnesses.empty());  // no handler ran while building
  EXPECT_FALSE(dialog->shape()->Contains(dialog->tab_width() + 1, 5));
}

TEST_F(DialogTest, ApplyingWithoutAChosenColourSavesBlackAndShowsTheRestartNote) {
  Open();
  Click(dialog->apply_color_button());
  EXPECT_EQ(options.savedColor, 0u);
  EXPECT_EQ(options.overallColor, kOverall);  // the running windows keep their colour
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0],
            "0 " + Ktext(u8"지정색은 통합개발환경을 다시 시작하는 경우 반영됩니다."));
}

TEST_F(DialogTest, AConfirmedColourPaintsTheSwatchAndIsSavedOnApplyACancelChangesNothing) {
  Open();
  desktop->AnswerColor(0x00AA55);
  Click(dialog->choose_color_button());
  EXPECT_EQ(dialog->swatch_color(), 0x00AA55u);
  EXPECT_EQ(dialog->bitmap().Pixel(30, 60), 0x00AA55u);
  EXPECT_EQ(options.savedColor, 0x123456u);  // choosing alone changes no setting
  desktop->AnswerColor(std::nullopt);
  Click(dialog->choose_color_button());
  EXPECT_EQ(dialog->swatch_color(), 0x00AA55u);
  Click(dialog->apply_color_button());
  EXPECT_EQ(options.savedColor, 0x00AA55u);
}

TEST_F(DialogTest, AColourDialogThatCannotRunSaysWhy) {
  Open();
  desktop->color_answers.emplace_back(Failure{"no dialog program"});
  Click(dialog->choose_color_button());
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "3 no dialog program");
  EXPECT_EQ(dialog->swatch_color(), kOverall);
}

TEST_F(DialogTest, WithoutTheBoxTheTransparencyBarChangesOnlyTheValue) {
  Open();
  dialog->transparency_bar().SetPosition(100);
  EXPECT_EQ(options.alphaBlendValue, 100);
  EXPECT_EQ(dialog->transparency_text(), "100");
  EXPECT_EQ(translucency_calls, 0);
  EXPECT_FALSE(main_translucent);
}

TEST_F(DialogTest, TheBoxEnablesTheBarAndMakesTheMainWindowTranslucentAtItsOpacity) {
  options.alphaBlendValue = 180;
  Open();
  Click(dialog->transparency_box());
  EXPECT_TRUE(dialog->transparency_box().checked());
  EXPECT_TRUE(dialog->transparency_bar().enabled());
  EXPECT_EQ(options.alphaBlendOn, 1);
  EXPECT_TRUE(main_translucent);
  EXPECT_EQ(main_opacity, 180);
  dialog->transparency_bar().SetPosition(120);
  EXPECT_EQ(main_opacity, 120);
  Click(dialog->transparency_box());
  EXPECT_FALSE(main_translucent);
  EXPECT_FALSE(dialog->transparency_bar().enabled());
  EXPECT_EQ(options.alphaBlendOn, 0);
}

TEST_F(DialogTest, TheBrightnessBarShowsItsValueInTheBoxAndSetsTheViewer) {
  Open();
  dialog->brightness_bar().SetPosition(77);
  EXPECT_EQ(dialog->brightness_box().text(), "77");
  EXPECT_EQ(brightnesses.back(), 77);
  EXPECT_EQ(options.brightness, 77);
}

TEST_F(DialogTest, EveryShowingLoadsTheControlsFromTheOptions) {
  options.brightness = 40;
  options.alphaBlendOn = 1;
  options.alphaBlendValue = 90;
  options.balloonHelpOn = 0;
  options.balloonTransparentOn = 1;
  main_translucent = true;
  Open();
  EXPECT_EQ(dialog->brightness_bar().position(), 40);
  EXPECT_EQ(dialog->brightness_box().text(), "40");
  EXPECT_EQ(brightnesses, std::vector<int>{40});
  EXPECT_TRUE(dialog->transparency_box().checked());
  EXPECT_TRUE(dialog->transparency_bar().enabled());
  EXPECT_EQ(dialog->transparency_bar().position(), 90);
  EXPECT_EQ(dialog->transparency_text(), "90");
  EXPECT_EQ(main_opacity, 90);
  EXPECT_FALSE(dialog->balloon_box().checked());
  EXPECT_TRUE(dialog->balloon_translucency_box().checked());
  EXPECT_EQ(dialog->swatch_color(), kOverall);
}

TEST_F(DialogTest, TheBalloonBoxesSwitchBalloonHelpAndItsTranslucency) {
  options.balloonHelpOn = 1;
  Open();
  Click(dialog->balloon_box());
  EXPECT_EQ(options.balloonHelpOn, 0);
  Click(dialog->balloon_translucency_box());
  EXPECT_EQ(options.balloonTransparentOn, 1);
  EXPECT_EQ(balloon_calls, 1);
}

TEST_F(DialogTest, APictureIsAppliedAtOnceACancelChangesNothingAndATooLongPathIsRefused) {
  Open();
  options.backgroundPicturePath = "before.jpg";
  desktop->AnswerFile(std::nullopt);
  Click(dialog->picture_button());
  EXPECT_EQ(options.backgroundPicturePath, "before.jpg");
  EXPECT_TRUE(pictures.empty());
  ASSERT_EQ(desktop->open_requests.size(), 1u);
  EXPECT_EQ(desktop->open_requests[0].filter, "*.jpg|*.jpg");

  desktop->AnswerFile(std::string(kMaxOptionPathBytes, 'p'));
  Click(dialog->picture_button());
  EXPECT_EQ(options.backgroundPicturePath, "before.jpg");
  ASSERT_EQ(notices.size(), 1u);

  std::string chosen = Ktext(u8"/home/사용자/그림/바다.jpg");
  desktop->AnswerFile(chosen);
  Click(dialog->picture_button());
  EXPECT_EQ(options.backgroundPicturePath, chosen);
  EXPECT_EQ(pictures, std::vector<std::string>{chosen});
}

TEST_F(DialogTest, EverySettingMadeInTheDialogIsReadBackAtTheNextStart) {
  TempFolder folder;
  std::string path = folder.Cp949Path() + "opt.opt";
  Open();
  std::string chosen = Ktext(u8"/home/사용자/그림/바다.jpg");
  desktop->AnswerFile(chosen);
  Click(dialog->picture_button());
  desktop->AnswerColor(0x3366CC);
  Click(dialog->choose_color_button());
  Click(dialog->apply_color_button());
  dialog->brightness_bar().SetPosition(60);
  Click(dialog->transparency_box());
  dialog->transparency_bar().SetPosition(150);
  Click(dialog->balloon_box());
  Click(dialog->balloon_translucency_box());
  Click(dialog->close_button());
  EXPECT_FALSE(dialog->visible());
  ASSERT_TRUE(SaveOptions(path, options).ok());  // what the main window does when it closes

  IdeOptions next;
  ASSERT_TRUE(LoadOptions(path, next).ok());
  EXPECT_EQ(next.backgroundPicturePath, chosen);
  EXPECT_EQ(next.savedColor, 0x3366CCu);
  EXPECT_EQ(next.brightness, 60);
  EXPECT_EQ(next.alphaBlendOn, 1);
  EXPECT_EQ(next.alphaBlendValue, 150);
  EXPECT_EQ(next.balloonHelpOn, options.balloonHelpOn);
  EXPECT_NE(next.balloonHelpOn, DefaultOptions().balloonHelpOn);
  EXPECT_EQ(next.balloonTransparentOn, 1);
}

}  // namespace
}  // namespace tolmeo::testing

namespace tolmeo::testing {
namespace {

TEST_F(DialogTest, TheBrightnessBoxsQuickListWorksWhileTheDialogIsModal) {
  int step = 0;
  std::pair<std::size_t, std::size_t> picked;
  screen->on_wait = [&] {
    Tgui_edit_Form& box = dialog->brightness_box();
    Point at = box.ClientToScreen(Point{5, 5});
    switch (step++) {
      case 0:
        screen->MoveMouse(at.x, at.y);
        screen->PressMouse(MouseButton::Right);
        screen->ReleaseMouse(MouseButton::Right);
        break;
      case 1:
        screen->MoveMouse(at.x + 20, at.y + kPopupTitleHeight + 1 + 4 * 18 + 5);
        break;
      case 2:
        screen->PressMouse(MouseButton::Left);
        screen->ReleaseMouse(MouseButton::Left);
        break;
      default:
        picked = box.Selection();
        dialog->Hide();
    }
  };
  options.brightness = 123;
  dialog->ShowModal();
  EXPECT_EQ(picked, std::make_pair(std::size_t{0}, std::size_t{3}));
}

}  // namespace
}  // namespace tolmeo::testing
