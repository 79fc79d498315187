#include "form/detached_desktop.h"

#include "base/cp949.h"

namespace tolmeo {
namespace {

Failure NoDialog(const std::string& cp949_title) {
  return Failure{Ktext(u8"데스크톱이 연결되지 않아 대화 상자를 보일 수 없습니다: ") + cp949_title};
}

}  // namespace

Result<std::optional<std::string>> DetachedDesktop::ChooseFileToOpen(const FileDialog& dialog) {
  return NoDialog(dialog.title);
}

Result<std::optional<std::string>> DetachedDesktop::ChooseFileToSave(const FileDialog& dialog) {
  return NoDialog(dialog.title);
}

Result<std::optional<Color>> DetachedDesktop::ChooseColor(Color) { return NoDialog(Ktext(u8"색 고르기")); }

Status DetachedDesktop::OpenInBrowser(const std::string& cp949_path_or_address) {
  return Failure{Ktext(u8"데스크톱이 연결되지 않아 웹 브라우저를 열 수 없습니다: ") + cp949_path_or_address};
}

}  // namespace tolmeo
