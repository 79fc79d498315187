#include "form/sdl_backend.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string_view>

#include "base/cp949.h"
#include "form/composition_tracker.h"
#include "form/own_requests.h"
#include "form/termination_signals.h"
#include "form/x11_window.h"

namespace tolmeo {
namespace {

struct SdlWindow {
  explicit SdlWindow(const WindowSettings& settings)
      : title(settings.title), bounds(settings.bounds), stay_on_top(settings.stay_on_top),
        role(settings.role), owner(settings.owner), takes_focus(settings.takes_focus),
        position(Point{bounds.left, bounds.top}), size(Point{bounds.width, bounds.height}) {}

  SDL_Window* window = nullptr;
  bool shaped = false;  // created as an SDL shaped window
  std::optional<Region> shape;
  std::string title;
  Rect bounds;
  bool stay_on_top = false;
  float opacity = 1.0f;
  WindowRole role;
  WindowHandle owner;
  bool takes_focus;
  // Tells the window manager's own moves and resizes from the echoes of Tolmeo's requests.
  OwnRequests position;
  OwnRequests size;
  // The state as last asked for or reported, so only changes made from outside are passed on.
  WindowState state = WindowState::Normal;
  bool shown = false;
};

// How often the pointer's buttons are looked at while a pop-up shows.
constexpr int kPressWatchMs = 30;

// The window-manager type of each role; the main window is a plain one.
const char* X11WindowType(WindowRole role) {
  switch (role) {
    case WindowRole::Dialog: return "_NET_WM_WINDOW_TYPE_DIALOG";
    case WindowRole::DropDownList: return "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU";
    case WindowRole::PopupMenu: return "_NET_WM_WINDOW_TYPE_POPUP_MENU";
    case WindowRole::Tooltip: return "_NET_WM_WINDOW_TYPE_TOOLTIP";
    default: return "_NET_WM_WINDOW_TYPE_NORMAL";
  }
}

// The keypad's keys; without Num Lock the digits and the point are the keys printed below them.
Key KeypadKey(SDL_Keycode code, bool num_lock) {
  static const std::map<SDL_Keycode, std::pair<Key, Key>> keypad = {  // {Num Lock on, off}
      {SDLK_KP_0, {kKeyNumpad0, kKeyInsert}},     {SDLK_KP_1, {kKeyNumpad0 + 1, kKeyEnd}},
      {SDLK_KP_2, {kKeyNumpad0 + 2, kKeyDown}},   {SDLK_KP_3, {kKeyNumpad0 + 3, kKeyPageDown}},
      {SDLK_KP_4, {kKeyNumpad0 + 4, kKeyLeft}},   {SDLK_KP_5, {kKeyNumpad0 + 5, 0}},
      {SDLK_KP_6, {kKeyNumpad0 + 6, kKeyRight}},  {SDLK_KP_7, {kKeyNumpad0 + 7, kKeyHome}},
      {SDLK_KP_8, {kKeyNumpad0 + 8, kKeyUp}},     {SDLK_KP_9, {kKeyNumpad0 + 9, kKeyPageUp}},
      {SDLK_KP_PERIOD, {kKeyDecimal, kKeyDelete}}, {SDLK_KP_DIVIDE, {kKeyDivide, kKeyDivide}},
      {SDLK_KP_MULTIPLY, {kKeyMultiply, kKeyMultiply}}, {SDLK_KP_MINUS, {kKeySubtract, kKeySubtract}},
      {SDLK_KP_PLUS, {kKeyAdd, kKeyAdd}},         {SDLK_KP_ENTER, {kKeyReturn, kKeyReturn}}};
  auto found = keypad.find(code);
  if (found == keypad.end()) return 0;
  return num_lock ? found->second.first : found->second.second;
}

Key KeyFromSdl(const SDL_Keysym& keysym) {
  SDL_Keycode code = keysym.sym;
  // The Korean keyboard's two input-method keys have no key code of their own in SDL.
  if (keysym.scancode == SDL_SCANCODE_LANG1) return kKeyHangul;
  if (keysym.scancode == SDL_SCANCODE_LANG2) return kKeyHanja;
  if (Key key = KeypadKey(code, (keysym.mod & KMOD_NUM) != 0)) return key;
  if (code >= SDLK_a && code <= SDLK_z) return 'A' + (code - SDLK_a);
  if (code >= SDLK_0 && code <= SDLK_9) return '0' + (code - SDLK_0);
  if (code >= SDLK_F1 && code <= SDLK_F12) return kKeyF1 + (code - SDLK_F1);
  static const std::map<SDL_Keycode, Key> named = {
      {SDLK_BACKSPACE, kKeyBackspace}, {SDLK_TAB, kKeyTab},        {SDLK_RETURN, kKeyReturn},
      {SDLK_ESCAPE, kKeyEscape},       {SDLK_SPACE, kKeySpace},
      {SDLK_PAGEUP, kKeyPageUp},       {SDLK_PAGEDOWN, kKeyPageDown}, {SDLK_END, kKeyEnd},
      {SDLK_HOME, kKeyHome},           {SDLK_LEFT, kKeyLeft},       {SDLK_UP, kKeyUp},
      {SDLK_RIGHT, kKeyRight},         {SDLK_DOWN, kKeyDown},       {SDLK_INSERT, kKeyInsert},
      {SDLK_DELETE, kKeyDelete},       {SDLK_LSHIFT, kKeyShift},    {SDLK_RSHIFT, kKeyShift},
      {SDLK_LCTRL, kKeyControl},       {SDLK_RCTRL, kKeyControl},   {SDLK_LALT, kKeyAlt},
      {SDLK_RALT, kKeyAlt}};
  auto found = named.find(code);
  return found == named.end() ? 0 : found->second;
}

std::optional<MouseButton> ButtonFromSdl(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return MouseButton::Left;
    case SDL_BUTTON_RIGHT: return MouseButton::Right;
    case SDL_BUTTON_MIDDLE: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

SDL_SystemCursor SystemCursorFor(CursorShape shape) {
  switch (shape) {
    case CursorShape::SizeWestEast: return SDL_SYSTEM_CURSOR_SIZEWE;
    case CursorShape::SizeNorthSouth: return SDL_SYSTEM_CURSOR_SIZENS;
    case CursorShape::SizeNortheastSouthwest: return SDL_SYSTEM_CURSOR_SIZENESW;
    case CursorShape::SizeNorthwestSoutheast: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case CursorShape::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case CursorShape::Hand: return SDL_SYSTEM_CURSOR_HAND;
    case CursorShape::Wait: return SDL_SYSTEM_CURSOR_WAIT;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

Rect RectFromSdl(const SDL_Rect& rect) { return Rect{rect.x, rect.y, rect.w, rect.h}; }

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override {
    for (auto& [handle, window] : windows_) SDL_DestroyWindow(window.window);
    for (auto& [shape, cursor] : cursors_) SDL_FreeCursor(cursor);
    SDL_Quit();
  }

  WindowHandle CreateWindow(const WindowSettings& settings) override {
    SdlWindow window(settings);
    window.window = CreateSdlWindow(window, false, false);
    if (!window.window) return kNoWindow;
    WindowHandle handle = next_handle_++;
    handle_of_[SDL_GetWindowID(window.window)] = handle;
    windows_.emplace(handle, std::move(window));
    return handle;
  }

  void DestroyWindow(WindowHandle handle) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    handle_of_.erase(SDL_GetWindowID(window->window));
    SDL_DestroyWindow(window->window);
    windows_.erase(handle);
  }

  void SetWindowBounds(WindowHandle handle, const Rect& bounds) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    bool resized = bounds.width != window->bounds.width || bounds.height != window->bounds.height;
    window->bounds = bounds;
    window->position.Requested(Point{bounds.left, bounds.top});
    if (resized) window->size.Requested(Point{bounds.width, bounds.height});
    SDL_SetWindowPosition(window->window, bounds.left, bounds.top);
    if (!resized) return;
    SDL_SetWindowSize(window->window, std::max(bounds.width, 1), std::max(bounds.height, 1));
    // A shape mask must match the window's size, so a resized shaped window is reshaped.
    if (window->shaped) ApplyMask(*window);
  }

  void ShowWindow(WindowHandle handle, bool visible) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    window->shown = visible;
    if (!visible) {
      SDL_HideWindow(window->window);
      return;
    }
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, window->takes_focus ? "0" : "1");
    SDL_ShowWindow(window->window);
    if (SDL_GetWindowFlags(window->window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window->window);
    window->state = WindowState::Normal;
    SDL_SetWindowPosition(window->window, window->bounds.left, window->bounds.top);
  }

  void RaiseWindow(WindowHandle handle, bool activate) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    if (activate) {
      SDL_RaiseWindow(window->window);
      return;
    }
    RaiseWithoutFocus(window->window);
  }

  void MinimizeWindow(WindowHandle handle) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    window->state = WindowState::Minimized;
    SDL_MinimizeWindow(window->window);
  }

  void SetStayOnTop(WindowHandle handle, bool on_top) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    window->stay_on_top = on_top;
    SDL_SetWindowAlwaysOnTop(window->window, on_top ? SDL_TRUE : SDL_FALSE);
  }

  void SetOpacity(WindowHandle handle, std::uint8_t opacity) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    window->opacity = opacity / 255.0f;
    SDL_SetWindowOpacity(window->window, window->opacity);
  }

  void SetTitle(WindowHandle handle, const std::string& utf8_title) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    window->title = utf8_title;
    SDL_SetWindowTitle(window->window, utf8_title.c_str());
  }

  bool SetShape(WindowHandle handle, const Region* shape) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return false;
    window->shape = shape ? std::optional<Region>(*shape) : std::nullopt;
    if (!window->shaped && (!shape || !BecomeShaped(*window))) return false;
    return ApplyMask(*window);
  }

  void Present(WindowHandle handle, const Bitmap& picture, const Rect& area) override {
    SdlWindow* window = Lookup(handle);
    if (!window || picture.empty()) return;
    SDL_Surface* target = SDL_GetWindowSurface(window->window);
    if (!target) return;
    // Bitmap rows are B, G, R bytes: SDL's BGR24 layout, so SDL converts without a copy of ours.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(picture.data()), picture.width(), picture.height(), 24,
        picture.stride(), SDL_PIXELFORMAT_BGR24);
    if (!source) return;
    SDL_Rect rect{area.left, area.top, area.width, area.height};
    SDL_Rect to = rect;
    SDL_BlitSurface(source, &rect, target, &to);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurfaceRects(window->window, &rect, 1);
  }

  void SetCursorShape(CursorShape shape) override {
    SDL_Cursor*& cursor = cursors_[shape];
    if (!cursor) cursor = SDL_CreateSystemCursor(SystemCursorFor(shape));
    if (cursor) SDL_SetCursor(cursor);
  }

  void SetMouseCapture(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }

  Point CursorPosition() override {
    Point point;
    SDL_GetGlobalMouseState(&point.x, &point.y);
    return point;
  }

  Rect ScreenRect() override {
    SDL_Rect rect{0, 0, 1024, 768};
    SDL_GetDisplayBounds(0, &rect);
    return RectFromSdl(rect);
  }

  Rect WorkArea() override {
    SDL_Rect rect{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &rect) != 0) return ScreenRect();
    return RectFromSdl(rect);
  }

  std::int64_t NowMs() override { return static_cast<std::int64_t>(SDL_GetTicks64()); }

  std::optional<BackendEvent> PollEvent() override {
    SDL_Event event;
    while (pending_.empty() && SDL_PollEvent(&event)) Translate(event);
    WatchPressesOutside();
    return TakePending();
  }

  std::optional<BackendEvent> WaitEvent(int timeout_ms) override {
    SDL_Event event;
    if (pending_.empty()) {
      if (PopupShown()) timeout_ms = timeout_ms < 0 ? kPressWatchMs : std::min(timeout_ms, kPressWatchMs);
      int got = timeout_ms < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout_ms);
      if (got) Translate(event);
    }
    WatchPressesOutside();
    return TakePending();
  }

  // A user event wakes SDL's wait; it translates to nothing.
  void Wake() override {
    SDL_Event wake = {};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
  }

  void ShowErrorMessage(const std::string& utf8_title, const std::string& utf8_text) override {
    std::fprintf(stderr, "%s: %s\n", utf8_title.c_str(), utf8_text.c_str());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, utf8_title.c_str(), utf8_text.c_str(), nullptr);
  }

 private:
  // A press gives the keyboard to the window pressed, as a click-to-focus desktop does. Without
  // a window manager nobody else does it, and after a file dialog the keys would go nowhere.
  void TakeKeyboardOnPress(WindowHandle handle) {
    SdlWindow* window = Lookup(handle);
    if (!window || !window->takes_focus || SDL_GetKeyboardFocus() == window->window) return;
    SDL_SetWindowInputFocus(window->window);
  }

  SdlWindow* Lookup(WindowHandle handle) {
    auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : &found->second;
  }

  static Uint32 WindowFlags(const SdlWindow& window, bool shown) {
    return SDL_WINDOW_BORDERLESS | (shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) |
           (window.stay_on_top ? SDL_WINDOW_ALWAYS_ON_TOP : 0) |
           (window.role == WindowRole::Main ? 0 : SDL_WINDOW_SKIP_TASKBAR);
  }

  // A window with its role: the window-manager type goes in at creation, and a window that
  // belongs to the main window is transient for it (kept above it, minimised with it).
  SDL_Window* CreateSdlWindow(const SdlWindow& window, bool shaped, bool shown) {
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, X11WindowType(window.role));
    int width = std::max(window.bounds.width, 1), height = std::max(window.bounds.height, 1);
    const char* title = window.title.c_str();
    Uint32 flags = WindowFlags(window, shown);
    SDL_Window* created =
        shaped ? SDL_CreateShapedWindow(title, window.bounds.left, window.bounds.top, width, height, flags)
               : SDL_CreateWindow(title, window.bounds.left, window.bounds.top, width, height, flags);
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "");
    if (created && window.owner != kNoWindow) {
      if (SdlWindow* owner = Lookup(window.owner)) SDL_SetWindowModalFor(created, owner->window);
    }
    return created;
  }

  // SDL shapes only windows created as shaped: the plain window is replaced by a shaped one
  // at the same place, with the same translucency. Drivers without shapes keep the plain window.
  bool BecomeShaped(SdlWindow& window) {
    if (shapes_unsupported_) return false;
    bool shown = SDL_GetWindowFlags(window.window) & SDL_WINDOW_SHOWN;
    SDL_Window* shaped = CreateSdlWindow(window, true, shown);
    if (!shaped) {
      shapes_unsupported_ = true;
      return false;
    }
    WindowHandle handle = handle_of_[SDL_GetWindowID(window.window)];
    handle_of_.erase(SDL_GetWindowID(window.window));
    SDL_DestroyWindow(window.window);
    window.window = shaped;
    window.shaped = true;
    handle_of_[SDL_GetWindowID(shaped)] = handle;
    if (window.opacity < 1.0f) SDL_SetWindowOpacity(shaped, window.opacity);
    return true;
  }

  bool ApplyMask(SdlWindow& window) {
    int width = std::max(window.bounds.width, 1), height = std::max(window.bounds.height, 1);
    SDL_Surface* mask = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA8888);
    if (!mask) return false;
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(mask->pixels) + y * mask->pitch);
      for (int x = 0; x < width; ++x) {
        bool inside = !window.shape || window.shape->Contains(x, y);
        row[x] = inside ? 0xFFFFFFFFu : 0u;
      }
    }
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeDefault;
    bool applied = SDL_SetWindowShape(window.window, mask, &mode) == 0;
    SDL_FreeSurface(mask);
    // Setting a shape may place the window where SDL first meant it; put it back.
    SDL_SetWindowPosition(window.window, window.bounds.left, window.bounds.top);
    return applied;
  }

  WindowHandle HandleOf(Uint32 sdl_id) const {
    auto found = handle_of_.find(sdl_id);
    return found == handle_of_.end() ? kNoWindow : found->second;
  }

  bool PopupShown() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& entry) { return entry.second.shown && IsPopupRole(entry.second.role); });
  }

  bool OverOwnWindow(Point point) const {
    return std::any_of(windows_.begin(), windows_.end(), [point](const auto& entry) {
      return entry.second.shown && entry.second.bounds.Contains(point.x, point.y);
    });
  }

  // A press on the desktop reaches none of our windows and, without a window manager, moves
  // no focus: while a pop-up shows, the pointer's buttons are watched to tell it.
  void WatchPressesOutside() {
    if (!PopupShown()) {
      watched_buttons_.reset();
      return;
    }
    Point point;
    Uint32 buttons = SDL_GetGlobalMouseState(&point.x, &point.y);
    const bool newly_down = watched_buttons_ && (buttons & ~*watched_buttons_) != 0;
    watched_buttons_ = buttons;
    if (!newly_down || OverOwnWindow(point)) return;
    BackendEvent out;
    out.kind = EventKind::PressOutside;
    pending_.push_back(out);
  }

  ShiftState Modifiers() const {
    SDL_Keymod mods = SDL_GetModState();
    return held_buttons_ | ((mods & KMOD_SHIFT) ? kShiftKey : 0) | ((mods & KMOD_CTRL) ? kCtrlKey : 0) |
           ((mods & KMOD_ALT) ? kAltKey : 0);
  }

  std::optional<BackendEvent> TakePending() {
    if (pending_.empty()) return std::nullopt;
    BackendEvent event = std::move(pending_.front());
    pending_.pop_front();
    return event;
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_TEXTEDITING:
        Queue(composition_.Editing(event.edit.text), event.edit.windowID);
        return;
      case SDL_TEXTINPUT:
        if (composition_.composing()) {
          Queue(composition_.Finished(event.text.text), event.text.windowID);
          return;
        }
        break;
      case SDL_WINDOWEVENT:
        if (auto translated = TranslateWindowEvent(event.window)) pending_.push_back(*translated);
        return;
      default:
        break;
    }
    if (auto translated = TranslateInput(event)) pending_.push_back(*translated);
  }

  void Queue(const std::vector<CompositionTracker::Step>& steps, Uint32 sdl_window) {
    for (const CompositionTracker::Step& step : steps) {
      BackendEvent out;
      out.kind = EventKind::Composition;
      out.window = HandleOf(sdl_window);
      out.composition = step.kind;
      out.text = step.utf8_text;
      out.shift = Modifiers();
      pending_.push_back(out);
    }
  }

  std::optional<BackendEvent> TranslateInput(const SDL_Event& event) {
    BackendEvent out;
    switch (event.type) {
      case SDL_QUIT:
        out.kind = EventKind::QuitRequest;
        return out;
      case SDL_MOUSEMOTION:
        out.kind = EventKind::MouseMove;
        out.window = HandleOf(event.motion.windowID);
        out.x = event.motion.x;
        out.y = event.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        std::optional<MouseButton> button = ButtonFromSdl(event.button.button);
        if (!button) return std::nullopt;
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        held_buttons_ = down ? held_buttons_ | ButtonFlag(*button) : held_buttons_ & ~ButtonFlag(*button);
        out.kind = down ? EventKind::MouseDown : EventKind::MouseUp;
        out.window = HandleOf(event.button.windowID);
        if (down) TakeKeyboardOnPress(out.window);
        out.button = *button;
        out.clicks = event.button.clicks;
        out.x = event.button.x;
        out.y = event.button.y;
        break;
      }
      case SDL_MOUSEWHEEL:
        out.kind = EventKind::MouseWheel;
        out.window = HandleOf(event.wheel.windowID);
        out.wheel = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        out.x = event.wheel.mouseX;
        out.y = event.wheel.mouseY;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        out.kind = event.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
        out.window = HandleOf(event.key.windowID);
        out.key = KeyFromSdl(event.key.keysym);
        if (out.key == 0) return std::nullopt;
        break;
      case SDL_TEXTINPUT:
        out.kind = EventKind::Text;
        out.window = HandleOf(event.text.windowID);
        out.text = event.text.text;
        break;
      default:
        return std::nullopt;
    }
    out.shift = Modifiers();
    return out;
  }

  std::optional<BackendEvent> TranslateWindowEvent(const SDL_WindowEvent& event) {
    BackendEvent out;
    out.window = HandleOf(event.windowID);
    switch (event.event) {
      case SDL_WINDOWEVENT_CLOSE: out.kind = EventKind::CloseRequest; break;
      case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = EventKind::FocusGained; break;
      case SDL_WINDOWEVENT_FOCUS_LOST: out.kind = EventKind::FocusLost; break;
      case SDL_WINDOWEVENT_EXPOSED: out.kind = EventKind::Exposed; break;
      case SDL_WINDOWEVENT_LEAVE: out.kind = EventKind::MouseLeftWindow; break;
      case SDL_WINDOWEVENT_MOVED:
      case SDL_WINDOWEVENT_RESIZED:
        return ChangeFromOutside(out.window, event);
      case SDL_WINDOWEVENT_MINIMIZED:
        return StateFromOutside(out.window, WindowState::Minimized, EventKind::Minimized);
      case SDL_WINDOWEVENT_MAXIMIZED:
        return StateFromOutside(out.window, WindowState::Maximized, EventKind::Maximized);
      case SDL_WINDOWEVENT_RESTORED:
        return StateFromOutside(out.window, WindowState::Normal, EventKind::Restored);
      default: return std::nullopt;
    }
    return out;
  }

  // A move or resize the window manager made; the echo of Tolmeo's own request is dropped.
  std::optional<BackendEvent> ChangeFromOutside(WindowHandle handle, const SDL_WindowEvent& event) {
    SdlWindow* window = Lookup(handle);
    if (!window) return std::nullopt;
    Point value{event.data1, event.data2};
    bool moved = event.event == SDL_WINDOWEVENT_MOVED;
    // SDL works a move out through the window manager's frame, which may be gone by then and
    // leave a position relative to it; the X server knows where the window itself is.
    if (moved) value = X11ScreenOrigin(window->window).value_or(value);
    if (!(moved ? window->position : window->size).FromOutside(value)) return std::nullopt;
    BackendEvent out;
    out.kind = moved ? EventKind::Moved : EventKind::Resized;
    out.window = handle;
    out.x = value.x;
    out.y = value.y;
    if (moved) {
      window->bounds.left = value.x;
      window->bounds.top = value.y;
    } else {
      window->bounds.width = value.x;
      window->bounds.height = value.y;
      if (window->shaped) ApplyMask(*window);
    }
    return out;
  }

  std::optional<BackendEvent> StateFromOutside(WindowHandle handle, WindowState state, EventKind kind) {
    SdlWindow* window = Lookup(handle);
    if (!window || window->state == state) return std::nullopt;
    window->state = state;
    BackendEvent out;
    out.kind = kind;
    out.window = handle;
    return out;
  }

  WindowHandle next_handle_ = 1;
  std::map<WindowHandle, SdlWindow> windows_;
  std::map<Uint32, WindowHandle> handle_of_;
  std::map<CursorShape, SDL_Cursor*> cursors_;
  ShiftState held_buttons_ = 0;
  // The pointer's buttons when last watched for presses outside (none while no pop-up shows).
  std::optional<Uint32> watched_buttons_;
  bool shapes_unsupported_ = false;
  CompositionTracker composition_;
  // Events translated but not yet handed out: one input-method notice may become several.
  std::deque<BackendEvent> pending_;
};

const std::string& NoDisplayText() {
  return Ktext(u8"화면을 열 수 없습니다. Tolmeo 는 X11 이나 Wayland 데스크톱에서 실행해 주세요 "
               u8"(DISPLAY 또는 WAYLAND_DISPLAY 가 설정되어 있어야 합니다).");
}

}  // namespace

bool IsUsableVideoDriver(std::string_view driver, std::string_view requested) {
  if (driver == "x11" || driver == "wayland") return true;
  // SDL_VIDEODRIVER may list several drivers, separated by commas.
  while (!requested.empty()) {
    std::size_t comma = requested.find(',');
    if (requested.substr(0, comma) == driver) return true;
    requested = comma == std::string_view::npos ? std::string_view() : requested.substr(comma + 1);
  }
  return false;
}

Result<std::unique_ptr<Backend>> StartSdlBackend() {
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // SDL's own handlers know no SIGHUP; Tolmeo's treat the three alike.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // A click on a window that is not active still counts, as the window system does it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Pictures are composited here and only copied to the window. Left to itself, SDL moves window
  // pictures onto the graphics card and, to do so, silently recreates each window the first time
  // it is drawn: a shape set before that is lost while the form still clips to it.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::string reason = SDL_GetError();
    SDL_Quit();
    return Failure{NoDisplayText() + " (SDL: " + reason + ")"};
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = std::getenv("SDL_VIDEODRIVER");
  if (!driver || !IsUsableVideoDriver(driver, requested ? requested : "")) {
    std::string reason = std::string("SDL: ") + (driver ? driver : "?");
    SDL_Quit();
    return Failure{NoDisplayText() + " (" + reason + ")"};
  }
  if (std::string_view(driver) == "x11") LogXErrorsAndGoOn();
  RouteTerminationSignals([] {
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  });
  SDL_StartTextInput();
  return std::unique_ptr<Backend>(new SdlBackend());
}

}  // namespace tolmeo
