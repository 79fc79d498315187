#pragma once
// What Tolmeo's dialogs share: a window centred on the screen and kept on top, with a title tab
// at its top-left, a close button at the tab's right end that hides the window, the tab as the
// handle that moves it, and the frame of the framed windows around it. A dialog derives from
// it, adds its controls and draws only its body.
#include <span>
#include <string>
#include <string_view>

#include "form/pointer_drag.h"
#include "widgets/gui_bmpbutton.h"
#include "widgets/widget_base.h"

namespace tolmeo {

inline constexpr int kTabbedDialogTitleHeight = 22;

// A section heading of a dialog's body, with its top at y.
struct DialogHeading {
  const char8_t* text;
  int y;
};

class TabbedDialog : public WidgetBase {
 public:
  int tab_width() const { return tab_width_; }
  Tgui_bmpbutton_Form& close_button() { return close_button_; }

 protected:
  // cp949_title is drawn on the tab as it is, spaces included; the window is width x height.
  TabbedDialog(const IdeOptions& options, std::string_view cp949_title, int width, int height);

  // What the dialog draws on its white body, between the title band and the frame. Sizing the
  // window in this constructor draws it before the dialog's own part exists: nothing then.
  virtual void RenderBody(Bitmap&) {}
  void Render(Bitmap& bitmap) final;
  // Puts a control of the dialog at bounds and shows it.
  void Place(Form& control, const Rect& bounds);
  // The sections of the body: their headings at the body's left, and the lines between them,
  // in the overall colour across the body.
  void DrawHeadings(Bitmap& bitmap, std::span<const DialogHeading> headings) const;
  void DrawSeparator(Bitmap& bitmap, int y) const;
  // Black text on the white body, with its top at y; and how wide it is (0 when the fonts
  // cannot measure it).
  void DrawBodyText(Bitmap& bitmap, int x, int y, std::string_view cp949_text) const;
  int BodyTextWidth(std::string_view cp949_text) const;

  // A dialog that loads its controls on showing calls this first.
  void FormShow() override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  void PlaceCloseButton();

  std::string title_;
  TextStyle title_style_;
  int tab_width_ = 0;
  Tgui_bmpbutton_Form close_button_;
  WindowDrag drag_;  // by the title tab
};

}  // namespace tolmeo
