#pragma once
// The engine's seam as text on a terminal: notices as lines in UTF-8, the signature question
// answered by -y (or refused without it), progress as a bar on stderr when stderr is a
// terminal. The bits and the documents' paths are the chip image's; there are no dialogs and
// no viewer.
#include <array>
#include <cstdio>
#include <string>

#include "isp/null_seam.h"

namespace tolmeo::cli {

// The viewer, the dialogs and the message pump, which a terminal lacks, stay the null seam's.
class TerminalSeam : public NullSeam {
 public:
  // Information goes to out, warnings, failures, questions and progress to err.
  TerminalSeam(std::FILE* out, std::FILE* err, bool assume_yes, bool show_progress);

  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;
  void ShowProgress(Memory bar, std::int64_t min, std::int64_t max) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void HideProgress(Memory bar) override;

 private:
  struct Bar {
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::int64_t position = 0;
    bool shown = false;
    int drawn_percent = -1;
  };
  static int Index(Memory memory) { return memory == Memory::Flash ? 0 : 1; }
  void PrintText(std::FILE* stream, const char* prefix, const std::string& cp949_text);
  void DrawBar(Memory memory);

  std::FILE* out_;
  std::FILE* err_;
  bool assume_yes_;
  bool show_progress_;
  std::array<Bar, 2> bars_;
};

}  // namespace tolmeo::cli
