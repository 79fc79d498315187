#pragma once
// The programmer views on the headless screen: a stand-in main window of 680 x 719, a chip
// image of 8 KB Flash and 512 bytes EEPROM, and a white background (brightness 255), so the
// black ink of the texts can be compared with texts drawn alone.
#include <memory>
#include <string>

#include "gfx/colors.h"
#include "gfx/picture.h"
#include "gfx/text_drawing.h"
#include "isp/chip_image.h"
#include "views/ide_avr.h"
#include "widgets/widget_fixture.h"

namespace tolmeo::testing {

inline std::unique_ptr<ChipImage> SmallChip() {
  auto image = std::make_unique<ChipImage>();
  image->flashSize = 8192;
  image->flashPageSize = 64;
  image->eepromSize = 512;
  image->InitFlashImage();
  image->InitEepromImage();
  return image;
}

// True when text drawn alone with style at (pen x 0, y) has its black ink exactly where
// picture has black, within the text's cells from x_from on.
inline bool ShowsText(const Bitmap& picture, const TextStyle& style, std::string_view text, int y,
                      int x_from = 0) {
  Bitmap alone(picture.width(), picture.height(), kWhite);
  PenEnd end = DrawText(alone, style, 0, text, kTransparent, kWhite, kBlack, y);
  int cell_height = MeasureText(style, text)->height;
  for (int row = y; row < y + cell_height; ++row) {
    for (int x = x_from; x < end.x + style.xOffset; ++x) {
      if ((alone.Pixel(x, row) == kBlack) != (picture.Pixel(x, row) == kBlack)) return false;
    }
  }
  return true;
}

class ViewsTest : public WidgetTest {
 protected:
  explicit ViewsTest(std::unique_ptr<HeadlessBackend> backend = std::make_unique<HeadlessBackend>())
      : WidgetTest(std::move(backend)), main(MakeMain()) {
    options.brightness = 255;
    options.backgroundPicturePath.clear();
  }
  ProbeForm& MakeMain() {
    ProbeForm& form = Make<ProbeForm>("main", log, kWhite);
    form.SetBounds(Rect{20, 20, 680, 719});
    form.Show();
    return form;
  }
  Tide_AVR_Form& MakeProgrammerWindow() {
    Tide_AVR_Form& made = Make<Tide_AVR_Form>(main, options, *image, 3);
    made.Show();
    Pump();
    return made;
  }
  // Pointer actions at a point of the programmer window.
  void MoveOver(const Form& form, int x, int y) {
    Point at = form.ClientToScreen(Point{x, y});
    screen->MoveMouse(at.x, at.y);
    Pump();
  }
  void ClickOn(const Form& form, int x, int y) {
    MoveOver(form, x, y);
    Press();
    Release();
  }

  std::unique_ptr<ChipImage> image = SmallChip();
  ProbeForm& main;
};

}  // namespace tolmeo::testing
