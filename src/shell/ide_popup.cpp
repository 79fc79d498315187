#include "shell/ide_popup.h"

#include <algorithm>

#include "base/cp949.h"
#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/palette.h"
#include "gfx/text_drawing.h"
#include "shell/tabbed_window.h"

namespace tolmeo {
namespace {


const std::string& Title() { return Ktext(u8" 빠른목록 "); }

}  // namespace

Tide_popup_Form::Tide_popup_Form(const IdeOptions& options) : WidgetBase(nullptr, options) {
  title_style_ = text_style();
  title_style_.xOffset = 0;
  TextStyle& items = text_style();
  items.xOffset = 1;
  items.padTop = 3;
  items.padBottom = 3;
  tab_width_ = MeasureOrNothing(title_style_, Title()).width + 4;
  SetStayOnTop(true);
  SetWindowRole(WindowRole::PopupMenu);
  SetBounds(Rect{-500, -500, 100, 100});
  Layout();
}

void Tide_popup_Form::SetItems(std::vector<std::string> cp949_items,
                               std::function<void(int)> on_pick) {
  if (cp949_items.size() > kPopupMaxItems) cp949_items.resize(kPopupMaxItems);
  items_ = std::move(cp949_items);
  on_pick_ = std::move(on_pick);
  hot_item_ = -1;
  Layout();
}

void Tide_popup_Form::Layout() {
  auto space = MeasureGlyph(text_style(), kSpaceCode);
  line_height_ = std::max(1, space ? space->lineHeight : 1);
  int widest = 0;
  for (const std::string& item : items_) widest = std::max(widest, MeasureOrNothing(text_style(), item).width);
  int width = widest + 2;
  if (width < tab_width_) width = 2 * tab_width_;
  int height = line_height_ * static_cast<int>(items_.size()) + kPopupTitleHeight + 2;
  SetBounds(Rect{left(), top(), width, height});
  SetShape(TabbedWindowShape(width, height, tab_width_, kPopupTabHeight));
}

void Tide_popup_Form::PopupAt(int x, int y) {
  hot_item_ = -1;
  pressed_ = false;
  SetBounds(MovedInside(Rect{x, y, width(), height()}, Application::Current().WorkArea()));
  Draw();
  popup_.Open();
}

void Tide_popup_Form::Render(Bitmap& bitmap) {
  Color overall = options().overallColor;
  bitmap.FillRect(Rect{0, 0, bitmap.width(), kPopupTitleHeight}, overall);
  DrawTextUnderlined(bitmap, title_style_, 2, Underline{}, Title(), kTransparent, overall, kWhite,
                     3);
  DrawItems(bitmap);
}

void Tide_popup_Form::DrawItems(Bitmap& bitmap) const {
  Color overall = options().overallColor;
  int list_height = bitmap.height() - kPopupTitleHeight;
  bitmap.FillRect(Rect{0, kPopupTitleHeight, bitmap.width(), list_height},
                  PaletteOf(overall).list);
  int y = kPopupTitleHeight + 1;
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    bool hot = i == hot_item_;
    if (hot) {
      bitmap.FillRect(Rect{0, y, bitmap.width(), line_height_},
                      PaletteOf(overall).highlight);
    }
    DrawTextUnderlined(bitmap, text_style(), 0, Underline{}, items_[i], kTransparent, kWhite,
                       hot ? kWhite : kBlack, y);
    y += line_height_;
  }
  bitmap.FrameRect(Rect{0, kPopupTitleHeight, bitmap.width(), list_height}, overall);
}

int Tide_popup_Form::ItemAt(int y) const {
  if (y <= kPopupTitleHeight || y >= height()) return -1;
  int item = (y - kPopupTitleHeight) / line_height_;
  return item < static_cast<int>(items_.size()) ? item : -1;
}

void Tide_popup_Form::SetHotItem(int item) {
  if (item == hot_item_) return;
  hot_item_ = item;
  Draw();
}

void Tide_popup_Form::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  if (button != MouseButton::Left) return;
  if (x >= 0 && x < tab_width_ && y >= 0 && y < kPopupTitleHeight) {
    drag_.Begin(*this, x, y);
  } else {
    pressed_ = true;
  }
}

void Tide_popup_Form::FormMouseMove(ShiftState shift, int x, int y) {
  WidgetBase::FormMouseMove(shift, x, y);
  drag_.Follow(*this, shift, x, y);
  SetHotItem(ItemAt(y));
}

void Tide_popup_Form::FormMouseUp(MouseButton button, ShiftState, int, int y) {
  bool picks = button == MouseButton::Left && pressed_ && pointer_inside_ && ItemAt(y) != -1 &&
               hot_item_ != -1;
  pressed_ = false;
  drag_.End();
  if (!picks) return;
  int picked = hot_item_;
  FormWatch alive = Watch();
  popup_.Close();
  // The list's disappearance is painted before the command runs.
  Application::Current().RunPendingMessages();
  if (alive && on_pick_) on_pick_(picked);
}

void Tide_popup_Form::FormMouseEnter() {
  WidgetBase::FormMouseEnter();
  pointer_inside_ = true;
}

void Tide_popup_Form::FormMouseLeave() {
  WidgetBase::FormMouseLeave();
  pointer_inside_ = false;
  SetHotItem(-1);
}

void Tide_popup_Form::FormExit() { popup_.FocusLost(); }

}  // namespace tolmeo
