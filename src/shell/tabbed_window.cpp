#include "shell/tabbed_window.h"

#include "gfx/colors.h"

namespace tolmeo {

Region TabbedWindowShape(int width, int height, int tab_width, int body_top) {
  Region shape = Region::FromRect(Rect{0, 0, width, height});
  shape.SubtractRect(Rect{tab_width, 0, width - tab_width, body_top});
  shape.SubtractRect(Rect{0, 0, 2, 1});
  shape.SubtractRect(Rect{0, 1, 1, 1});
  shape.SubtractRect(Rect{tab_width - 2, 0, 2, 1});
  shape.SubtractRect(Rect{tab_width - 1, 1, 1, 1});
  return shape;
}

namespace {

constexpr int kTitleTop = 5;

}  // namespace

void DrawTabbedTitle(Bitmap& bitmap, const TextStyle& style, Color overall,
                     std::string_view cp949_title, int title_height) {
  bitmap.Fill(kWhite);
  bitmap.FillRect(Rect{0, 0, bitmap.width(), title_height}, overall);
  DrawTextUnderlined(bitmap, style, 0, Underline{}, cp949_title, kTransparent, overall, kWhite,
                     kTitleTop);
}

void DrawTabbedFrame(Bitmap& bitmap, Color overall, int tab_width, int body_top) {
  const int w = bitmap.width();
  const int h = bitmap.height();
  const int tab = tab_width;
  const int body = body_top;
  bitmap.FillRect(Rect{0, 0, kTabbedFrameBand, h}, overall);
  bitmap.FillRect(Rect{w - kTabbedFrameBand, 0, kTabbedFrameBand, h}, overall);
  bitmap.FillRect(Rect{0, h - kTabbedFrameBand, w, kTabbedFrameBand}, overall);
  bitmap.Line(0, 2, 0, h, kBlack);
  bitmap.Line(w - 1, 0, w - 1, h, kBlack);
  bitmap.Line(0, h - 1, w - 1, h - 1, kBlack);
  bitmap.Line(2, 0, tab - 3, 0, kBlack);
  bitmap.Line(tab - 1, body, w - 1, body, kBlack);
  bitmap.Line(tab - 1, 2, tab - 1, body, kBlack);
  bitmap.Line(2, 0, 0, 2, kBlack);
  bitmap.Line(tab - 3, 0, tab - 1, 2, kBlack);
}

}  // namespace tolmeo
