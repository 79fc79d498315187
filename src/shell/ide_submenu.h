#pragma once
// The one drop-down list of the menu bar: a top-level window that stays on top and shows the
// items of whichever title is open, the item under the pointer highlighted. Releasing the
// mouse on an item closes the menu, lets the closed menu paint, then runs the item. A click
// anywhere but on the drop-down or the bar's titles closes it; it borrows the keyboard focus
// while open, so Escape closes it too.
//
// A list too long for the screen is laid out in columns of equal width, filled top to bottom.
#include <string>
#include <vector>

#include "form/popup_focus.h"
#include "widgets/widget_base.h"

namespace tolmeo {

class Tide_menu_Form;

// Where the items go: rows per column, columns, and the window's size. One column is as wide
// as the widest item; the window adds a 1-pixel frame on each side.
struct SubmenuLayout {
  int line_height = 0;
  int rows = 0;
  int columns = 0;
  int column_width = 0;
  int width = 0;
  int height = 0;
};
// max_height is the tallest the list may be, frame included.
SubmenuLayout LayoutSubmenu(int item_count, int widest_item, int line_height, int max_height);
// The item at (x, y) of the window, or -1. Rows are counted from y 0, so the bottom two frame
// rows below the last item hit nothing.
int SubmenuItemAt(const SubmenuLayout& layout, int item_count, int x, int y);

class Tide_submenu_Form : public WidgetBase {
 public:
  explicit Tide_submenu_Form(const IdeOptions& options);
  ~Tide_submenu_Form() override;

  // The bar whose items this list shows; the bar detaches itself when it goes.
  void AttachBar(Tide_menu_Form* bar) { bar_ = bar; }

  // room: how tall the list may be where it opens (the screen below its title).
  void SetItems(std::vector<std::string> items, int hot_item, int room);
  // Lays the items out, sizes the window, draws and presents.
  void DrawItems();
  // Shows the list with its top-left corner at a screen position and gives it the focus.
  void Open(Point screen_position);
  void Close();
  // Takes the keyboard focus while open, so that a click elsewhere closes it.
  void TakeFocus();
  bool open() const { return popup_.open(); }

  const std::vector<std::string>& items() const { return items_; }
  int hot_item() const { return hot_item_; }
  const SubmenuLayout& layout() const { return layout_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormShow() override;
  void FormMouseEnter() override;
  void FormMouseLeave() override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;
  bool FormKeyDown(Key key, ShiftState shift) override;
  void FormExit() override;

 private:
  void PickHotItem();

  Tide_menu_Form* bar_ = nullptr;
  PopupFocus popup_;
  std::vector<std::string> items_;
  int hot_item_ = -1;
  int room_ = 0;
  SubmenuLayout layout_;
  bool pressed_ = false;
  bool pointer_inside_ = false;
};

}  // namespace tolmeo
