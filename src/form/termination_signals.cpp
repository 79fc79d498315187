#include "form/termination_signals.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

namespace tolmeo {
namespace {

int signal_pipe[2] = {-1, -1};

void NoteSignal(int) {
  int saved = errno;  // the interrupted code may be about to read errno
  char byte = 1;
  [[maybe_unused]] ssize_t written = write(signal_pipe[1], &byte, 1);
  errno = saved;
}

void WatchSignals(std::function<void()> post_quit) {
  char byte = 0;
  for (;;) {
    ssize_t got = read(signal_pipe[0], &byte, 1);
    if (got == 1) post_quit();
    if (got == 0 || (got < 0 && errno != EINTR)) return;
  }
}

}  // namespace

void RouteTerminationSignals(std::function<void()> post_quit) {
  if (signal_pipe[0] >= 0 || pipe(signal_pipe) != 0) return;
  struct sigaction action = {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGHUP, SIGINT, SIGTERM}) sigaction(signal_number, &action, nullptr);
  // A signal that comes before the watcher runs waits in the pipe.
  std::thread(WatchSignals, std::move(post_quit)).detach();
}

}  // namespace tolmeo
