#pragma once
// The engine seam of the running Tolmeo, the one wiring of the engine to the windows: notices
// and questions in the message box, the command panel's progress bars and document labels,
// the programmer window's memory viewer and bit editor, and the desktop's file dialogs. What
// the windows show comes from the chip image; the seam only tells them that it changed.
#include <cstdint>
#include <optional>
#include <string>

#include "base/result.h"
#include "isp/engine_seam.h"
#include "shell/ide_msgbox.h"
#include "views/ide_avr.h"
#include "widgets/gui_label.h"
#include "widgets/gui_progress.h"

namespace tolmeo {

// The windows that show the engine's work.
struct EngineWindows {
  Tgui_Progress_Form& flash_bar;
  Tgui_Progress_Form& eeprom_bar;
  Tgui_Label_Form& flash_label;
  Tgui_Label_Form& eeprom_label;
  Tide_AVR_Form& programmer_window;
};

// The message box is created after the main window that builds the seam, so it comes later:
// until it is there, notices go nowhere and questions answer Cancel, so nothing goes ahead
// unasked.
class GuiEngineSeam : public EngineSeam {
 public:
  GuiEngineSeam(const EngineWindows& windows, const ChipImage& image);

  void SetMsgbox(Tide_msgbox_Form* msgbox) { msgbox_ = msgbox; }

  void ShowNotice(int kind, const std::string& text) override;
  bool AskConfirm(int kind, const std::string& text) override;

  // Values beyond the bar's 32-bit range are taken as its nearest end.
  void ShowProgress(Memory bar, std::int64_t min, std::int64_t max) override;
  void SetProgressPosition(Memory bar, std::int64_t value) override;
  void HideProgress(Memory bar) override;

  // The viewer takes the chip's sizes for its scroll range and redraws in its stored mode.
  void ImageChanged() override;
  void BitsChanged() override;
  // The label's text and its balloon text are the same: the path, or the no-document text.
  void DocumentChanged(Memory memory) override;

  // A desktop without a dialog program says which package to install, and the dialog counts as
  // cancelled.
  std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                              const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& title,
                                              const std::string& initial_folder,
                                              const std::string& filter) override;

  void RunPendingMessages() override;

 private:
  Tgui_Progress_Form& Bar(Memory bar);
  Tgui_Label_Form& Label(Memory memory);
  std::optional<std::string> Answer(Result<std::optional<std::string>> chosen);

  EngineWindows windows_;
  const ChipImage& image_;
  Tide_msgbox_Form* msgbox_ = nullptr;
};

}  // namespace tolmeo
