// What the window manager does to Tolmeo's windows reaches the forms: moves, resizes,
// minimise, maximise and restore from outside, the focus coming back on re-activation; and
// what Tolmeo tells the window manager: titles, roles, the owner, stacking without the focus.
#include "form/own_requests.h"

#include "base/cp949.h"
#include "headless_fixture.h"

namespace tolmeo::testing {
namespace {

TEST(OwnRequestsTest, LateEchoesOfTolmeosRequestsAreNotChangesFromOutside) {
  OwnRequests position(Point{0, 0});
  position.Requested(Point{10, 10});
  position.Requested(Point{20, 20});
  EXPECT_FALSE(position.FromOutside(Point{10, 10}));  // the older request, reported late
  EXPECT_EQ(position.current(), (Point{20, 20}));     // the newest request still wins
  EXPECT_FALSE(position.FromOutside(Point{20, 20}));
  EXPECT_FALSE(position.FromOutside(Point{20, 20}));  // a repeated notice
}

TEST(OwnRequestsTest, AChangeNobodyAskedForIsFromOutsideAndOverridesWhatWasPending) {
  OwnRequests position(Point{0, 0});
  position.Requested(Point{10, 10});
  EXPECT_TRUE(position.FromOutside(Point{300, 40}));  // the user dragged the window
  EXPECT_EQ(position.current(), (Point{300, 40}));
  // The old request was overridden; its echo, should one still come, is a change again.
  EXPECT_TRUE(position.FromOutside(Point{10, 10}));
}

TEST(OwnRequestsTest, RequestsNeverEchoedDoNotPileUp) {
  OwnRequests size(Point{0, 0});
  for (int i = 1; i <= 100; ++i) size.Requested(Point{i, i});
  EXPECT_TRUE(size.FromOutside(Point{1, 1}));  // long forgotten: a change from outside
}

std::string Text(const Rect& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.width) + "x" +
         std::to_string(rect.height);
}

class ResizeCounter : public ProbeForm {
 public:
  using ProbeForm::ProbeForm;
  int resizes = 0;

 protected:
  void FormResize() override { ++resizes; }
};

class WindowManagerTest : public HeadlessTest {
 protected:
  ResizeCounter& MakeCounter() {
    ResizeCounter& window = Make<ResizeCounter>("window", log, 0xFFFFFF);
    window.SetBounds(Rect{100, 100, 200, 100});
    window.Show();
    Pump();
    return window;
  }
};

TEST_F(WindowManagerTest, MovesAndResizesFromOutsideReachTheFormsBounds) {
  ResizeCounter& window = MakeCounter();
  window.resizes = 0;
  screen->MoveWindowFromOutside(window.window_handle(), Rect{300, 50, 200, 100});
  Pump();
  EXPECT_EQ(Text(window.bounds()), Text(Rect{300, 50, 200, 100}));
  EXPECT_EQ(window.resizes, 0);
  screen->MoveWindowFromOutside(window.window_handle(), Rect{300, 50, 400, 250});
  Pump();
  EXPECT_EQ(Text(window.bounds()), Text(Rect{300, 50, 400, 250}));
  EXPECT_EQ(window.resizes, 1);
  EXPECT_EQ(window.WindowPicture()->width(), 400);  // repainted at the new size
  EXPECT_EQ(ScreenPixel(window, 399, 249), 0xFFFFFFu);
}

TEST_F(WindowManagerTest, AResizeFromOutsidePastTheSizeLimitsIsPutBackWithinThem) {
  ResizeCounter& window = MakeCounter();
  window.SetSizeLimits(Form::SizeLimits{100, 100, 0, 300});
  screen->MoveWindowFromOutside(window.window_handle(), Rect{100, 100, 50, 500});
  Pump();
  EXPECT_EQ(Text(window.bounds()), Text(Rect{100, 100, 100, 300}));
  EXPECT_EQ(Text(screen->Find(window.window_handle())->bounds), Text(Rect{100, 100, 100, 300}));
}

TEST_F(WindowManagerTest, MinimiseAndRestoreFromTheTaskBarFollowTheFormsState) {
  ResizeCounter& window = MakeCounter();
  window.SetWindowState(WindowState::Maximized);
  screen->MinimizeFromOutside(window.window_handle());
  Pump();
  EXPECT_EQ(window.window_state(), WindowState::Minimized);
  screen->RestoreFromOutside(window.window_handle());
  Pump();
  EXPECT_EQ(window.window_state(), WindowState::Maximized);  // back to the state before
  EXPECT_EQ(Text(window.bounds()), Text(app->WorkArea()));
}

TEST_F(WindowManagerTest, MaximiseAndRestoreFromOutsideFollowTheFormsStateAndBounds) {
  ResizeCounter& window = MakeCounter();
  screen->MaximizeFromOutside(window.window_handle());
  Pump();
  EXPECT_EQ(window.window_state(), WindowState::Maximized);
  EXPECT_EQ(Text(window.bounds()), Text(app->WorkArea()));
  screen->RestoreFromOutside(window.window_handle());
  Pump();
  EXPECT_EQ(window.window_state(), WindowState::Normal);
  EXPECT_EQ(Text(window.bounds()), Text(Rect{100, 100, 200, 100}));
  // Tolmeo's own maximise afterwards still remembers the right bounds to come back to.
  window.SetWindowState(WindowState::Maximized);
  window.SetWindowState(WindowState::Normal);
  EXPECT_EQ(Text(window.bounds()), Text(Rect{100, 100, 200, 100}));
}

TEST_F(WindowManagerTest, ReactivatingAWindowGivesTheFocusBackToTheControlThatHadIt) {
  ProbeForm& window = MakeWindow();
  ProbeForm& first = Make<ProbeForm>("first", log, 0xFFFFFF, &window);
  first.SetBounds(Rect{10, 10, 20, 20});
  first.Show();
  ProbeForm& second = Make<ProbeForm>("second", log, 0xFFFFFF, &window);
  second.SetBounds(Rect{50, 10, 20, 20});
  second.Show();
  ProbeForm& other = Make<ProbeForm>("other", log, 0xFFFFFF);
  other.SetBounds(Rect{600, 100, 100, 100});
  other.Show();
  screen->Click(155, 115);  // into second
  Pump();
  ASSERT_TRUE(second.Focused());
  screen->MinimizeFromOutside(window.window_handle());
  Pump();
  EXPECT_EQ(app->focused(), nullptr);
  screen->RestoreFromOutside(window.window_handle());
  Pump();
  EXPECT_TRUE(second.Focused());
  // A control hidden meanwhile cannot have it back: the window itself gets it.
  screen->Click(650, 150);
  Pump();
  ASSERT_TRUE(other.Focused());
  second.Hide();
  screen->MinimizeFromOutside(window.window_handle());
  screen->RestoreFromOutside(window.window_handle());
  Pump();
  EXPECT_TRUE(window.Focused());
}

TEST_F(WindowManagerTest, EveryWindowCarriesATitleTheMainWindowTheApplications) {
  ProbeForm& main = MakeWindow("main");
  ProbeForm& box = Make<ProbeForm>("box", log, 0xFFFFFF);
  box.SetCaption("Notice");
  box.SetBounds(Rect{0, 0, 10, 10});
  box.Show();
  EXPECT_EQ(screen->Find(main.window_handle())->title, "Tolmeo");
  EXPECT_EQ(screen->Find(box.window_handle())->title, "Notice");
  box.SetCaption("");
  app->SetTitle("\xC5\xE4");  // CP949 bytes reach the window system as UTF-8
  EXPECT_EQ(screen->Find(box.window_handle())->title, Utf8FromCp949("\xC5\xE4"));
  EXPECT_EQ(screen->Find(main.window_handle())->title, Utf8FromCp949("\xC5\xE4"));
}

TEST_F(WindowManagerTest, WindowsWithARoleBelongToTheMainWindow) {
  ProbeForm& main = MakeWindow("main");
  ProbeForm& list = Make<ProbeForm>("list", log, 0xFFFFFF);
  list.SetWindowRole(WindowRole::DropDownList);
  list.SetBounds(Rect{0, 0, 10, 10});
  list.Show();
  const HeadlessBackend::Window* shown = screen->Find(list.window_handle());
  EXPECT_EQ(shown->role, WindowRole::DropDownList);
  EXPECT_EQ(shown->owner, main.window_handle());
  EXPECT_EQ(screen->Find(main.window_handle())->owner, kNoWindow);
}

TEST_F(WindowManagerTest, AWindowThatTakesNoFocusComesToTheFrontWithoutIt) {
  ProbeForm& main = MakeWindow("main");
  screen->Click(150, 150);
  ProbeForm& balloon = Make<ProbeForm>("balloon", log, 0xFFFFFF);
  balloon.SetTakesFocus(false);
  balloon.SetBounds(Rect{120, 120, 30, 30});
  balloon.Show();
  balloon.BringToFront();
  Pump();
  EXPECT_EQ(screen->VisibleWindows().front(), balloon.window_handle());
  EXPECT_TRUE(main.Focused());  // the window manager's focus stayed; so did Tolmeo's
}

}  // namespace
}  // namespace tolmeo::testing
