// Tolmeo's entry. The main window with its command panel and the programmer window come in a
// later version; until then Tolmeo starts what exists (fonts, options, the message box) and
// says so, and tolmeo-cli programs chips on the same engine.
#include <cstdio>
#include <exception>

#include "base/cp949.h"
#include "formats/ide_options.h"
#include "form/application.h"
#include "form/sdl_backend.h"
#include "isp/engine_seam.h"
#include "shell/ide_msgbox.h"
#include "gfx/font_store.h"

namespace tolmeo {
namespace {

const std::string& NotYetText() {
  return Ktext(u8"Tolmeo 의 주 창은 아직 만들어지지 않았습니다.\r\n"
               u8"글꼴, 설정, 알림 창은 준비되었습니다.\r\n"
               u8"칩을 프로그램하려면 tolmeo-cli 를 사용해 주세요.\r\n"
               u8"(tolmeo-cli --help)");
}

int Start() {
  auto backend = StartSdlBackend();
  if (!backend) {
    std::fprintf(stderr, "tolmeo: %s\n", Utf8FromCp949(backend.reason()).c_str());
    return 1;
  }
  Application app(std::move(*backend));
  // Without its fonts Tolmeo cannot draw a single word, so it stops before any window.
  if (Status fonts = LoadFonts(); !fonts) {
    std::fprintf(stderr, "tolmeo: %s\n", Utf8FromCp949(fonts.reason()).c_str());
    return 1;
  }
  LoadOptions();  // a missing or damaged file leaves the defaults
  {
    Tide_msgbox_Form box(OptionsRef());
    box.ShowNotice(kNoticeInfo, NotYetText());
  }
  FreeFonts();
  return 0;
}

}  // namespace
}  // namespace tolmeo

int main() {
  try {
    return tolmeo::Start();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tolmeo: %s\n", error.what());
    return 1;
  }
}
