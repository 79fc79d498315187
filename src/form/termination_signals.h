#pragma once
// SIGHUP (the terminal or the session went away), SIGINT and SIGTERM end Tolmeo the way closing
// its main window does, so the options and the virtual chip are kept. A handler may do next to
// nothing: it writes one byte to a pipe, and a watcher thread turns that into the window
// system's quit message, which wakes the message loop wherever it waits.
#include <functional>

namespace tolmeo {

// Installs the handlers once; post_quit is called on the watcher thread and must be safe there
// (SDL_PushEvent is).
void RouteTerminationSignals(std::function<void()> post_quit);

}  // namespace tolmeo
