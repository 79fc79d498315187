// Tolmeo's entry: the five top-level windows in their order (main window, drop-down list,
// settings dialog, message box, balloon help), then the message loop until the main window
// closes.
#include <cstdio>
#include <exception>
#include <optional>

#include "app/ide_cabledialog.h"
#include "app/ide_dialogbox.h"
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

// What the settings dialog changes in the other windows. The message box and the balloon are
// made after the dialog; the dialog only reaches them once it is shown.
SettingsHooks SettingsHooksFor(Tmain_Form& main, std::optional<Tide_msgbox_Form>& msgbox,
                               std::optional<Tide_BalloonBox_Form>& balloon) {
  Tmemory_Viewer_Form& viewer = main.programmer_window().viewer();
  SettingsHooks hooks;
  hooks.set_background_picture = [&viewer](const std::string& path) {
    viewer.SetBackgroundPicture(path);
  };
  hooks.set_background_brightness = [&viewer](int brightness) {
    viewer.SetBackgroundBrightness(brightness);
  };
  hooks.main_translucent = [&main] { return main.alpha_blend(); };
  hooks.set_main_translucency = [&main](bool on, std::uint8_t opacity) {
    main.SetAlphaBlend(on, opacity);
  };
  hooks.apply_balloon_translucency = [&balloon] {
    if (balloon) balloon->ApplyTranslucency();
  };
  hooks.show_notice = [&msgbox](int kind, std::string_view text) {
    if (msgbox) msgbox->ShowNotice(kind, text);
  };
  return hooks;
}

CableDialogHooks CableHooksFor(Tmain_Form& main, std::optional<Tide_msgbox_Form>& msgbox) {
  CableDialogHooks hooks;
  hooks.probe = [&main](ProbeDone done) { return main.ProbeCables(std::move(done)); };
  hooks.apply = [&main] { return main.TakeOptionsCable(); };
  hooks.show_notice = [&msgbox](int kind, std::string_view text) {
    if (msgbox) msgbox->ShowNotice(kind, text);
  };
  return hooks;
}

void RunWindows(Application& app) {
  Tmain_Form main(OptionsRef(), ChipImageRef());
  main.SetCaption("Tolmeo");
  app.SetMainForm(&main);
  Tide_submenu_Form submenu(OptionsRef());
  std::optional<Tide_msgbox_Form> msgbox;
  std::optional<Tide_BalloonBox_Form> balloon;
  Tide_dialogbox_Form dialog(OptionsRef(), SettingsHooksFor(main, msgbox, balloon));
  main.show_settings = [&dialog] { dialog.ShowModal(); };
  Tide_cable_Form cable_dialog(OptionsRef(), CableHooksFor(main, msgbox));
  main.show_cable_settings = [&cable_dialog] { cable_dialog.ShowModal(); };
  msgbox.emplace(OptionsRef());
  balloon.emplace(OptionsRef());
  main.AttachShellWindows(submenu, *msgbox);
  main.Show();
  main.ReportStartupProblems();
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
