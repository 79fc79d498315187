// The caption window: its border zones and pointer shapes, resizing within the main window's
// limits, both shapes, dragging by the tab, and maximising by double click with its guard.
#include "shell/ide_caption.h"

#include "gfx/colors.h"
#include "shell_fixture.h"

namespace tolmeo::testing {
namespace {

constexpr Form::SizeLimits kLimits{100, 100, 0, 600};


std::string Box(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) +
         "x" + std::to_string(r.height);
}

TEST(CaptionZones, CornersComeBeforeSidesAndEachHasItsPointer) {
  EXPECT_EQ(ZoneAt(0, 96, 200, 100), CaptionZone::BottomLeft);
  EXPECT_EQ(ZoneAt(199, 99, 200, 100), CaptionZone::BottomRight);
  EXPECT_EQ(ZoneAt(3, 50, 200, 100), CaptionZone::Left);
  EXPECT_EQ(ZoneAt(196, 0, 200, 100), CaptionZone::Right);
  EXPECT_EQ(ZoneAt(100, 96, 200, 100), CaptionZone::Bottom);
  EXPECT_EQ(ZoneAt(4, 95, 200, 100), CaptionZone::None);
  EXPECT_EQ(ZoneAt(195, 10, 200, 100), CaptionZone::None);
  EXPECT_EQ(ZoneCursor(CaptionZone::BottomLeft), CursorShape::SizeNortheastSouthwest);
  EXPECT_EQ(ZoneCursor(CaptionZone::BottomRight), CursorShape::SizeNorthwestSoutheast);
  EXPECT_EQ(ZoneCursor(CaptionZone::Left), CursorShape::SizeWestEast);
  EXPECT_EQ(ZoneCursor(CaptionZone::Right), CursorShape::SizeWestEast);
  EXPECT_EQ(ZoneCursor(CaptionZone::Bottom), CursorShape::SizeNorthSouth);
  EXPECT_EQ(ZoneCursor(CaptionZone::None), CursorShape::Default);
}

TEST(CaptionResize, TheLeftBorderMovesOnlyTheLeftEdgeAndStopsAtTheMinimumWidth) {
  Rect bounds{100, 50, 300, 200};
  EXPECT_EQ(Box(ResizedBounds(bounds, CaptionZone::Left, 10, 0, kLimits)), "110,50 290x200");
  // Dragged far past the minimum: the right edge stays at 400.
  EXPECT_EQ(Box(ResizedBounds(bounds, CaptionZone::Left, 500, 0, kLimits)), "300,50 100x200");
  EXPECT_EQ(Box(ResizedBounds(bounds, CaptionZone::BottomLeft, -20, 30, kLimits)), "80,50 320x230");
}

TEST(CaptionResize, HeightStaysWithinTheWorkAreaAndSizesNeverFallBelowTheMinimum) {
  Rect bounds{0, 0, 300, 500};
  EXPECT_EQ(ResizedBounds(bounds, CaptionZone::Bottom, 0, 400, kLimits).height, 600);
  EXPECT_EQ(Box(ResizedBounds(bounds, CaptionZone::BottomRight, -900, -900, kLimits)), "0,0 100x100");
  EXPECT_EQ(Box(ResizedBounds(bounds, CaptionZone::Right, 50, 70, kLimits)), "0,0 350x500");
}

TEST(CaptionShapes, TheMainWindowLosesTheStripRightOfTheTabAndTheTabsCorners) {
  Region main = TabbedWindowShape(200, 100, 60, kCaptionBodyTop);
  for (Point cut : {Point{0, 0}, Point{1, 0}, Point{0, 1}, Point{58, 0}, Point{59, 0},
                    Point{59, 1}, Point{60, 0}, Point{199, 17}}) {
    EXPECT_FALSE(main.Contains(cut.x, cut.y)) << cut.x << "," << cut.y;
  }
  for (Point kept : {Point{2, 0}, Point{1, 1}, Point{57, 0}, Point{58, 1}, Point{60, 18},
                     Point{199, 99}}) {
    EXPECT_TRUE(main.Contains(kept.x, kept.y)) << kept.x << "," << kept.y;
  }
  Region frame = CaptionFrameShape(200, 100);
  EXPECT_TRUE(frame.Contains(3, 50));
  EXPECT_TRUE(frame.Contains(100, 21));
  EXPECT_TRUE(frame.Contains(100, 96));
  EXPECT_FALSE(frame.Contains(4, 22));
  EXPECT_FALSE(frame.Contains(195, 95));
}

// A main window that keeps its caption with it, as Tolmeo's does on every size change.
class FramedWindow : public ProbeForm {
 public:
  using ProbeForm::ProbeForm;
  Tide_caption_Form* caption = nullptr;

 protected:
  void FormResize() override {
    if (caption) caption->FollowMainWindow();
  }
};

class CaptionTest : public ShellTest {
 protected:
  CaptionTest() : main(Make<FramedWindow>("main", log, kWhite)) {
    window.Hide();
    main.SetBounds(Rect{100, 100, 300, 200});
    main.Show();
    caption = &Make<Tide_caption_Form>(main, options, kLimits);
    caption->SetParent(&main);
    caption->Show();
    main.caption = caption;
    Pump();
  }
  // Pointer actions at a point of the main window, which may have moved.
  void At(int x, int y) {
    screen->MoveMouse(main.left() + x, main.top() + y);
    Pump();
  }
  void MoveTo(int x, int y) { At(x, y); }
  void DoubleClickAt(int x, int y) {
    At(x, y);
    screen->PressMouse(MouseButton::Left);
    screen->ReleaseMouse(MouseButton::Left);
    screen->PressMouse(MouseButton::Left, 2);
    Pump();
  }

  FramedWindow& main;
  Tide_caption_Form* caption = nullptr;
};

TEST_F(CaptionTest, FollowsTheMainWindowAndShapesBothWindows) {
  EXPECT_GT(caption->tab_end(), 20);
  EXPECT_EQ(Box(caption->bounds()), "0,0 300x200");
  main.SetBounds(Rect{100, 100, 400, 250});
  caption->FollowMainWindow();
  EXPECT_EQ(Box(caption->bounds()), "0,0 400x250");
  ASSERT_TRUE(main.shape().has_value());
  EXPECT_EQ(*main.shape(), TabbedWindowShape(400, 250, caption->tab_end(), kCaptionBodyTop));
  EXPECT_EQ(*caption->shape(), CaptionFrameShape(400, 250));
  // The tab carries the caption text in white on the overall colour; the strip is black.
  EXPECT_EQ(caption->bitmap().Pixel(caption->tab_end() + 5, 5), kBlack);
  EXPECT_EQ(caption->bitmap().Pixel(caption->tab_end() - 4, 20), kOverall);
}

TEST_F(CaptionTest, DraggingTheTabMovesTheMainWindow) {
  At(10, 10);
  Press();
  MoveTo(40, 30);  // relative to where the window was
  EXPECT_EQ(main.left(), 130);
  EXPECT_EQ(main.top(), 120);
  Release();
  EXPECT_EQ(main.left(), 130);
}

TEST_F(CaptionTest, APressOnTheStripRightOfTheTabDragsNothing) {
  At(caption->tab_end() + 20, 5);
  Press();
  MoveTo(caption->tab_end() + 60, 40);
  Release();
  EXPECT_EQ(Box(main.bounds()), "100,100 300x200");
}

TEST_F(CaptionTest, BordersShowTheirPointerAndDragTheMainWindowsEdges) {
  At(2, 100);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::SizeWestEast);
  Press();
  MoveTo(12, 100);
  Release();
  EXPECT_EQ(Box(main.bounds()), "110,100 290x200");

  At(289, 198);  // the bottom-right corner of the narrower window
  EXPECT_EQ(screen->cursor_shape(), CursorShape::SizeNorthwestSoutheast);
  Press();
  MoveTo(309, 228);
  MoveTo(319, 238);
  Release();
  EXPECT_EQ(Box(main.bounds()), "110,100 320x240");
  EXPECT_EQ(Box(caption->bounds()), "0,0 320x240");

  At(150, 238);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::SizeNorthSouth);
  Press();
  MoveTo(150, 2000);  // far below: held at the work area's height
  Release();
  EXPECT_EQ(main.height(), 600);
}

// Each step of a border drag puts the edge where the pointer is, measured from the press on
// screen; a side moves only its own measure, and a later tab drag keeps the size.
TEST_F(CaptionTest, ABorderDragFollowsThePointerStepByStepAndMovesOnlyItsOwnEdge) {
  auto on_screen = [&](int x, int y) {
    screen->MoveMouse(x, y);
    Pump();
  };
  on_screen(102, 200);  // 2 pixels inside the left border
  Press();
  EXPECT_TRUE(screen->mouse_captured());
  for (int x : {70, 75, 40, 107}) {
    on_screen(x, 200 + x);  // the vertical travel means nothing to a side
    EXPECT_EQ(Box(main.bounds()), Box(Rect{x - 2, 100, 402 - x, 200})) << x;
  }
  Release();
  on_screen(200, 298);  // 2 pixels above the bottom edge
  Press();
  for (int y : {360, 340, 650, 400}) {
    on_screen(y, y);  // outside the window, and sideways: the width stays
    EXPECT_EQ(Box(main.bounds()), Box(Rect{105, 100, 295, y - 98})) << y;
  }
  Release();
  EXPECT_FALSE(screen->mouse_captured());
  on_screen(115, 110);  // on the tab
  Press();
  on_screen(160, 140);
  Release();
  EXPECT_EQ(Box(main.bounds()), Box(Rect{150, 130, 295, 302}));
}

TEST_F(CaptionTest, DoubleClickMaximisesWithoutDraggingAndTheNextRestores) {
  DoubleClickAt(10, 10);
  EXPECT_EQ(main.window_state(), WindowState::Maximized);
  EXPECT_EQ(Box(main.bounds()), Box(app->WorkArea()));
  EXPECT_EQ(caption->bounds().width, app->WorkArea().width);
  Rect maximised = main.bounds();
  // The second press is still held: moving drags nothing.
  MoveTo(60, 60);
  EXPECT_EQ(Box(main.bounds()), Box(maximised));
  Release();
  // Maximised, the borders neither show a resize pointer nor resize.
  At(2, 300);
  EXPECT_EQ(screen->cursor_shape(), CursorShape::Default);
  Press();
  MoveTo(40, 300);
  Release();
  EXPECT_EQ(Box(main.bounds()), Box(maximised));

  DoubleClickAt(10, 10);
  Release();
  EXPECT_EQ(main.window_state(), WindowState::Normal);
  EXPECT_EQ(Box(main.bounds()), "100,100 300x200");
}

TEST_F(CaptionTest, AReleaseReportedForNoWindowAfterMaximiseAndRestoreLosesNoClick) {
  DoubleClickAt(10, 10);
  screen->ReleaseMouseForNoWindow(MouseButton::Left);
  Pump();
  ASSERT_EQ(main.window_state(), WindowState::Maximized);
  DoubleClickAt(10, 10);
  screen->ReleaseMouseForNoWindow(MouseButton::Left);
  Pump();
  ASSERT_EQ(main.window_state(), WindowState::Normal);
  EXPECT_FALSE(caption->double_click_guard());
  EXPECT_EQ(app->captured(), nullptr);
  At(10, 10);  // the first press after it drags the tab
  Press();
  MoveTo(20, 15);
  Release();
  EXPECT_EQ(main.left(), 110);
}

TEST_F(CaptionTest, RightAfterADoubleClickTheHeldButtonDoesNotDragUntilReleased) {
  DoubleClickAt(10, 10);
  DoubleClickAt(10, 10);  // back to normal, button still held
  ASSERT_EQ(main.window_state(), WindowState::Normal);
  EXPECT_TRUE(caption->double_click_guard());
  MoveTo(50, 50);
  EXPECT_EQ(Box(main.bounds()), "100,100 300x200");
  Release();
  EXPECT_FALSE(caption->double_click_guard());
  At(10, 10);
  Press();
  MoveTo(20, 15);
  Release();
  EXPECT_EQ(main.left(), 110);
}

}  // namespace
}  // namespace tolmeo::testing
