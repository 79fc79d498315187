#include "widgets/gui_blocktabs.h"

#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr int kArrowWidth = 8;

// A solid triangle in an 8-pixel button: tip 2 pixels tall at tip_x, base 12 tall, 5 away.
void FillArrow(Bitmap& bitmap, int tip_x, int direction, Color color) {
  for (int i = 0; i <= 5; ++i) {
    for (int j = 5 - i; j <= 6 + i; ++j) bitmap.SetPixel(tip_x + direction * i, j + 2, color);
  }
}

}  // namespace

Tgui_BlockTabs_Form::Tgui_BlockTabs_Form(Form& owner, const IdeOptions& options)
    : WidgetBase(&owner, options) {
  KeepBitmapSize(owner.width(), kHeight);
  SetBounds(Rect{0, owner.height() - kHeight, owner.width(), kHeight});
}

void Tgui_BlockTabs_Form::SetTabs(std::string_view lines) {
  names_.clear();
  while (!lines.empty() && tab_count() < kMaxTabs) {
    std::size_t end = lines.find("\r\n");
    names_.emplace_back(lines.substr(0, end));
    lines = end == std::string_view::npos ? std::string_view{} : lines.substr(end + 2);
  }
  LayOut();
  Draw();
}

void Tgui_BlockTabs_Form::SetSelected(int index) {
  selected_ = index;
  Draw();
  if (on_change) {
    HideBalloon();
    on_change();
  }
}

void Tgui_BlockTabs_Form::FitWidth() {
  SetWidth(tabs_end_ + 17);
  Draw();
}

void Tgui_BlockTabs_Form::LayOut() {
  int x = 1;
  for (int i = 0; i < tab_count(); ++i) {
    x += MeasureOrNothing(text_style(), names_[i]).width + 1;
    right_edges_[i] = x;
    x += 1;
  }
  tabs_end_ = x;
}

void Tgui_BlockTabs_Form::SetTabTextColor(Color color) {
  tab_text_color_ = color;
  Draw();
}

void Tgui_BlockTabs_Form::SetSelectedBackColor(Color color) {
  selected_back_color_ = color;
  Draw();
}

void Tgui_BlockTabs_Form::SetSelectedTextColor(Color color) {
  selected_text_color_ = color;
  Draw();
}

int Tgui_BlockTabs_Form::TabAt(int x) const {
  if (x <= 0 || x >= tabs_end_) return -1;
  for (int i = 0; i < tab_count(); ++i) {
    if (right_edges_[i] >= x) return i;
  }
  return -1;
}

void Tgui_BlockTabs_Form::Render(Bitmap& bitmap) {
  bitmap.Fill(back_color_);
  bitmap.FrameRect(Rect{0, 0, bitmap.width(), bitmap.height()}, options().overallColor);
  RenderTabs(bitmap);
  RenderArrows(bitmap);
}

void Tgui_BlockTabs_Form::RenderTabs(Bitmap& bitmap) {
  const Color overall = options().overallColor;
  const int height = kHeight;
  int x = 1;
  for (int i = 0; i < tab_count(); ++i) {
    const std::string& name = names_[i];
    Color text_color = tab_text_color_;
    if (i == selected_) {
      int w = MeasureOrNothing(text_style(), name).width;
      bitmap.FillRect(Rect{x, 0, w + 1, height - 1}, selected_back_color_);
      text_color = selected_text_color_;
    }
    DrawText(bitmap, text_style(), x, name, kTransparent, back_color_, text_color, 2);
    int separator = right_edges_[i];
    bitmap.Line(x, 0, separator, 0, overall);
    bitmap.Line(separator, 0, separator, height - 1, overall);
    x = separator + 1;
  }
}

void Tgui_BlockTabs_Form::RenderArrows(Bitmap& bitmap) {
  const Color overall = options().overallColor;
  const int end = tabs_end_;
  auto button = [&](int left, bool down, int tip_x, int direction) {
    Color back = down ? overall : back_color_;
    Color arrow = down ? back_color_ : overall;
    bitmap.FillRect(Rect{left, 1, kArrowWidth, kHeight - 2}, back);
    FillArrow(bitmap, tip_x, direction, arrow);
  };
  button(end, left_arrow_down_, end + 1, +1);
  button(end + kArrowWidth, right_arrow_down_, end + 14, -1);
  bitmap.Line(end + 16, 0, end + 16, kHeight, overall);
  bitmap.FillRect(Rect{end + 18, 1, bitmap.width() - 1 - (end + 18), kHeight - 2}, back_color_);
}

void Tgui_BlockTabs_Form::FormMouseDown(MouseButton button, ShiftState, int x, int) {
  if (button != MouseButton::Left) return;
  if (x > 0 && x < tabs_end_) {
    if (int tab = TabAt(x); tab >= 0) SetSelected(tab);
    return;
  }
  bool left = x >= tabs_end_ && x < tabs_end_ + kArrowWidth;
  bool right = x >= tabs_end_ + kArrowWidth && x < tabs_end_ + 2 * kArrowWidth;
  if (!left && !right) return;
  left_arrow_down_ = left;
  right_arrow_down_ = right;
  Draw();
  if (left && selected_ > 0) SetSelected(selected_ - 1);
  if (right && selected_ < tab_count() - 1) SetSelected(selected_ + 1);
}

void Tgui_BlockTabs_Form::FormMouseUp(MouseButton button, ShiftState, int, int) {
  if (button != MouseButton::Left) return;
  left_arrow_down_ = right_arrow_down_ = false;
  Draw();
}

}  // namespace tolmeo
