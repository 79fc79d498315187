#include "shell/ide_submenu.h"

#include <algorithm>

#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/palette.h"
#include "gfx/text_drawing.h"
#include "shell/ide_menu.h"

namespace tolmeo {
namespace {

constexpr int kFrame = 2;  // one pixel on each side

}  // namespace

SubmenuLayout LayoutSubmenu(int item_count, int widest_item, int line_height, int max_height) {
  SubmenuLayout layout;
  layout.line_height = line_height;
  int fitting_rows = line_height > 0 ? (max_height - kFrame) / line_height : item_count;
  layout.rows = std::max(1, std::min(item_count, fitting_rows));
  layout.columns = item_count > 0 ? (item_count + layout.rows - 1) / layout.rows : 1;
  layout.column_width = widest_item;
  layout.width = layout.columns * widest_item + kFrame;
  layout.height = (item_count > 0 ? layout.rows : 0) * line_height + kFrame;
  return layout;
}

int SubmenuItemAt(const SubmenuLayout& layout, int item_count, int x, int y) {
  if (layout.line_height <= 0 || y <= 0 || y >= layout.height || x < 0) return -1;
  int row = y / layout.line_height;
  int column = layout.column_width > 0 ? x / layout.column_width : 0;
  if (row >= layout.rows || column >= layout.columns) return -1;
  int item = column * layout.rows + row;
  return item < item_count ? item : -1;
}

Tide_submenu_Form::Tide_submenu_Form(const IdeOptions& options)
    : WidgetBase(nullptr, options), popup_(*this, [this] {
        if (bar_) bar_->MenuClosed();
      }) {
  int side = Application::Current().ScreenRect().width * 2 / 3;
  KeepBitmapSize(side, side);
  text_style().xOffset = 1;
  text_style().padTop = 3;
  text_style().padBottom = 3;
  SetWindowRole(WindowRole::DropDownList);
  SetStayOnTop(true);
  SetBounds(Rect{0, 0, 10, 10});
  // Shown and hidden once, so that its window exists before the first title is clicked.
  Show();
  Hide();
  DrawItems();
}

Tide_submenu_Form::~Tide_submenu_Form() {
  if (bar_) bar_->DetachSubmenu();
}

void Tide_submenu_Form::SetItems(std::vector<std::string> items, int hot_item, int room) {
  items_ = std::move(items);
  hot_item_ = hot_item;
  room_ = room;
}

void Tide_submenu_Form::DrawItems() {
  int widest = 0;
  for (const std::string& item : items_) widest = std::max(widest, MeasureOrNothing(text_style(), item).width);
  int count = static_cast<int>(items_.size());
  int room = std::min(bitmap().height(), room_ > 0 ? room_ : bitmap().height());
  layout_ = LayoutSubmenu(count, widest + kFrame, MeasureOrNothing(text_style(), " ").height, room);
  // The frame is drawn on the window's rectangle, so the size is set before drawing.
  SetBounds(Rect{left(), top(), layout_.width, layout_.height});
  Draw();
}

void Tide_submenu_Form::Render(Bitmap& bitmap) {
  const Palette palette = PaletteOf(options().overallColor);
  bitmap.Fill(palette.menu);
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    int x = (i / layout_.rows) * layout_.column_width;
    int y = 1 + (i % layout_.rows) * layout_.line_height;
    bool hot = i == hot_item_;
    if (hot) {
      // One column wide where there are several; the bitmap's full width where there is one.
      int band = layout_.columns > 1 ? layout_.column_width : bitmap.width();
      bitmap.FillRect(Rect{x, y, band, layout_.line_height}, palette.highlight);
    }
    DrawText(bitmap, text_style(), x, items_[i], kTransparent, kWhite, hot ? kWhite : kBlack, y);
  }
  bitmap.FrameRect(Rect{0, 0, width(), height()}, palette.overall);
}

void Tide_submenu_Form::Open(Point screen_position) {
  SetBounds(Rect{screen_position.x, screen_position.y, width(), height()});
  popup_.Open();
  BringToFront();
}

void Tide_submenu_Form::Close() {
  pressed_ = false;
  popup_.Close();
}

void Tide_submenu_Form::TakeFocus() {
  if (popup_.open() && !Focused()) SetFocus();
}

void Tide_submenu_Form::FormShow() {
  SetAlphaBlend(options().alphaBlendOn == 1, static_cast<std::uint8_t>(options().alphaBlendValue));
}

void Tide_submenu_Form::FormMouseEnter() {
  pointer_inside_ = true;
  WidgetBase::FormMouseEnter();
}

void Tide_submenu_Form::FormMouseLeave() {
  pointer_inside_ = false;
  if (visible()) {
    hot_item_ = -1;
    DrawItems();
  }
  WidgetBase::FormMouseLeave();
}

void Tide_submenu_Form::FormMouseMove(ShiftState shift, int x, int y) {
  int item = SubmenuItemAt(layout_, static_cast<int>(items_.size()), x, y);
  if (item >= 0 && item != hot_item_) {
    hot_item_ = item;
    DrawItems();
  }
  WidgetBase::FormMouseMove(shift, x, y);
}

void Tide_submenu_Form::FormMouseDown(MouseButton, ShiftState, int, int) { pressed_ = true; }

void Tide_submenu_Form::FormMouseUp(MouseButton, ShiftState, int, int) {
  bool picked = pressed_ && pointer_inside_;
  pressed_ = false;
  if (picked) PickHotItem();
}

// The menu closes and is painted closed before the item's action starts: that may be a modal
// dialog, which would otherwise open over a drop-down still showing.
void Tide_submenu_Form::PickHotItem() {
  if (!bar_) return;
  int item = hot_item_;
  int slot = bar_->open_slot();
  bar_->CloseMenuAndRedraw();
  Application::Current().RunPendingMessages();
  // The bar detaches itself when it goes, so bar_ tells whether it still exists.
  if (!bar_ || slot < 0) return;
  if (item >= 0 && item < static_cast<int>(bar_->slot(slot).items.size())) {
    bar_->RunItem(slot, item);
  }
}

bool Tide_submenu_Form::FormKeyDown(Key key, ShiftState) {
  if (key != kKeyEscape || !bar_) return false;
  bar_->CloseMenuAndRedraw();
  return true;
}

// A click on a title takes the focus too: the bar handles that click itself.
void Tide_submenu_Form::FormExit() {
  if (bar_ && bar_->pointer_over_titles()) return;
  popup_.FocusLost();
}

}  // namespace tolmeo
