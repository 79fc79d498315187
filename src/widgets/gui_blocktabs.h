#pragma once
// Block tabs: one row of text tabs with a pair of arrow buttons after the last one, 16 pixels
// high along the bottom of the owner. Clicks act on the press; the arrows step the selection
// without wrapping and do not repeat.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/colors.h"
#include "widgets/widget_base.h"

namespace tolmeo {

class Tgui_BlockTabs_Form : public WidgetBase {
 public:
  static constexpr int kHeight = 16;
  static constexpr int kMaxTabs = 40;

  // Placed at the owner's bottom edge, as wide as the owner; the bitmap keeps that size.
  Tgui_BlockTabs_Form(Form& owner, const IdeOptions& options);

  // One tab per line of the text (lines end in CR LF); more than kMaxTabs are left out.
  void SetTabs(std::string_view cp949_lines);
  // Stores any index, draws, then runs on_change (also when the index did not change).
  void SetSelected(int index);
  // Window width := tabs end + 17, so the closing line is the last column.
  void FitWidth();
  void SetTabTextColor(Color color);
  void SetSelectedBackColor(Color color);
  void SetSelectedTextColor(Color color);

  int selected() const { return selected_; }
  int tab_count() const { return static_cast<int>(names_.size()); }
  int tabs_end() const { return tabs_end_; }
  int tab_right_edge(int tab) const { return right_edges_[tab]; }
  // The tab whose separator is the first at or right of x; -1 outside the tabs.
  int TabAt(int x) const;

  std::function<void()> on_change;

 protected:
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  void RenderTabs(Bitmap& bitmap);
  void RenderArrows(Bitmap& bitmap);
  // Where each tab's separator falls, from the measured names.
  void LayOut();

  std::vector<std::string> names_;
  int selected_ = 0;
  bool left_arrow_down_ = false;
  bool right_arrow_down_ = false;
  std::array<int, kMaxTabs> right_edges_{};
  int tabs_end_ = 1;
  Color back_color_ = kWhite;
  Color tab_text_color_ = 0x808080;
  Color selected_back_color_ = kWhite;
  Color selected_text_color_ = kBlack;
};

}  // namespace tolmeo
