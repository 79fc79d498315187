#pragma once
// The desktop of an application that has none attached (SetDesktop was never called): no
// dialogs and no browser, each of them answering a Failure that says so, and a clipboard kept
// in memory, shared only within the program.
#include "form/desktop.h"

namespace tolmeo {

class DetachedDesktop : public Desktop {
 public:
  Result<std::optional<std::string>> ChooseFileToOpen(const FileDialog& dialog) override;
  Result<std::optional<std::string>> ChooseFileToSave(const FileDialog& dialog) override;
  Result<std::optional<Color>> ChooseColor(Color initial) override;
  Status OpenInBrowser(const std::string& cp949_path_or_address) override;
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(const std::string& cp949_text) override { clipboard_ = cp949_text; }
  void SetTextInputRect(const Rect&) override {}

 private:
  std::string clipboard_;  // CP949
};

}  // namespace tolmeo
