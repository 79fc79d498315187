#pragma once
// The real window system: SDL2. Top-level forms become borderless SDL windows, shaped where
// the video driver can shape windows and translucent through the window opacity. SDL's
// "dummy" video driver (SDL_VIDEODRIVER=dummy) runs it without a display.
#include <memory>
#include <string_view>

#include "base/result.h"
#include "form/backend.h"

namespace tolmeo {

// Starts SDL's video subsystem on a display a person sees. Fails, saying so, when there is
// none: SDL would otherwise fall back to a driver whose windows nobody sees, and Tolmeo would
// wait for ever on a message box no one can answer.
Result<std::unique_ptr<Backend>> StartSdlBackend();

// x11 and wayland show windows to a person; any other driver only when SDL_VIDEODRIVER
// (requested: its value, a comma-separated list) names it, as smoke tests do with "dummy".
bool IsUsableVideoDriver(std::string_view driver, std::string_view requested);

}  // namespace tolmeo
