// Balloon help: the one-second wait with the pointer followed meanwhile, the cases that must
// never show a balloon, its size, tail and outline, its text buffer, focus and dragging.
#include "shell/ide_balloonbox.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/picture.h"
#include "shell_fixture.h"
#include "widgets/gui_label.h"
#include "gfx/text_drawing.h"
#include "gfx/palette.h"

namespace tolmeo::testing {
namespace {


class BalloonTest : public ShellTest {
 protected:
  BalloonTest() {
    options.balloonHelpOn = 1;
    balloon = &Make<Tide_BalloonBox_Form>(options);
    label = &Place<Tgui_Label_Form>(10, 10);
    label->SetBalloonEnabled(true);
    label->SetBalloonText("help");
  }
  // Line height 13: 12-row glyphs and one row of room below.
  TextSize Measure(std::string_view text) const {
    TextStyle style;
    InitTextStyle(style);
    style.padBottom = 1;
    return *MeasureText(style, text);
  }

  Tide_BalloonBox_Form* balloon;
  Tgui_Label_Form* label;
};

TEST_F(BalloonTest, RegistersItselfAsTheControlsBalloonHostWhileItExists) {
  EXPECT_EQ(TheBalloonHost(), balloon);
  {
    Tide_BalloonBox_Form second(options);
    EXPECT_EQ(TheBalloonHost(), &second);
  }
  EXPECT_EQ(TheBalloonHost(), nullptr);
}

TEST_F(BalloonTest, ShowsOneSecondAfterThePointerEntersWithTheTipOnThePointer) {
  MoveTo(20, 15);  // screen (120, 115)
  EXPECT_TRUE(balloon->waiting());
  Advance(999);
  EXPECT_FALSE(balloon->visible());
  Advance(1);
  EXPECT_TRUE(balloon->visible());
  EXPECT_FALSE(balloon->waiting());
  EXPECT_EQ(balloon->left() + kBalloonTailTip, 120);
  EXPECT_EQ(balloon->top(), 115);
  EXPECT_EQ(balloon->text(), "help");
  EXPECT_TRUE(balloon->Focused());
}

TEST_F(BalloonTest, AWaitingBalloonFollowsThePointer) {
  MoveTo(20, 15);
  Advance(500);
  MoveTo(60, 12);  // still on the label: the wait goes on from the first entry
  EXPECT_EQ(balloon->left(), 160 - kBalloonTailTip);
  EXPECT_EQ(balloon->top(), 112);
  Advance(500);
  EXPECT_TRUE(balloon->visible());
  EXPECT_EQ(balloon->left(), 160 - kBalloonTailTip);
  EXPECT_EQ(balloon->top(), 112);
}

TEST_F(BalloonTest, WithBalloonHelpOffNothingWaitsAndNothingShows) {
  options.balloonHelpOn = 0;
  MoveTo(20, 15);
  EXPECT_FALSE(balloon->waiting());
  Advance(5000);
  EXPECT_FALSE(balloon->visible());
}

TEST_F(BalloonTest, LeavingBeforeTheSecondIsOverShowsNothing) {
  MoveTo(20, 15);
  Advance(900);
  MoveTo(150, 80);  // off the label, still on the window
  EXPECT_FALSE(balloon->waiting());
  Advance(3000);
  EXPECT_FALSE(balloon->visible());
}

TEST_F(BalloonTest, SwitchingBalloonHelpOffWhileWaitingLetsTheTimerDoNothing) {
  MoveTo(20, 15);
  Advance(500);
  options.balloonHelpOn = 0;
  Advance(500);
  EXPECT_FALSE(balloon->visible());
  EXPECT_TRUE(balloon->waiting());  // the timer does nothing, and goes on
  Advance(3000);
  EXPECT_FALSE(balloon->visible());
  options.balloonHelpOn = 1;  // switched on again, the pointer still resting on the label
  Advance(1000);
  EXPECT_TRUE(balloon->visible());
  EXPECT_FALSE(balloon->waiting());
  MoveTo(150, 80);
  EXPECT_FALSE(balloon->visible());
}

TEST_F(BalloonTest, AControlWithoutBalloonHelpAsksForNone) {
  label->SetBalloonEnabled(false);
  MoveTo(20, 15);
  Advance(2000);
  EXPECT_FALSE(balloon->visible());
}

TEST_F(BalloonTest, AOneWordTextGivesABalloon16WiderThanItAndAtLeast22) {
  balloon->RequestBalloon(300, 200, "word", 0);
  TextSize word = Measure("word");
  EXPECT_TRUE(balloon->visible());
  EXPECT_EQ(balloon->width(), word.width + 16);
  EXPECT_EQ(balloon->height(), 13 + 28);
  balloon->RequestBalloon(300, 200, "", 0);
  EXPECT_EQ(balloon->width(), 22);
  EXPECT_EQ(BalloonSizeFor(3, 13).width, 22);
}

TEST_F(BalloonTest, ATwoLineTextIsTwoLineHeightsPlus28High) {
  balloon->RequestBalloon(300, 200, "first line\r\nsecond", 0);
  EXPECT_EQ(balloon->height(), 2 * 13 + 28);
  EXPECT_EQ(balloon->width(), Measure("first line").width + 16);
}

TEST_F(BalloonTest, TheTailStandsAboveTheBodyAtItsLeftWithItsTipOnThePointer) {
  balloon->RequestBalloon(300, 200, "tail and outline", 0);
  EXPECT_EQ(balloon->left(), 300 - 16);
  ASSERT_TRUE(balloon->shape().has_value());
  const Region& shape = *balloon->shape();
  const int w = balloon->width();
  const int h = balloon->height();
  EXPECT_TRUE(shape.Contains(16, 1));     // the tail's vertical side
  EXPECT_TRUE(shape.Contains(17, 11));
  EXPECT_TRUE(shape.Contains(26, 11));
  EXPECT_FALSE(shape.Contains(15, 5));    // left of the tail
  EXPECT_FALSE(shape.Contains(24, 2));    // beyond its slanted side
  EXPECT_FALSE(shape.Contains(w - 1, 11));
  EXPECT_TRUE(shape.Contains(0, 12));     // the body
  EXPECT_TRUE(shape.Contains(w - 1, h - 1));
}

TEST_F(BalloonTest, TheOutlineIsBlackOverTheLightenedOverallColour) {
  balloon->RequestBalloon(300, 200, "outline", 0);
  const Bitmap& p = balloon->bitmap();
  const int w = p.width();
  const int h = p.height();
  EXPECT_EQ(p.Pixel(w / 2, h - 3), LightenColor(kOverall, 180));
  for (int y = 12; y < h; ++y) {
    ASSERT_EQ(p.Pixel(0, y), kBlack) << y;
    ASSERT_EQ(p.Pixel(w - 1, y), kBlack) << y;
  }
  for (int x = 0; x < w - 1; ++x) ASSERT_EQ(p.Pixel(x, h - 1), kBlack) << x;
  for (int x = 0; x < 17; ++x) ASSERT_EQ(p.Pixel(x, 12), kBlack) << x;
  for (int x = 27; x < w - 1; ++x) ASSERT_EQ(p.Pixel(x, 12), kBlack) << x;
  EXPECT_NE(p.Pixel(22, 12), kBlack);  // the tail opens into the body
  for (int y = 0; y < 12; ++y) ASSERT_EQ(p.Pixel(16, y), kBlack) << y;
  EXPECT_EQ(p.Pixel(15, 0), kBlack);      // the slanted side starts left of the tip
  EXPECT_EQ(p.Pixel(21, 6), kBlack);
  // The text from column 8, row 20, in black.
  TextStyle plain;
  InitTextStyle(plain);
  Bitmap expected(w, h, LightenColor(kOverall, 180));
  DrawText(expected, plain, 8, "outline", kTransparent, 0, kBlack, 20);
  for (int y = 13; y < h - 1; ++y) {
    for (int x = 1; x < w - 1; ++x) ASSERT_EQ(p.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
  }
}

TEST_F(BalloonTest, ANewRequestWhileShowingMovesAtOnceButRedrawsOnlyWhenTheTimerFires) {
  balloon->RequestBalloon(300, 200, "one", 0);
  int first_width = balloon->width();
  balloon->RequestBalloon(500, 400, "a much longer text", 1);
  EXPECT_TRUE(balloon->visible());
  EXPECT_EQ(balloon->left(), 500 - 16);
  EXPECT_EQ(balloon->width(), first_width);
  Advance(1000);
  EXPECT_EQ(balloon->width(), Measure("a much longer text").width + 16);
}

TEST_F(BalloonTest, ATextLongerThanTheBufferIsCutOnACharacterBoundary) {
  balloon->RequestBalloon(300, 200, std::string(10242, 'a') + Ktext(u8"가"), 1);
  EXPECT_EQ(balloon->text(), std::string(10242, 'a'));
  balloon->RequestBalloon(300, 200, std::string(10241, 'a') + Ktext(u8"가") + "bc", 1);
  EXPECT_EQ(balloon->text().size(), kBalloonTextLimit);
  EXPECT_EQ(balloon->text().substr(10241), Ktext(u8"가"));
}

TEST_F(BalloonTest, LosingTheFocusHidesIt) {
  balloon->RequestBalloon(300, 200, "focus", 0);
  ASSERT_TRUE(balloon->Focused());
  window.SetFocus();
  Pump();
  EXPECT_FALSE(balloon->visible());
  EXPECT_FALSE(balloon->waiting());
}

TEST_F(BalloonTest, HidingGivesTheFocusBackToWhereTheBalloonTookItFrom) {
  window.SetFocus();
  MoveTo(20, 15);
  Advance(1000);
  ASSERT_TRUE(balloon->Focused());
  MoveTo(150, 80);
  EXPECT_FALSE(balloon->visible());
  EXPECT_TRUE(window.Focused());
}

TEST_F(BalloonTest, ItIsDraggedByTheBandBesideItsTailOnly) {
  balloon->RequestBalloon(300, 200, "drag the balloon", 0);
  Pump();
  Point band = balloon->ClientToScreen(Point{12, 14});
  screen->MoveMouse(band.x, band.y);
  screen->PressMouse(MouseButton::Left);
  screen->MoveMouse(band.x + 40, band.y + 25);
  screen->ReleaseMouse(MouseButton::Left);
  Pump();
  EXPECT_EQ(balloon->left(), 284 + 40);
  EXPECT_EQ(balloon->top(), 200 + 25);
  Point body = balloon->ClientToScreen(Point{40, 30});
  screen->MoveMouse(body.x, body.y);
  screen->PressMouse(MouseButton::Left);
  screen->MoveMouse(body.x + 40, body.y + 25);
  screen->ReleaseMouse(MouseButton::Left);
  Pump();
  EXPECT_EQ(balloon->left(), 284 + 40);
}

TEST_F(BalloonTest, ThePointerRestingOnTheBalloonKeepsItUntilItLeavesTheBalloonToo) {
  MoveTo(20, 15);
  Advance(1000);
  ASSERT_TRUE(balloon->visible());
  Point on_balloon = balloon->ClientToScreen(Point{20, 20});
  screen->MoveMouse(on_balloon.x, on_balloon.y);  // off the label, onto the balloon
  Advance(2000);
  EXPECT_TRUE(balloon->visible());
  MoveTo(150, 80);
  EXPECT_FALSE(balloon->visible());
}

TEST_F(BalloonTest, TranslucencyFollowsTheSetting) {
  EXPECT_FALSE(balloon->alpha_blend());
  options.balloonTransparentOn = 1;
  balloon->ApplyTranslucency();
  EXPECT_TRUE(balloon->alpha_blend());
  EXPECT_EQ(balloon->alpha_blend_value(), kBalloonOpacity);
  balloon->RequestBalloon(300, 200, "see through", 0);
  EXPECT_EQ(screen->Find(balloon->window_handle())->opacity, kBalloonOpacity);
}

// While a modal box is up: a control behind it that appears under the resting pointer gets no
// balloon, and Return still answers the box; the box's own controls get theirs, without the
// keyboard focus.
class ModalBalloonTest : public BalloonTest {
 protected:
  ModalBalloonTest() : box(Make<Tide_msgbox_Form>(options)) {}
  // Runs the steps one per wait of the box's loop, the last one pressing Return; the number
  // of waits the box needed.
  int ShowNoticeWith(std::vector<std::function<void()>> steps) {
    int waits = 0;
    screen->on_wait = [&] {
      if (!box.visible() || waits > 10) return;
      if (static_cast<std::size_t>(waits) < steps.size()) steps[static_cast<std::size_t>(waits)]();
      if (static_cast<std::size_t>(waits) + 1 == steps.size()) screen->PressKey(kKeyReturn);
      ++waits;
    };
    box.ShowNotice(0, "notice");
    return waits;
  }
  Tide_msgbox_Form& box;
};

TEST_F(ModalBalloonTest, AControlBehindTheBoxShowsNoBalloonAndReturnStillClosesTheBox) {
  label->Hide();
  MoveTo(20, 15);  // resting where the label will appear
  bool shown = true;
  int waits = ShowNoticeWith({[&] { label->Show(); },  // a progress bar hidden, say
                              [&] { screen->AdvanceClock(kBalloonDelayMs); },
                              [&] { shown = balloon->visible(); }});
  EXPECT_FALSE(shown);
  EXPECT_LE(waits, 4);
  EXPECT_FALSE(box.visible());
  EXPECT_FALSE(balloon->visible());
}

TEST_F(ModalBalloonTest, ABalloonUpWhenTheBoxOpensLeavesTheKeysToTheBox) {
  MoveTo(20, 15);
  Advance(kBalloonDelayMs);
  ASSERT_TRUE(balloon->Focused());
  int waits = ShowNoticeWith({[] {}});
  EXPECT_LE(waits, 2);
  EXPECT_FALSE(box.visible());
  EXPECT_FALSE(balloon->visible());
}

TEST_F(ModalBalloonTest, TheBoxsOwnControlsExplainThemselvesWithoutTakingTheFocus) {
  Tgui_Label_Form& own = Make<Tgui_Label_Form>(&box, options);
  own.SetParent(&box);
  own.SetBounds(Rect{10, 30, 40, 14});
  own.SetBalloonEnabled(true);
  own.SetBalloonText("own");
  own.Show();
  bool shown = false;
  bool box_kept_focus = false;
  ShowNoticeWith({[&] {
                    Point at = own.ClientToScreen(Point{5, 5});
                    screen->MoveMouse(at.x, at.y);
                  },
                  [&] { screen->AdvanceClock(kBalloonDelayMs); },
                  [&] {
                    shown = balloon->visible() && balloon->text() == "own";
                    box_kept_focus = !balloon->Focused();
                  }});
  EXPECT_TRUE(shown);
  EXPECT_TRUE(box_kept_focus);
  EXPECT_FALSE(box.visible());
}

TEST(BalloonPlace, TheTipIsOnThePointerUnlessTheWorkAreaEnds) {
  const Rect work{0, 0, 1280, 760};
  const BalloonSize size{200, 60};
  EXPECT_EQ(BalloonBounds(Point{300, 200}, size, work).left, 284);
  EXPECT_EQ(BalloonBounds(Point{300, 200}, size, work).top, 200);
  // At the right edge it moves left; near the bottom it goes above the pointer.
  Rect corner = BalloonBounds(Point{1275, 740}, size, work);
  EXPECT_EQ(corner.left, 1080);
  EXPECT_EQ(corner.top, 680);
  // At the left edge it stays inside too; a balloon taller than the room above is kept on top.
  EXPECT_EQ(BalloonBounds(Point{4, 100}, size, work).left, 0);
  EXPECT_EQ(BalloonBounds(Point{300, 740}, BalloonSize{200, 800}, work).top, 0);
}

TEST_F(BalloonTest, AShowingBalloonStaysInsideTheWorkArea) {
  const Rect work = app->WorkArea();
  balloon->RequestBalloon(work.right() - 2, work.bottom() - 2, "a text wide enough to run off", 0);
  EXPECT_LE(balloon->left() + balloon->width(), work.right());
  EXPECT_LE(balloon->top() + balloon->height(), work.bottom());
  EXPECT_GE(balloon->left(), work.left);
  EXPECT_GE(balloon->top(), work.top);
}

TEST_F(PlainDisplayTest, ARectangularBalloonUnderThePointerStaysUp) {
  std::vector<std::string> log;
  ProbeForm window("window", log, 0xFFFFFF);
  window.SetBounds(Rect{100, 100, 200, 100});
  window.Show();
  Tide_BalloonBox_Form balloon(options);
  Tgui_Label_Form label(&window, options);
  label.SetParent(&window);
  label.Show();
  label.SetBalloonEnabled(true);
  label.SetBalloonText("help");
  screen->MoveMouse(120, 110);
  app.RunPendingMessages();
  screen->AdvanceClock(1000);
  app.RunPendingMessages();
  ASSERT_TRUE(balloon.visible());
  EXPECT_EQ(balloon.EffectiveShape(), nullptr);  // its rectangle covers the pointer
  for (int pass = 0; pass < 5; ++pass) {
    screen->MoveMouse(121, 111 + pass % 2);
    screen->AdvanceClock(1000);
    app.RunPendingMessages();
    EXPECT_TRUE(balloon.visible()) << pass;
  }
}

}  // namespace
}  // namespace tolmeo::testing
