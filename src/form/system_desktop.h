#pragma once
// The real desktop: file and colour choices through the desktop's own dialog programs (zenity,
// else kdialog), run as child processes; the browser, the clipboard and the input method's
// candidate window through SDL. Needs the SDL backend started. Paths cross here between the
// programs' UTF-8 and Tolmeo's CP949; a path CP949 cannot hold is refused, never changed.
#include <functional>
#include <memory>
#include <vector>

#include "form/desktop.h"
#include "form/dialog_commands.h"

namespace tolmeo {

class SystemDesktop : public Desktop {
 public:
  // The dialog programs to try, in order; argv[0] of each command is replaced by its path
  // when one is given (tests point it at scripts).
  struct Program {
    DialogProgram kind;
    std::string path;  // empty: the program's own name, looked up on PATH
  };
  static std::vector<Program> DefaultPrograms();

  explicit SystemDesktop(std::vector<Program> programs = DefaultPrograms());

  Result<std::optional<std::string>> ChooseFileToOpen(const FileDialog& dialog) override;
  Result<std::optional<std::string>> ChooseFileToSave(const FileDialog& dialog) override;
  Result<std::optional<Color>> ChooseColor(Color initial) override;
  Status OpenInBrowser(const std::string& cp949_path_or_address) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& cp949_text) override;
  void SetTextInputRect(const Rect& screen_rect) override;

 private:
  // A dialog program's answer: its output when the user chose, nullopt when cancelled.
  Result<std::optional<std::string>> RunDialog(
      const std::function<std::vector<std::string>(DialogProgram)>& command);
  Result<std::optional<std::string>> ChooseFile(const FileDialog& dialog, bool save);

  std::vector<Program> programs_;
};

// A path from outside in CP949, or nullopt when CP949 has no bytes for one of its characters.
std::optional<std::string> Cp949PathFromUtf8(const std::string& utf8_path);

}  // namespace tolmeo
