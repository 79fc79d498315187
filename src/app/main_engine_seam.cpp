#include "app/main_engine_seam.h"

#include "form/application.h"
#include "form/desktop.h"

namespace tolmeo {

MainEngineSeam::MainEngineSeam(MainPanel& panel, ProgrammerViews& views)
    : GuiEngineSeam(panel.progress_bar(Memory::Flash), panel.progress_bar(Memory::Eeprom)),
      panel_(panel),
      views_(views) {}

std::string MainEngineSeam::DocumentLabel(Memory memory) const {
  return panel_.document_label(memory).text();
}

void MainEngineSeam::SetDocumentLabel(Memory memory, const std::string& text) {
  Tgui_Label_Form& label = panel_.document_label(memory);
  label.SetText(text);
  label.SetBalloonText(text);
}

std::optional<std::string> MainEngineSeam::ChooseFileToOpen(const std::string& title,
                                                            const std::string& filter) {
  return Answer(Application::Current().desktop().ChooseFileToOpen(FileDialog{title, "", filter}));
}

std::optional<std::string> MainEngineSeam::ChooseFileToSave(const std::string& title,
                                                            const std::string& initial_folder,
                                                            const std::string& filter) {
  return Answer(Application::Current().desktop().ChooseFileToSave(
      FileDialog{title, initial_folder, filter}));
}

std::optional<std::string> MainEngineSeam::Answer(Result<std::optional<std::string>> chosen) {
  if (chosen) return *chosen;
  ShowNotice(kNoticeFailure, chosen.reason());
  return std::nullopt;
}

}  // namespace tolmeo
