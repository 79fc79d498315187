#pragma once
// An engine seam that remembers every call and answers questions and dialogs as a test scripts
// them.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "isp/engine_seam.h"

namespace tolmeo::testing {

struct Notice {
  int kind;
  std::string text;  // CP949
  bool question;
};

class RecordingSeam : public EngineSeam {
 public:
  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;
  void ShowProgress(Memory bar, std::int64_t min, std::int64_t max) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void HideProgress(Memory bar) override;
  void ImageChanged() override;
  void BitsChanged() override;
  void DocumentChanged(Memory memory) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                              const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& title,
                                              const std::string& initial_folder,
                                              const std::string& filter) override;
  void RunPendingMessages() override;

  // What happened, in order, one short line per call ("notice 3", "progress flash pos 64", ...).
  std::vector<std::string> calls;
  std::vector<Notice> notices;
  // Answers for AskConfirm, taken from the front; true when empty.
  std::deque<bool> confirm_answers;
  // Answers for the file dialogs, taken from the front; cancel when empty.
  std::deque<std::optional<std::string>> dialog_answers;
  // Called from RunPendingMessages, for tests that act while a loop runs.
  std::function<void()> on_pending_messages;
  int pending_message_runs = 0;

 private:
  static const char* BarName(Memory bar);
  std::optional<std::string> NextDialogAnswer();
};

}  // namespace tolmeo::testing
