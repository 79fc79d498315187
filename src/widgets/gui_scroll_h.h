#pragma once
// The horizontal scroll bar: 13 pixels high, an arrow at each end, a dithered track and a
// proportional thumb that can be dragged; an arrow held repeats. Its bitmap is as wide as the
// screen, so SetWidth only shows more of it.
#include "widgets/scroll_geometry.h"

namespace tolmeo {

class Tgui_scroll_h_Form : public ScrollBar {
 public:
  static constexpr int kDesignWidth = 226;

  Tgui_scroll_h_Form(Form* owner, const IdeOptions& options)
      : ScrollBar(owner, options, ScrollAxis::Horizontal, kDesignWidth) {}

  void SetMin(int minimum) { SetMinimum(minimum); }
};

}  // namespace tolmeo
