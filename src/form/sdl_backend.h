#pragma once
// The real window system: SDL2. Top-level forms become borderless SDL windows, shaped where
// the video driver can shape windows and translucent through the window opacity. SDL's
// "dummy" video driver (SDL_VIDEODRIVER=dummy) runs it without a display.
#include <memory>

#include "base/result.h"
#include "form/backend.h"

namespace tolmeo {

// Starts SDL's video subsystem; fails with SDL's reason when no video driver works.
Result<std::unique_ptr<Backend>> StartSdlBackend();

}  // namespace tolmeo
