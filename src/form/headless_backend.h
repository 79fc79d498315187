#pragma once
// A window system without a display, for tests: windows are records, time is a virtual clock
// that moves only when told (or when a loop would wait), input is injected at screen
// positions and routed as a window system would (topmost shaped window under the pointer,
// the pressed window keeps the mouse until release, keys to the focused window), and every
// window's last presented picture can be read back. Injected input waits in order and is
// routed when a message loop takes it, so a test may queue clicks on a modal window before
// the window is shown.
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "form/backend.h"

namespace tolmeo {

class HeadlessBackend : public Backend {
 public:
  struct Window {
    Rect bounds;
    bool visible = false;
    bool stay_on_top = false;
    bool minimized = false;
    std::uint8_t opacity = 255;
    std::string title;
    WindowRole role = WindowRole::Main;
    WindowHandle owner = kNoWindow;
    bool takes_focus = true;
    std::optional<Region> shape;
    Bitmap pixels;  // what the window shows: the last presented pictures
  };

  explicit HeadlessBackend(Rect screen = Rect{0, 0, 1280, 800}, int task_bar_height = 40);

  // Injected input, at screen positions.
  void MoveMouse(int screen_x, int screen_y);
  void PressMouse(MouseButton button, int clicks = 1);
  void ReleaseMouse(MouseButton button);
  // The button comes up reported for no window, as SDL reports it once the pressed window
  // moved from under the pointer.
  void ReleaseMouseForNoWindow(MouseButton button);
  void Click(int screen_x, int screen_y, MouseButton button = MouseButton::Left);
  void Wheel(int notches);
  void PressKey(Key key);
  void ReleaseKey(Key key);
  void TypeText(const std::string& utf8_text);
  void RequestClose(WindowHandle window);
  // The desktop's request to end, as a termination signal brings it.
  void RequestQuit();
  // The input method's notices to the focused window, as the SDL backend reports them.
  void Compose(CompositionEvent::Kind kind, const std::string& utf8_text = "");
  // Changes made by the window manager (a drag of the frame, the task bar, a keyboard
  // shortcut), reported as it reports them.
  void MoveWindowFromOutside(WindowHandle window, const Rect& bounds);
  void MinimizeFromOutside(WindowHandle window);
  void MaximizeFromOutside(WindowHandle window);
  void RestoreFromOutside(WindowHandle window);
  void AdvanceClock(int milliseconds) { now_ += milliseconds; }
  // Blocks until another thread has called Wake since the last time this returned: a test that
  // let work off the GUI thread go on waits here for its end to be posted, without a clock.
  void WaitForWake();

  // Called whenever a message loop would wait with nothing queued: a test scripts here what
  // happens inside a modal loop. A loop that stays idle with nothing to wait for, or for
  // kStallLimit passes in a row, receives Quit instead of hanging the test.
  std::function<void()> on_wait;
  static constexpr int kStallLimit = 100000;

  const Window* Find(WindowHandle window) const;
  // The window stacking order, topmost first, visible windows only.
  std::vector<WindowHandle> VisibleWindows() const;
  CursorShape cursor_shape() const { return cursor_shape_; }
  bool mouse_captured() const { return mouse_captured_; }

  // Backend
  WindowHandle CreateWindow(const WindowSettings& settings) override;
  void DestroyWindow(WindowHandle window) override;
  void SetWindowBounds(WindowHandle window, const Rect& bounds) override;
  void ShowWindow(WindowHandle window, bool visible) override;
  void RaiseWindow(WindowHandle window, bool activate) override;
  void MinimizeWindow(WindowHandle window) override;
  void SetStayOnTop(WindowHandle window, bool on_top) override;
  void SetOpacity(WindowHandle window, std::uint8_t opacity) override;
  void SetTitle(WindowHandle window, const std::string& utf8_title) override;
  bool SetShape(WindowHandle window, const Region* shape) override;
  void Present(WindowHandle window, const Bitmap& surface, const Rect& area) override;
  void SetCursorShape(CursorShape shape) override { cursor_shape_ = shape; }
  void SetMouseCapture(bool on) override { mouse_captured_ = on; }
  Point CursorPosition() override { return cursor_; }
  Rect ScreenRect() override { return screen_; }
  Rect WorkArea() override { return work_area_; }
  std::int64_t NowMs() override { return now_; }
  std::optional<BackendEvent> PollEvent() override;
  std::optional<BackendEvent> WaitEvent(int timeout_ms) override;
  void Wake() override;
  void ShowErrorMessage(const std::string& utf8_title, const std::string& utf8_text) override {
    error_messages.push_back(utf8_title + ": " + utf8_text);
  }
  std::vector<std::string> error_messages;

 private:
  Window* Lookup(WindowHandle window);
  WindowHandle WindowAt(Point screen) const;
  WindowHandle MouseWindow() const;
  void Inject(std::function<void()> input);
  void QueueMouse(EventKind kind, MouseButton button, int clicks, int wheel);
  void QueueKey(EventKind kind, Key key);
  void QueueFocus(WindowHandle window);
  void QueueBounds(WindowHandle handle, const Rect& bounds);

  Rect screen_;
  Rect work_area_;
  std::int64_t now_ = 0;
  Point cursor_;
  ShiftState held_ = 0;  // mouse buttons and modifier keys held down
  WindowHandle pressed_window_ = kNoWindow;
  WindowHandle hover_window_ = kNoWindow;
  WindowHandle focused_window_ = kNoWindow;
  CursorShape cursor_shape_ = CursorShape::Default;
  bool mouse_captured_ = false;
  int idle_passes_ = 0;
  WindowHandle next_handle_ = 1;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> stacking_;  // topmost first
  std::deque<std::function<void()>> inputs_;  // injected, not yet routed
  std::deque<BackendEvent> queue_;
  std::map<WindowHandle, Rect> restore_bounds_;  // where a window maximised from outside was
  std::mutex wake_mutex_;
  std::condition_variable wake_signal_;
  bool woken_ = false;  // by Wake, not yet seen by WaitForWake
};

}  // namespace tolmeo
