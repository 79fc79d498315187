// Shows a few of Tolmeo's controls in one window with the SDL backend.
//   form_demo                         opens the window; its "닫기" button closes it
//   form_demo --screenshot FILE.bmp   paints the window once, writes it as a BMP and exits
// Works without a display under SDL_VIDEODRIVER=dummy or xvfb-run.
#include <memory>
#include <string>
#include <vector>

#include "base/cp949.h"
#include "demo_common/run_demo.h"
#include "formats/ide_options.h"
#include "form/application.h"
#include "widgets/gui_button.h"
#include "widgets/gui_progress.h"

namespace tolmeo {
namespace {

class DemoWindow : public Form {
 public:
  explicit DemoWindow(const IdeOptions& options) {
    SetBounds(Rect{100, 100, 420, 150});
    SetCaption("Tolmeo form demo");
    AddButton(options, 10, Ktext(u8"쓰기"));
    AddButton(options, 70, Ktext(u8"읽기"));
    AddButton(options, 130, Ktext(u8"비교"));
    Tgui_button_Form& close = AddButton(options, 330, Ktext(u8"닫기"));
    close.on_click = [this] { Close(); };
    AddBar(options, 50, 0, 100, 0);
    AddBar(options, 75, 0, 100, 50);
    AddBar(options, 100, 0x100, 0x1FF, 0x1FF);
    // A tab-shaped window, as Tolmeo's main window is: the strip right of the tab is cut away.
    Region shape = Region::FromRect(ClientRect());
    shape.SubtractRect(Rect{200, 0, 220, 6});
    SetShape(shape);
  }

 private:
  Tgui_button_Form& AddButton(const IdeOptions& options, int left, const std::string& caption) {
    auto button = std::make_unique<Tgui_button_Form>(this, options);
    button->SetParent(this);
    button->SetBounds(Rect{left, 10, 50, 20});
    button->SetCaption(caption);
    button->SetBalloonText(caption);
    button->Show();
    buttons_.push_back(std::move(button));
    return *buttons_.back();
  }

  void AddBar(const IdeOptions& options, int top, int minimum, int maximum, int position) {
    auto bar = std::make_unique<Tgui_Progress_Form>(this, options);
    bar->SetParent(this);
    bar->SetBounds(Rect{10, top, 400, 18});
    bar->SetInset(3);
    bar->SetMin(minimum);
    bar->SetMax(maximum);
    bar->SetPosition(position);
    bar->Show();
    bars_.push_back(std::move(bar));
  }

  std::vector<std::unique_ptr<Tgui_button_Form>> buttons_;
  std::vector<std::unique_ptr<Tgui_Progress_Form>> bars_;
};

constexpr char kDemo[] = "form_demo";

int ShowWindow(Application& app, const std::string& screenshot_path) {
  DemoWindow window(OptionsRef());
  window.Show();
  app.RunPendingMessages();
  if (screenshot_path.empty()) {
    app.SetMainForm(&window);
    app.Run();
    return 0;
  }
  if (Status saved = SaveBmp(*window.WindowPicture(), Cp949FromUtf8(screenshot_path)); !saved) {
    ReportFailure(kDemo, saved.reason());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace tolmeo

int main(int argc, char** argv) {
  return tolmeo::RunDemo(tolmeo::kDemo, argc, argv, tolmeo::ShowWindow);
}
