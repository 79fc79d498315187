#pragma once
// An engine seam that remembers every call, answers questions and dialogs as a test scripts
// them, and keeps the bit editor's boxes and the document labels as plain data.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "isp/engine_seam.h"
#include "formats/fuse_boxes.h"

namespace tolmeo::testing {

struct Notice {
  int kind;
  std::string text;  // CP949
  bool question;
};

class RecordingSeam : public EngineSeam {
 public:
  explicit RecordingSeam(ChipImage& image);

  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;
  void SetProgressMin(Memory bar, std::int64_t value) override;
  void SetProgressMax(Memory bar, std::int64_t value) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void ShowProgress(Memory bar) override;
  void HideProgress(Memory bar) override;
  void RefreshViewer() override;
  void UpdateViewerScrollRange() override;
  void CollectBits(FuseGroup group) override;
  void ShowBits(FuseGroup group) override;
  BitBox GetBitBox(FuseGroup group, int bit) const override;
  void SetBitBox(FuseGroup group, int bit, const BitBox& box) override;
  std::string DocumentLabel(Memory memory) const override;
  void SetDocumentLabel(Memory memory, const std::string& text) override;
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

  FuseBoxes boxes;
  std::string flash_label;   // CP949; the no-document texts until a test sets them
  std::string eeprom_label;

 private:
  static const char* BarName(Memory bar);
  ChipImage& image_;
};

}  // namespace tolmeo::testing
