#include "widgets/gui_progress.h"

#include <algorithm>

namespace tolmeo {

int ProgressBarLength(std::int32_t position, std::int32_t minimum, std::int32_t maximum,
                      int track_width) {
  if (maximum == minimum || track_width <= 0) return 0;
  std::int64_t done = static_cast<std::int64_t>(position) - minimum;
  std::int64_t range = static_cast<std::int64_t>(maximum) - minimum;
  std::int64_t length = done * track_width / range;
  return static_cast<int>(std::clamp<std::int64_t>(length, 0, track_width));
}

Tgui_Progress_Form::Tgui_Progress_Form(Form* owner, const IdeOptions& options)
    : WidgetBase(owner, options) {
  SetBounds(Rect{0, 0, 80, 16});
}

void Tgui_Progress_Form::SetBackColor(Color color) {
  back_color_ = color;
  Draw();
}

void Tgui_Progress_Form::SetBarColor(Color color) {
  bar_color_ = color;
  Draw();
}

void Tgui_Progress_Form::SetInset(std::int32_t inset) {
  inset_ = inset;
  Draw();
}

void Tgui_Progress_Form::SetMin(std::int32_t minimum) {
  minimum_ = minimum;
  Draw();
}

void Tgui_Progress_Form::SetMax(std::int32_t maximum) {
  maximum_ = maximum;
  Draw();
}

// The engine moves the bar at every word: only a move the picture shows costs a redraw.
void Tgui_Progress_Form::SetPosition(std::int32_t position) {
  int before = Bar(bitmap().width(), bitmap().height()).width;
  position_ = position < minimum_ ? minimum_ : position > maximum_ ? maximum_ : position;
  if (Bar(bitmap().width(), bitmap().height()).width != before) Draw();
}

Rect Tgui_Progress_Form::Track(int width, int height) const {
  // Any inset is accepted; one beyond the bitmap simply leaves no track.
  int inset = std::clamp(inset_, -(1 << 16), 1 << 16);
  return Rect{inset, inset, width - 2 * inset, height - 2 * inset};
}

Rect Tgui_Progress_Form::Bar(int width, int height) const {
  Rect bar = Track(width, height);
  bar.width = ProgressBarLength(position_, minimum_, maximum_, bar.width);
  return bar;
}

void Tgui_Progress_Form::Render(Bitmap& bitmap) {
  int w = bitmap.width(), h = bitmap.height();
  bitmap.Fill(back_color_);
  bitmap.FrameRect(Rect{0, 0, w, h}, ChosenOrOverall(outer_frame_color_));
  Rect track = Track(w, h);
  bitmap.FillRect(track, track_color_);
  bitmap.FillRect(Bar(w, h), ChosenOrOverall(bar_color_));
  bitmap.FrameRect(track, ChosenOrOverall(inner_frame_color_));
}

}  // namespace tolmeo
