#pragma once
// The main window's frame: a child laid over the whole main window whose shape is only a
// tab-shaped caption at the top left, a strip along the rest of the top and 4-pixel borders on
// the other three sides. Dragging the tab moves the main window, dragging a border or a bottom
// corner resizes it, a double click on it maximises or restores it. The caption also cuts the
// main window's shape, so the top edge right of the tab is see-through.
#include <string>

#include "form/form_timer.h"
#include "form/pointer_drag.h"
#include "form/region.h"
#include "shell/tabbed_window.h"
#include "widgets/widget_base.h"

namespace tolmeo {

inline constexpr int kCaptionHeight = 22;
inline constexpr int kCaptionBorder = 4;
// The row under the strip right of the tab: the body's top edge.
inline constexpr int kCaptionBodyTop = kCaptionHeight - 4;

enum class CaptionZone { None = 0, Left = 1, Right = 2, Bottom = 3, BottomLeft = 4, BottomRight = 5 };

// Which border the pointer at (x, y) of a w x h frame is over; corners before sides.
CaptionZone ZoneAt(int x, int y, int width, int height);
CursorShape ZoneCursor(CaptionZone zone);

// The main window's bounds after dragging the zone by (dx, dy). The size stays within limits
// (a zero maximum means none), and a drag on the left side moves only the left edge: when the
// width is held at a limit the right edge stays put.
Rect ResizedBounds(const Rect& bounds, CaptionZone zone, int dx, int dy,
                   const Form::SizeLimits& limits);

// The caption's own shape: the frame less the interior.
Region CaptionFrameShape(int width, int height);

class Tide_caption_Form : public WidgetBase {
 public:
  // main is the window the caption frames; it is the caption's owner and parent.
  // main_limits are the main window's own size limits, kept by border drags.
  Tide_caption_Form(Form& main, const IdeOptions& options, const Form::SizeLimits& main_limits);

  void SetCaptionText(const std::string& cp949_text);
  // Shows cp949_text in the tab for a few seconds, then the caption text again: a word that
  // something went through, needing no click. A newer one replaces it and starts the count anew.
  void ShowBriefly(const std::string& cp949_text);
  static constexpr int kBriefMs = 4000;
  // The text the tab shows now.
  const std::string& shown_text() const { return shown_; }
  // Redraws the strip and sets both shapes.
  void DrawCaption();
  // The main window's size changed: take it over and shape both windows anew.
  void FollowMainWindow();

  int tab_end() const { return tab_end_; }
  CaptionZone zone() const { return zone_; }
  bool double_click_guard() const { return double_click_guard_; }

 protected:
  void Render(Bitmap& bitmap) override;
  void FormEraseBackground() override;
  void FormShow() override;
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y) override;
  void FormMouseMove(ShiftState shift, int x, int y) override;
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y) override;
  void FormDblClick() override;

 private:
  void ShapeMainWindow();
  void ShapeSelf();
  void DrawFrame();
  bool InTab(int x, int y) const;
  bool MainMaximized() const;
  void ResizeMain(ShiftState shift, int x, int y);

  Form& main_;
  Form::SizeLimits main_limits_;
  void ShowText(const std::string& cp949_text);

  std::string text_;
  std::string shown_;
  FormTimer brief_timer_;
  int tab_end_ = 0;
  WindowDrag tab_drag_;
  // A border drag: the pointer's travel on screen since the press, applied to the bounds the
  // main window had then, so the border follows the pointer exactly however the caption moves.
  PointerDrag border_drag_;
  Rect border_start_;
  bool double_click_guard_ = false;
  CaptionZone zone_ = CaptionZone::None;
};

}  // namespace tolmeo
