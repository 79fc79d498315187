#pragma once
// The one small interface between the form library and a window system. Only top-level forms
// have a backend window; child forms are composited by the library itself into their
// top-level window's surface. Two implementations: SDL2 for real use and a headless one for
// tests (virtual clock, injected input, readable window pictures).
#include <cstdint>
#include <optional>
#include <string>

#include "gfx/bitmap.h"
#include "form/form_types.h"
#include "form/region.h"

namespace tolmeo {

using WindowHandle = int;  // 0 = no window
inline constexpr WindowHandle kNoWindow = 0;

enum class EventKind {
  MouseMove, MouseDown, MouseUp, MouseWheel, MouseLeftWindow,
  KeyDown, KeyUp, Text, Composition,
  CloseRequest, FocusGained, FocusLost, Exposed,
  // Done to the window from outside (window manager, task bar, keyboard shortcuts).
  Moved, Resized, Minimized, Maximized, Restored,
  // A mouse button went down outside every window of Tolmeo's (the bare desktop, another
  // program), which moves no focus where no window manager runs. Reported at least while a
  // pop-up window is shown.
  PressOutside,
  // The desktop or a signal asks Tolmeo to end: the main window closes as by its close box.
  QuitRequest,
  // Ends the message loops at once (a headless test with nothing left to do).
  Quit
};

// Mouse positions are relative to the window's top-left corner. Texts are UTF-8, as window
// systems give them. Moved carries the new screen position in x, y and Resized the new size in
// x, y; a backend reports only changes made from outside, never the late notice of one of
// Tolmeo's own requests.
struct BackendEvent {
  EventKind kind = EventKind::Quit;
  WindowHandle window = kNoWindow;
  int x = 0;
  int y = 0;
  MouseButton button = MouseButton::Left;
  int clicks = 1;
  int wheel = 0;  // notches, positive away from the user
  Key key = 0;
  ShiftState shift = 0;
  std::string text;
  CompositionEvent::Kind composition = CompositionEvent::Kind::Update;  // for Composition
};

struct WindowSettings {
  Rect bounds;  // screen position and size
  bool stay_on_top = false;
  std::string title;  // UTF-8
  WindowRole role = WindowRole::Main;
  // The main window this one belongs to (kNoWindow: none yet, or this is the main window).
  WindowHandle owner = kNoWindow;
  // False for windows that show and stack on top without taking the keyboard focus.
  bool takes_focus = true;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual WindowHandle CreateWindow(const WindowSettings& settings) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual void SetWindowBounds(WindowHandle window, const Rect& bounds) = 0;
  virtual void ShowWindow(WindowHandle window, bool visible) = 0;
  // Brings the window above the others and, when activate is set, gives it the keyboard focus.
  virtual void RaiseWindow(WindowHandle window, bool activate) = 0;
  virtual void MinimizeWindow(WindowHandle window) = 0;
  virtual void SetStayOnTop(WindowHandle window, bool on_top) = 0;
  virtual void SetOpacity(WindowHandle window, std::uint8_t opacity) = 0;
  virtual void SetTitle(WindowHandle window, const std::string& utf8_title) = 0;
  // Null shape: the full rectangle. Returns false where the window system cannot shape
  // windows; the window then stays rectangular and works as before.
  virtual bool SetShape(WindowHandle window, const Region* shape) = 0;
  // Shows the area of the window's composited picture (same size as the window).
  virtual void Present(WindowHandle window, const Bitmap& surface, const Rect& area) = 0;

  virtual void SetCursorShape(CursorShape shape) = 0;
  // Keeps mouse events coming to the pressed window while the pointer is outside it.
  virtual void SetMouseCapture(bool on) = 0;
  virtual Point CursorPosition() = 0;
  virtual Rect ScreenRect() = 0;
  virtual Rect WorkArea() = 0;  // the screen less task bars and panels

  virtual std::int64_t NowMs() = 0;
  virtual std::optional<BackendEvent> PollEvent() = 0;
  // Waits at most timeout_ms (-1: until something happens) for the next event, or until Wake.
  virtual std::optional<BackendEvent> WaitEvent(int timeout_ms) = 0;
  // Makes a WaitEvent that waits now, or the next one, return at once. The one call that is
  // safe from any thread: work done off the GUI thread tells the loop it has ended this way.
  virtual void Wake() = 0;

  // The standard display of an error nothing else caught.
  virtual void ShowErrorMessage(const std::string& utf8_title, const std::string& utf8_text) = 0;
};

}  // namespace tolmeo
