#pragma once
// Controls on a headless window: the system fonts loaded once, an options record with a
// distinctive overall colour, and a balloon host that records what controls ask of it.
#include <string>
#include <vector>

#include "formats/ide_options.h"
#include "form/headless_fixture.h"
#include "gfx/font_store.h"
#include "widgets/balloon_host.h"

namespace tolmeo::testing {

inline constexpr Color kOverall = 0x804020;

class RecordingBalloonHost : public BalloonHost {
 public:
  void RequestBalloon(int x, int y, const std::string& text, int delayed) override {
    calls.push_back("request " + std::to_string(x) + "," + std::to_string(y) + " " + text + " " +
                    std::to_string(delayed));
  }
  void TrackBalloon(int x, int y) override {
    calls.push_back("track " + std::to_string(x) + "," + std::to_string(y));
  }
  void WithdrawBalloon() override { calls.push_back("withdraw"); }
  std::vector<std::string> calls;
};

class WidgetTest : public HeadlessTest {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(LoadFonts(TOLMEO_SOURCE_DIR "/data/font/").ok()); }
  static void TearDownTestSuite() { FreeFonts(); }

  explicit WidgetTest(std::unique_ptr<HeadlessBackend> backend = std::make_unique<HeadlessBackend>())
      : HeadlessTest(std::move(backend)), window(MakeWindow()) {
    options.overallColor = kOverall;
    SetBalloonHost(&balloons);
  }
  ~WidgetTest() override { SetBalloonHost(nullptr); }

  // Puts a control on the window at (x, y) of the window and shows it.
  template <typename Control>
  Control& Place(int x, int y) {
    Control& control = Make<Control>(&window, options);
    control.SetParent(&window);
    control.SetLeft(x);
    control.SetTop(y);
    control.Show();
    Pump();
    return control;
  }
  // Pointer actions at a point of the window.
  void MoveTo(int x, int y) {
    screen->MoveMouse(window.left() + x, window.top() + y);
    Pump();
  }
  void Press(MouseButton button = MouseButton::Left) {
    screen->PressMouse(button);
    Pump();
  }
  void Release(MouseButton button = MouseButton::Left) {
    screen->ReleaseMouse(button);
    Pump();
  }
  // Clicks the middle of a control, wherever its window stands.
  void Click(const Form& control) {
    Point at = control.ClientToScreen(Point{control.width() / 2, control.height() / 2});
    screen->Click(at.x, at.y);
    Pump();
  }

  ProbeForm& window;
  IdeOptions options;
  RecordingBalloonHost balloons;
};

}  // namespace tolmeo::testing
