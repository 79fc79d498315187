#pragma once
// What SDL does not offer for X11 windows: stacking one on top without giving it the keyboard
// focus, and its X window id for the dialog programs to attach to. Kept apart because the X11
// headers' macros clash with Tolmeo's names.
#include <optional>

struct SDL_Window;

namespace tolmeo {

// False where the window system offers no such thing (everything but X11); nothing changes then.
bool RaiseWithoutFocus(SDL_Window* window);
// The X window id; nullopt for a null window or one on another window system.
std::optional<unsigned long> X11WindowId(SDL_Window* window);

}  // namespace tolmeo
