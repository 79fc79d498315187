// Tolmeo's entry: the five top-level windows in their order (main window, drop-down list,
// settings dialog, message box, balloon help), then the message loop until the main window
// closes.
#include <cstdio>
#include <exception>

#include "app/main_form.h"
#include "base/cp949.h"
#include "form/application.h"
#include "form/sdl_backend.h"
#include "form/system_desktop.h"
#include "formats/ide_options.h"
#include "isp/chip_image.h"
#include "shell/ide_balloonbox.h"
#include "shell/ide_msgbox.h"
#include "shell/ide_submenu.h"

namespace tolmeo {
namespace {

void RunWindows(Application& app) {
  Tmain_Form main(OptionsRef(), ChipImageRef());
  main.SetCaption("Tolmeo");
  app.SetMainForm(&main);
  Tide_submenu_Form submenu(OptionsRef());
  // The settings dialog comes third and answers main.show_settings.
  Tide_msgbox_Form msgbox(OptionsRef());
  Tide_BalloonBox_Form balloon(OptionsRef());
  main.AttachShellWindows(submenu, msgbox);
  main.Show();
  app.Run();
}

int Start() {
  auto backend = StartSdlBackend();
  if (!backend) {
    std::fprintf(stderr, "tolmeo: %s\n", Utf8FromCp949(backend.reason()).c_str());
    return 1;
  }
  Application app(std::move(*backend));
  app.SetDesktop(std::make_unique<SystemDesktop>());
  app.SetTitle("Tolmeo");
  try {
    RunWindows(app);
  } catch (const std::exception& error) {
    app.ShowException(error);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace tolmeo

int main() { return tolmeo::Start(); }
