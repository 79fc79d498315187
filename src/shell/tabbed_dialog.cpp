#include "shell/tabbed_dialog.h"

#include "base/cp949.h"
#include "base/run_folders.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "shell/ide_msgbox.h"
#include "shell/tabbed_window.h"

namespace tolmeo {
namespace {

constexpr int kCloseSize = 12;
constexpr int kHeadingLeft = 6;
constexpr int kLineInset = 4;

}  // namespace

TabbedDialog::TabbedDialog(const IdeOptions& options, std::string_view cp949_title, int width,
                           int height)
    : WidgetBase(nullptr, options), title_(cp949_title), close_button_(this, options) {
  title_style_ = text_style();
  tab_width_ = BodyTextWidth(title_) + kCloseSize + 6;
  SetStayOnTop(true);
  SetWindowRole(WindowRole::Dialog);
  Rect screen = Application::Current().ScreenRect();
  SetBounds(Rect{screen.left + (screen.width - width) / 2,
                 screen.top + (screen.height - height) / 2, width, height});
  SetShape(TabbedWindowShape(width, height, tab_width_, kMsgboxBodyTop));
  PlaceCloseButton();
}

void TabbedDialog::Place(Form& control, const Rect& bounds) {
  control.SetParent(this);
  control.SetBounds(bounds);
  control.Show();
}

void TabbedDialog::PlaceCloseButton() {
  Place(close_button_, Rect{tab_width_ - kCloseSize - 4,
                            (kTabbedDialogTitleHeight - kCloseSize) / 2, kCloseSize, kCloseSize});
  close_button_.LoadImage(DataFolder() + "sysbmp/control/close.bmp");
  close_button_.SetImageWidth(kCloseSize);
  close_button_.SetImageHeight(kCloseSize);
  close_button_.on_click = [this] { Hide(); };
}

void TabbedDialog::FormShow() {
  WidgetBase::FormShow();
  drag_.End();
}

void TabbedDialog::Render(Bitmap& bitmap) {
  const Color overall = options().overallColor;
  DrawTabbedTitle(bitmap, title_style_, overall, title_, kTabbedDialogTitleHeight);
  RenderBody(bitmap);
  DrawTabbedFrame(bitmap, overall, tab_width_, kMsgboxBodyTop);
}

void TabbedDialog::DrawHeadings(Bitmap& bitmap, std::span<const DialogHeading> headings) const {
  for (const DialogHeading& heading : headings) {
    DrawBodyText(bitmap, kHeadingLeft, heading.y,
                 Cp949FromUtf8(reinterpret_cast<const char*>(heading.text)));
  }
}

void TabbedDialog::DrawSeparator(Bitmap& bitmap, int y) const {
  bitmap.Line(kLineInset, y, bitmap.width() - kLineInset, y, options().overallColor);
}

void TabbedDialog::DrawBodyText(Bitmap& bitmap, int x, int y, std::string_view cp949_text) const {
  DrawTextUnderlined(bitmap, text_style(), x, Underline{}, cp949_text, kTransparent, kWhite,
                     kBlack, y);
}

int TabbedDialog::BodyTextWidth(std::string_view cp949_text) const {
  return MeasureOrNothing(text_style(), cp949_text).width;
}

void TabbedDialog::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  if (button == MouseButton::Left && x >= 0 && x < tab_width_ && y >= 0 &&
      y < kTabbedDialogTitleHeight) {
    drag_.Begin(*this, x, y);
  }
}

void TabbedDialog::FormMouseMove(ShiftState shift, int x, int y) {
  WidgetBase::FormMouseMove(shift, x, y);
  drag_.Follow(*this, shift, x, y);
}

void TabbedDialog::FormMouseUp(MouseButton button, ShiftState, int, int) {
  if (button == MouseButton::Left) drag_.End();
}

}  // namespace tolmeo
