#pragma once
// The cable dialog: the cables a probe found (with each chip's signature and speed), the wiring
// of a parallel port, and the ISP speed with the slowest target clock it suits. Applying puts
// the chosen cable text and speed into the options record (written to the file when the main
// window closes) and has the main window take the new cable at once. Drawn like the settings
// dialog (a tabbed dialog), with our own check boxes, buttons and scroll bars. The probe runs
// while the windows go on; the dialog says it is searching until the results come.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "isp/cable_probe.h"
#include "shell/tabbed_dialog.h"
#include "widgets/gui_button.h"
#include "widgets/gui_check_button.h"
#include "widgets/gui_scroll_h.h"
#include "widgets/gui_scroll_v.h"

namespace tolmeo {

struct CableDialogHooks {
  // Starts finding and probing the cables, the main window letting go of its own cable
  // meanwhile; done is given what was found, on the GUI thread, when the probe ends. False when
  // it cannot start now (a command runs), having said why.
  std::function<bool(ProbeDone done)> probe;
  // The main window takes the options' cable and speed; false when it cannot now (a command
  // runs), having said why.
  std::function<bool()> apply;
  // The message box's ShowNotice.
  std::function<void(int kind, std::string_view cp949_text)> show_notice;
};

inline constexpr int kCableDialogWidth = 440;
inline constexpr int kCableDialogHeight = 330;
inline constexpr int kCableRows = 6;
// The lines the found cables take are shown this many at a time; the bar beside them scrolls.
inline constexpr int kCableShownLines = 6;

// One line of a found cable's text, wrapped to the dialog's width.
struct CableRowLine {
  int row = 0;
  std::string text;  // CP949
};

class Tide_cable_Form : public TabbedDialog {
 public:
  Tide_cable_Form(IdeOptions& options, CableDialogHooks hooks);

  const std::string& chosen_text() const { return chosen_text_; }
  std::int32_t chosen_speed() const { return chosen_speed_; }
  // The probe's line of each row shown (CP949), and the speed line under the bar.
  const std::vector<ProbeResult>& rows() const { return rows_; }
  // The rows' probe lines, each wrapped at its spaces (within a word too long for a line) so
  // that none runs past the bar; the bar shows them kCableShownLines at a time.
  const std::vector<CableRowLine>& row_lines() const { return row_lines_; }
  std::string SpeedLine() const;
  // From 검색 until the probe's results are shown: both buttons refuse meanwhile.
  bool searching() const { return searching_; }

  Tgui_button_Form& probe_button() { return probe_button_; }
  Tgui_button_Form& apply_button() { return apply_button_; }
  Tgui_check_button_Form& row_box(int row) { return *row_boxes_.at(row); }
  Tgui_check_button_Form& wiring_box(int wiring) { return *wiring_boxes_.at(wiring); }
  Tgui_scroll_h_Form& speed_bar() { return speed_bar_; }
  Tgui_scroll_v_Form& lines_bar() { return lines_bar_; }

 protected:
  void RenderBody(Bitmap& bitmap) override;
  void FormShow() override;

 private:
  void PlaceControls();
  void Probe();
  void ShowSearching(bool searching);
  void ShowProbe(std::vector<ProbeResult> found);
  void SetRows(std::vector<ProbeResult> rows);
  // Where the row's first line stands among the lines shown; nullopt when scrolled away.
  std::optional<int> ShownLineOf(int row) const;
  void ChooseRow(int row);
  void ChooseWiring(int wiring);
  void SpeedMoved();
  void Apply();
  // The boxes and the bar as the chosen text and speed say, without running their handlers.
  void ShowChoice();

  IdeOptions& settings_;
  CableDialogHooks hooks_;
  std::vector<ProbeResult> rows_;
  std::vector<CableRowLine> row_lines_;
  std::string chosen_text_;
  std::int32_t chosen_speed_ = 0;
  bool searching_ = false;
  Tgui_button_Form probe_button_;
  Tgui_button_Form apply_button_;
  std::vector<std::unique_ptr<Tgui_check_button_Form>> row_boxes_;
  std::vector<std::unique_ptr<Tgui_check_button_Form>> wiring_boxes_;
  Tgui_scroll_h_Form speed_bar_;
  Tgui_scroll_v_Form lines_bar_;
};

}  // namespace tolmeo
