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
  // Pixels outside the window's own shape show nothing.
  for (int y = 0; y < pixels_.height(); ++y) {
    const std::uint16_t* owner = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    for (int x = 0; x < pixels_.width(); ++x) {
      if (owner[x] == kNobody) std::memset(pixels_.Row(y) + x * 3, 0, 3);
    }
  }
  MarkChanged(top.ClientRect());
}

void WindowSurface::PlaceForm(Form& form, Point origin, Rect clip, int parent_index) {
  if (forms_.size() >= kNobody) return;  // more forms than the map can name: the rest stay unseen
  int index = static_cast<int>(forms_.size());
  forms_.push_back(&form);
  origins_.push_back(origin);
  index_of_[&form] = index;
  Rect area = Intersect(Rect{origin.x, origin.y, form.width(), form.height()}, clip);
  const Region* shape = form.EffectiveShape();
  for (int y = area.top; y < area.bottom(); ++y) {
    std::uint16_t* owner = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    for (int x = area.left; x < area.right(); ++x) {
      if (shape && !shape->Contains(x - origin.x, y - origin.y)) continue;
      if (parent_index >= 0 && (owner[x] < parent_index || owner[x] >= index)) continue;
      owner[x] = static_cast<std::uint16_t>(index);
    }
  }
  if (area.Empty()) return;
  for (Form* child : form.children()) {
    if (!child->visible()) continue;
    PlaceForm(*child, Point{origin.x + child->left(), origin.y + child->top()}, area, index);
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

template <typename RunFunction>
void WindowSurface::ForEachOwnedRun(int index, const Rect& target, RunFunction run) const {
  auto self = static_cast<std::uint16_t>(index);
  for (int y = target.top; y < target.bottom(); ++y) {
    const std::uint16_t* owner = owners_.data() + static_cast<std::size_t>(y) * pixels_.width();
    int x = target.left;
    while (x < target.right()) {
      while (x < target.right() && owner[x] != self) ++x;
      int run_start = x;
      while (x < target.right() && owner[x] == self) ++x;
      if (x > run_start) run(y, run_start, x);
    }
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
  ForEachOwnedRun(index, target, [&](int y, int left, int right) {
    pixels_.FillRect(Rect{left, y, right - left, 1}, color);
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
