// The text button: its caption's place and cut, its pressed look, and the press-and-release
// pattern with balloon help.
#include "widgets/gui_button.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {

using ::testing::ElementsAre;


class ButtonTest : public WidgetTest {
 protected:
  ButtonTest() : button(Place<Tgui_button_Form>(20, 10)) {
    button.SetCaption("OK");
    button.on_click = [this] {
      ++clicks;
      drawn_pressed_during_click = button.bitmap().Pixel(1, 1) == kOverall;
    };
  }
  // Counts pixels of colour inside the frame.
  int Count(Color color) const {
    int count = 0;
    for (int y = 1; y < button.height() - 1; ++y) {
      for (int x = 1; x < button.width() - 1; ++x) count += button.bitmap().Pixel(x, y) == color;
    }
    return count;
  }
  Tgui_button_Form& button;
  int clicks = 0;
  bool drawn_pressed_during_click = false;
};

TEST_F(ButtonTest, TheCaptionIsCentredFromItsMeasuredSize) {
  // "OK" in the 8 x 12 Latin font: 16 x 12 on a 50 x 16 button.
  EXPECT_EQ(button.text_origin(), (Point{25 - 8, 8 - 6}));
  button.SetWidth(100);  // resizing re-centres
  EXPECT_EQ(button.text_origin(), (Point{50 - 8, 8 - 6}));
  button.SetCaption("A caption far wider than the button");
  EXPECT_LT(button.text_origin().x, 0);
}

TEST_F(ButtonTest, ReleasedItIsBlackOnWhiteInAFrameOfTheOverallColour) {
  EXPECT_EQ(button.bitmap().Pixel(0, 0), kOverall);
  EXPECT_EQ(button.bitmap().Pixel(49, 15), kOverall);
  EXPECT_GT(Count(kBlack), 10);
  EXPECT_EQ(Count(kOverall), 0);
  // The ink stays inside the caption's cells.
  for (int y = 1; y < 15; ++y) {
    for (int x = 1; x < 49; ++x) {
      bool in_cells = x >= 17 && x < 33 && y >= 2 && y < 14;
      if (!in_cells) {
        EXPECT_EQ(button.bitmap().Pixel(x, y), kWhite) << x << "," << y;
      }
    }
  }
}

TEST_F(ButtonTest, PressedItIsWhiteOnTheOverallColourUntilReleased) {
  int ink = Count(kBlack);
  MoveTo(30, 15);
  Press();
  EXPECT_TRUE(button.pressed());
  EXPECT_EQ(Count(kWhite), ink);
  EXPECT_EQ(Count(kBlack), 0);
  EXPECT_EQ(ScreenPixel(window, 21, 11), kOverall);
  Release();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(drawn_pressed_during_click);
  EXPECT_EQ(Count(kBlack), ink);
  EXPECT_EQ(ScreenPixel(window, 21, 11), kWhite);
}

TEST_F(ButtonTest, PressLeaveAndReleaseGivesNoClickAndDrawsItReleased) {
  MoveTo(30, 15);
  Press();
  MoveTo(150, 80);
  Release();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button.pressed());
  EXPECT_EQ(button.bitmap().Pixel(1, 1), kWhite);
}

TEST_F(ButtonTest, ComingBackBeforeTheReleaseStillClicks) {
  MoveTo(30, 15);
  Press();
  MoveTo(150, 80);
  MoveTo(30, 15);
  Release();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, ARightPressNeitherLooksPressedNorClicks) {
  MoveTo(30, 15);
  Press(MouseButton::Right);
  EXPECT_FALSE(button.pressed());
  EXPECT_EQ(button.bitmap().Pixel(1, 1), kWhite);
  Release(MouseButton::Right);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonTest, AClickThatDestroysTheButtonEndsSafely) {
  button.on_click = [this] { forms.pop_back(); };  // the button was made last
  MoveTo(30, 15);
  Press();
  Release();
  EXPECT_EQ(forms.size(), 1u);
}

TEST_F(ButtonTest, LongCaptionsAreCutAt63BytesWithoutSplittingACharacter) {
  button.SetCaption(std::string(70, 'x'));
  EXPECT_EQ(button.caption().size(), 63u);
  std::string hangul;
  for (int i = 0; i < 31; ++i) hangul += Ktext(u8"가");
  button.SetCaption("ab" + hangul);  // 64 bytes; byte 63 would split the last character
  EXPECT_EQ(button.caption(), "ab" + hangul.substr(0, 60));
  button.SetCaption("a" + hangul);  // 63 bytes fit whole
  EXPECT_EQ(button.caption().size(), 63u);
}

TEST_F(ButtonTest, BalloonHelpIsAskedForOnlyWhenEnabledAndHiddenBeforeTheClick) {
  MoveTo(30, 15);
  MoveTo(150, 80);
  EXPECT_THAT(balloons.calls, ElementsAre("track 130,115"));  // moves report always
  balloons.calls.clear();
  button.SetBalloonEnabled(true);
  button.SetBalloonText("help");
  MoveTo(30, 15);
  Press();
  Release();
  MoveTo(150, 80);
  EXPECT_THAT(balloons.calls, ElementsAre("request 130,115 help 1", "track 130,115", "withdraw",
                                          "withdraw"));
}

}  // namespace
}  // namespace tolmeo::testing
