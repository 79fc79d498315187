#include "widgets/scroll_geometry.h"

#include <algorithm>
#include <cstdint>

#include "form/application.h"
#include "gfx/colors.h"

namespace tolmeo {
namespace {

constexpr int kBandFirst = 4;  // the checkerboard, the thumb and its separators: across 4 to 8
constexpr int kBandThickness = 5;

}  // namespace

ThumbGeometry ComputeThumb(int track_length, int page, int minimum, int maximum, int position) {
  ThumbGeometry thumb;
  const std::int64_t range = std::int64_t{maximum} - minimum;
  const std::int64_t whole = range + page;
  if (range == 0 || whole == 0) {
    thumb.thumb_length = track_length;
    return thumb;
  }
  std::int64_t length = std::int64_t{track_length} * page / whole;
  const int track = std::max(0, track_length);
  thumb.thumb_length = static_cast<int>(std::clamp<std::int64_t>(length, 0, track));
  thumb.free_length = track_length - thumb.thumb_length;
  std::int64_t offset = (std::int64_t{position} - minimum) * thumb.free_length / range;
  const int travel = std::max(0, thumb.free_length);
  thumb.thumb_offset = static_cast<int>(std::clamp<std::int64_t>(offset, 0, travel));
  return thumb;
}

int PositionForThumbOffset(int offset, int minimum, int maximum, int free_length) {
  if (free_length == 0) return minimum;
  std::int64_t position = (std::int64_t{maximum} - minimum) * offset / free_length + minimum;
  return static_cast<int>(std::clamp<std::int64_t>(position, INT32_MIN, INT32_MAX));
}

ScrollBar::ScrollBar(Form* owner, const IdeOptions& options, ScrollAxis axis, int design_length)
    : WidgetBase(owner, options),
      axis_(axis),
      page_(design_length - 2 * kArrowLength),
      repeat_("scroll_Timer", [this] { StepArrow(); }) {
  Rect screen = Application::Current().ScreenRect();
  if (axis_ == ScrollAxis::Horizontal) {
    KeepBitmapSize(screen.width, kThickness);
    SetBounds(Rect{0, 0, design_length, kThickness});
  } else {
    KeepBitmapSize(kThickness, screen.height);
    SetBounds(Rect{0, 0, kThickness, design_length});
  }
}

int ScrollBar::Length() const { return axis_ == ScrollAxis::Horizontal ? width() : height(); }

int ScrollBar::track_length() const { return Length() - 2 * kArrowLength; }

ThumbGeometry ScrollBar::thumb() const {
  return ComputeThumb(track_length(), page_, minimum_, maximum_, position_);
}

void ScrollBar::SetPage(int page) {
  page_ = page;
  Draw();
}

void ScrollBar::SetMax(int maximum) {
  maximum_ = maximum;
  if (axis_ == ScrollAxis::Vertical && position_ > maximum_) {
    SetPosition(maximum_);
  } else {
    Draw();
  }
}

void ScrollBar::SetMinimum(int minimum) {
  minimum_ = minimum;
  Draw();
}

void ScrollBar::SetPosition(int position) {
  // A minimum above the maximum leaves the minimum in force, as a clamp to [min, max] does.
  position_ = std::max(minimum_, std::min(position, maximum_));
  Draw();
  if (on_change) {
    HideBalloon();
    on_change();
  }
}

void ScrollBar::RestorePosition(int position) {
  position_ = position;
  Draw();
}

void ScrollBar::Plot(Bitmap& bitmap, int along, int across, Color color) const {
  if (axis_ == ScrollAxis::Horizontal) {
    bitmap.SetPixel(along, across, color);
  } else {
    bitmap.SetPixel(across, along, color);
  }
}

void ScrollBar::FillSpan(Bitmap& bitmap, int along, int length, int across, int thickness,
                         Color color) const {
  if (axis_ == ScrollAxis::Horizontal) {
    bitmap.FillRect(Rect{along, across, length, thickness}, color);
  } else {
    bitmap.FillRect(Rect{across, along, thickness, length}, color);
  }
}

void ScrollBar::Render(Bitmap& bitmap) {
  RenderTrack(bitmap);
  RenderThumb(bitmap);
  RenderArrow(bitmap, false, start_arrow_down_);
  RenderArrow(bitmap, true, end_arrow_down_);
}

void ScrollBar::RenderTrack(Bitmap& bitmap) const {
  const Color overall = options().overallColor;
  FillSpan(bitmap, kArrowLength, track_length(), 0, kThickness, kWhite);
  int k = 0;
  for (int i = 0; i < track_length(); ++i) {
    for (int across = kBandFirst; across < kBandFirst + kBandThickness; ++across, ++k) {
      Plot(bitmap, kArrowLength + i, across, k % 2 == 0 ? overall : kWhite);
    }
  }
}

void ScrollBar::RenderThumb(Bitmap& bitmap) const {
  ThumbGeometry geometry = thumb();
  const int start = kArrowLength + geometry.thumb_offset;
  const int end = start + geometry.thumb_length;
  FillSpan(bitmap, start, geometry.thumb_length, kBandFirst, kBandThickness,
           options().overallColor);
  FillSpan(bitmap, start - 1, 1, kBandFirst, kBandThickness, kWhite);
  FillSpan(bitmap, end, 1, kBandFirst, kBandThickness, kWhite);
}

void ScrollBar::RenderArrow(Bitmap& bitmap, bool at_end, bool down) const {
  const Color overall = options().overallColor;
  const Color back = down ? overall : kWhite;
  const Color arrow = down ? kWhite : overall;
  const int length = Length();
  FillSpan(bitmap, at_end ? length - kArrowLength : 0, kArrowLength, 0, kThickness, back);
  // A solid triangle, tip one pixel in from the bar's end, base 6 pixels along, 11 across.
  for (int i = 0; i <= 5; ++i) {
    int along = at_end ? length - 2 - i : 1 + i;
    for (int across = 6 - i; across <= 6 + i; ++across) Plot(bitmap, along, across, arrow);
  }
}

void ScrollBar::StepArrow() {
  if (start_arrow_down_) {
    SetPosition(position_ - 1);
  } else if (end_arrow_down_) {
    SetPosition(position_ + 1);
  }
}

void ScrollBar::FormMouseDown(MouseButton button, ShiftState, int x, int y) {
  FormWatch alive = Watch();
  if (button == MouseButton::Left) {
    const int along = Along(x, y);
    const ThumbGeometry geometry = thumb();
    const int thumb_start = kArrowLength + geometry.thumb_offset;
    if (along >= 0 && along < kArrowLength) {
      start_arrow_down_ = true;
      end_arrow_down_ = false;
      repeat_.Press();
    } else if (along >= Length() - kArrowLength && along < Length()) {
      end_arrow_down_ = true;
      start_arrow_down_ = false;
      repeat_.Press();
    } else if (along >= thumb_start && along < thumb_start + geometry.thumb_length) {
      drag_.Begin(*this, x, y, Point{geometry.thumb_offset, geometry.thumb_offset});
    }
    if (!alive) return;
    Draw();
  }
  if (on_press) {
    HideBalloon();
    on_press();
  }
}

void ScrollBar::FormMouseMove(ShiftState shift, int x, int y) {
  if (shift & kLeftButton) {
    if (!drag_.active()) return;
    if (std::optional<Point> offset = drag_.Follow(*this, shift, x, y)) {
      int along = axis_ == ScrollAxis::Horizontal ? offset->x : offset->y;
      FormWatch alive = Watch();
      SetPosition(PositionForThumbOffset(along, minimum_, maximum_, thumb().free_length));
      if (!alive) return;
    }
  }
  WidgetBase::FormMouseMove(shift, x, y);
}

void ScrollBar::FormMouseUp(MouseButton button, ShiftState, int, int) {
  if (button == MouseButton::Left) {
    start_arrow_down_ = end_arrow_down_ = false;
    Draw();
  }
  drag_.End();
  repeat_.Release();
}

}  // namespace tolmeo
