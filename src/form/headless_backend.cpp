#include "form/headless_backend.h"

#include <algorithm>

namespace tolmeo {
namespace {

BackendEvent WindowEvent(EventKind kind, WindowHandle window) {
  BackendEvent event;
  event.kind = kind;
  event.window = window;
  return event;
}

}  // namespace

HeadlessBackend::HeadlessBackend(Rect screen, int task_bar_height)
    : screen_(screen),
      work_area_{screen.left, screen.top, screen.width, screen.height - task_bar_height} {}

HeadlessBackend::Window* HeadlessBackend::Lookup(WindowHandle window) {
  auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

const HeadlessBackend::Window* HeadlessBackend::Find(WindowHandle window) const {
  auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

std::vector<WindowHandle> HeadlessBackend::VisibleWindows() const {
  std::vector<WindowHandle> order;
  for (bool on_top : {true, false}) {
    for (WindowHandle handle : stacking_) {
      const Window& window = windows_.at(handle);
      if (window.visible && !window.minimized && window.stay_on_top == on_top) {
        order.push_back(handle);
      }
    }
  }
  return order;
}

WindowHandle HeadlessBackend::WindowAt(Point screen) const {
  for (WindowHandle handle : VisibleWindows()) {
    const Window& window = windows_.at(handle);
    if (!window.bounds.Contains(screen.x, screen.y)) continue;
    int x = screen.x - window.bounds.left, y = screen.y - window.bounds.top;
    if (!window.shape || window.shape->Contains(x, y)) return handle;
  }
  return kNoWindow;
}

WindowHandle HeadlessBackend::MouseWindow() const {
  return pressed_window_ != kNoWindow ? pressed_window_ : WindowAt(cursor_);
}

void HeadlessBackend::QueueMouse(EventKind kind, MouseButton button, int clicks, int wheel) {
  WindowHandle target = MouseWindow();
  const Window* window = Find(target);
  if (!window) return;
  BackendEvent event;
  event.kind = kind;
  event.window = target;
  event.x = cursor_.x - window->bounds.left;
  event.y = cursor_.y - window->bounds.top;
  event.button = button;
  event.clicks = clicks;
  event.wheel = wheel;
  event.shift = held_;
  queue_.push_back(event);
}

void HeadlessBackend::QueueFocus(WindowHandle window) {
  if (window == focused_window_) return;
  if (focused_window_ != kNoWindow) {
    queue_.push_back(WindowEvent(EventKind::FocusLost, focused_window_));
  }
  focused_window_ = window;
  if (window != kNoWindow) {
    queue_.push_back(WindowEvent(EventKind::FocusGained, window));
  }
}

void HeadlessBackend::MoveMouse(int screen_x, int screen_y) {
  Inject([=, this] {
    cursor_ = Point{screen_x, screen_y};
    WindowHandle under = WindowAt(cursor_);
    if (pressed_window_ == kNoWindow && hover_window_ != kNoWindow && hover_window_ != under) {
      queue_.push_back(WindowEvent(EventKind::MouseLeftWindow, hover_window_));
    }
    if (pressed_window_ == kNoWindow) hover_window_ = under;
    QueueMouse(EventKind::MouseMove, MouseButton::Left, 0, 0);
  });
}

void HeadlessBackend::PressMouse(MouseButton button, int clicks) {
  Inject([=, this] {
    if (pressed_window_ == kNoWindow) {
      pressed_window_ = WindowAt(cursor_);
      if (pressed_window_ != kNoWindow) QueueFocus(pressed_window_);
      // As on a display without a window manager, the desktop takes no focus.
      if (pressed_window_ == kNoWindow) queue_.push_back(WindowEvent(EventKind::PressOutside, kNoWindow));
    }
    held_ |= ButtonFlag(button);
    QueueMouse(EventKind::MouseDown, button, clicks, 0);
  });
}

void HeadlessBackend::ReleaseMouse(MouseButton button) {
  Inject([=, this] {
    held_ &= ~ButtonFlag(button);
    QueueMouse(EventKind::MouseUp, button, 1, 0);
    if ((held_ & (kLeftButton | kRightButton | kMiddleButton)) != 0) return;
    WindowHandle released = pressed_window_;
    pressed_window_ = kNoWindow;
    hover_window_ = WindowAt(cursor_);
    if (released != kNoWindow && released != hover_window_) {
      queue_.push_back(WindowEvent(EventKind::MouseLeftWindow, released));
    }
  });
}

void HeadlessBackend::ReleaseMouseForNoWindow(MouseButton button) {
  Inject([=, this] {
    held_ &= ~ButtonFlag(button);
    BackendEvent event = WindowEvent(EventKind::MouseUp, kNoWindow);
    event.button = button;
    event.shift = held_;
    queue_.push_back(event);
    pressed_window_ = kNoWindow;
    hover_window_ = WindowAt(cursor_);
  });
}

void HeadlessBackend::Click(int screen_x, int screen_y, MouseButton button) {
  MoveMouse(screen_x, screen_y);
  PressMouse(button);
  ReleaseMouse(button);
}

void HeadlessBackend::Wheel(int notches) {
  Inject([=, this] {
    QueueMouse(EventKind::MouseWheel, MouseButton::Left, 0, notches);
  });
}

void HeadlessBackend::QueueKey(EventKind kind, Key key) {
  if (focused_window_ == kNoWindow) return;
  BackendEvent event = WindowEvent(kind, focused_window_);
  event.key = key;
  event.shift = held_;
  queue_.push_back(event);
}

namespace {
ShiftState ModifierOf(Key key) {
  return key == kKeyShift ? kShiftKey : key == kKeyControl ? kCtrlKey : key == kKeyAlt ? kAltKey : 0;
}
}  // namespace

void HeadlessBackend::PressKey(Key key) {
  Inject([=, this] {
    held_ |= ModifierOf(key);
    QueueKey(EventKind::KeyDown, key);
  });
}

void HeadlessBackend::ReleaseKey(Key key) {
  Inject([=, this] {
    held_ &= ~ModifierOf(key);
    QueueKey(EventKind::KeyUp, key);
  });
}

void HeadlessBackend::TypeText(const std::string& utf8_text) {
  Inject([=, this] {
    if (focused_window_ == kNoWindow) return;
    BackendEvent event = WindowEvent(EventKind::Text, focused_window_);
    event.text = utf8_text;
    queue_.push_back(event);
  });
}

void HeadlessBackend::RequestClose(WindowHandle window) {
  Inject([=, this] {
    queue_.push_back(WindowEvent(EventKind::CloseRequest, window));
  });
}

void HeadlessBackend::RequestQuit() {
  Inject([this] { queue_.push_back(WindowEvent(EventKind::QuitRequest, kNoWindow)); });
}

void HeadlessBackend::Compose(CompositionEvent::Kind kind, const std::string& utf8_text) {
  Inject([=, this] {
    if (focused_window_ == kNoWindow) return;
    BackendEvent event = WindowEvent(EventKind::Composition, focused_window_);
    event.composition = kind;
    event.text = utf8_text;
    queue_.push_back(event);
  });
}

void HeadlessBackend::QueueBounds(WindowHandle handle, const Rect& bounds) {
  Window* window = Lookup(handle);
  if (!window) return;
  Rect before = window->bounds;
  SetWindowBounds(handle, bounds);
  if (bounds.left != before.left || bounds.top != before.top) {
    BackendEvent moved = WindowEvent(EventKind::Moved, handle);
    moved.x = bounds.left;
    moved.y = bounds.top;
    queue_.push_back(moved);
  }
  if (bounds.width != before.width || bounds.height != before.height) {
    BackendEvent resized = WindowEvent(EventKind::Resized, handle);
    resized.x = bounds.width;
    resized.y = bounds.height;
    queue_.push_back(resized);
  }
}

void HeadlessBackend::MoveWindowFromOutside(WindowHandle handle, const Rect& bounds) {
  Inject([=, this] { QueueBounds(handle, bounds); });
}

void HeadlessBackend::MinimizeFromOutside(WindowHandle handle) {
  Inject([=, this] {
    if (!Lookup(handle)) return;
    MinimizeWindow(handle);
    queue_.push_back(WindowEvent(EventKind::Minimized, handle));
  });
}

void HeadlessBackend::MaximizeFromOutside(WindowHandle handle) {
  Inject([=, this] {
    Window* window = Lookup(handle);
    if (!window) return;
    restore_bounds_[handle] = window->bounds;
    queue_.push_back(WindowEvent(EventKind::Maximized, handle));
    QueueBounds(handle, work_area_);
  });
}

void HeadlessBackend::RestoreFromOutside(WindowHandle handle) {
  Inject([=, this] {
    Window* window = Lookup(handle);
    if (!window) return;
    bool was_minimized = window->minimized;
    window->minimized = false;
    queue_.push_back(WindowEvent(EventKind::Restored, handle));
    if (was_minimized) {
      QueueFocus(handle);
    } else if (auto before = restore_bounds_.find(handle); before != restore_bounds_.end()) {
      QueueBounds(handle, before->second);
      restore_bounds_.erase(before);
    }
  });
}

WindowHandle HeadlessBackend::CreateWindow(const WindowSettings& settings) {
  WindowHandle handle = next_handle_++;
  Window& window = windows_[handle];
  window.bounds = settings.bounds;
  window.stay_on_top = settings.stay_on_top;
  window.title = settings.title;
  window.role = settings.role;
  window.owner = settings.owner;
  window.takes_focus = settings.takes_focus;
  window.pixels.Resize(settings.bounds.width, settings.bounds.height);
  stacking_.insert(stacking_.begin(), handle);
  return handle;
}

void HeadlessBackend::DestroyWindow(WindowHandle window) {
  if (focused_window_ == window) focused_window_ = kNoWindow;
  if (pressed_window_ == window) pressed_window_ = kNoWindow;
  if (hover_window_ == window) hover_window_ = kNoWindow;
  windows_.erase(window);
  std::erase(stacking_, window);
  std::erase_if(queue_, [window](const BackendEvent& event) { return event.window == window; });
}

void HeadlessBackend::SetWindowBounds(WindowHandle handle, const Rect& bounds) {
  Window* window = Lookup(handle);
  if (!window) return;
  window->bounds = bounds;
  if (window->pixels.width() != bounds.width || window->pixels.height() != bounds.height) {
    window->pixels.Resize(bounds.width, bounds.height);
  }
}

void HeadlessBackend::ShowWindow(WindowHandle handle, bool visible) {
  Window* window = Lookup(handle);
  if (!window) return;
  window->visible = visible;
  window->minimized = false;
  if (!visible && focused_window_ == handle) QueueFocus(kNoWindow);
}

void HeadlessBackend::RaiseWindow(WindowHandle handle, bool activate) {
  if (!Lookup(handle)) return;
  std::erase(stacking_, handle);
  stacking_.insert(stacking_.begin(), handle);
  if (activate) QueueFocus(handle);
}

void HeadlessBackend::MinimizeWindow(WindowHandle handle) {
  if (Window* window = Lookup(handle)) window->minimized = true;
  if (focused_window_ == handle) QueueFocus(kNoWindow);
}

void HeadlessBackend::SetStayOnTop(WindowHandle handle, bool on_top) {
  if (Window* window = Lookup(handle)) window->stay_on_top = on_top;
}

void HeadlessBackend::SetOpacity(WindowHandle handle, std::uint8_t opacity) {
  if (Window* window = Lookup(handle)) window->opacity = opacity;
}

void HeadlessBackend::SetTitle(WindowHandle handle, const std::string& utf8_title) {
  if (Window* window = Lookup(handle)) window->title = utf8_title;
}

bool HeadlessBackend::SetShape(WindowHandle handle, const Region* shape) {
  Window* window = Lookup(handle);
  if (!window) return false;
  window->shape = shape ? std::optional<Region>(*shape) : std::nullopt;
  return true;
}

void HeadlessBackend::Present(WindowHandle handle, const Bitmap& surface, const Rect& area) {
  Window* window = Lookup(handle);
  if (!window) return;
  if (window->pixels.width() != surface.width() || window->pixels.height() != surface.height()) {
    window->pixels.Resize(surface.width(), surface.height());
  }
  window->pixels.CopyFrom(surface, area.left, area.top, area.width, area.height, area.left, area.top);
}

void HeadlessBackend::Inject(std::function<void()> input) { inputs_.push_back(std::move(input)); }

std::optional<BackendEvent> HeadlessBackend::PollEvent() {
  // Injected input is routed only now, to the windows as they are when it arrives.
  while (queue_.empty() && !inputs_.empty()) {
    std::function<void()> input = std::move(inputs_.front());
    inputs_.pop_front();
    input();
  }
  if (queue_.empty()) return std::nullopt;
  BackendEvent event = std::move(queue_.front());
  queue_.pop_front();
  idle_passes_ = 0;
  return event;
}

std::optional<BackendEvent> HeadlessBackend::WaitEvent(int timeout_ms) {
  if (queue_.empty() && inputs_.empty() && on_wait) on_wait();
  if (std::optional<BackendEvent> event = PollEvent()) return event;
  bool stalled = ++idle_passes_ > kStallLimit || (timeout_ms < 0 && !on_wait);
  if (stalled) {
    idle_passes_ = 0;
    return WindowEvent(EventKind::Quit, kNoWindow);
  }
  if (timeout_ms > 0) now_ += timeout_ms;
  return std::nullopt;
}

void HeadlessBackend::Wake() {
  std::lock_guard<std::mutex> lock(wake_mutex_);
  woken_ = true;
  wake_signal_.notify_all();
}

void HeadlessBackend::WaitForWake() {
  std::unique_lock<std::mutex> lock(wake_mutex_);
  wake_signal_.wait(lock, [this] { return woken_; });
  woken_ = false;
}

}  // namespace tolmeo
