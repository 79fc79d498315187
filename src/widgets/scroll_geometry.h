#pragma once
// What both scroll bars compute, as pure functions of their state, and the bar itself written
// once along an axis: the horizontal bar is this bar, the vertical one the same turned by 90
// degrees ("along" is x for the one and y for the other).
#include <functional>

#include "form/pointer_drag.h"
#include "form/press_repeat.h"
#include "widgets/widget_base.h"

namespace tolmeo {

struct ThumbGeometry {
  int thumb_length = 0;
  int free_length = 0;  // track length - thumb length: how far the thumb can travel
  int thumb_offset = 0;  // from the track's start
};

// The thumb's size and place. An empty range fills the track; a range that the page cancels
// out (maximum - minimum + page = 0, only with a negative page) does the same instead of
// dividing by zero, and the thumb always stays within the track.
ThumbGeometry ComputeThumb(int track_length, int page, int minimum, int maximum, int position);
// The position whose thumb lies offset pixels down the track; minimum when the thumb cannot
// travel (free length 0).
int PositionForThumbOffset(int offset, int minimum, int maximum, int free_length);

enum class ScrollAxis { Horizontal, Vertical };

class ScrollBar : public WidgetBase {
 public:
  static constexpr int kThickness = 13;
  static constexpr int kArrowLength = 8;

  void SetPage(int page);
  // The vertical bar brings its position down to a lower maximum (running on_change); the
  // horizontal bar keeps the stored position until the next SetPosition.
  void SetMax(int maximum);
  // Clamps, stores, draws, then runs on_change, even when nothing changed.
  void SetPosition(int position);
  // Stores the position as it is, without clamping or on_change, and draws: for putting back
  // a remembered view, whose range is set afterwards.
  void RestorePosition(int position);

  int page() const { return page_; }
  int maximum() const { return maximum_; }
  int minimum() const { return minimum_; }
  int position() const { return position_; }
  // Pixels between the two arrows.
  int track_length() const;
  ThumbGeometry thumb() const;
  bool dragging() const { return drag_.active(); }
  bool repeating() const { return repeat_.repeating(); }

  std::function<void()> on_change;
  // After every press on the bar, with any button.
  std::function<void()> on_press;

 protected:
  ScrollBar(Form* owner, const IdeOptions& options, ScrollAxis axis, int design_length);

  void SetMinimum(int minimum);
  void Render(Bitmap& bitmap) override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  int Length() const;
  int Along(int x, int y) const { return axis_ == ScrollAxis::Horizontal ? x : y; }
  // Plots in bar coordinates: along the bar and across it.
  void Plot(Bitmap& bitmap, int along, int across, Color color) const;
  void FillSpan(Bitmap& bitmap, int along, int length, int across, int thickness,
                Color color) const;
  void RenderTrack(Bitmap& bitmap) const;
  void RenderThumb(Bitmap& bitmap) const;
  void RenderArrow(Bitmap& bitmap, bool at_end, bool down) const;
  void StepArrow();

  ScrollAxis axis_;
  int page_;
  int maximum_ = 100;
  int minimum_ = 0;
  int position_ = 0;
  bool start_arrow_down_ = false;
  bool end_arrow_down_ = false;
  PointerDrag drag_;
  PressRepeat repeat_;
};

}  // namespace tolmeo
