// The common control pattern on its own: the bitmap follows the window unless kept at a
// fixed size, and Present shows the window's part of it.
#include "widgets/widget_base.h"

#include "widget_fixture.h"

namespace tolmeo::testing {
namespace {

// A strip as wide as a screen, coloured by column band so the presented part can be told.
class Strip : public WidgetBase {
 public:
  Strip(Form* owner, const IdeOptions& options) : WidgetBase(owner, options) {
    KeepBitmapSize(400, 10);
    SetBounds(Rect{0, 0, 100, 10});
  }

 protected:
  void Render(Bitmap& bitmap) override {
    bitmap.FillRect(Rect{0, 0, 50, 10}, 0x0000FF);
    bitmap.FillRect(Rect{50, 0, 350, 10}, 0x00FF00);
  }
};

class Plain : public WidgetBase {
 public:
  Plain(Form* owner, const IdeOptions& options) : WidgetBase(owner, options) {
    SetBounds(Rect{0, 0, 30, 12});
  }

 protected:
  void Render(Bitmap& bitmap) override { bitmap.Fill(0x123456); }
};

using WidgetBaseTest = WidgetTest;

TEST_F(WidgetBaseTest, TheBitmapFollowsTheWindowSizeAndIsDrawnAtOnce) {
  Plain& plain = Place<Plain>(0, 0);
  EXPECT_EQ(plain.bitmap().width(), 30);
  plain.SetWidth(45);
  plain.SetHeight(20);
  EXPECT_EQ(plain.bitmap().width(), 45);
  EXPECT_EQ(plain.bitmap().height(), 20);
  EXPECT_EQ(plain.bitmap().Pixel(44, 19), 0x123456u);
  EXPECT_EQ(plain.color(), 0xFFFFFFu);
}

TEST_F(WidgetBaseTest, AKeptBitmapStaysScreenWideAndOnlyTheWindowsPartIsShown) {
  Strip& strip = Place<Strip>(10, 10);
  strip.SetWidth(120);
  Pump();
  EXPECT_EQ(strip.bitmap().width(), 400);
  EXPECT_EQ(ScreenPixel(window, 10 + 49, 15), 0x0000FFu);
  EXPECT_EQ(ScreenPixel(window, 10 + 50, 15), 0x00FF00u);
  EXPECT_EQ(ScreenPixel(window, 10 + 120, 15), 0xFFFFFFu);  // past the control: the host
}

TEST_F(WidgetBaseTest, BalloonSettingsAreStoredAsCopies) {
  Plain& plain = Place<Plain>(0, 0);
  EXPECT_FALSE(plain.balloon_enabled());
  std::string text = "first";
  plain.SetBalloonText(text);
  text = "changed";
  EXPECT_EQ(plain.balloon_text(), "first");
  plain.SetBalloonText("second");
  EXPECT_EQ(plain.balloon_text(), "second");
}

TEST_F(WidgetBaseTest, WithoutABalloonHostControlsStillWork) {
  SetBalloonHost(nullptr);
  Plain& plain = Place<Plain>(0, 0);
  plain.SetBalloonEnabled(true);
  MoveTo(5, 5);
  MoveTo(150, 80);
  EXPECT_EQ(app->hovered(), &window);
}

}  // namespace
}  // namespace tolmeo::testing
