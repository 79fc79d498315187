// The message box: its size, shape, frame and text column for the numbers that fix them, the
// places of its buttons, its answers, dragging by the tab, and the modal loop it runs.
#include "shell/ide_msgbox.h"

#include "base/cp949.h"
#include "base/file_system.h"
#include "form/form_timer.h"
#include "gfx/colors.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"
#include "gfx/text_drawing.h"
#include "widgets/gui_progress.h"

namespace tolmeo::testing {
namespace {

constexpr int kLineHeight = 13;

class MsgboxTest : public ShellTest {
 protected:
  MsgboxTest() : box(Make<Tide_msgbox_Form>(options)) { InitTextStyle(plain); }

  TextSize Measure(std::string_view text) const { return *MeasureText(plain_padded(), text); }
  TextStyle plain_padded() const {
    TextStyle style = plain;
    style.padBottom = 1;
    return style;
  }
  void Notice(std::string_view text, int kind = 0) {
    AnswerWith(box.ok_button());
    box.ShowNotice(kind, text);
    ASSERT_TRUE(answered);
    ASSERT_FALSE(app->terminated());  // closed by the click, not by a stalled loop
  }
  // The message's pixels are exactly the text drawn from (50, 26), 13 rows to a line, with
  // nothing else black between the frame and column 50.
  void ExpectTextAtColumn50(const std::vector<std::string>& lines) {
    const Bitmap& picture = box.bitmap();
    Bitmap expected(picture.width(), picture.height(), kWhite);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      DrawText(expected, plain, 50, lines[i], kTransparent, kWhite, kBlack,
               26 + static_cast<int>(i) * kLineHeight);
    }
    int bottom = 26 + static_cast<int>(lines.size()) * kLineHeight;
    for (int y = 26; y < bottom; ++y) {
      for (int x = 4; x < picture.width() - 4; ++x) {
        bool beside_icon = x >= 8 && x < 46 && y < 62;
        if (beside_icon) continue;
        ASSERT_EQ(picture.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
      }
    }
  }

  TextStyle plain;
  Tide_msgbox_Form& box;
};

TEST_F(MsgboxTest, AOneLineMessageWiderThanTheTitleMakesTheBox58PixelsWiderThanItsText) {
  std::string text = "The connected device is not the one the description names.";
  Notice(text);
  TextSize size = Measure(text);
  ASSERT_GT(size.width + 58, 2 * box.tab_width());
  EXPECT_EQ(box.width(), size.width + 58);
  EXPECT_EQ(box.height(), 85);
  EXPECT_EQ(box.bitmap().width(), box.width());
  ExpectTextAtColumn50({text});
}

TEST_F(MsgboxTest, AShortMessageKeepsTheSmallestBoxAndIsCentredOnTheScreen) {
  Notice("ok");
  EXPECT_EQ(box.width(), 2 * box.tab_width());
  EXPECT_EQ(box.height(), 85);
  EXPECT_EQ(box.left(), 640 - box.width() / 2);
  EXPECT_EQ(box.top(), 400 - 85 / 2);
}

TEST_F(MsgboxTest, ThreeLinesAllStartAtColumn50OneLineHeightApart) {
  Notice(Ktext(u8"첫째 줄\r\n둘째 줄입니다\r\n셋째"));
  EXPECT_EQ(box.height(), 3 * kLineHeight + 22 + 20 + 20);
  ExpectTextAtColumn50({Ktext(u8"첫째 줄"), Ktext(u8"둘째 줄입니다"), Ktext(u8"셋째")});
}

TEST_F(MsgboxTest, TheTitleIsWhiteOnTheTitleBandInsideItsTab) {
  Notice("ok");
  const std::string& title = Ktext(u8" Darimsol 알림글 ");
  EXPECT_EQ(box.tab_width(), Measure(title).width + 2);
  Bitmap expected(box.width(), 22, kOverall);
  DrawText(expected, plain, 0, title, kTransparent, kOverall, kWhite, 5);
  for (int y = 1; y < 18; ++y) {
    for (int x = 4; x < box.tab_width() - 2; ++x) {
      ASSERT_EQ(box.bitmap().Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(box.bitmap().Pixel(box.width() - 10, 20), kOverall);  // the band spans the box
}

TEST_F(MsgboxTest, OneButtonIsCentredAndTwoSitFourPixelsApartAroundTheMiddle) {
  Notice("one button");
  int w = box.width();
  int h = box.height();
  EXPECT_EQ(box.ok_button().bounds().left, w / 2 - 30);
  EXPECT_EQ(box.ok_button().bounds().top, h - 28);
  EXPECT_EQ(box.ok_button().width(), 60);
  EXPECT_EQ(box.ok_button().height(), 20);
  EXPECT_FALSE(box.cancel_button().visible());

  AnswerWith(box.cancel_button());
  box.AskConfirm(1, "A question with two buttons below it?");
  w = box.width();
  h = box.height();
  EXPECT_EQ(box.ok_button().bounds().left, w / 2 - 62);
  EXPECT_EQ(box.cancel_button().bounds().left, w / 2 + 2);
  EXPECT_EQ(box.cancel_button().bounds().top, h - 28);
  EXPECT_EQ(box.ok_button().caption(), Ktext(u8"확인"));
  EXPECT_EQ(box.cancel_button().caption(), Ktext(u8"취소"));
}

TEST_F(MsgboxTest, AMessageTooLargeForTheScreenIsCutSoTheButtonsStayWithinReach) {
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += std::string(200, 'x') + "\r\n";
  AnswerWith(box.cancel_button());
  EXPECT_FALSE(box.AskConfirm(1, lines));
  EXPECT_FALSE(app->terminated());
  EXPECT_EQ(box.width(), 1280);
  EXPECT_EQ(box.height(), 800);
  EXPECT_EQ(box.left(), 0);
  EXPECT_EQ(box.top(), 0);
  EXPECT_EQ(box.cancel_button().bounds().top, 800 - 28);
}

TEST_F(MsgboxTest, TheShapeCutsAwayRightOfTheTabAndNotchesTheTabsCorners) {
  Notice("shape");
  ASSERT_TRUE(box.shape().has_value());
  const Region& shape = *box.shape();
  const int tab = box.tab_width();
  const int w = box.width();
  const int h = box.height();
  EXPECT_FALSE(shape.Contains(0, 0));
  EXPECT_FALSE(shape.Contains(1, 0));
  EXPECT_FALSE(shape.Contains(0, 1));
  EXPECT_TRUE(shape.Contains(2, 0));
  EXPECT_TRUE(shape.Contains(1, 1));
  EXPECT_TRUE(shape.Contains(0, 2));
  EXPECT_FALSE(shape.Contains(tab - 1, 0));
  EXPECT_FALSE(shape.Contains(tab - 2, 0));
  EXPECT_FALSE(shape.Contains(tab - 1, 1));
  EXPECT_TRUE(shape.Contains(tab - 3, 0));
  EXPECT_TRUE(shape.Contains(tab - 2, 1));
  EXPECT_TRUE(shape.Contains(tab - 1, 2));
  EXPECT_FALSE(shape.Contains(tab, 2));
  EXPECT_FALSE(shape.Contains(w - 1, 17));
  EXPECT_TRUE(shape.Contains(tab, 18));
  EXPECT_TRUE(shape.Contains(w - 1, h - 1));
  EXPECT_FALSE(shape.Contains(w, h - 1));
}

TEST_F(MsgboxTest, TheFrameHasBandsOfTheOverallColourAndBlackEdges) {
  Notice("frame");
  const Bitmap& p = box.bitmap();
  const int tab = box.tab_width();
  const int w = box.width();
  const int h = box.height();
  EXPECT_EQ(p.Pixel(2, h / 2), kOverall);
  EXPECT_EQ(p.Pixel(w - 3, h / 2), kOverall);
  EXPECT_EQ(p.Pixel(w / 2, h - 3), kOverall);
  EXPECT_EQ(p.Pixel(4, h / 2), kWhite);
  for (int y = 2; y < h; ++y) ASSERT_EQ(p.Pixel(0, y), kBlack) << y;
  for (int y = 0; y < h; ++y) ASSERT_EQ(p.Pixel(w - 1, y), kBlack) << y;
  for (int x = 0; x < w - 1; ++x) ASSERT_EQ(p.Pixel(x, h - 1), kBlack) << x;
  for (int x = 2; x < tab - 3; ++x) ASSERT_EQ(p.Pixel(x, 0), kBlack) << x;
  for (int x = tab - 1; x < w - 1; ++x) ASSERT_EQ(p.Pixel(x, 18), kBlack) << x;
  for (int y = 2; y < 18; ++y) ASSERT_EQ(p.Pixel(tab - 1, y), kBlack) << y;
  EXPECT_EQ(p.Pixel(1, 1), kBlack);  // the cut corners
  EXPECT_EQ(p.Pixel(tab - 2, 1), kBlack);
}

TEST_F(MsgboxTest, TheIconIsTheKindsFrameOfTheStrip) {
  TintedPicture strip(38, 36);
  ASSERT_TRUE(strip.Load(ExeFolder() + "sysbmp/msgbox/msgbox.bmp").ok());
  strip.SetStripMode(true);
  strip.SetFrameWidth(38);
  for (int kind : {0, 1, 3}) {
    Notice("kind", kind);
    strip.SetFrameIndex(kind);
    Bitmap expected(38, 36);
    strip.Draw(expected, kOverall);
    const Bitmap& icon = box.icon().bitmap();
    EXPECT_EQ(box.icon().bounds().left, 8);
    EXPECT_EQ(box.icon().bounds().top, 26);
    bool same = true;
    for (int y = 0; y < 36; ++y) {
      for (int x = 0; x < 38; ++x) same = same && icon.Pixel(x, y) == expected.Pixel(x, y);
    }
    EXPECT_TRUE(same) << kind;
  }
}

TEST_F(MsgboxTest, AskConfirmIsTrueForOkFalseForCancelAndTheNextQuestionStartsClean) {
  AnswerWith(box.ok_button());
  EXPECT_TRUE(box.AskConfirm(1, "go on?"));
  AnswerWith(box.cancel_button());
  EXPECT_FALSE(box.AskConfirm(1, "go on?"));
  AnswerWith(box.ok_button());
  EXPECT_TRUE(box.AskConfirm(1, "go on?"));
  // A box closed without either button must not answer for the user; with the flags of the
  // OK before left over it would say yes.
  CloseWithoutAnswer(box);
  EXPECT_FALSE(box.AskConfirm(1, "go on?"));
  EXPECT_TRUE(answered);
  EXPECT_FALSE(app->terminated());
}

TEST_F(MsgboxTest, ReturnAnswersOkAndEscapeAnswersCancelOrClosesANotice) {
  auto press_once = [this](Key key) {
    answered = false;
    screen->on_wait = [this, key] {
      if (answered || !box.visible()) return;
      answered = true;
      screen->PressKey(key);
    };
  };
  press_once(kKeyReturn);
  EXPECT_TRUE(box.AskConfirm(1, "go on?"));
  press_once(kKeyEscape);
  EXPECT_FALSE(box.AskConfirm(1, "go on?"));
  press_once(kKeyEscape);
  box.ShowNotice(0, "done");
  EXPECT_TRUE(answered);
  EXPECT_FALSE(box.visible());
  EXPECT_FALSE(app->terminated());
}

TEST_F(MsgboxTest, TheModalLoopBlocksTheCallerWhileTimersAndPaintingGoOn) {
  auto& bar = Place<Tgui_Progress_Form>(10, 10);
  int ticks = 0;
  Color bar_end_on_screen = 0;
  bool returned = false;
  bool returned_early = false;
  FormTimer timer("test_Timer", [&] { bar.SetPosition(++ticks * 25); }, 100);
  timer.SetEnabled(true);
  screen->on_wait = [&] {
    returned_early = returned_early || returned;
    if (ticks < 4 || answered) return;
    // Four ticks of the timer inside the loop: the bar is full and shows so on screen.
    bar_end_on_screen = ScreenPixel(window, 10 + 77, 10 + 8);
    answered = true;
    Point at = box.ok_button().ClientToScreen(Point{30, 10});
    screen->Click(at.x, at.y);
  };
  box.ShowNotice(0, "busy");
  returned = true;
  EXPECT_FALSE(returned_early);
  EXPECT_TRUE(answered);
  EXPECT_GE(ticks, 4);
  EXPECT_FALSE(app->terminated());
  EXPECT_EQ(bar_end_on_screen, kOverall);
  EXPECT_FALSE(box.visible());
}

TEST_F(MsgboxTest, ItIsDraggedByItsTabOnly) {
  int step = 0;
  Point start;
  screen->on_wait = [&] {
    Point tab = box.ClientToScreen(Point{10, 10});
    Point body = box.ClientToScreen(Point{box.tab_width() + 10, 40});
    switch (step++) {
      case 0:
        start = Point{box.left(), box.top()};
        screen->MoveMouse(tab.x, tab.y);
        screen->PressMouse(MouseButton::Left);
        screen->MoveMouse(tab.x + 30, tab.y + 20);
        screen->ReleaseMouse(MouseButton::Left);
        break;
      case 1:
        screen->MoveMouse(body.x, body.y);
        screen->PressMouse(MouseButton::Left);
        screen->MoveMouse(body.x + 50, body.y + 50);
        screen->ReleaseMouse(MouseButton::Left);
        break;
      case 2: {
        Point ok = box.ok_button().ClientToScreen(Point{30, 10});
        screen->Click(ok.x, ok.y);
        break;
      }
      default:
        break;
    }
  };
  box.ShowNotice(0, "drag me");
  EXPECT_FALSE(app->terminated());
  EXPECT_EQ(box.left(), start.x + 30);
  EXPECT_EQ(box.top(), start.y + 20);
}

TEST_F(MsgboxTest, WithoutItsPictureFileTheIconIsWhiteAndTheBoxStillWorks) {
  TempFolder empty;
  SetExeFolderForTesting(empty.Cp949Path());
  auto& bare = Make<Tide_msgbox_Form>(options);
  SetExeFolderForTesting("");
  AnswerWith(bare.ok_button());
  bare.ShowNotice(3, "no picture");
  EXPECT_TRUE(answered);
  for (int y = 0; y < 36; ++y) {
    for (int x = 0; x < 38; ++x) ASSERT_EQ(bare.icon().bitmap().Pixel(x, y), kWhite);
  }
}

TEST_F(PlainDisplayTest, TheMessageBoxStaysRectangularAndStillAnswers) {
  Tide_msgbox_Form box(options);
  screen->on_wait = [&] {
    Point at = box.cancel_button().ClientToScreen(Point{30, 10});
    screen->Click(at.x, at.y);
  };
  EXPECT_FALSE(box.AskConfirm(1, "plain?"));
  EXPECT_FALSE(app.terminated());
  EXPECT_EQ(box.EffectiveShape(), nullptr);
  const HeadlessBackend::Window* window = screen->Find(box.window_handle());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->pixels.Pixel(box.width() - 1, 0), kBlack);  // the corner is shown
}

}  // namespace
}  // namespace tolmeo::testing
