#include "app/ide_cabledialog.h"

#include <algorithm>
#include <cstdio>

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"
#include "isp/cable_choice.h"
#include "isp/engine_seam.h"
#include "isp/line_driver.h"
#include "port/parport_wiring.h"
#include "shell/ide_msgbox.h"

namespace tolmeo {
namespace {

constexpr int kBoxTextGap = 16;
constexpr int kRowTop = 48;
constexpr int kRowHeight = 16;
constexpr int kWiringTop = 170;
constexpr int kWiringStep = 84;
constexpr int kSpeedBarTop = 212;
constexpr int kSpeedBarWidth = 265;
constexpr int kSpeedTextTop = 230;
constexpr int kChosenTextTop = 272;
constexpr int kButtonWidth = 60;
constexpr int kRowTextLeft = 8 + kBoxTextGap;
constexpr int kLinesBarLeft = kCableDialogWidth - ScrollBar::kThickness - 6;
constexpr int kRowTextWidth = kLinesBarLeft - 4 - kRowTextLeft;

constexpr DialogHeading kHeadings[] = {
    {u8"[찾은 케이블]", 30}, {u8"[병렬 포트 배선]", 152}, {u8"[ISP 속도]", 194}, {u8"[케이블 설정]", 254}};
constexpr int kLineYs[] = {146, 188, 248};

const std::string& Title() { return Ktext(u8" 케이블 설정 "); }

// A parallel port's text: its port (empty for the first found) and wiring.
std::optional<CableSetting> ParallelPort(const std::string& text) {
  Result<CableSetting> setting = ParseCableText(text);
  if (!setting || setting->simulated || setting->kind != CableKind::ParallelPort) return std::nullopt;
  if (!setting->port.empty() && !setting->port.starts_with("parport")) return std::nullopt;
  return *setting;
}

// The row's cable, with any wiring the chosen text adds to its port.
bool SameCable(const std::string& row_text, const std::string& chosen) {
  return chosen == row_text || chosen.starts_with(row_text + ":");
}

// Where the speed stands among the probe's speeds: the first at or above it.
int SpeedIndex(std::int32_t speed) {
  const std::span<const std::int32_t> speeds = ProbeSpeeds();
  const auto at = std::lower_bound(speeds.begin(), speeds.end(), speed);
  return static_cast<int>(std::min<std::size_t>(at - speeds.begin(), speeds.size() - 1));
}

// The longest start of text no wider than width, cut between characters; at least one.
template <typename Measure>
std::string_view FittingStart(std::string_view text, int width, const Measure& measure) {
  std::string_view fits;
  for (std::size_t bytes = 1; bytes <= text.size(); ++bytes) {
    const std::string_view start = CutAtCharBoundary(text, bytes);
    if (start.size() != bytes) continue;  // half a character
    if (!fits.empty() && measure(start) > width) break;
    fits = start;
  }
  return fits;
}

// The text as lines no wider than width, broken at the last space that fits (the space then
// starts no line), or within a word too long for a line.
template <typename Measure>
std::vector<std::string> WrappedLines(std::string_view text, int width, const Measure& measure) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = FittingStart(text, width, measure).size();
    const std::size_t space = text.rfind(' ', end);
    if (end < text.size() && space != std::string_view::npos && space > 0) end = space;
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end);
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  return lines;
}

}  // namespace

Tide_cable_Form::Tide_cable_Form(IdeOptions& options, CableDialogHooks hooks)
    : TabbedDialog(options, Title(), kCableDialogWidth, kCableDialogHeight),
      settings_(options),
      hooks_(std::move(hooks)),
      probe_button_(this, options),
      apply_button_(this, options),
      speed_bar_(this, options),
      lines_bar_(this, options) {
  for (int i = 0; i < kCableRows; ++i) row_boxes_.push_back(std::make_unique<Tgui_check_button_Form>(this, options));
  for (std::size_t i = 0; i < KnownWirings().size(); ++i) {
    wiring_boxes_.push_back(std::make_unique<Tgui_check_button_Form>(this, options));
  }
  PlaceControls();
  SetRows({});  // none found yet: the bar is not needed
  Draw();
}

void Tide_cable_Form::PlaceControls() {
  const int button_left = kCableDialogWidth - kButtonWidth - 8;
  Place(probe_button_, Rect{button_left, 28, kButtonWidth, 18});
  probe_button_.SetCaption(Ktext(u8"검색"));
  probe_button_.on_click = [this] { Probe(); };
  Place(apply_button_, Rect{button_left, 290, kButtonWidth, 20});
  apply_button_.SetCaption(Ktext(u8"적용"));
  apply_button_.on_click = [this] { Apply(); };
  constexpr int box = Tgui_check_button_Form::kSize;
  for (int i = 0; i < kCableRows; ++i) {
    Place(*row_boxes_[i], Rect{8, kRowTop + kRowHeight * i, box, box});
    row_boxes_[i]->on_release = [this, i] { ChooseRow(i); };
  }
  for (int i = 0; i < static_cast<int>(wiring_boxes_.size()); ++i) {
    Place(*wiring_boxes_[i], Rect{8 + kWiringStep * i, kWiringTop, box, box});
    wiring_boxes_[i]->on_release = [this, i] { ChooseWiring(i); };
  }
  Place(speed_bar_, Rect{8, kSpeedBarTop, kSpeedBarWidth, ScrollBar::kThickness});
  speed_bar_.SetPage(1);
  speed_bar_.SetMax(static_cast<int>(ProbeSpeeds().size()) - 1);
  speed_bar_.on_change = [this] { SpeedMoved(); };
  Place(lines_bar_, Rect{kLinesBarLeft, kRowTop, ScrollBar::kThickness, kRowHeight * kCableShownLines});
  lines_bar_.SetPage(kCableShownLines);
  lines_bar_.on_change = [this] { ShowChoice(); };
}

void Tide_cable_Form::FormShow() {
  TabbedDialog::FormShow();
  chosen_text_ = settings_.cable;
  chosen_speed_ = settings_.ispSpeed;
  ShowChoice();
}

void Tide_cable_Form::ShowChoice() {
  for (int i = 0; i < kCableRows; ++i) {
    // A box for each cable found whose first line is in view, no more.
    const std::optional<int> line = ShownLineOf(i);
    line ? row_boxes_[i]->Show() : row_boxes_[i]->Hide();
    if (line) row_boxes_[i]->SetTop(kRowTop + kRowHeight * *line);
    row_boxes_[i]->SetChecked(line && SameCable(rows_[i].cable.text, chosen_text_));
  }
  const std::optional<CableSetting> port = ParallelPort(chosen_text_);
  for (std::size_t i = 0; i < wiring_boxes_.size(); ++i) {
    const bool own = port && port->wiring.empty() && i == 0;
    wiring_boxes_[i]->SetChecked(port && (own || port->wiring == KnownWirings()[i].name));
  }
  speed_bar_.RestorePosition(SpeedIndex(chosen_speed_));
  Draw();
}

// --- Handlers --------------------------------------------------------------------------------

// The dialog may be gone when the probe ends; its results then go nowhere.
void Tide_cable_Form::Probe() {
  if (!hooks_.probe || searching_) return;
  SetRows({});
  ShowSearching(true);
  const bool started = hooks_.probe([dialog = Watch()](std::vector<ProbeResult> found) {
    if (Form* form = dialog.get()) static_cast<Tide_cable_Form*>(form)->ShowProbe(std::move(found));
  });
  if (!started) ShowSearching(false);
}

void Tide_cable_Form::ShowSearching(bool searching) {
  searching_ = searching;
  probe_button_.SetEnabled(!searching);
  apply_button_.SetEnabled(!searching);
  // The busy look of the main window's commands: a pointer over a refusing button is the
  // dialog's, which waits.
  SetCursor(searching ? CursorShape::Wait : CursorShape::Default);
  ShowChoice();
}

void Tide_cable_Form::ShowProbe(std::vector<ProbeResult> found) {
  SetRows(std::move(found));
  ShowSearching(false);
}

void Tide_cable_Form::SetRows(std::vector<ProbeResult> rows) {
  rows_ = std::move(rows);
  if (rows_.size() > static_cast<std::size_t>(kCableRows)) rows_.resize(kCableRows);
  row_lines_.clear();
  const auto measure = [this](std::string_view text) { return BodyTextWidth(text); };
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    for (std::string& line : WrappedLines(ProbeLine(rows_[i]), kRowTextWidth, measure)) {
      row_lines_.push_back({i, std::move(line)});
    }
  }
  const int hidden_lines = std::max(0, static_cast<int>(row_lines_.size()) - kCableShownLines);
  hidden_lines > 0 ? lines_bar_.Show() : lines_bar_.Hide();
  lines_bar_.RestorePosition(0);
  lines_bar_.SetMax(hidden_lines);
}

std::optional<int> Tide_cable_Form::ShownLineOf(int row) const {
  const auto first = std::find_if(row_lines_.begin(), row_lines_.end(),
                                  [row](const CableRowLine& line) { return line.row == row; });
  const int line = static_cast<int>(first - row_lines_.begin()) - lines_bar_.position();
  if (first == row_lines_.end() || line < 0 || line >= kCableShownLines) return std::nullopt;
  return line;
}

// A row's cable, at the speed its probe suggests.
void Tide_cable_Form::ChooseRow(int row) {
  if (row < static_cast<int>(rows_.size())) {
    chosen_text_ = rows_[row].cable.text;
    if (rows_[row].suggested_speed) chosen_speed_ = *rows_[row].suggested_speed;
  }
  ShowChoice();
}

// Only a parallel port has a wiring; Tolmeo's own is named by none.
void Tide_cable_Form::ChooseWiring(int wiring) {
  if (const std::optional<CableSetting> port = ParallelPort(chosen_text_)) {
    chosen_text_ = port->port + (wiring == 0 ? "" : ":" + std::string(KnownWirings()[wiring].name));
  }
  ShowChoice();
}

void Tide_cable_Form::SpeedMoved() {
  chosen_speed_ = ProbeSpeeds()[speed_bar_.position()];
  Draw();
}

void Tide_cable_Form::Apply() {
  Result<CableSetting> setting = ParseCableText(chosen_text_);
  std::string problem = setting ? std::string() : setting.reason();
  if (chosen_text_.size() >= kMaxOptionPathBytes) problem = Ktext(u8"케이블 글이 너무 깁니다.");
  if (!problem.empty()) {
    if (hooks_.show_notice) hooks_.show_notice(kNoticeFailure, problem);
    return;
  }
  const std::string old_cable = settings_.cable;
  const std::int32_t old_speed = settings_.ispSpeed;
  settings_.cable = chosen_text_;
  settings_.ispSpeed = chosen_speed_;
  if (hooks_.apply && !hooks_.apply()) {
    settings_.cable = old_cable;
    settings_.ispSpeed = old_speed;
  }
}

// --- Drawing ----------------------------------------------------------------------------------

std::string Tide_cable_Form::SpeedLine() const {
  char phase[64];
  std::snprintf(phase, sizeof phase, "%.2f us", SckTimingOf(chosen_speed_).shortest_phase_us);
  return Ktext(u8"ISP 속도 ") + SpeedText(chosen_speed_) + Ktext(u8", SCK 한 단계 ") + phase;
}

void Tide_cable_Form::RenderBody(Bitmap& bitmap) {
  DrawHeadings(bitmap, kHeadings);
  if (searching_) {
    DrawBodyText(bitmap, kRowTextLeft, kRowTop, Ktext(u8"검색 중..."));
  } else if (rows_.empty()) {
    DrawBodyText(bitmap, kRowTextLeft, kRowTop, Ktext(u8"\"검색\" 을 누르면 달려 있는 케이블을 찾습니다."));
  }
  for (int shown = 0; shown < kCableShownLines; ++shown) {
    const std::size_t at = static_cast<std::size_t>(lines_bar_.position() + shown);
    if (at >= row_lines_.size()) break;
    DrawBodyText(bitmap, kRowTextLeft, kRowTop + kRowHeight * shown, row_lines_[at].text);
  }
  for (std::size_t i = 0; i < KnownWirings().size(); ++i) {
    DrawBodyText(bitmap, 8 + kWiringStep * static_cast<int>(i) + kBoxTextGap, kWiringTop, std::string(KnownWirings()[i].name));
  }
  DrawBodyText(bitmap, 8, kSpeedTextTop, SpeedLine());
  DrawBodyText(bitmap, 8, kChosenTextTop, chosen_text_);
  for (int y : kLineYs) DrawSeparator(bitmap, y);
}

}  // namespace tolmeo
