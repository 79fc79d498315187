#pragma once
// A scripted desktop for tests: dialogs answer from queues (an empty queue answers
// "cancelled"), and every request is recorded for the test to read.
#include <deque>
#include <vector>

#include "form/application.h"
#include "form/desktop.h"

namespace tolmeo {

class FakeDesktop : public Desktop {
 public:
  // What the next dialogs answer, in order: a path (CP949), nullopt for cancel, or a Failure.
  std::deque<Result<std::optional<std::string>>> file_answers;
  std::deque<Result<std::optional<Color>>> color_answers;

  std::vector<FileDialog> open_requests;
  std::vector<FileDialog> save_requests;
  std::vector<Color> color_requests;
  std::vector<std::string> opened_in_browser;
  std::string clipboard;  // CP949
  Rect text_input_rect;

  void AnswerFile(std::optional<std::string> cp949_path) { file_answers.emplace_back(std::move(cp949_path)); }
  void AnswerColor(std::optional<Color> color) { color_answers.emplace_back(color); }

  Result<std::optional<std::string>> ChooseFileToOpen(const FileDialog& dialog) override;
  Result<std::optional<std::string>> ChooseFileToSave(const FileDialog& dialog) override;
  Result<std::optional<Color>> ChooseColor(Color initial) override;
  Status OpenInBrowser(const std::string& cp949_path_or_address) override;
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& cp949_text) override { clipboard = cp949_text; }
  void SetTextInputRect(const Rect& screen_rect) override { text_input_rect = screen_rect; }

 private:
  Result<std::optional<std::string>> NextFileAnswer();
};

// Makes app's desktop a new FakeDesktop, kept by app, for the test to script and read.
FakeDesktop& AttachFakeDesktop(Application& app);

}  // namespace tolmeo
