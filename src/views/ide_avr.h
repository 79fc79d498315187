#pragma once
// The programmer window: the lower part of the main window, below the command panel. Block
// tabs at its bottom edge choose one of three views: Flash and EEprom show the memory viewer
// with its scroll bars and page control, "AVR 설정" shows the lock and fuse bit editor. A
// caption bar names the view in force. The window keeps each memory view's scroll positions
// and lays its controls out again whenever it is resized.
#include <memory>

#include "formats/ide_options.h"
#include "isp/chip_image.h"
#include "views/lock_fuse_editor.h"
#include "views/memory_viewer.h"
#include "widgets/gui_blocktabs.h"
#include "widgets/gui_captionbar.h"
#include "widgets/gui_edgebox.h"
#include "widgets/gui_page.h"
#include "widgets/gui_scroll_h.h"
#include "widgets/gui_scroll_v.h"

namespace tolmeo {

enum ProgrammerView : int { kFlashTab = 0, kEepromTab = 1, kAvrSettingsTab = 2 };

class Tide_AVR_Form : public Form {
 public:
  // Rows from the main window's bottom to the programmer window's top, at construction.
  static constexpr int kBottomRows = 254;

  // A child of main_window at (menu_bar_left, main height - 254), main width - 6 wide, down
  // to 3 pixels above the main window's bottom.
  Tide_AVR_Form(Form& main_window, const IdeOptions& options, ChipImage& image,
                int menu_bar_left);
  ~Tide_AVR_Form() override;

  // Follows the main window's size; the top stays where it was put.
  void FitToMainWindow();
  void ShowViewerGroup(bool visible);
  void ShowBitEditorGroup(bool visible);
  // A wheel turn that reached the programmer window or its owner: scrolls the viewer when it
  // has the keyboard focus. True when used.
  bool OfferWheel(int notches);

  Tmemory_Viewer_Form& viewer() { return *viewer_; }
  LockFuseEditor& bit_editor() { return *bit_editor_; }
  Tgui_captionbar_Form& caption_bar() { return *caption_; }
  Tgui_BlockTabs_Form& block_tabs() { return *tabs_; }
  Tgui_page_Form& page_control() { return *page_; }
  Tgui_scroll_v_Form& vertical_bar() { return *vertical_; }
  Tgui_scroll_h_Form& horizontal_bar() { return *horizontal_; }
  Tgui_edgebox_Form& edge_box() { return *edge_; }

 protected:
  void FormResize() override;
  bool FormMouseWheel(ShiftState shift, int notches, Point screen) override;

 private:
  void LayOutRightEdge();
  void TabChanged();
  void FocusViewer();
  void ScrollChanged();
  void Page(int direction);

  Form& main_window_;
  const IdeOptions& options_;
  std::unique_ptr<Tgui_captionbar_Form> caption_;
  std::unique_ptr<Tmemory_Viewer_Form> viewer_;
  std::unique_ptr<Tgui_BlockTabs_Form> tabs_;
  std::unique_ptr<Tgui_page_Form> page_;
  std::unique_ptr<Tgui_edgebox_Form> edge_;
  std::unique_ptr<Tgui_scroll_v_Form> vertical_;
  std::unique_ptr<Tgui_scroll_h_Form> horizontal_;
  std::unique_ptr<LockFuseEditor> bit_editor_;
};

}  // namespace tolmeo
