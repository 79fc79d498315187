#include "support/recording_seam.h"

namespace tolmeo::testing {

RecordingSeam::RecordingSeam(ChipImage& image) : image_(image) {}

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

void RecordingSeam::SetProgressMin(Memory bar, std::int64_t value) {
  calls.push_back(std::string("progress ") + BarName(bar) + " min " + std::to_string(value));
}

void RecordingSeam::SetProgressMax(Memory bar, std::int64_t value) {
  calls.push_back(std::string("progress ") + BarName(bar) + " max " + std::to_string(value));
}

void RecordingSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  calls.push_back(std::string("progress ") + BarName(bar) + " pos " + std::to_string(value));
}

void RecordingSeam::ShowProgress(Memory bar) {
  calls.push_back(std::string("progress ") + BarName(bar) + " show");
}

void RecordingSeam::HideProgress(Memory bar) {
  calls.push_back(std::string("progress ") + BarName(bar) + " hide");
}

void RecordingSeam::RefreshViewer() { calls.push_back("viewer refresh"); }

void RecordingSeam::UpdateViewerScrollRange() { calls.push_back("viewer scroll range"); }

void RecordingSeam::CollectBits(FuseGroup group) {
  image_.FuseByte(group) = boxes.Collect(group);
  calls.push_back("collect " + std::to_string(static_cast<int>(group)));
}

void RecordingSeam::ShowBits(FuseGroup group) {
  boxes.Show(group, image_.FuseByte(group));
  calls.push_back("show " + std::to_string(static_cast<int>(group)));
}

BitBox RecordingSeam::GetBitBox(FuseGroup group, int bit) const { return boxes.Box(group, bit); }

void RecordingSeam::SetBitBox(FuseGroup group, int bit, const BitBox& box) {
  boxes.Box(group, bit) = box;
}

std::string RecordingSeam::DocumentLabel(Memory memory) const {
  return memory == Memory::Flash ? flash_label : eeprom_label;
}

void RecordingSeam::SetDocumentLabel(Memory memory, const std::string& text) {
  (memory == Memory::Flash ? flash_label : eeprom_label) = text;
  calls.push_back(std::string("label ") + BarName(memory));
}

std::optional<std::string> RecordingSeam::ChooseFileToOpen(const std::string&, const std::string&) {
  calls.push_back("dialog open");
  if (dialog_answers.empty()) return std::nullopt;
  auto answer = dialog_answers.front();
  dialog_answers.pop_front();
  return answer;
}

std::optional<std::string> RecordingSeam::ChooseFileToSave(const std::string&, const std::string&,
                                                           const std::string&) {
  calls.push_back("dialog save");
  if (dialog_answers.empty()) return std::nullopt;
  auto answer = dialog_answers.front();
  dialog_answers.pop_front();
  return answer;
}

void RecordingSeam::RunPendingMessages() {
  ++pending_message_runs;
  if (on_pending_messages) on_pending_messages();
}

}  // namespace tolmeo::testing
