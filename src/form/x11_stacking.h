#pragma once
// Stacking an SDL window on top without giving it the keyboard focus: SDL raises only
// together with the focus. Kept apart because the X11 headers' macros clash with Tolmeo's names.
struct SDL_Window;

namespace tolmeo {

// False where the window system offers no such thing (everything but X11); nothing changes then.
bool RaiseWithoutFocus(SDL_Window* window);

}  // namespace tolmeo
