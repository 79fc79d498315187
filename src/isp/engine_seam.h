#pragma once
// The only way the engine and the file readers reach the windows. The engine keeps its data in
// the chip image; through the seam it only reports what changed and asks what it must ask. The
// GUI implements it with the real windows, tests with a recorder, tolmeo-cli with text on a
// terminal.
#include <cstdint>
#include <optional>
#include <string>

#include "isp/chip_image.h"

namespace tolmeo {

// Message box kinds: the picture shown beside the text.
enum NoticeKind : int { kNoticeInfo = 0, kNoticeWarning = 1, kNoticeFailure = 3 };

class EngineSeam {
 public:
  virtual ~EngineSeam() = default;

  // Message box. Texts are CP949; AskConfirm is true for OK.
  virtual void ShowNotice(int kind, const std::string& text) = 0;
  virtual bool AskConfirm(int kind, const std::string& text) = 0;

  // The Flash and EEPROM progress bars of the command panel: shown at min over min..max,
  // moved, hidden.
  virtual void ShowProgress(Memory bar, std::int64_t min, std::int64_t max) = 0;
  virtual void SetProgressPosition(Memory bar, std::int64_t value) = 0;
  virtual void HideProgress(Memory bar) = 0;

  // What changed in the chip image, for the windows that show it: the memory images or the
  // chip's sizes; the lock and fuse bits or their names; a document's path.
  virtual void ImageChanged() = 0;
  virtual void BitsChanged() = 0;
  virtual void DocumentChanged(Memory memory) = 0;

  // The main window's file dialogs; nullopt when the user cancels.
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                                      const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const std::string& title,
                                                      const std::string& initial_folder,
                                                      const std::string& filter) = 0;

  // Lets pending window messages run once; the long loops call it between items.
  virtual void RunPendingMessages() = 0;
};

}  // namespace tolmeo
