#include "form/sdl_backend.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <cstdio>
#include <map>

namespace tolmeo {
namespace {

struct SdlWindow {
  SDL_Window* window = nullptr;
  bool shaped = false;  // created as an SDL shaped window
  std::optional<Region> shape;
  std::string title;
  Rect bounds;
  bool stay_on_top = false;
  float opacity = 1.0f;
};

Key KeyFromSdl(SDL_Keycode code) {
  if (code >= SDLK_a && code <= SDLK_z) return 'A' + (code - SDLK_a);
  if (code >= SDLK_0 && code <= SDLK_9) return '0' + (code - SDLK_0);
  if (code >= SDLK_F1 && code <= SDLK_F12) return kKeyF1 + (code - SDLK_F1);
  static const std::map<SDL_Keycode, Key> named = {
      {SDLK_BACKSPACE, kKeyBackspace}, {SDLK_TAB, kKeyTab},        {SDLK_RETURN, kKeyReturn},
      {SDLK_KP_ENTER, kKeyReturn},     {SDLK_ESCAPE, kKeyEscape},   {SDLK_SPACE, kKeySpace},
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
    SdlWindow window;
    window.title = settings.title;
    window.bounds = settings.bounds;
    window.stay_on_top = settings.stay_on_top;
    window.window = SDL_CreateWindow(settings.title.c_str(), settings.bounds.left, settings.bounds.top,
                                     std::max(settings.bounds.width, 1), std::max(settings.bounds.height, 1),
                                     WindowFlags(window, false));
    if (!window.window) return kNoWindow;
    WindowHandle handle = next_handle_++;
    handle_of_[SDL_GetWindowID(window.window)] = handle;
    windows_[handle] = std::move(window);
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
    SDL_SetWindowPosition(window->window, bounds.left, bounds.top);
    if (!resized) return;
    SDL_SetWindowSize(window->window, std::max(bounds.width, 1), std::max(bounds.height, 1));
    // A shape mask must match the window's size, so a resized shaped window is reshaped.
    if (window->shaped) ApplyMask(*window);
  }

  void ShowWindow(WindowHandle handle, bool visible) override {
    SdlWindow* window = Lookup(handle);
    if (!window) return;
    if (!visible) {
      SDL_HideWindow(window->window);
      return;
    }
    SDL_ShowWindow(window->window);
    if (SDL_GetWindowFlags(window->window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window->window);
    SDL_SetWindowPosition(window->window, window->bounds.left, window->bounds.top);
  }

  void RaiseWindow(WindowHandle handle) override {
    if (SdlWindow* window = Lookup(handle)) SDL_RaiseWindow(window->window);
  }

  void MinimizeWindow(WindowHandle handle) override {
    if (SdlWindow* window = Lookup(handle)) SDL_MinimizeWindow(window->window);
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
    while (SDL_PollEvent(&event)) {
      if (auto translated = Translate(event)) return translated;
    }
    return std::nullopt;
  }

  std::optional<BackendEvent> WaitEvent(int timeout_ms) override {
    SDL_Event event;
    int got = timeout_ms < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout_ms);
    if (!got) return std::nullopt;
    return Translate(event);
  }

  void ShowErrorMessage(const std::string& utf8_title, const std::string& utf8_text) override {
    std::fprintf(stderr, "%s: %s\n", utf8_title.c_str(), utf8_text.c_str());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, utf8_title.c_str(), utf8_text.c_str(), nullptr);
  }

 private:
  SdlWindow* Lookup(WindowHandle handle) {
    auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : &found->second;
  }

  static Uint32 WindowFlags(const SdlWindow& window, bool shown) {
    return SDL_WINDOW_BORDERLESS | (shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) |
           (window.stay_on_top ? SDL_WINDOW_ALWAYS_ON_TOP : 0);
  }

  // SDL shapes only windows created as shaped: the plain window is replaced by a shaped one
  // at the same place, with the same translucency. Drivers without shapes keep the plain window.
  bool BecomeShaped(SdlWindow& window) {
    if (shapes_unsupported_) return false;
    bool shown = SDL_GetWindowFlags(window.window) & SDL_WINDOW_SHOWN;
    SDL_Window* shaped = SDL_CreateShapedWindow(
        window.title.c_str(), window.bounds.left, window.bounds.top,
        std::max(window.bounds.width, 1), std::max(window.bounds.height, 1), WindowFlags(window, shown));
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

  ShiftState Modifiers() const {
    SDL_Keymod mods = SDL_GetModState();
    return held_buttons_ | ((mods & KMOD_SHIFT) ? kShiftKey : 0) | ((mods & KMOD_CTRL) ? kCtrlKey : 0) |
           ((mods & KMOD_ALT) ? kAltKey : 0);
  }

  std::optional<BackendEvent> Translate(const SDL_Event& event) {
    BackendEvent out;
    switch (event.type) {
      case SDL_QUIT:
        out.kind = EventKind::Quit;
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
        out.key = KeyFromSdl(event.key.keysym.sym);
        if (out.key == 0) return std::nullopt;
        break;
      case SDL_TEXTINPUT:
        out.kind = EventKind::Text;
        out.window = HandleOf(event.text.windowID);
        out.text = event.text.text;
        break;
      case SDL_TEXTEDITING:
        out.kind = EventKind::Composition;
        out.window = HandleOf(event.edit.windowID);
        out.text = event.edit.text;
        break;
      case SDL_WINDOWEVENT:
        return TranslateWindowEvent(event.window);
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
      default: return std::nullopt;
    }
    return out;
  }

  WindowHandle next_handle_ = 1;
  std::map<WindowHandle, SdlWindow> windows_;
  std::map<Uint32, WindowHandle> handle_of_;
  std::map<CursorShape, SDL_Cursor*> cursors_;
  ShiftState held_buttons_ = 0;
  bool shapes_unsupported_ = false;
};

}  // namespace

Result<std::unique_ptr<Backend>> StartSdlBackend() {
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A click on a window that is not active still counts, as the window system does it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Pictures are composited here and only copied to the window. Left to itself, SDL moves window
  // pictures onto the graphics card and, to do so, silently recreates each window the first time
  // it is drawn: a shape set before that is lost while the form still clips to it.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return Failure{std::string("SDL: ") + SDL_GetError()};
  SDL_StartTextInput();
  return std::unique_ptr<Backend>(new SdlBackend());
}

}  // namespace tolmeo
