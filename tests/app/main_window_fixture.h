#pragma once
// Tolmeo's main window on the headless screen, started the way the entry starts it, from a run
// folder of the test's own: the real fonts and pictures, the descriptions the test puts there
// and an options file naming the virtual AVR as the cable. Message boxes are answered with OK
// as a user would, and their texts are kept.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "base/cp949.h"
#include "base/file_system.h"
#include "form/headless_fixture.h"
#include "formats/ide_options.h"
#include "support/fake_desktop.h"
#include "support/temp_folder.h"

namespace tolmeo::testing {

// A headless screen that lets a test look in at every pass of a message loop, the ones a
// running command makes included.
class WatchingBackend : public HeadlessBackend {
 public:
  std::function<void()> on_poll;
  std::optional<BackendEvent> PollEvent() override {
    if (on_poll) on_poll();
    return HeadlessBackend::PollEvent();
  }
};

class MainWindowTest : public HeadlessTest {
 protected:
  MainWindowTest() : HeadlessTest(std::make_unique<WatchingBackend>()) {
    namespace fs = std::filesystem;
    for (const char* shared : {"font", "sysbmp", "help", "image"}) {
      fs::create_directory_symlink(fs::path(TOLMEO_RUN_DIR) / shared, folder.path() / shared);
    }
    fs::create_directory(folder.path() / "AvrSpec");
    fs::create_directory(folder.path() / "opt");
    SetExeFolderForTesting(folder.Cp949Path());
    IdeOptions file = DefaultOptions();
    file.cable = "sim";
    WriteOptions(file);
  }
  ~MainWindowTest() override {
    DestroyForms();
    SetExeFolderForTesting("");
  }

  void AddDescription(const std::string& name) {
    std::filesystem::copy_file(
        std::filesystem::path(TOLMEO_RUN_DIR) / "AvrSpec" / (name + ".avrspec"),
        folder.path() / "AvrSpec" / (name + ".avrspec"));
  }
  void WriteOptions(const IdeOptions& file) { folder.Write("opt/opt.opt", FormatOptions(file)); }

  // The five windows in the entry's order (the settings dialog is its own helper's).
  void Start() {
    main = &Make<Tmain_Form>(options, *image);
    submenu = &Make<Tide_submenu_Form>(options);
    msgbox = &Make<Tide_msgbox_Form>(options);
    main->AttachShellWindows(*submenu, *msgbox);
    app->SetMainForm(main);
    main->Show();
    screen->on_wait = [this] { AnswerOk(); };
    main->ReportStartupProblems();
    Pump();
  }

  WatchingBackend& watching() { return static_cast<WatchingBackend&>(*screen); }
  FakeDesktop& desktop() { return scripted_desktop; }
  void ClickOn(const Form& control, int x = 5, int y = 5) {
    Point at = control.ClientToScreen(Point{x, y});
    screen->Click(at.x, at.y);
    Pump();
  }
  void ClickCommand(PanelCommand command) { ClickOn(main->panel().command_button(command)); }
  void OpenDocument(Memory memory, const std::string& cp949_path) {
    desktop().AnswerFile(cp949_path);
    ClickOn(main->panel().open_button(memory));
  }

  IdeOptions options;
  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  TempFolder folder;
  Tmain_Form* main = nullptr;
  Tide_submenu_Form* submenu = nullptr;
  Tide_msgbox_Form* msgbox = nullptr;
  std::vector<std::string> notices;  // CP949, in order
  FakeDesktop& scripted_desktop = AttachFakeDesktop(*app);

 private:
  // Each wait with the box up is a new showing: the click that answered the last one has been
  // handled by then.
  void AnswerOk() {
    if (!msgbox || !msgbox->visible() || notices.size() > 50) return;
    notices.push_back(msgbox->text());
    Point at = msgbox->ok_button().ClientToScreen(Point{30, 10});
    screen->Click(at.x, at.y);
  }
};

}  // namespace tolmeo::testing
