#include "support/recording_seam.h"

namespace tolmeo::testing {

const char* RecordingSeam::BarName(Memory bar) { return bar == Memory::Flash ? "flash" : "eeprom"; }

void RecordingSeam::ShowNotice(int kind, const std::string& text) {
  notices.push_back({kind, text, false});
  calls.push_back("notice " + std::to_string(kind));
}

bool RecordingSeam::AskConfirm(int kind, const std::string& text) {
  notices.push_back({kind, text, true});
  calls.push_back("confirm " + std::to_string(kind));
  if (confirm_answers.empty()) return true;
  bool answer = confirm_answers.front();
  confirm_answers.pop_front();
  return answer;
}

void RecordingSeam::ShowProgress(Memory bar, std::int64_t min, std::int64_t max) {
  calls.push_back(std::string("progress ") + BarName(bar) + " show " + std::to_string(min) + ".." +
                  std::to_string(max));
}

void RecordingSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  calls.push_back(std::string("progress ") + BarName(bar) + " pos " + std::to_string(value));
}

void RecordingSeam::HideProgress(Memory bar) {
  calls.push_back(std::string("progress ") + BarName(bar) + " hide");
}

void RecordingSeam::ImageChanged() { calls.push_back("image"); }

void RecordingSeam::BitsChanged() { calls.push_back("bits"); }

void RecordingSeam::DocumentChanged(Memory memory) {
  calls.push_back(std::string("document ") + BarName(memory));
}

std::optional<std::string> RecordingSeam::NextDialogAnswer() {
  if (dialog_answers.empty()) return std::nullopt;
  auto answer = dialog_answers.front();
  dialog_answers.pop_front();
  return answer;
}

std::optional<std::string> RecordingSeam::ChooseFileToOpen(const std::string&, const std::string&) {
  calls.push_back("dialog open");
  return NextDialogAnswer();
}

std::optional<std::string> RecordingSeam::ChooseFileToSave(const std::string&, const std::string&,
                                                           const std::string&) {
  calls.push_back("dialog save");
  return NextDialogAnswer();
}

void RecordingSeam::RunPendingMessages() {
  ++pending_message_runs;
  if (on_pending_messages) on_pending_messages();
}

}  // namespace tolmeo::testing
