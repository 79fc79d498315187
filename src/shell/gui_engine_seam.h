#pragma once
// The windows' half of the engine seam that the shell can give: notices and questions in the
// message box, and the Flash and EEPROM progress bars of the command panel. The memory viewer,
// the bit editor, the document labels and the file dialogs belong to the windows built on
// top of the shell, which derive from this class and add them.
#include <cstdint>
#include <string>

#include "isp/engine_seam.h"
#include "shell/ide_msgbox.h"
#include "widgets/gui_progress.h"

namespace tolmeo {

// The message box is created after the main window that builds the seam, so it comes later:
// until it is there, notices go nowhere and questions answer Cancel, so nothing goes ahead
// unasked.
class GuiEngineSeam : public EngineSeam {
 public:
  GuiEngineSeam(Tgui_Progress_Form& flash_bar, Tgui_Progress_Form& eeprom_bar);

  void SetMsgbox(Tide_msgbox_Form* msgbox) { msgbox_ = msgbox; }

  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;

  // Values beyond the bar's 32-bit range are taken as its nearest end.
  void SetProgressMin(Memory bar, std::int64_t value) override;
  void SetProgressMax(Memory bar, std::int64_t value) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void ShowProgress(Memory bar) override;
  void HideProgress(Memory bar) override;

  void RunPendingMessages() override;

 private:
  Tgui_Progress_Form& Bar(Memory bar);

  Tide_msgbox_Form* msgbox_ = nullptr;
  Tgui_Progress_Form& flash_bar_;
  Tgui_Progress_Form& eeprom_bar_;
};

}  // namespace tolmeo
