#include "form/x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace tolmeo {
namespace {

std::optional<SDL_SysWMinfo> X11Info(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
  return info;
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

}  // namespace tolmeo
