#include "form/x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace tolmeo {
namespace {

std::optional<SDL_SysWMinfo> X11Info(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
  return info;
}

int LogXError(Display* display, XErrorEvent* error) {
  char text[256] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "tolmeo: X error ignored: %s (request %d.%d, resource 0x%lx)\n", text,
               error->request_code, error->minor_code, error->resourceid);
  return 0;
}

}  // namespace

bool RaiseWithoutFocus(SDL_Window* window) {
  std::optional<SDL_SysWMinfo> info = X11Info(window);
  if (!info) return false;
  XRaiseWindow(info->info.x11.display, info->info.x11.window);
  XFlush(info->info.x11.display);
  return true;
}

std::optional<unsigned long> X11WindowId(SDL_Window* window) {
  std::optional<SDL_SysWMinfo> info = X11Info(window);
  if (!info) return std::nullopt;
  return info->info.x11.window;
}

std::optional<Point> X11ScreenOrigin(SDL_Window* window) {
  std::optional<SDL_SysWMinfo> info = X11Info(window);
  if (!info) return std::nullopt;
  Display* display = info->info.x11.display;
  ::Window child = 0;
  Point origin;
  // Asked about Tolmeo's own window, which exists while SDL's does.
  if (!XTranslateCoordinates(display, info->info.x11.window, DefaultRootWindow(display), 0, 0,
                             &origin.x, &origin.y, &child)) {
    return std::nullopt;
  }
  return origin;
}

void LogXErrorsAndGoOn() { XSetErrorHandler(LogXError); }

}  // namespace tolmeo
