#pragma once
// The vertical scroll bar: the horizontal bar turned by 90 degrees, 13 pixels wide. Its
// minimum is always 0, and a maximum set below the position brings the position down.
#include "widgets/scroll_geometry.h"

namespace tolmeo {

class Tgui_scroll_v_Form : public ScrollBar {
 public:
  static constexpr int kDesignHeight = 35;

  Tgui_scroll_v_Form(Form* owner, const IdeOptions& options)
      : ScrollBar(owner, options, ScrollAxis::Vertical, kDesignHeight) {}
};

}  // namespace tolmeo
