// What the window shows: children clipped by their parent, by siblings above and by shapes;
// repaints after the arrangement changes; top-level shapes, translucency, stacking and states.
#include "gfx/colors.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

constexpr Color kRed = 0x0000FF;
constexpr Color kGreen = 0x00FF00;
constexpr Color kBlue = 0xFF0000;

class FormCompositingTest : public HeadlessTest {
 protected:
  FormCompositingTest() : window(MakeWindow()) {}
  ProbeForm& Child(const std::string& name, Color fill, Rect bounds, Form* parent = nullptr) {
    ProbeForm& child = Make<ProbeForm>(name, log, fill, parent ? parent : &window);
    child.SetBounds(bounds);
    child.Show();
    return child;
  }
  ProbeForm& window;
};

TEST_F(FormCompositingTest, ShownChildrenArePaintedOnTheNextPass) {
  Child("a", kRed, Rect{10, 10, 20, 20});
  EXPECT_EQ(ScreenPixel(window, 15, 15), kWhite);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 15, 15), kRed);
  EXPECT_EQ(ScreenPixel(window, 30, 30), kWhite);
}

TEST_F(FormCompositingTest, AChildIsClippedByItsParentAndTheSiblingsAboveIt) {
  ProbeForm& panel = Child("panel", kBlue, Rect{10, 10, 50, 50});
  Child("inner", kRed, Rect{40, 40, 30, 30}, &panel);  // reaches past the panel
  Child("cover", kGreen, Rect{30, 0, 20, 100});        // above the panel
  Pump();
  EXPECT_EQ(ScreenPixel(window, 55, 55), kRed);    // inner, inside the panel
  EXPECT_EQ(ScreenPixel(window, 65, 65), kWhite);  // inner's part outside the panel
  EXPECT_EQ(ScreenPixel(window, 35, 55), kGreen);  // the sibling above wins
  EXPECT_EQ(ScreenPixel(window, 15, 15), kBlue);
}

TEST_F(FormCompositingTest, ALaterPresentOfALowerControlDoesNotPaintOverTheOneAbove) {
  ProbeForm& low = Child("low", kRed, Rect{0, 0, 50, 50});
  Child("high", kGreen, Rect{20, 20, 50, 50});
  Pump();
  low.Present();
  Pump();
  EXPECT_EQ(ScreenPixel(window, 30, 30), kGreen);
  EXPECT_EQ(ScreenPixel(window, 10, 10), kRed);
}

TEST_F(FormCompositingTest, AShapeClipsTheChildAndShowsWhatLiesBehind) {
  ProbeForm& frame = Child("frame", kRed, Rect{0, 0, 100, 100});
  Region border = Region::FromRect(Rect{0, 0, 100, 100});
  border.SubtractRect(Rect{4, 4, 92, 92});
  frame.SetShape(border);
  Child("content", kGreen, Rect{10, 10, 20, 20});
  frame.BringToFront();
  Pump();
  EXPECT_EQ(ScreenPixel(window, 2, 50), kRed);
  EXPECT_EQ(ScreenPixel(window, 50, 50), kWhite);
  EXPECT_EQ(ScreenPixel(window, 15, 15), kGreen);
}

TEST_F(FormCompositingTest, MovingAControlRepaintsTheAreaItLeft) {
  ProbeForm& a = Child("a", kRed, Rect{0, 0, 20, 20});
  Pump();
  a.SetLeft(50);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 5, 5), kWhite);
  EXPECT_EQ(ScreenPixel(window, 55, 5), kRed);
}

TEST_F(FormCompositingTest, PaintOnWindowDrawsStraightOntoTheFormsPixelsOnly) {
  ProbeForm& a = Child("a", kRed, Rect{0, 0, 40, 40});
  Child("b", kBlue, Rect{20, 0, 40, 40});
  Pump();
  a.PaintOnWindow([](Bitmap& picture) {
    EXPECT_EQ(picture.Pixel(5, 5), kRed);
    picture.FillRect(Rect{0, 0, 40, 10}, kGreen);
  });
  Pump();
  EXPECT_EQ(ScreenPixel(window, 5, 5), kGreen);
  EXPECT_EQ(ScreenPixel(window, 25, 5), kBlue);
  EXPECT_EQ(ScreenPixel(window, 5, 15), kRed);
}

TEST_F(FormCompositingTest, ATopLevelShapeReachesTheWindowSystemAndBlanksWhatLiesOutside) {
  Region tab = Region::FromRect(Rect{0, 0, 200, 100});
  tab.SubtractRect(Rect{100, 0, 100, 18});
  window.SetShape(tab);
  Pump();
  const auto* shown = screen->Find(window.window_handle());
  ASSERT_TRUE(shown->shape.has_value());
  EXPECT_EQ(*shown->shape, tab);
  EXPECT_EQ(ScreenPixel(window, 150, 5), 0u);
  EXPECT_EQ(ScreenPixel(window, 50, 5), kWhite);
  screen->MoveMouse(100 + 150, 100 + 5);  // through the cut-out: no window there
  Pump();
  EXPECT_EQ(app->hovered(), nullptr);
}

// A window system that cannot shape windows.
class ShapelessBackend : public HeadlessBackend {
 public:
  bool SetShape(WindowHandle, const Region*) override { return false; }
};

class ShapelessDisplayTest : public HeadlessTest {
 protected:
  ShapelessDisplayTest() : HeadlessTest(std::make_unique<ShapelessBackend>()) {}
};

TEST_F(ShapelessDisplayTest, ARefusedShapeLeavesTheWindowWholeInPictureAndInput) {
  ProbeForm& window = MakeWindow();
  Region tab = Region::FromRect(Rect{0, 0, 200, 100});
  tab.SubtractRect(Rect{100, 0, 100, 18});
  window.SetShape(tab);
  Pump();
  EXPECT_EQ(window.EffectiveShape(), nullptr);
  EXPECT_EQ(ScreenPixel(window, 150, 5), kWhite);
  screen->MoveMouse(100 + 150, 100 + 5);
  Pump();
  EXPECT_EQ(app->hovered(), &window);
}

TEST_F(FormCompositingTest, TranslucencyStayOnTopAndTitleReachTheWindowSystem) {
  window.SetAlphaBlend(true, 200);
  window.SetStayOnTop(true);
  window.SetCaption("Tolmeo");
  const auto* shown = screen->Find(window.window_handle());
  EXPECT_EQ(shown->opacity, 200);
  EXPECT_TRUE(shown->stay_on_top);
  EXPECT_EQ(shown->title, "Tolmeo");
  window.SetAlphaBlend(false, 200);
  EXPECT_EQ(shown->opacity, 255);
}

TEST_F(FormCompositingTest, MaximisingFillsTheWorkAreaAndNormalRestores) {
  window.SetWindowState(WindowState::Maximized);
  EXPECT_EQ(window.width(), 1280);
  EXPECT_EQ(window.height(), 760);
  EXPECT_EQ(screen->Find(window.window_handle())->bounds.height, 760);
  window.SetWindowState(WindowState::Normal);
  EXPECT_EQ(window.left(), 100);
  EXPECT_EQ(window.width(), 200);
}

TEST_F(FormCompositingTest, SizeLimitsHoldForEveryWayOfResizing) {
  window.SetSizeLimits({.min_width = 100, .min_height = 100, .max_height = 300});
  EXPECT_EQ(window.height(), 100);  // brought within the limits at once
  window.SetWidth(20);
  window.SetHeight(5000);
  EXPECT_EQ(window.width(), 100);
  EXPECT_EQ(window.height(), 300);
  window.SetWidth(-7);
  EXPECT_EQ(window.width(), 100);
  window.SetWidth(2000);
  EXPECT_EQ(window.width(), 2000);
}

TEST_F(FormCompositingTest, AParentThatWouldContainItselfIsRefused) {
  ProbeForm& a = Child("a", kRed, Rect{0, 0, 10, 10});
  ProbeForm& b = Child("b", kRed, Rect{0, 0, 5, 5}, &a);
  EXPECT_FALSE(window.SetParent(&b));
  EXPECT_FALSE(a.SetParent(&a));
  EXPECT_TRUE(window.IsTopLevel());
}

TEST_F(FormCompositingTest, AChildMadeTopLevelGetsItsOwnWindow) {
  ProbeForm& a = Child("a", kRed, Rect{10, 10, 30, 30});
  Pump();
  a.SetParent(nullptr);
  ASSERT_NE(a.window_handle(), kNoWindow);
  EXPECT_EQ(screen->Find(a.window_handle())->pixels.Pixel(5, 5), kRed);
  Pump();
  EXPECT_EQ(ScreenPixel(window, 15, 15), kWhite);
}

TEST_F(FormCompositingTest, ScreenToClientAndBackAgreeThroughNestedParents) {
  ProbeForm& panel = Child("panel", kBlue, Rect{10, 20, 50, 50});
  ProbeForm& inner = Child("inner", kRed, Rect{5, 6, 10, 10}, &panel);
  EXPECT_EQ(inner.ClientToScreen(Point{1, 2}), (Point{100 + 10 + 5 + 1, 100 + 20 + 6 + 2}));
  EXPECT_EQ(inner.ScreenToClient(Point{116, 126}), (Point{1, 0}));
}

}  // namespace
}  // namespace tolmeo::testing
