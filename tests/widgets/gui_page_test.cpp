// The page control: which half a press hits, the repeat on the virtual clock, and the held
// look of each half.
#include "gfx/colors.h"
#include "widget_fixture.h"
#include "widgets/gui_page.h"

namespace tolmeo::testing {
namespace {

class PageTest : public WidgetTest {
 protected:
  PageTest() : page(Place<Tgui_page_Form>(40, 20)) {
    page.on_up = [this] { steps.push_back("up"); };
    page.on_down = [this] { steps.push_back("down"); };
  }
  void PressAt(int y, MouseButton button = MouseButton::Left) {
    MoveTo(46, 20 + y);
    Press(button);
  }
  Tgui_page_Form& page;
  std::vector<std::string> steps;
};

TEST_F(PageTest, DrawsTwoArrowsPointingAwayFromTheMiddle) {
  const Bitmap& picture = page.bitmap();
  EXPECT_EQ(page.width(), 13);
  EXPECT_EQ(page.height(), 16);
  EXPECT_EQ(picture.Pixel(6, 1), kOverall);   // upper tip
  EXPECT_EQ(picture.Pixel(5, 1), kWhite);
  EXPECT_EQ(picture.Pixel(1, 6), kOverall);   // upper base, row 6 from x 1 to 11
  EXPECT_EQ(picture.Pixel(11, 6), kOverall);
  EXPECT_EQ(picture.Pixel(6, 14), kOverall);  // lower tip
  EXPECT_EQ(picture.Pixel(1, 9), kOverall);   // lower base on row 9
  EXPECT_EQ(picture.Pixel(0, 7), kWhite);
}

TEST_F(PageTest, APressStepsAtOnceThenAfter500MsThenEvery20Ms) {
  PressAt(3);
  EXPECT_EQ(steps, std::vector<std::string>{"up"});
  EXPECT_EQ(page.bitmap().Pixel(0, 0), kOverall);  // upper half held
  EXPECT_EQ(page.bitmap().Pixel(6, 1), kWhite);
  EXPECT_EQ(page.bitmap().Pixel(0, 15), kWhite);
  Advance(499);
  EXPECT_EQ(steps.size(), 1u);
  Advance(1);
  Advance(20);
  Advance(20);
  EXPECT_EQ(steps.size(), 4u);
  Release();
  Advance(600);
  EXPECT_EQ(steps.size(), 4u);
  EXPECT_FALSE(page.up_down());
  EXPECT_EQ(page.bitmap().Pixel(0, 0), kWhite);
}

TEST_F(PageTest, TheMiddleRowBelongsToTheLowerHalf) {
  PressAt(8);
  Release();
  EXPECT_EQ(steps, std::vector<std::string>{"down"});
}

TEST_F(PageTest, ReleasingAnyButtonStopsTheRepeat) {
  PressAt(12);
  Press(MouseButton::Right);
  Release(MouseButton::Right);
  EXPECT_FALSE(page.repeating());
  Advance(1000);
  EXPECT_EQ(steps, std::vector<std::string>{"down"});
  Release();
}

}  // namespace
}  // namespace tolmeo::testing
