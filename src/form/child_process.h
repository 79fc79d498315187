#pragma once
// Runs a helper program (the desktop's dialog programs) as a child process, from an argument
// vector, never through a shell, and collects what it prints. A missing program or one that
// crashes is reported as such; the wait ends when the child does.
#include <functional>
#include <string>
#include <vector>

namespace tolmeo {

struct ChildOutcome {
  enum class Kind {
    Exited,    // exit_code holds its exit status
    Missing,   // the program could not be started (not installed, not executable)
    Crashed,   // ended by a signal
  } kind = Kind::Missing;
  int exit_code = 0;
  std::string output;  // its standard output
};

// argv[0] is the program, looked up on PATH. while_waiting runs about every 50 ms until the
// child ends (may be empty). The child's standard error goes nowhere: the desktop's dialog
// programs write their toolkit's chatter there.
ChildOutcome RunChild(const std::vector<std::string>& argv, const std::function<void()>& while_waiting);

}  // namespace tolmeo
