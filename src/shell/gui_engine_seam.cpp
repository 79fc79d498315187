#include "shell/gui_engine_seam.h"

#include <algorithm>
#include <limits>

#include "form/application.h"

namespace tolmeo {
namespace {

std::int32_t ToBarValue(std::int64_t value) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

GuiEngineSeam::GuiEngineSeam(Tgui_Progress_Form& flash_bar, Tgui_Progress_Form& eeprom_bar)
    : flash_bar_(flash_bar), eeprom_bar_(eeprom_bar) {}

void GuiEngineSeam::ShowNotice(int kind, const std::string& text) {
  if (msgbox_) msgbox_->ShowNotice(kind, text);
}

bool GuiEngineSeam::AskConfirm(int kind, const std::string& text) {
  return msgbox_ && msgbox_->AskConfirm(kind, text);
}

Tgui_Progress_Form& GuiEngineSeam::Bar(Memory bar) {
  return bar == Memory::Flash ? flash_bar_ : eeprom_bar_;
}

void GuiEngineSeam::SetProgressMin(Memory bar, std::int64_t value) {
  Bar(bar).SetMin(ToBarValue(value));
}

void GuiEngineSeam::SetProgressMax(Memory bar, std::int64_t value) {
  Bar(bar).SetMax(ToBarValue(value));
}

void GuiEngineSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  Bar(bar).SetPosition(ToBarValue(value));
}

void GuiEngineSeam::ShowProgress(Memory bar) { Bar(bar).Show(); }

void GuiEngineSeam::HideProgress(Memory bar) { Bar(bar).Hide(); }

void GuiEngineSeam::RunPendingMessages() { Application::Current().RunPendingMessages(); }

}  // namespace tolmeo
