#include "views/programmer_views_seam.h"

#include "base/cp949.h"
#include "isp/device_description.h"

namespace tolmeo {

ProgrammerViewsSeam::ProgrammerViewsSeam(Tide_AVR_Form& window, EngineSeam& rest)
    : views_(window), rest_(rest) {}

void ProgrammerViewsSeam::RefreshViewer() { views_.RefreshViewer(); }

void ProgrammerViewsSeam::UpdateViewerScrollRange() { views_.UpdateViewerScrollRange(); }

void ProgrammerViewsSeam::CollectBits(FuseGroup group) { views_.CollectBits(group); }

void ProgrammerViewsSeam::ShowBits(FuseGroup group) { views_.ShowBits(group); }

BitBox ProgrammerViewsSeam::GetBitBox(FuseGroup group, int bit) const {
  return views_.GetBitBox(group, bit);
}

void ProgrammerViewsSeam::SetBitBox(FuseGroup group, int bit, const BitBox& box) {
  views_.SetBitBox(group, bit, box);
}

void ProgrammerViewsSeam::ShowNotice(int kind, const std::string& text) {
  rest_.ShowNotice(kind, text);
}

bool ProgrammerViewsSeam::AskConfirm(int kind, const std::string& text) {
  return rest_.AskConfirm(kind, text);
}

void ProgrammerViewsSeam::SetProgressMin(Memory bar, std::int64_t value) {
  rest_.SetProgressMin(bar, value);
}

void ProgrammerViewsSeam::SetProgressMax(Memory bar, std::int64_t value) {
  rest_.SetProgressMax(bar, value);
}

void ProgrammerViewsSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  rest_.SetProgressPosition(bar, value);
}

void ProgrammerViewsSeam::ShowProgress(Memory bar) { rest_.ShowProgress(bar); }

void ProgrammerViewsSeam::HideProgress(Memory bar) { rest_.HideProgress(bar); }

std::string ProgrammerViewsSeam::DocumentLabel(Memory memory) const {
  return rest_.DocumentLabel(memory);
}

void ProgrammerViewsSeam::SetDocumentLabel(Memory memory, const std::string& text) {
  rest_.SetDocumentLabel(memory, text);
}

std::optional<std::string> ProgrammerViewsSeam::ChooseFileToOpen(const std::string& title,
                                                                 const std::string& filter) {
  return rest_.ChooseFileToOpen(title, filter);
}

std::optional<std::string> ProgrammerViewsSeam::ChooseFileToSave(const std::string& title,
                                                                 const std::string& initial_folder,
                                                                 const std::string& filter) {
  return rest_.ChooseFileToSave(title, initial_folder, filter);
}

void ProgrammerViewsSeam::RunPendingMessages() { rest_.RunPendingMessages(); }

void SaveToDescription(ChipImage& image, EngineSeam& seam) {
  // The main window's save dialog, opened on the descriptions' folder with their filter
  // chosen; the dialog keeps no folder or filter of its own between uses, so nothing is left
  // changed for the next save of a HEX file.
  std::optional<std::string> path =
      seam.ChooseFileToSave(Ktext(u8"::: 저장 ::: Darimsol :::"), DescriptionFolder(),
                            "*.avrspec|*.avrspec|*.hex|*.hex");
  if (!path) return;
  if (Status saved = SaveDescription(*path, image, seam); !saved) {
    seam.ShowNotice(kNoticeFailure, saved.reason());
  }
}

void ResetToDescription(const std::string& device_name, ChipImage& image, EngineSeam& seam) {
  if (Status loaded = LoadDescription(DescriptionPath(device_name), image, seam); !loaded) {
    seam.ShowNotice(kNoticeFailure, loaded.reason());
  }
}

void ConnectBitEditor(LockFuseEditor& editor, const BitEditorCommands& commands) {
  editor.on_write = [run = commands.run](FuseGroup group) {
    run([group](Programmer& programmer) { programmer.FuseByteWrite(group); });
  };
  editor.on_read = [run = commands.run](FuseGroup group) {
    run([group](Programmer& programmer) { programmer.FuseByteRead(group); });
  };
  editor.on_reset = [commands] {
    if (commands.may_change_description && !commands.may_change_description()) return;
    ResetToDescription(commands.device_name ? commands.device_name() : std::string(),
                       commands.image, commands.seam);
  };
  editor.on_save = [commands] { SaveToDescription(commands.image, commands.seam); };
}

}  // namespace tolmeo
