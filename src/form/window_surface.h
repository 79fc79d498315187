#pragma once
// The composited picture of one top-level window and the map of which form owns each pixel.
// The map follows the stacking: a child owns a pixel inside its rectangle and shape where its
// parent owns it, and a later sibling (higher in the stacking) takes it over. Copies onto the
// window land only on the copying form's own pixels, so controls never paint over each other;
// hit testing reads the same map, so it follows stacking and shapes alike.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx/bitmap.h"
#include "form/form_types.h"
#include "form/region.h"

namespace tolmeo {

class Form;

class WindowSurface {
 public:
  // The arrangement changed: rebuild the map before its next use and repaint every form.
  void MarkArrangementChanged() { arrangement_changed_ = true; repaint_wanted_ = true; }
  void RequestRepaint() { repaint_wanted_ = true; }
  bool TakeRepaintRequest();

  // Builds the map for top (a top-level form) if the arrangement changed since the last time.
  void Update(Form& top);
  // Forms in stacking order, bottom first: the order of a full repaint.
  const std::vector<Form*>& PaintOrder() const { return forms_; }
  // The topmost form at a window pixel, or null outside every form.
  Form* FormAt(Point window_point) const;

  // Copies source's area (sx, sy, width x height) to (dx, dy) of form's client area.
  void Copy(const Form& form, const Bitmap& source, const Rect& source_area, Point destination);
  // Fills area (in form's client pixels) with colour, on the form's own pixels.
  void Fill(const Form& form, const Rect& area, Color color);
  // The form's pixels as the window shows them (pixels it does not own read as black).
  Bitmap ReadBack(const Form& form) const;

  const Bitmap& pixels() const { return pixels_; }
  // The part of the window changed since the last call, to hand to the window system.
  Rect TakeChangedArea();

 private:
  static constexpr std::uint16_t kNobody = 0xFFFF;

  // A run of pixels of one row that one form owns: [left, right) of row y.
  struct Span {
    int y;
    int left;
    int right;
  };

  // Calls run(y, left, right) for each run of pixels that form index owns within target
  // (window pixels).
  template <typename RunFunction>
  void ForEachOwnedRun(int index, const Rect& target, RunFunction run) const;
  // The form's client rectangle in window pixels, cut to the window.
  Rect WindowArea(int index) const;
  void PlaceForm(Form& form, Point origin, Rect clip, int parent_index);
  static void Claim(std::uint16_t* row, int left, int right, int parent_index, int index);
  static void ClaimShaped(std::uint16_t* row, const Rect& area, const Region& shape, Point origin,
                          int y, int parent_index, int index);
  void BlankUnowned();
  void CollectSpans();
  void MarkChanged(const Rect& area);
  int IndexOf(const Form& form) const;

  bool arrangement_changed_ = true;
  bool repaint_wanted_ = true;
  Bitmap pixels_;
  std::vector<std::uint16_t> owners_;
  std::vector<Form*> forms_;
  std::vector<Point> origins_;
  std::vector<std::vector<Span>> spans_;  // per form, top row first
  std::unordered_map<const Form*, int> index_of_;
  Rect changed_;
};

}  // namespace tolmeo
