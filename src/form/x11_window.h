#pragma once
// What SDL does not offer for X11 windows: stacking one on top without giving it the keyboard
// focus, its X window id for the dialog programs to attach to, where it truly is on the screen,
// and an error handler that does not end the program. Kept apart because the X11 headers'
// macros clash with Tolmeo's names.
#include <optional>

#include "form/form_types.h"

struct SDL_Window;

namespace tolmeo {

// False where the window system offers no such thing (everything but X11); nothing changes then.
bool RaiseWithoutFocus(SDL_Window* window);
// The X window id; nullopt for a null window or one on another window system.
std::optional<unsigned long> X11WindowId(SDL_Window* window);
// The screen position of the window's top-left pixel, asked of the X server; nullopt off X11.
std::optional<Point> X11ScreenOrigin(SDL_Window* window);

// Xlib's own error handler ends the process. A window manager reparents and destroys its frames
// while SDL still asks about them (SDL translates every move notice through the window's parent,
// a frame that may be gone by then): such an error is logged to stderr and the program goes on.
// Installed once SDL's X11 driver is up, so that it replaces SDL's handler, which ends it too.
void LogXErrorsAndGoOn();

}  // namespace tolmeo
