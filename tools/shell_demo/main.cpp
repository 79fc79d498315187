// Shows Tolmeo's shell windows with the SDL backend: a panel of labels, buttons, a progress bar
// and pictures, and the message box asking a question over it.
//   shell_demo                         opens the panel; "질문" asks, "닫기" closes
//   shell_demo --screenshot FILE.bmp   asks once, writes the screen under both windows, exits
// Works without a display under SDL_VIDEODRIVER=dummy or xvfb-run.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "demo_common/run_demo.h"
#include "formats/ide_options.h"
#include "form/application.h"
#include "form/form_timer.h"
#include "gfx/palette.h"
#include "isp/isp_instructions.h"
#include "shell/ide_balloonbox.h"
#include "shell/ide_msgbox.h"
#include "widgets/gui_captionbar.h"
#include "widgets/gui_label.h"
#include "widgets/gui_bmpbutton.h"
#include "widgets/gui_button.h"
#include "widgets/gui_edgebox.h"
#include "widgets/gui_imagebox.h"
#include "widgets/gui_progress.h"

namespace tolmeo {
namespace {

constexpr char kDemo[] = "shell_demo";

// The engine's signature question, as a chip of another type would make it ask.
std::string Question() { return SignatureQuestion({0x1E, 0x95, 0x0F}, {0x1E, 0x95, 0x14}); }

class DemoPanel : public Form {
 public:
  DemoPanel(const IdeOptions& options, Tide_msgbox_Form& box) : options_(options), box_(box) {
    SetBounds(Rect{340, 230, 600, 300});
    SetCaption("Tolmeo shell demo");
    auto& caption = Add(std::make_unique<Tgui_captionbar_Form>(*this, options));
    caption.SetCaption(Ktext(u8" Flash 보기 "));
    caption.SetFillColor(PaletteOf(options.overallColor).caption);
    const char8_t* commands[] = {u8"지우기", u8"쓰기", u8"읽기", u8"비교", u8"질문", u8"닫기"};
    for (int i = 0; i < 6; ++i) {
      auto& button =
          Place(std::make_unique<Tgui_button_Form>(this, options), 10 + i * 60, 26, 54, 20);
      button.SetCaption(Cp949FromUtf8(reinterpret_cast<const char*>(commands[i])));
      button.SetBalloonEnabled(true);
      button.SetBalloonText(button.caption());
      if (i == 4) button.on_click = [this] { box_.AskConfirm(1, Question()); };
      if (i == 5) button.on_click = [this] { Close(); };
    }
    const char* pictures[] = {"min.bmp", "max.bmp", "close.bmp"};
    for (int i = 0; i < 3; ++i) {
      auto& button =
          Place(std::make_unique<Tgui_bmpbutton_Form>(this, options), 546 + i * 16, 30, 12, 12);
      button.SetFramed(true);
      button.LoadImage(DataFolder() + "sysbmp/control/" + pictures[i]);
      button.SetImageWidth(12);
      button.SetImageHeight(12);
    }
    AddDocumentRow(60, "Flash:", Ktext(u8"/home/tolmeo/펌웨어/blink.hex"));
    AddDocumentRow(84, "EEprom:", Ktext(u8"/home/tolmeo/펌웨어/blink.eep"));
    auto& bar = Place(std::make_unique<Tgui_Progress_Form>(this, options), 72, 84, 518, 18);
    bar.SetInset(3);
    bar.SetBackColor(PaletteOf(options.overallColor).field);
    bar.SetBarColor(PaletteOf(options.overallColor).highlight);
    bar.SetMin(0);
    bar.SetMax(511);
    bar.SetPosition(300);
    for (int kind = 0; kind < 4; ++kind) {
      auto& icon =
          Place(std::make_unique<Tgui_imagebox_Form>(this, options), 10 + kind * 44, 240, 38, 36);
      icon.SetImageWidth(38);
      icon.SetImageHeight(36);
      icon.SetStripMode(true);
      icon.SetFrameWidth(38);
      icon.SetFrameIndex(kind);
      icon.LoadImage(DataFolder() + "sysbmp/msgbox/msgbox.bmp");
    }
    Place(std::make_unique<Tgui_edgebox_Form>(this, options), 586, 286, 14, 14);
  }

 private:
  template <typename Control>
  Control& Add(std::unique_ptr<Control> control) {
    Control& added = *control;
    added.SetParent(this);
    added.Show();
    controls_.push_back(std::move(control));
    return added;
  }
  template <typename Control>
  Control& Place(std::unique_ptr<Control> control, int left, int top, int width, int height) {
    control->SetBounds(Rect{left, top, width, height});
    return Add(std::move(control));
  }
  void AddDocumentRow(int top, const std::string& name, const std::string& path) {
    auto& label = Place(std::make_unique<Tgui_Label_Form>(this, options_), 10, top, 60, 18);
    label.SetText(name);
    auto& document = Place(std::make_unique<Tgui_Label_Form>(this, options_), 72, top, 518, 18);
    document.SetText(path);
    document.SetBorder(true);
  }

  const IdeOptions& options_;
  Tide_msgbox_Form& box_;
  std::vector<std::unique_ptr<Form>> controls_;
};

// Pastes a top-level window's last picture onto the canvas where it lies on the screen,
// leaving out what its shape cuts away.
void Paste(Bitmap& canvas, const Form& window) {
  const Bitmap* picture = window.WindowPicture();
  if (!picture) return;
  const Region* shape = window.EffectiveShape();
  for (int y = 0; y < picture->height(); ++y) {
    for (int x = 0; x < picture->width(); ++x) {
      if (!shape || shape->Contains(x, y)) {
        canvas.SetPixel(window.left() + x, window.top() + y, picture->Pixel(x, y));
      }
    }
  }
}

Status SaveScreenshot(const std::vector<const Form*>& windows, const std::string& utf8_path) {
  Rect screen = Application::Current().ScreenRect();
  Bitmap canvas(screen.width, screen.height, 0x404040);
  for (const Form* window : windows) Paste(canvas, *window);
  return SaveBmp(canvas, Cp949FromUtf8(utf8_path));
}

int ShowPanel(Application& app, const std::string& screenshot_path) {
  Tide_msgbox_Form box(OptionsRef());
  Tide_BalloonBox_Form balloon(OptionsRef());
  DemoPanel panel(OptionsRef(), box);
  app.SetMainForm(&panel);
  panel.Show();
  app.RunPendingMessages();
  if (screenshot_path.empty()) {
    app.Run();
    return 0;
  }
  int exit_code = 0;
  // Taken from inside the box's modal loop, once it has been painted.
  FormTimer shot("shot_Timer", [&] {
    if (Status saved = SaveScreenshot({&panel, &box}, screenshot_path); !saved) {
      ReportFailure(kDemo, saved.reason());
      exit_code = 1;
    }
    box.Close();
  }, 300);
  shot.SetEnabled(true);
  box.AskConfirm(1, Question());
  return exit_code;
}

}  // namespace
}  // namespace tolmeo

int main(int argc, char** argv) {
  return tolmeo::RunDemo(tolmeo::kDemo, argc, argv, tolmeo::ShowPanel);
}
