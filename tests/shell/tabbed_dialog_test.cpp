// The tabbed dialog: centred on the screen, its body drawn between the title band and the frame,
// moved by its tab only, and hidden by the close button on the tab.
#include "shell/tabbed_dialog.h"

#include "gfx/colors.h"
#include "shell/ide_msgbox.h"
#include "widgets/widget_fixture.h"

namespace tolmeo::testing {
namespace {

constexpr Color kBody = 0x0000FF;

class BodyDialog : public TabbedDialog {
 public:
  explicit BodyDialog(const IdeOptions& options) : TabbedDialog(options, " Test ", 200, 120) {
    Draw();
  }

 protected:
  void RenderBody(Bitmap& bitmap) override {
    bitmap.FillRect(Rect{0, kTabbedDialogTitleHeight, bitmap.width(), bitmap.height()}, kBody);
  }
};

class TabbedDialogTest : public WidgetTest {
 protected:
  TabbedDialogTest() : dialog(Make<BodyDialog>(options)) {
    dialog.Show();
    Pump();
  }
  // Presses at (x, y) of the dialog, moves the pointer by (dx, dy) and releases.
  void Drag(int x, int y, int dx, int dy) {
    Point at = dialog.ClientToScreen(Point{x, y});
    screen->MoveMouse(at.x, at.y);
    screen->PressMouse(MouseButton::Left);
    screen->MoveMouse(at.x + dx, at.y + dy);
    screen->ReleaseMouse(MouseButton::Left);
    Pump();
  }

  BodyDialog& dialog;
};

TEST_F(TabbedDialogTest, IsCentredWithTheBodyBetweenTitleBandAndFrame) {
  Rect screen_rect = app->ScreenRect();
  EXPECT_EQ(dialog.left(), (screen_rect.width - 200) / 2);
  EXPECT_EQ(dialog.top(), (screen_rect.height - 120) / 2);
  const Bitmap& bitmap = dialog.bitmap();
  EXPECT_EQ(bitmap.Pixel(dialog.tab_width() + 10, 5), kOverall);  // the band, cut off by the shape
  EXPECT_FALSE(dialog.shape()->Contains(dialog.tab_width() + 1, 5));
  EXPECT_EQ(bitmap.Pixel(100, 60), kBody);
  EXPECT_EQ(bitmap.Pixel(2, 60), kOverall);  // the frame's band over the body
  EXPECT_EQ(bitmap.Pixel(0, 60), kBlack);
  EXPECT_EQ(bitmap.Pixel(100, kMsgboxBodyTop), kBlack);  // the outline below the tab
}

TEST_F(TabbedDialogTest, MovesByItsTabOnly) {
  const Point start{dialog.left(), dialog.top()};
  Drag(10, 10, 30, 20);
  EXPECT_EQ(dialog.left(), start.x + 30);
  EXPECT_EQ(dialog.top(), start.y + 20);
  Drag(100, 60, 50, 50);
  EXPECT_EQ(dialog.left(), start.x + 30);
  EXPECT_EQ(dialog.top(), start.y + 20);
}

TEST_F(TabbedDialogTest, TheCloseButtonOnTheTabHidesIt) {
  const Rect close = dialog.close_button().bounds();
  EXPECT_LT(close.left + close.width, dialog.tab_width());
  EXPECT_LE(close.top + close.height, kTabbedDialogTitleHeight);
  Click(dialog.close_button());
  EXPECT_FALSE(dialog.visible());
}

}  // namespace
}  // namespace tolmeo::testing
