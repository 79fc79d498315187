#include "views/gui_engine_seam.h"

#include <algorithm>
#include <limits>

#include "form/application.h"
#include "form/desktop.h"
#include "isp/hex_documents.h"

namespace tolmeo {
namespace {

std::int32_t ToBarValue(std::int64_t value) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

GuiEngineSeam::GuiEngineSeam(const EngineWindows& windows, const ChipImage& image)
    : windows_(windows), image_(image) {}

void GuiEngineSeam::ShowNotice(int kind, const std::string& text) {
  if (msgbox_) msgbox_->ShowNotice(kind, text);
}

bool GuiEngineSeam::AskConfirm(int kind, const std::string& text) {
  return msgbox_ && msgbox_->AskConfirm(kind, text);
}

Tgui_Progress_Form& GuiEngineSeam::Bar(Memory bar) {
  return bar == Memory::Flash ? windows_.flash_bar : windows_.eeprom_bar;
}

Tgui_Label_Form& GuiEngineSeam::Label(Memory memory) {
  return memory == Memory::Flash ? windows_.flash_label : windows_.eeprom_label;
}

void GuiEngineSeam::ShowProgress(Memory bar, std::int64_t min, std::int64_t max) {
  Tgui_Progress_Form& shown = Bar(bar);
  shown.SetMin(ToBarValue(min));
  shown.SetMax(ToBarValue(max));
  shown.SetPosition(ToBarValue(min));
  shown.Show();
}

void GuiEngineSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  Bar(bar).SetPosition(ToBarValue(value));
}

void GuiEngineSeam::HideProgress(Memory bar) { Bar(bar).Hide(); }

void GuiEngineSeam::ImageChanged() {
  Tmemory_Viewer_Form& viewer = windows_.programmer_window.viewer();
  viewer.UpdateScrollRange();
  viewer.Refresh(viewer.view_mode());
}

void GuiEngineSeam::BitsChanged() { windows_.programmer_window.bit_editor().ShowBits(); }

void GuiEngineSeam::DocumentChanged(Memory memory) {
  const std::string& path = image_.documents.Of(memory);
  const std::string& text = path.empty() ? NoDocumentText(memory) : path;
  Label(memory).SetText(text);
  Label(memory).SetBalloonText(text);
}

std::optional<std::string> GuiEngineSeam::ChooseFileToOpen(const std::string& title,
                                                           const std::string& filter) {
  return Answer(Application::Current().desktop().ChooseFileToOpen(FileDialog{title, "", filter}));
}

std::optional<std::string> GuiEngineSeam::ChooseFileToSave(const std::string& title,
                                                           const std::string& initial_folder,
                                                           const std::string& filter) {
  return Answer(Application::Current().desktop().ChooseFileToSave(
      FileDialog{title, initial_folder, filter}));
}

std::optional<std::string> GuiEngineSeam::Answer(Result<std::optional<std::string>> chosen) {
  if (chosen) return *chosen;
  ShowNotice(kNoticeFailure, chosen.reason());
  return std::nullopt;
}

void GuiEngineSeam::RunPendingMessages() { Application::Current().RunPendingMessages(); }

}  // namespace tolmeo
