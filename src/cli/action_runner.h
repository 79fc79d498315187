#pragma once
// Runs one tolmeo-cli action on the programming commands and tells what came of it as an exit
// status.
#include <cstdio>
#include <string>

#include "cli/cli_arguments.h"
#include "cli/terminal_seam.h"
#include "isp/programmer.h"

namespace tolmeo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitChipFailed = 1;  // no answer, signature refused, write or verify failed
inline constexpr int kExitUsage = 2;       // usage, description or file errors

int ExitStatusOf(CommandOutcome outcome);

class ActionRunner {
 public:
  ActionRunner(Programmer& programmer, ChipImage& image, TerminalSeam& seam, std::FILE* out);

  int Run(const Action& action);

 private:
  // Names the document (a UTF-8 path as typed, or none when empty) on the memory's label.
  void NameDocument(Memory memory, const std::string& utf8_path);
  int ReadIntoFile(Memory memory, const std::string& utf8_path);
  int WriteFuses(const std::array<std::uint8_t, 4>& values);
  int ReadFuses();

  Programmer& programmer_;
  ChipImage& image_;
  TerminalSeam& seam_;
  std::FILE* out_;
};

// The device descriptions, one name a line.
void PrintDescriptionList(std::FILE* out);

}  // namespace tolmeo::cli
