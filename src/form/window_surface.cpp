#include "form/window_surface.h"

#include <algorithm>
#include <cstring>

#include "form/form.h"

namespace tolmeo {
namespace {

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  return Rect{left, top, std::max(a.right(), b.right()) - left,
              std::max(a.bottom(), b.bottom()) - top};
}

}  // namespace

bool WindowSurface::TakeRepaintRequest() {
  bool wanted = repaint_wanted_;
  repaint_wanted_ = false;
  return wanted;
}

void WindowSurface::Update(Form& top) {
  bool resized = pixels_.width() != top.width() || pixels_.height() != top.height();
  if (!arrangement_changed_ && !resized) return;
  arrangement_changed_ = false;
  if (resized) {
    pixels_.Resize(top.width(), top.height());
    repaint_wanted_ = true;
  }
  owners_.assign(static_cast<std::size_t>(top.width()) * top.height(), kNobody);
  forms_.clear();
  origins_.clear();
  index_of_.clear();
  PlaceForm(top, Point{0, 0}, top.ClientRect(), -1);
  if (top.EffectiveShape()) BlankUnowned();
  CollectSpans();
  MarkChanged(top.ClientRect());
}

// Pixels outside the window's own shape show nothing.
void WindowSurface::BlankUnowned() {
  for (int y = 0; y < pixels_.height(); ++y) {
    const std::uint16_t* owner = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    for (int x = 0; x < pixels_.width(); ++x) {
      if (owner[x] == kNobody) std::memset(pixels_.Row(y) + x * 3, 0, 3);
    }
  }
}

void WindowSurface::PlaceForm(Form& form, Point origin, Rect clip, int parent_index) {
  if (forms_.size() >= kNobody) return;  // more forms than the map can name: the rest stay unseen
  int index = static_cast<int>(forms_.size());
  forms_.push_back(&form);
  origins_.push_back(origin);
  index_of_[&form] = index;
  Rect area = Intersect(Rect{origin.x, origin.y, form.width(), form.height()}, clip);
  if (area.Empty()) return;
  const Region* shape = form.EffectiveShape();
  for (int y = area.top; y < area.bottom(); ++y) {
    std::uint16_t* row = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    if (shape) {
      ClaimShaped(row, area, *shape, origin, y, parent_index, index);
    } else {
      Claim(row, area.left, area.right(), parent_index, index);
    }
  }
  for (Form* child : form.children()) {
    if (!child->visible()) continue;
    PlaceForm(*child, Point{origin.x + child->left(), origin.y + child->top()}, area, index);
  }
}

// A pixel belongs to the parent's part of the window when its owner so far is the parent or
// one of the parent's children placed before this one: indices parent..index-1.
void WindowSurface::Claim(std::uint16_t* row, int left, int right, int parent_index, int index) {
  auto self = static_cast<std::uint16_t>(index);
  if (parent_index < 0) {
    std::fill(row + left, row + right, self);
    return;
  }
  auto first = static_cast<std::uint16_t>(parent_index);
  auto span = static_cast<std::uint16_t>(index - parent_index);
  for (int x = left; x < right; ++x) {
    std::uint16_t owner = row[x];
    row[x] = static_cast<std::uint16_t>(owner - first) < span ? self : owner;
  }
}

void WindowSurface::ClaimShaped(std::uint16_t* row, const Rect& area, const Region& shape,
                                Point origin, int y, int parent_index, int index) {
  int shape_y = y - origin.y;
  if (shape_y >= shape.height()) return;
  const std::uint8_t* inside = shape.Row(shape_y);
  int right = std::min(area.right(), origin.x + shape.width());
  int x = area.left;
  while (x < right) {
    while (x < right && !inside[x - origin.x]) ++x;
    int run_start = x;
    while (x < right && inside[x - origin.x]) ++x;
    if (x > run_start) Claim(row, run_start, x, parent_index, index);
  }
}

Form* WindowSurface::FormAt(Point p) const {
  if (p.x < 0 || p.y < 0 || p.x >= pixels_.width() || p.y >= pixels_.height()) return nullptr;
  std::uint16_t owner = owners_[static_cast<std::size_t>(p.y) * pixels_.width() + p.x];
  return owner == kNobody ? nullptr : forms_[owner];
}

int WindowSurface::IndexOf(const Form& form) const {
  auto found = index_of_.find(&form);
  return found == index_of_.end() ? -1 : found->second;
}

// Presents are far more frequent than rearrangements, so the map is turned into runs once.
void WindowSurface::CollectSpans() {
  spans_.assign(forms_.size(), {});
  for (int y = 0; y < pixels_.height(); ++y) {
    const std::uint16_t* owner = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    int x = 0;
    while (x < pixels_.width()) {
      int run_start = x;
      std::uint16_t run_owner = owner[x];
      while (x < pixels_.width() && owner[x] == run_owner) ++x;
      if (run_owner != kNobody) spans_[run_owner].push_back(Span{y, run_start, x});
    }
  }
}

template <typename RunFunction>
void WindowSurface::ForEachOwnedRun(int index, const Rect& target, RunFunction run) const {
  const std::vector<Span>& spans = spans_[index];
  auto first = std::lower_bound(spans.begin(), spans.end(), target.top,
                                [](const Span& span, int y) { return span.y < y; });
  for (auto span = first; span != spans.end() && span->y < target.bottom(); ++span) {
    int left = std::max(span->left, target.left);
    int right = std::min(span->right, target.right());
    if (left < right) run(span->y, left, right);
  }
}

Rect WindowSurface::WindowArea(int index) const {
  const Form& form = *forms_[index];
  return Intersect(Rect{origins_[index].x, origins_[index].y, form.width(), form.height()},
                   Rect{0, 0, pixels_.width(), pixels_.height()});
}

void WindowSurface::Copy(const Form& form, const Bitmap& source, const Rect& source_area,
                         Point destination) {
  int index = IndexOf(form);
  if (index < 0) return;
  Point origin = origins_[index];
  // Clip on the source side first, moving the destination with it.
  Rect from = Intersect(source_area, Rect{0, 0, source.width(), source.height()});
  Point to{origin.x + destination.x + (from.left - source_area.left),
           origin.y + destination.y + (from.top - source_area.top)};
  Rect target = Intersect(Rect{to.x, to.y, from.width, from.height}, WindowArea(index));
  if (target.Empty()) return;
  int shift_x = from.left - to.x, shift_y = from.top - to.y;
  ForEachOwnedRun(index, target, [&](int y, int left, int right) {
    std::memcpy(pixels_.Row(y) + left * 3, source.Row(y + shift_y) + (left + shift_x) * 3,
                static_cast<std::size_t>(right - left) * 3);
  });
  MarkChanged(target);
}

void WindowSurface::Fill(const Form& form, const Rect& area, Color color) {
  int index = IndexOf(form);
  if (index < 0) return;
  Point origin = origins_[index];
  Rect target = Intersect(Rect{origin.x + area.left, origin.y + area.top, area.width, area.height},
                          WindowArea(index));
  if (target.Empty()) return;
  Bitmap row(target.width, 1, color);  // one row of the colour, copied run by run
  ForEachOwnedRun(index, target, [&](int y, int left, int right) {
    std::memcpy(pixels_.Row(y) + left * 3, row.data(), static_cast<std::size_t>(right - left) * 3);
  });
  MarkChanged(target);
}

Bitmap WindowSurface::ReadBack(const Form& form) const {
  Bitmap picture(form.width(), form.height());
  int index = IndexOf(form);
  if (index < 0) return picture;
  Point origin = origins_[index];
  ForEachOwnedRun(index, WindowArea(index), [&](int y, int left, int right) {
    picture.CopyFrom(pixels_, left, y, right - left, 1, left - origin.x, y - origin.y);
  });
  return picture;
}

void WindowSurface::MarkChanged(const Rect& area) { changed_ = Union(changed_, area); }

Rect WindowSurface::TakeChangedArea() {
  Rect area = changed_;
  changed_ = Rect{};
  return area;
}

}  // namespace tolmeo
