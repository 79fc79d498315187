#pragma once
// Dragging with the left button held: a scroll thumb, a window's tab or band. The travel is
// measured in screen pixels, so a handle that moves with what it drags (a tab on its window)
// does not jitter, and the drag follows the pointer wherever it goes while captured.
#include <optional>

#include "form/form.h"

namespace tolmeo {

class PointerDrag {
 public:
  // Starts at the pointer (x, y), in handle's pixels, remembering origin.
  void Begin(const Form& handle, int x, int y, Point origin);
  // origin moved by the pointer's travel since Begin; nullopt when no drag is going on or the
  // left button is no longer held.
  std::optional<Point> Follow(const Form& handle, ShiftState shift, int x, int y) const;
  void End() { active_ = false; }
  bool active() const { return active_; }

 private:
  bool active_ = false;
  Point start_;   // the pointer on screen at Begin
  Point origin_;
};

// Moves the handle's top-level window with the pointer: the message box by its tab, the
// balloon by its band, the caption window by its tab, the quick list by its tab.
class WindowDrag {
 public:
  void Begin(Form& handle, int x, int y);
  // True when it moved the window.
  bool Follow(Form& handle, ShiftState shift, int x, int y);
  void End() { drag_.End(); }
  bool active() const { return drag_.active(); }

 private:
  PointerDrag drag_;
};

}  // namespace tolmeo
