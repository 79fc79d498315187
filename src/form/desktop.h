#pragma once
// What Tolmeo asks of the desktop beyond windows: the file and colour dialogs, opening a page
// in the browser, the clipboard's text and where the input method puts its candidate window.
// Texts are CP949 on this side; the implementation converts at the boundary.
#include <optional>
#include <string>

#include "base/result.h"
#include "gfx/bitmap.h"

namespace tolmeo {

struct FileDialog {
  std::string title;           // CP949
  std::string initial_folder;  // CP949, may be empty
  // CP949 filter text: "name|pattern[;pattern]|name|pattern...", the first pair chosen.
  std::string filter;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // A chosen path (CP949); nullopt when the user cancelled; a Failure when no dialog could be
  // shown (the reason says what to install).
  virtual Result<std::optional<std::string>> ChooseFileToOpen(const FileDialog& dialog) = 0;
  virtual Result<std::optional<std::string>> ChooseFileToSave(const FileDialog& dialog) = 0;
  virtual Result<std::optional<Color>> ChooseColor(Color initial) = 0;
  virtual Status OpenInBrowser(const std::string& cp949_path_or_address) = 0;
  virtual std::string ClipboardText() = 0;  // CP949; empty when the clipboard holds no text
  virtual void SetClipboardText(const std::string& cp949_text) = 0;
  // The input method's candidate window goes beside this screen rectangle (the caret).
  virtual void SetTextInputRect(const Rect& screen_rect) = 0;
};

}  // namespace tolmeo
