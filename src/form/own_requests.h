#pragma once
// The window manager reports every change of a window's position or size, those Tolmeo asked
// for included, and may report an older request after a newer one was made. Remembering the
// requests not yet reported tells a change made from outside (a drag by the window manager, a
// maximise from the keyboard) from the late echo of Tolmeo's own, so its newest request wins.
// One of these watches the position of a window, another its size.
#include <deque>

#include "form/form_types.h"

namespace tolmeo {

class OwnRequests {
 public:
  explicit OwnRequests(Point current) : current_(current) {}

  // Tolmeo asked for this value.
  void Requested(Point value);
  // The window manager reports value: true when the change was made from outside.
  bool FromOutside(Point value);
  Point current() const { return current_; }

 private:
  // Requests the window manager may silently drop (a move to where the window already is)
  // are never echoed; only the newest few are kept.
  static constexpr std::size_t kRemembered = 8;

  Point current_;
  std::deque<Point> unreported_;  // oldest first
};

}  // namespace tolmeo
