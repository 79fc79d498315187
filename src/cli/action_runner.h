#pragma once
// Runs one tolmeo-cli action on the programming commands, says in one line what it did, and
// tells what came of it as an exit status.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/cli_arguments.h"
#include "cli/terminal_seam.h"
#include "isp/programmer.h"

namespace tolmeo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitChipFailed = 1;  // no answer, signature refused, write or verify failed
inline constexpr int kExitUsage = 2;       // usage, document or file errors
inline constexpr int kExitSetup = 3;       // the cable did not open, no descriptions: chip untouched

int ExitStatusOf(CommandOutcome outcome);

// Lock, extended, high and low, as fuses:w takes them and every line shows them.
using FuseBytes = std::array<std::uint8_t, 4>;

class ActionRunner {
 public:
  // Built once the description is loaded: auto's default fuse bytes are the description's.
  ActionRunner(Programmer& programmer, ChipImage& image, TerminalSeam& seam, std::FILE* out);

  int Run(const Action& action);

 private:
  // Names the document the memory's commands read (a CP949 path), or none when empty.
  void NameDocument(Memory memory, const std::string& path);
  // The status, with line printed when it is a success.
  int Said(int status, const std::string& line);
  int WriteDocument(Memory memory, const std::string& path);
  int ReadIntoFile(Memory memory, const std::string& path);
  // Puts bytes into the bit editor's boxes, where fixed bits keep the description's value,
  // and says so for each byte that changed; the bytes that will be written.
  FuseBytes PrepareFuses(const FuseBytes& bytes);
  FuseBytes ChipFuses() const;
  int WriteFuses(const FuseBytes& bytes);
  int ReadFuses();
  int Auto(const Action& action);

  Programmer& programmer_;
  ChipImage& image_;
  TerminalSeam& seam_;
  std::FILE* out_;
  FuseBytes description_fuses_;
};

// The device descriptions, one name a line; when there is none, where they were looked for
// (kExitSetup).
int PrintDescriptionList(TerminalSeam& seam, std::FILE* out);

}  // namespace tolmeo::cli
