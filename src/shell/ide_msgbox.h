#pragma once
// The message box: the one modal window through which every notice, failure report and yes/no
// question reaches the user. A title tab to drag it by, an icon chosen by the kind, the message
// from column 50, and "확인" alone or "확인" and "취소". Each showing rebuilds size, shape and
// picture from scratch.
#include <string>
#include <string_view>

#include "form/pointer_drag.h"
#include "form/region.h"
#include "shell/tabbed_window.h"
#include "widgets/gui_button.h"
#include "widgets/gui_imagebox.h"
#include "widgets/widget_base.h"

namespace tolmeo {

// Fixed measures: title band, the body's top edge right of the tab, the message's column and
// top row, the icon's place and size, the buttons' size and their distance from the bottom.
inline constexpr int kMsgboxTitleHeight = 22;
inline constexpr int kMsgboxBodyTop = 18;
inline constexpr int kMsgboxTextLeft = 50;
inline constexpr int kMsgboxTextTop = 26;
inline constexpr int kMsgboxIconLeft = 8;
inline constexpr int kMsgboxIconWidth = 38;
inline constexpr int kMsgboxIconHeight = 36;
inline constexpr int kMsgboxButtonWidth = 60;
inline constexpr int kMsgboxButtonHeight = 20;
inline constexpr int kMsgboxButtonBottom = 8;

// Where everything goes for a message of the measured size under a tab of tab_width. The box
// never grows beyond the screen, so its tab and buttons stay within reach; a message too large
// for the screen is cut at the box's right and bottom edges.
struct MsgboxLayout {
  int width = 0;
  int height = 0;
  int button_top = 0;
  int ok_left = 0;
  int cancel_left = 0;  // with two buttons only
};
MsgboxLayout LayoutMsgbox(int text_width, int text_height, int tab_width, bool two_buttons,
                          const Rect& screen);

class Tide_msgbox_Form : public WidgetBase {
 public:
  explicit Tide_msgbox_Form(const IdeOptions& options);

  // Both show the box modally and return when it closes. Texts are CP949, lines split by CR LF;
  // kind is the icon (0 information, 1 warning or question, 3 failure).
  void ShowNotice(int kind, std::string_view cp949_text);
  // True only for OK: a box closed without either button answers like Cancel.
  bool AskConfirm(int kind, std::string_view cp949_text);

  int tab_width() const { return tab_width_; }
  // The message shown last.
  const std::string& text() const { return text_; }
  const Tgui_imagebox_Form& icon() const { return icon_; }
  const Tgui_button_Form& ok_button() const { return ok_button_; }
  const Tgui_button_Form& cancel_button() const { return cancel_button_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;
  // Return answers OK; Escape answers Cancel, or closes a notice.
  bool FormKeyDown(Key key, ShiftState shift) override;

 private:
  ModalResult ShowMessage(int kind, std::string_view cp949_text, bool two_buttons);
  void Arrange(const MsgboxLayout& layout, bool two_buttons, const Rect& screen);

  TextStyle title_style_;
  int tab_width_ = 0;
  std::string text_;
  Tgui_imagebox_Form icon_;
  Tgui_button_Form ok_button_;
  Tgui_button_Form cancel_button_;
  WindowDrag drag_;  // by the title tab
};

}  // namespace tolmeo
