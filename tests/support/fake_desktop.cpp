#include "support/fake_desktop.h"

namespace tolmeo {

Result<std::optional<std::string>> FakeDesktop::NextFileAnswer() {
  if (file_answers.empty()) return std::optional<std::string>{};
  auto answer = std::move(file_answers.front());
  file_answers.pop_front();
  return answer;
}

Result<std::optional<std::string>> FakeDesktop::ChooseFileToOpen(const FileDialog& dialog) {
  open_requests.push_back(dialog);
  return NextFileAnswer();
}

Result<std::optional<std::string>> FakeDesktop::ChooseFileToSave(const FileDialog& dialog) {
  save_requests.push_back(dialog);
  return NextFileAnswer();
}

Result<std::optional<Color>> FakeDesktop::ChooseColor(Color initial) {
  color_requests.push_back(initial);
  if (color_answers.empty()) return std::optional<Color>{};
  auto answer = std::move(color_answers.front());
  color_answers.pop_front();
  return answer;
}

FakeDesktop& AttachFakeDesktop(Application& app) {
  auto desktop = std::make_unique<FakeDesktop>();
  FakeDesktop& attached = *desktop;
  app.SetDesktop(std::move(desktop));
  return attached;
}

Status FakeDesktop::OpenInBrowser(const std::string& cp949_path_or_address) {
  opened_in_browser.push_back(cp949_path_or_address);
  return Success();
}

}  // namespace tolmeo
