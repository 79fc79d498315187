#pragma once
// A label: a box with a line (or CR LF separated lines) of text, for example "Flash:" beside
// a document name on the command panel. Every setter but the balloon ones repaints at once.
#include <string>
#include <string_view>

#include "gfx/colors.h"
#include "widgets/widget_base.h"

namespace tolmeo {

// Label and caption bar texts keep at most this many bytes, as their fixed buffers held.
inline constexpr std::size_t kLabelTextLimit = 1023;

class Tgui_Label_Form : public WidgetBase {
 public:
  Tgui_Label_Form(Form* owner, const IdeOptions& options);

  // A longer text is cut to kLabelTextLimit bytes, never inside a double-byte character.
  void SetText(std::string_view cp949_text);
  void SetBackColor(Color color);
  void SetBorder(bool on);
  void SetTextColor(Color color);
  void SetTextPosition(int x, int y);

  const std::string& text() const { return text_; }

 protected:
  void Render(Bitmap& bitmap) override;

 private:
  std::string text_;
  Color back_color_ = kWhite;
  bool border_ = false;
  std::optional<Color> border_color_;  // the overall colour unless chosen
  Color text_color_ = kBlack;
  int text_x_ = 0;
  int text_y_ = 1;
};

}  // namespace tolmeo
