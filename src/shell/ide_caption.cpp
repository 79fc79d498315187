#include "shell/ide_caption.h"

#include <algorithm>

#include "form/application.h"
#include "gfx/colors.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr int kTextTop = 5;

int WithinLimits(int size, int minimum, int maximum) {
  size = std::max(size, minimum);
  return maximum > 0 ? std::min(size, maximum) : size;
}

// A drag on the left side keeps the right edge where it is.
void ResizeLeftSide(Rect& bounds, int dx, const Form::SizeLimits& limits) {
  int right = bounds.right();
  bounds.width = WithinLimits(bounds.width - dx, limits.min_width, limits.max_width);
  bounds.left = right - bounds.width;
}

void ResizeRightSide(Rect& bounds, int dx, const Form::SizeLimits& limits) {
  bounds.width = WithinLimits(bounds.width + dx, limits.min_width, limits.max_width);
}

void ResizeBottom(Rect& bounds, int dy, const Form::SizeLimits& limits) {
  bounds.height = WithinLimits(bounds.height + dy, limits.min_height, limits.max_height);
}

}  // namespace

CaptionZone ZoneAt(int x, int y, int width, int height) {
  bool left = x >= 0 && x < kCaptionBorder;
  bool right = x >= width - kCaptionBorder && x < width;
  bool bottom = y >= height - kCaptionBorder && y < height;
  if (left && bottom) return CaptionZone::BottomLeft;
  if (right && bottom) return CaptionZone::BottomRight;
  if (left) return CaptionZone::Left;
  if (right) return CaptionZone::Right;
  if (bottom) return CaptionZone::Bottom;
  return CaptionZone::None;
}

CursorShape ZoneCursor(CaptionZone zone) {
  switch (zone) {
    case CaptionZone::BottomLeft: return CursorShape::SizeNortheastSouthwest;
    case CaptionZone::BottomRight: return CursorShape::SizeNorthwestSoutheast;
    case CaptionZone::Left:
    case CaptionZone::Right: return CursorShape::SizeWestEast;
    case CaptionZone::Bottom: return CursorShape::SizeNorthSouth;
    case CaptionZone::None: break;
  }
  return CursorShape::Default;
}

Rect ResizedBounds(const Rect& bounds, CaptionZone zone, int dx, int dy,
                   const Form::SizeLimits& limits) {
  Rect resized = bounds;
  if (zone == CaptionZone::Left || zone == CaptionZone::BottomLeft) {
    ResizeLeftSide(resized, dx, limits);
  }
  if (zone == CaptionZone::Right || zone == CaptionZone::BottomRight) {
    ResizeRightSide(resized, dx, limits);
  }
  if (zone == CaptionZone::Bottom || zone == CaptionZone::BottomLeft ||
      zone == CaptionZone::BottomRight) {
    ResizeBottom(resized, dy, limits);
  }
  return resized;
}

Region CaptionFrameShape(int width, int height) {
  Region shape = Region::FromRect(Rect{0, 0, width, height});
  shape.SubtractRect(Rect{kCaptionBorder, kCaptionHeight, width - 2 * kCaptionBorder,
                          height - kCaptionBorder - kCaptionHeight});
  return shape;
}

Tide_caption_Form::Tide_caption_Form(Form& main, const IdeOptions& options,
                                     const Form::SizeLimits& main_limits)
    : WidgetBase(&main, options), main_(main), main_limits_(main_limits),
      text_(" Tolmeo "),
      shown_(text_),
      brief_timer_("caption_brief", [this] {
        brief_timer_.SetEnabled(false);
        ShowText(text_);
      }, kBriefMs) {
  KeepBitmapSize(Application::Current().ScreenRect().width, kCaptionHeight);
  SetBounds(Rect{0, 0, main.width(), main.height()});
  DrawCaption();
}

void Tide_caption_Form::SetCaptionText(const std::string& cp949_text) {
  text_ = cp949_text;
  if (!brief_timer_.enabled()) ShowText(text_);
}

void Tide_caption_Form::ShowBriefly(const std::string& cp949_text) {
  ShowText(cp949_text);
  brief_timer_.SetEnabled(true);
}

void Tide_caption_Form::ShowText(const std::string& cp949_text) {
  shown_ = cp949_text;
  DrawCaption();
}

void Tide_caption_Form::DrawCaption() {
  Draw();
  ShapeMainWindow();
  ShapeSelf();
}

void Tide_caption_Form::FollowMainWindow() {
  SetBounds(Rect{0, 0, main_.width(), main_.height()});
  Present();
  ShapeMainWindow();
  ShapeSelf();
}

void Tide_caption_Form::Render(Bitmap& bitmap) {
  Color overall = options().overallColor;
  bitmap.Fill(overall);
  PenEnd pen = DrawText(bitmap, text_style(), 0, shown_, kOpaque, overall, kWhite, kTextTop);
  int x = pen.x + 2 * text_style().xOffset;
  for (Point corner : {Point{0, 0}, Point{1, 0}, Point{0, 1}, Point{x, 0}, Point{x + 1, 0},
                       Point{x + 1, 1}}) {
    bitmap.SetPixel(corner.x, corner.y, kWhite);
  }
  tab_end_ = x + 2;
  bitmap.FillRect(Rect{tab_end_, 0, bitmap.width() - tab_end_, kCaptionBodyTop}, kBlack);
}

void Tide_caption_Form::ShapeMainWindow() {
  main_.SetShape(TabbedWindowShape(main_.width(), main_.height(), tab_end_, kCaptionBodyTop));
}

void Tide_caption_Form::ShapeSelf() {
  SetShape(CaptionFrameShape(width(), height()));
  DrawFrame();
}

void Tide_caption_Form::DrawFrame() {
  PaintOnWindow([&](Bitmap& window) {
    DrawTabbedFrame(window, options().overallColor, tab_end_, kCaptionBodyTop);
  });
}

void Tide_caption_Form::FormEraseBackground() {
  Present();
  DrawFrame();
}

void Tide_caption_Form::FormShow() { ShapeSelf(); }

bool Tide_caption_Form::InTab(int x, int y) const {
  return x >= 0 && x < tab_end_ && y >= 0 && y < kCaptionHeight;
}

bool Tide_caption_Form::MainMaximized() const {
  return main_.window_state() == WindowState::Maximized;
}

void Tide_caption_Form::FormMouseDown(MouseButton button, ShiftState shift, int x, int y) {
  HideBalloon();
  // A press starts afresh, even after a release that never reached this window: the drags it
  // should have ended are over (a stale border drag resized from its old bounds, down to the
  // minimum), and only the second press of a double click is still held back.
  tab_drag_.End();
  border_drag_.End();
  zone_ = CaptionZone::None;
  if (!(shift & kDoubleClick)) double_click_guard_ = false;
  if (button != MouseButton::Left || double_click_guard_ || MainMaximized()) return;
  zone_ = ZoneAt(x, y, width(), height());
  if (zone_ != CaptionZone::None) {
    border_start_ = main_.bounds();
    border_drag_.Begin(*this, x, y, Point{0, 0});
  } else if (InTab(x, y)) {
    tab_drag_.Begin(*this, x, y);
  }
}

void Tide_caption_Form::FormMouseMove(ShiftState shift, int x, int y) {
  if (MainMaximized()) return;
  bool held = (shift & kLeftButton) != 0;
  if (!held) {
    zone_ = ZoneAt(x, y, width(), height());
    SetCursor(ZoneCursor(zone_));
  }
  if (held && zone_ != CaptionZone::None) {
    ResizeMain(shift, x, y);
    return;
  }
  if (InTab(x, y) || held) {
    if (double_click_guard_) return;
    if (held) tab_drag_.Follow(*this, shift, x, y);
  }
  WidgetBase::FormMouseMove(shift, x, y);
}

void Tide_caption_Form::ResizeMain(ShiftState shift, int x, int y) {
  std::optional<Point> travel = border_drag_.Follow(*this, shift, x, y);
  if (!travel) return;
  main_.SetBounds(ResizedBounds(border_start_, zone_, travel->x, travel->y, main_limits_));
}

void Tide_caption_Form::FormMouseUp(MouseButton, ShiftState, int, int) {
  HideBalloon();
  double_click_guard_ = false;
  tab_drag_.End();
  border_drag_.End();
}

void Tide_caption_Form::FormDblClick() {
  HideBalloon();
  main_.SetWindowState(main_.window_state() == WindowState::Normal ? WindowState::Maximized
                                                                   : WindowState::Normal);
  double_click_guard_ = true;
}

}  // namespace tolmeo
