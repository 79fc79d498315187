#pragma once
// The only way the engine and the file readers reach the windows. The GUI implements it with
// the real windows, tests with a recorder, tolmeo-cli with text on a terminal.
#include <cstdint>
#include <optional>
#include <string>

#include "isp/chip_image.h"

namespace tolmeo {

enum class Memory { Flash, Eeprom };

// Message box kinds: the picture shown beside the text.
enum NoticeKind : int { kNoticeInfo = 0, kNoticeWarning = 1, kNoticeFailure = 3 };

class EngineSeam {
 public:
  virtual ~EngineSeam() = default;

  // Message box. Texts are CP949; AskConfirm is true for OK.
  virtual void ShowNotice(int kind, const std::string& text) = 0;
  virtual bool AskConfirm(int kind, const std::string& text) = 0;

  // The Flash and EEPROM progress bars of the command panel.
  virtual void SetProgressMin(Memory bar, std::int64_t value) = 0;
  virtual void SetProgressMax(Memory bar, std::int64_t value) = 0;
  virtual void SetProgressPosition(Memory bar, std::int64_t value) = 0;
  virtual void ShowProgress(Memory bar) = 0;
  virtual void HideProgress(Memory bar) = 0;

  // The memory viewer: redraw in its stored view mode; recompute its scroll range.
  virtual void RefreshViewer() = 0;
  virtual void UpdateViewerScrollRange() = 0;

  // The lock and fuse bit editor. CollectBits sets the group's ChipImage byte from its boxes
  // (a checked box gives 0); ShowBits sets the boxes of the changeable bits from that byte.
  virtual void CollectBits(FuseGroup group) = 0;
  virtual void ShowBits(FuseGroup group) = 0;
  virtual BitBox GetBitBox(FuseGroup group, int bit) const = 0;
  virtual void SetBitBox(FuseGroup group, int bit, const BitBox& box) = 0;

  // The document labels of the command panel (text and balloon text alike).
  virtual std::string DocumentLabel(Memory memory) const = 0;
  virtual void SetDocumentLabel(Memory memory, const std::string& text) = 0;

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
