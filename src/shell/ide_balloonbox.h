#pragma once
// Balloon help: one small window with a pointed tail that comes up one second after the
// pointer enters a control, showing the control's help text, and goes away when the pointer
// leaves. It registers itself as the controls' balloon host while it exists.
//
// States: hidden and idle; waiting (timer running, window hidden, following the pointer);
// showing. The window's left edge lies kTailTip columns left of the pointer, so the tip of the
// tail sits on it, unless that would leave the work area. A showing balloon hides when its
// control withdraws it, when the pointer leaves the balloon itself, or when it loses the focus.
// While a modal window is up, only its own controls get balloons, and these leave the keyboard
// focus with the modal window.
#include <cstddef>
#include <string>
#include <string_view>

#include "form/form_timer.h"
#include "form/pointer_drag.h"
#include "form/popup_focus.h"
#include "form/region.h"
#include "widgets/balloon_host.h"
#include "widgets/widget_base.h"

namespace tolmeo {

// The balloon's fixed measures: tail tip column, top band (drag handle), tail width, the part of
// the band cut away above the body, the text's left column and top row, and the delay.
inline constexpr int kBalloonTailTip = 16;
inline constexpr int kBalloonBandHeight = 16;
inline constexpr int kBalloonTailWidth = 11;
inline constexpr int kBalloonCutHeight = 12;
inline constexpr int kBalloonTextLeft = 8;
inline constexpr int kBalloonTextTop = 20;
inline constexpr int kBalloonDelayMs = 1000;
// A balloon text keeps at most this many bytes, as its fixed buffer held.
inline constexpr std::size_t kBalloonTextLimit = 10243;
// Opacity of the translucent balloon.
inline constexpr std::uint8_t kBalloonOpacity = 225;

// The window size for a text of the given measured size.
struct BalloonSize {
  int width = 0;
  int height = 0;
};
BalloonSize BalloonSizeFor(int text_width, int text_height);
// The body below the cut band, with the tail standing above it at its left.
Region BalloonShape(int width, int height);
// Where a balloon of this size goes for the pointer at tip: the tail's tip on the pointer, as
// far as the work area allows. Without room below the pointer it goes above it, not over it.
Rect BalloonBounds(Point tip, BalloonSize size, const Rect& work_area);

class Tide_BalloonBox_Form : public WidgetBase, public BalloonHost {
 public:
  explicit Tide_BalloonBox_Form(const IdeOptions& options);
  ~Tide_BalloonBox_Form() override;

  void RequestBalloon(int x, int y, const std::string& cp949_text, int delayed) override;
  void TrackBalloon(int x, int y) override;
  void WithdrawBalloon() override;
  // Applies the options' balloon translucency; the settings dialog calls it when switched.
  void ApplyTranslucency();

  const std::string& text() const { return text_; }
  bool waiting() const { return balloon_Timer.enabled(); }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormExit() override;
  void FormMouseLeave() override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  void balloon_TimerTimer();
  // Builds the picture for the current text, shows the window and gives it the focus.
  void ShowBalloon();
  // Stops waiting and hides, whatever the pointer is over.
  void Dismiss();
  bool PointerOnBalloon() const;
  // True when the control under the pointer lies behind a modal window.
  bool RequesterBehindModal() const;
  void MoveTo(int x, int y);

  FormTimer balloon_Timer;
  Color background_;
  std::string text_;
  Point tip_;  // the pointer's screen position the tail points at
  // The balloon borrows the keyboard focus while it shows, and hides when it loses it.
  PopupFocus popup_{*this};
  WindowDrag drag_;  // by the band above the tail
};

}  // namespace tolmeo
