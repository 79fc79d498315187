#include "form/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tolmeo {
namespace {

constexpr int kPollMs = 50;

struct Pipe {
  int read = -1;
  int write = -1;
  bool Open() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    read = ends[0];
    write = ends[1];
    return true;
  }
  void CloseRead() { Close(read); }
  void CloseWrite() { Close(write); }
  static void Close(int& end) {
    if (end >= 0) close(end);
    end = -1;
  }
};

// In the child, between fork and exec: only async-signal-safe calls. Reports a failed exec
// through the error pipe, which closes by itself when exec succeeds.
[[noreturn]] void BecomeProgram(std::vector<char*>& argv, Pipe& output, Pipe& exec_error) {
  dup2(output.write, STDOUT_FILENO);
  int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDERR_FILENO);
  }
  execvp(argv[0], argv.data());
  int error = errno;
  [[maybe_unused]] ssize_t written = write(exec_error.write, &error, sizeof error);
  _exit(127);
}

// Reads everything the child prints, keeping the caller alive meanwhile.
std::string ReadAll(int fd, const std::function<void()>& while_waiting) {
  std::string output;
  char buffer[4096];
  for (;;) {
    pollfd ready{fd, POLLIN, 0};
    int got = poll(&ready, 1, kPollMs);
    if (got < 0 && errno != EINTR) break;
    if (got <= 0) {
      if (while_waiting) while_waiting();
      continue;
    }
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;  // the child closed its output: it ended or is ending
    output.append(buffer, static_cast<std::size_t>(count));
  }
  return output;
}

int WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

ChildOutcome RunChild(const std::vector<std::string>& argv, const std::function<void()>& while_waiting) {
  ChildOutcome outcome;
  if (argv.empty()) return outcome;
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);

  Pipe output, exec_error;
  if (!output.Open()) return outcome;
  if (!exec_error.Open()) {
    output.CloseRead();
    output.CloseWrite();
    return outcome;
  }
  pid_t child = fork();
  if (child == 0) BecomeProgram(arguments, output, exec_error);
  output.CloseWrite();
  exec_error.CloseWrite();
  if (child < 0) {
    output.CloseRead();
    exec_error.CloseRead();
    return outcome;
  }
  outcome.output = ReadAll(output.read, while_waiting);
  output.CloseRead();
  int exec_errno = 0;
  bool exec_failed = read(exec_error.read, &exec_errno, sizeof exec_errno) == sizeof exec_errno;
  exec_error.CloseRead();
  int status = WaitFor(child);
  if (exec_failed) {
    outcome.kind = ChildOutcome::Kind::Missing;
  } else if (WIFEXITED(status)) {
    outcome.kind = ChildOutcome::Kind::Exited;
    outcome.exit_code = WEXITSTATUS(status);
  } else {
    outcome.kind = ChildOutcome::Kind::Crashed;
  }
  return outcome;
}

}  // namespace tolmeo
