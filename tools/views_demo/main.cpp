// Shows the programmer window with the SDL backend, in a frame of the main window's size: the
// ATmega8 description loaded, the test firmware in the Flash and EEPROM images.
//   views_demo                         opens the window; the tabs switch the views
//   views_demo --screenshot FILE.bmp   writes FILE-flash.bmp, FILE-eeprom.bmp and
//                                      FILE-settings.bmp (the programmer window only), exits
// Works without a display under SDL_VIDEODRIVER=dummy or xvfb-run.
#include <memory>
#include <string>

#include "base/cp949.h"
#include "demo_common/run_demo.h"
#include "formats/ide_options.h"
#include "form/application.h"
#include "isp/device_description.h"
#include "isp/hex_documents.h"
#include "views/ide_avr.h"
#include "views/gui_engine_seam.h"
#include "widgets/gui_label.h"
#include "widgets/gui_progress.h"

namespace tolmeo {
namespace {

constexpr char kDemo[] = "views_demo";

class MainFrame : public Form {
 public:
  MainFrame() {
    SetBounds(Rect{100, 40, 680, 719});
    SetCaption("Tolmeo views demo");
  }

 protected:
  void FormClose(CloseAction&) override { Application::Current().Terminate(); }
};

// The demo has no command panel: the seam's bars and document labels are there, hidden.
struct HiddenPanel {
  explicit HiddenPanel(Form& frame)
      : flash_bar(&frame, OptionsRef()),
        eeprom_bar(&frame, OptionsRef()),
        flash_label(&frame, OptionsRef()),
        eeprom_label(&frame, OptionsRef()) {}
  EngineWindows For(Tide_AVR_Form& avr) {
    return EngineWindows{flash_bar, eeprom_bar, flash_label, eeprom_label, avr};
  }
  Tgui_Progress_Form flash_bar;
  Tgui_Progress_Form eeprom_bar;
  Tgui_Label_Form flash_label;
  Tgui_Label_Form eeprom_label;
};

std::string ShotPath(const std::string& base, const char* view) {
  std::string stem = base;
  if (stem.ends_with(".bmp")) stem.resize(stem.size() - 4);
  return stem + "-" + view + ".bmp";
}

// The programmer window's part of the frame's last picture.
Status SaveView(const MainFrame& frame, const Tide_AVR_Form& avr, const std::string& utf8_path) {
  const Bitmap* picture = frame.WindowPicture();
  if (!picture) return Failure{"no window picture"};
  Bitmap shot(avr.width(), avr.height());
  shot.CopyFrom(*picture, avr.left(), avr.top(), avr.width(), avr.height(), 0, 0);
  return SaveBmp(shot, Cp949FromUtf8(utf8_path));
}

int ShowViews(Application& app, const std::string& screenshot_path) {
  auto image = std::make_unique<ChipImage>();
  MainFrame frame;
  Tide_AVR_Form avr(frame, OptionsRef(), *image, 3);
  HiddenPanel panel(frame);
  GuiEngineSeam seam(panel.For(avr), *image);
  if (Status loaded = LoadDescription(DescriptionPath("ATmega8"), *image, seam); !loaded) {
    ReportFailure(kDemo, loaded.reason());
  }
  OpenFlashDocument(TOLMEO_FIRMWARE_DIR "blink.hex", *image, seam);
  OpenEepromDocument(TOLMEO_FIRMWARE_DIR "blink_eeprom.hex", *image, seam);
  avr.Show();
  frame.Show();
  app.RunPendingMessages();
  if (screenshot_path.empty()) {
    app.SetMainForm(&frame);
    app.Run();
    return 0;
  }
  const char* views[] = {"flash", "eeprom", "settings"};
  for (int tab = kFlashTab; tab <= kAvrSettingsTab; ++tab) {
    avr.block_tabs().SetSelected(tab);
    if (tab == kFlashTab) avr.horizontal_bar().SetPosition(0);
    app.RunPendingMessages();
    if (Status saved = SaveView(frame, avr, ShotPath(screenshot_path, views[tab])); !saved) {
      ReportFailure(kDemo, saved.reason());
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace tolmeo

int main(int argc, char** argv) {
  return tolmeo::RunDemo(tolmeo::kDemo, argc, argv, tolmeo::ShowViews);
}
