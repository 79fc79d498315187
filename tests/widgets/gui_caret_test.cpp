// The caret: seen only while its field has the focus, blinking as a bar, steady while a
// syllable is composed.
#include "widgets/gui_caret.h"

#include "base/cp949.h"
#include "gfx/text_drawing.h"
#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {

class CaretTest : public WidgetTest {
 protected:
  CaretTest()
      : field(Make<ProbeForm>("field", log, 0xFFFFFF, &window)),
        caret(Make<Tgui_caret_Form>(field, options)) {
    field.SetBounds(Rect{10, 10, 60, 16});
    field.Show();
    Pump();
  }
  void Focus() {
    field.SetFocus();
    Pump();
  }
  ProbeForm& field;
  Tgui_caret_Form& caret;
};

TEST_F(CaretTest, WithTheFieldUnfocusedMovingOnlyRepositions) {
  caret.MoveTo(9, 2);
  caret.ShowCaret();
  Advance(1000);
  EXPECT_EQ(caret.left(), 9);
  EXPECT_EQ(caret.top(), 2);
  EXPECT_FALSE(caret.visible());
  EXPECT_FALSE(caret.blinking());
}

TEST_F(CaretTest, BlinksEveryQuarterSecondAndEveryMoveRestartsThePhaseVisible) {
  Focus();
  caret.ShowCaret();
  EXPECT_TRUE(caret.visible());
  Advance(kCaretBlinkMs);
  EXPECT_FALSE(caret.visible());
  caret.MoveTo(17, 2);
  EXPECT_TRUE(caret.visible());
  Advance(kCaretBlinkMs - 10);
  EXPECT_TRUE(caret.visible());  // the move started a fresh phase
  Advance(10);
  EXPECT_FALSE(caret.visible());
  Advance(kCaretBlinkMs);
  EXPECT_TRUE(caret.visible());
  EXPECT_EQ(ScreenPixel(window, 10 + 17, 10 + 2), 0x000000u);
  EXPECT_EQ(caret.width(), kCaretBarWidth);
}

TEST_F(CaretTest, ComposingShowsTheSyllableSteadyAndTheEndGivesTheBarBack) {
  Focus();
  caret.ShowCaret();
  caret.MoveTo(1, 2);
  std::uint16_t syllable = 0xB0A1;  // 가
  caret.Compose(syllable);
  Advance(4 * kCaretBlinkMs);
  EXPECT_TRUE(caret.visible());
  EXPECT_EQ(caret.width(), kCaretBoxSize);
  EXPECT_EQ(caret.height(), kCaretBoxSize);
  TextStyle plain;
  InitTextStyle(plain);
  Bitmap expected(kCaretBoxSize, kCaretBoxSize, kOverall);
  DrawGlyphUnderlined(expected, plain, 0, Underline{}, syllable, kOpaque, kOverall, 0xFFFFFF, 0);
  for (int y = 0; y < kCaretBoxSize; ++y) {
    for (int x = 0; x < kCaretBoxSize; ++x) {
      ASSERT_EQ(caret.bitmap().Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
    }
  }
  caret.Bar();
  EXPECT_EQ(caret.width(), kCaretBarWidth);
  EXPECT_TRUE(caret.blinking());
  EXPECT_EQ(caret.bitmap().Pixel(0, 0), 0x000000u);
  Advance(kCaretBlinkMs);
  EXPECT_FALSE(caret.visible());
}

}  // namespace
}  // namespace tolmeo::testing
