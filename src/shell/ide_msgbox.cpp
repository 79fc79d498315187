#include "shell/ide_msgbox.h"

#include <algorithm>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr int kMinimumHeight = 85;
constexpr int kButtonGap = 2;

const std::string& Title() { return Ktext(u8" Darimsol 알림글 "); }

// Fonts lacking even the replacement block measure nothing; the box then keeps its smallest size.
}  // namespace

MsgboxLayout LayoutMsgbox(int text_width, int text_height, int tab_width, bool two_buttons,
                          const Rect& screen) {
  MsgboxLayout layout;
  int text_room = kMsgboxTextLeft + 8;  // the message's column and a margin at its right
  layout.width = std::min(std::max(text_width + text_room, 2 * tab_width), screen.width);
  layout.height = std::min(
      std::max(text_height + kMsgboxTitleHeight + kMsgboxButtonHeight + 20, kMinimumHeight),
      screen.height);
  layout.button_top = layout.height - kMsgboxButtonHeight - kMsgboxButtonBottom;
  int middle = layout.width / 2;
  if (two_buttons) {
    layout.ok_left = middle - kMsgboxButtonWidth - kButtonGap;
    layout.cancel_left = middle + kButtonGap;
  } else {
    layout.ok_left = middle - kMsgboxButtonWidth / 2;
  }
  return layout;
}

Tide_msgbox_Form::Tide_msgbox_Form(const IdeOptions& options)
    : WidgetBase(nullptr, options),
      icon_(this, options),
      ok_button_(this, options),
      cancel_button_(this, options) {
  text_style().padBottom = 1;
  title_style_ = text_style();
  text_style().xOffset = kMsgboxTextLeft;
  tab_width_ = MeasureOrNothing(title_style_, Title()).width + 2;
  SetWindowRole(WindowRole::Dialog);
  SetStayOnTop(true);

  icon_.SetParent(this);
  icon_.SetBounds(Rect{kMsgboxIconLeft, kMsgboxTitleHeight + 4, kMsgboxIconWidth,
                       kMsgboxIconHeight});
  icon_.SetImageWidth(kMsgboxIconWidth);
  icon_.SetImageHeight(kMsgboxIconHeight);
  icon_.SetStripMode(true);
  icon_.SetFrameWidth(kMsgboxIconWidth);
  // A missing picture leaves the icon white; the message itself still gets through.
  icon_.LoadImage(DataFolder() + "sysbmp/msgbox/msgbox.bmp");
  icon_.Show();

  for (Tgui_button_Form* button : {&ok_button_, &cancel_button_}) {
    button->SetParent(this);
    button->SetBounds(Rect{0, 0, kMsgboxButtonWidth, kMsgboxButtonHeight});
    button->SetCentered(true);
  }
  ok_button_.SetCaption(Ktext(u8"확인"));
  cancel_button_.SetCaption(Ktext(u8"취소"));
  ok_button_.on_click = [this] { SetModalResult(kModalOk); };
  cancel_button_.on_click = [this] { SetModalResult(kModalCancel); };
  SetBounds(Rect{0, 0, 400, 200});
}

void Tide_msgbox_Form::ShowNotice(int kind, std::string_view cp949_text) {
  ShowMessage(kind, cp949_text, false);
}

bool Tide_msgbox_Form::AskConfirm(int kind, std::string_view cp949_text) {
  // Closing the box any other way ends its loop with kModalCancel.
  return ShowMessage(kind, cp949_text, true) == kModalOk;
}

ModalResult Tide_msgbox_Form::ShowMessage(int kind, std::string_view cp949_text,
                                          bool two_buttons) {
  text_ = cp949_text;
  ok_button_.Hide();
  cancel_button_.Hide();
  drag_.End();
  TextSize text = MeasureOrNothing(text_style(), text_);
  Rect screen = Application::Current().ScreenRect();
  Arrange(LayoutMsgbox(text.width, text.height, tab_width_, two_buttons, screen), two_buttons,
          screen);
  icon_.SetFrameIndex(kind);
  Draw();
  return ShowModal();
}

void Tide_msgbox_Form::Arrange(const MsgboxLayout& layout, bool two_buttons,
                               const Rect& screen) {
  SetBounds(Rect{screen.width / 2 - layout.width / 2, screen.height / 2 - layout.height / 2,
                 layout.width, layout.height});
  SetShape(TabbedWindowShape(layout.width, layout.height, tab_width_, kMsgboxBodyTop));
  ok_button_.SetBounds(
      Rect{layout.ok_left, layout.button_top, kMsgboxButtonWidth, kMsgboxButtonHeight});
  ok_button_.Show();
  if (two_buttons) {
    cancel_button_.SetBounds(
        Rect{layout.cancel_left, layout.button_top, kMsgboxButtonWidth, kMsgboxButtonHeight});
    cancel_button_.Show();
  }
}

void Tide_msgbox_Form::Render(Bitmap& bitmap) {
  Color overall = options().overallColor;
  DrawTabbedTitle(bitmap, title_style_, overall, Title(), kMsgboxTitleHeight);
  DrawTextUnderlined(bitmap, text_style(), 0, Underline{}, text_, kTransparent, kWhite, kBlack,
                     kMsgboxTextTop);
  DrawTabbedFrame(bitmap, overall, tab_width_, kMsgboxBodyTop);
}

void Tide_msgbox_Form::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  if (button != MouseButton::Left) return;
  if (x >= 0 && x < tab_width_ && y >= 0 && y < kMsgboxTitleHeight) drag_.Begin(*this, x, y);
}

void Tide_msgbox_Form::FormMouseMove(ShiftState shift, int x, int y) {
  WidgetBase::FormMouseMove(shift, x, y);
  drag_.Follow(*this, shift, x, y);
}

void Tide_msgbox_Form::FormMouseUp(MouseButton, ShiftState, int, int) { drag_.End(); }

bool Tide_msgbox_Form::FormKeyDown(Key key, ShiftState) {
  if (key == kKeyReturn) {
    SetModalResult(kModalOk);
    return true;
  }
  if (key == kKeyEscape) {
    SetModalResult(kModalCancel);
    return true;
  }
  return false;
}

}  // namespace tolmeo
