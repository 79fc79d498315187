#include "form/pointer_drag.h"

namespace tolmeo {

void PointerDrag::Begin(const Form& handle, int x, int y, Point origin) {
  active_ = true;
  start_ = handle.ClientToScreen(Point{x, y});
  origin_ = origin;
}

std::optional<Point> PointerDrag::Follow(const Form& handle, ShiftState shift, int x,
                                         int y) const {
  if (!active_ || !(shift & kLeftButton)) return std::nullopt;
  Point now = handle.ClientToScreen(Point{x, y});
  return Point{origin_.x + now.x - start_.x, origin_.y + now.y - start_.y};
}

void WindowDrag::Begin(Form& handle, int x, int y) {
  Form& window = handle.TopLevel();
  drag_.Begin(handle, x, y, Point{window.left(), window.top()});
}

bool WindowDrag::Follow(Form& handle, ShiftState shift, int x, int y) {
  auto place = drag_.Follow(handle, shift, x, y);
  if (!place) return false;
  Form& window = handle.TopLevel();
  if (place->x == window.left() && place->y == window.top()) return false;
  window.SetBounds(Rect{place->x, place->y, window.width(), window.height()});
  return true;
}

}  // namespace tolmeo
