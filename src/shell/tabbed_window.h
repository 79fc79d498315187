#pragma once
// The outline Tolmeo's framed windows share (the main window, the message box, the settings
// dialog, the quick list): a body with a title tab standing at its top-left, the space right of
// the tab cut away, two notches at each top corner of the tab, and a frame of bands in the
// overall colour inside a black outline.
#include "form/region.h"
#include "gfx/bitmap.h"

namespace tolmeo {

inline constexpr int kTabbedFrameBand = 4;

// body_top: the first row of the body below the tab.
Region TabbedWindowShape(int width, int height, int tab_width, int body_top);
void DrawTabbedFrame(Bitmap& bitmap, Color overall, int tab_width, int body_top);

}  // namespace tolmeo
