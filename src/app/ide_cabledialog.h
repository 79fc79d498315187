#pragma once
// The cable dialog: the cables a probe found (with each chip's signature and speed), the wiring
// of a parallel port, and the ISP speed with the slowest target clock it suits. Applying puts
// the chosen cable text and speed into the options record (written to the file when the main
// window closes) and has the main window take the new cable at once. Drawn like the settings
// dialog: a title tab with a close button, our own check boxes, buttons and scroll bar.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/pointer_drag.h"
#include "isp/cable_probe.h"
#include "widgets/gui_bmpbutton.h"
#include "widgets/gui_button.h"
#include "widgets/gui_check_button.h"
#include "widgets/gui_scroll_h.h"
#include "widgets/widget_base.h"

namespace tolmeo {

struct CableDialogHooks {
  // Finds and probes the cables; the main window lets go of its own cable meanwhile.
  std::function<std::vector<ProbeResult>()> probe;
  // The main window takes the options' cable and speed; false when it cannot now (a command
  // runs), having said why.
  std::function<bool()> apply;
  // The message box's ShowNotice.
  std::function<void(int kind, std::string_view cp949_text)> show_notice;
};

inline constexpr int kCableDialogWidth = 440;
inline constexpr int kCableDialogHeight = 330;
inline constexpr int kCableRows = 6;

class Tide_cable_Form : public WidgetBase {
 public:
  Tide_cable_Form(IdeOptions& options, CableDialogHooks hooks);

  const std::string& chosen_text() const { return chosen_text_; }
  std::int32_t chosen_speed() const { return chosen_speed_; }
  // The probe's line of each row shown (CP949), and the speed line under the bar.
  const std::vector<ProbeResult>& rows() const { return rows_; }
  std::string SpeedLine() const;

  Tgui_bmpbutton_Form& close_button() { return close_button_; }
  Tgui_button_Form& probe_button() { return probe_button_; }
  Tgui_button_Form& apply_button() { return apply_button_; }
  Tgui_check_button_Form& row_box(int row) { return *row_boxes_.at(row); }
  Tgui_check_button_Form& wiring_box(int wiring) { return *wiring_boxes_.at(wiring); }
  Tgui_scroll_h_Form& speed_bar() { return speed_bar_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormShow() override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  void PlaceControls();
  void Probe();
  void ChooseRow(int row);
  void ChooseWiring(int wiring);
  void SpeedMoved();
  void Apply();
  // The boxes and the bar as the chosen text and speed say, without running their handlers.
  void ShowChoice();

  IdeOptions& settings_;
  CableDialogHooks hooks_;
  TextStyle title_style_;
  int tab_width_ = 0;
  std::vector<ProbeResult> rows_;
  std::string chosen_text_;
  std::int32_t chosen_speed_ = 0;
  Tgui_bmpbutton_Form close_button_;
  Tgui_button_Form probe_button_;
  Tgui_button_Form apply_button_;
  std::vector<std::unique_ptr<Tgui_check_button_Form>> row_boxes_;
  std::vector<std::unique_ptr<Tgui_check_button_Form>> wiring_boxes_;
  Tgui_scroll_h_Form speed_bar_;
  WindowDrag drag_;  // by the title tab
};

}  // namespace tolmeo
