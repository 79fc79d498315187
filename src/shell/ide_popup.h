#pragma once
// The quick list: a small pop-up list under a tab-shaped title " 빠른목록 ". Its owner (the text
// field) gives it the items and opens it at the pointer; a click on an item closes the list and
// answers with the item's index. The list can be dragged by its tab, and closes when it loses
// the focus.
#include <functional>
#include <string>
#include <vector>

#include "form/pointer_drag.h"
#include "form/popup_focus.h"
#include "form/region.h"
#include "widgets/quick_list.h"
#include "widgets/widget_base.h"

namespace tolmeo {

inline constexpr int kPopupTitleHeight = 18;
// Rows 0-13 of the title strip belong to the tab alone; from row 14 the strip runs across.
inline constexpr int kPopupTabHeight = 14;
inline constexpr std::size_t kPopupMaxItems = 100;

class Tide_popup_Form : public WidgetBase, public QuickList {
 public:
  explicit Tide_popup_Form(const IdeOptions& options);

  // At most kPopupMaxItems items are kept.
  void SetItems(std::vector<std::string> cp949_items, std::function<void(int)> on_pick) override;
  // Opens at (x, y) of the screen, moved in as far as needed to lie wholly inside the work area.
  void PopupAt(int x, int y) override;
  bool showing() const override { return popup_.open(); }

  int tab_width() const { return tab_width_; }
  int line_height() const { return line_height_; }
  int hot_item() const { return hot_item_; }
  const std::vector<std::string>& items() const { return items_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseEnter() override;
  void FormMouseLeave() override;
  void FormExit() override;

 private:
  // Sizes the window to the items and shapes it.
  void Layout();
  void DrawItems(Bitmap& bitmap) const;
  int ItemAt(int y) const;
  void SetHotItem(int item);

  TextStyle title_style_;
  int tab_width_ = 0;
  int line_height_ = 1;
  std::vector<std::string> items_;
  std::function<void(int)> on_pick_;
  int hot_item_ = -1;
  bool pressed_ = false;
  bool pointer_inside_ = false;
  PopupFocus popup_{*this};
  WindowDrag drag_;  // by the title tab
};

}  // namespace tolmeo
