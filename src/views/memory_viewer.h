#pragma once
// The memory viewer: the chip image as a read-only hex dump, 16 items to a row, under a column
// header and beside an address column, drawn in black over the lightened, tiled background
// picture. Its top row and left column are the positions of the programmer window's scroll
// bars; it has no bars of its own. Everything is drawn into a screen-sized bitmap, so a
// resize needs no redrawing and a refresh formats only the rows that fit on the screen.
#include <array>
#include <cstdint>
#include <string>

#include "formats/ide_options.h"
#include "isp/chip_image.h"
#include "widgets/gui_scroll_h.h"
#include "widgets/gui_scroll_v.h"
#include "widgets/widget_base.h"

namespace tolmeo {

enum ViewMode : int { kFlashView = 0, kEepromView = 1 };

class Tmemory_Viewer_Form : public WidgetBase {
 public:
  static constexpr int kAddressWidth = 72;
  static constexpr int kHeaderHeight = 16;
  static constexpr int kDumpX = 73;
  static constexpr int kDumpY = 17;
  static constexpr int kWheelStep = 3;
  // Each dump text holds at most this many bytes with its terminating zero.
  static constexpr std::size_t kDumpTextCapacity = 1'024'000;
  // Bytes of a full row with its CR LF.
  static constexpr int kFlashRowBytes = 82;
  static constexpr int kEepromRowBytes = 50;

  // A child of parent, placed below top_edge (the bottom of the parent's caption bar) and
  // filling the rest of the parent.
  Tmemory_Viewer_Form(Form& parent, const IdeOptions& options, const ChipImage& image,
                      int top_edge);

  // The programmer window's controls the viewer reads; without them the positions are 0.
  void AttachScrollBars(Tgui_scroll_v_Form* vertical, Tgui_scroll_h_Form* horizontal,
                        int block_tabs_height);

  // Rebuilds and shows the dump of mode (kFlashView, kEepromView); the stored mode stays.
  void Refresh(int mode);
  // Sets the vertical bar's page and maximum for the stored mode's memory.
  void UpdateScrollRange();
  void FitToParent();
  // Reload the background from the options' path with this brightness (or from this path
  // with the options' brightness), then refresh in the stored mode.
  void SetBackgroundBrightness(int amount);
  void SetBackgroundPicture(const std::string& cp949_path);
  // A wheel turn of notches (positive: towards address 0), as the viewer applies it.
  void Wheel(int notches);

  int view_mode() const { return view_mode_; }
  void SetViewMode(int mode) { view_mode_ = mode == kEepromView ? kEepromView : kFlashView; }
  int row_height() const { return row_height_; }
  int column_width() const { return column_width_; }
  const std::string& picture_path() const { return picture_path_; }
  const std::string& dump_text(int mode) const { return dump_text_[mode == kEepromView]; }
  // Positions remembered per memory view by the programmer window's tab handler.
  std::array<int, 2> saved_top_row{};
  std::array<int, 2> saved_left_column{};

 protected:
  // Draws the dump of the mode last refreshed.
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  bool FormMouseWheel(ShiftState shift, int notches, Point screen) override;

 private:
  void LoadBackground(const std::string& cp949_path, int brightness);
  void PrepareStrips();
  void DrawHeaderAndAddresses(Bitmap& bitmap, int top_row, int left_column);
  int TopRow() const;
  int LeftColumn() const;

  const ChipImage& image_;
  Tgui_scroll_v_Form* vertical_ = nullptr;
  Tgui_scroll_h_Form* horizontal_ = nullptr;
  int block_tabs_height_ = 0;
  Bitmap background_;
  Bitmap header_strip_;
  Bitmap address_strip_;
  int row_height_ = 1;
  int column_width_ = 1;
  int view_mode_ = kFlashView;
  int shown_mode_ = kFlashView;
  std::array<std::string, 2> dump_text_;
  std::string picture_path_;
};

}  // namespace tolmeo
