#pragma once
// The outline Tolmeo's framed windows share (the main window, the message box, the settings
// dialog, the quick list): a body with a title tab standing at its top-left, the space right of
// the tab cut away, two notches at each top corner of the tab, and a frame of bands in the
// overall colour inside a black outline.
#include <string_view>

#include "form/region.h"
#include "gfx/bitmap.h"
#include "gfx/text_drawing.h"

namespace tolmeo {

inline constexpr int kTabbedFrameBand = 4;

// body_top: the first row of the body below the tab.
Region TabbedWindowShape(int width, int height, int tab_width, int body_top);
void DrawTabbedFrame(Bitmap& bitmap, Color overall, int tab_width, int body_top);
// A white window with a band of the overall colour across its top, the title in white on it.
void DrawTabbedTitle(Bitmap& bitmap, const TextStyle& style, Color overall,
                     std::string_view cp949_title, int title_height);

}  // namespace tolmeo
