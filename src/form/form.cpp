#include "form/form.h"

#include <algorithm>

#include "base/cp949.h"
#include "form/application.h"
#include "form/window_surface.h"

namespace tolmeo {

Form::Form(Form* owner)
    : app_(Application::Current()), self_(std::make_shared<Form*>(this)), owner_(owner) {}

Form::~Form() {
  app_.FormGone(*this);
  *self_ = nullptr;
  // Children outlive their parent only as hidden top-level forms, until given a new parent.
  for (Form* child : children_) {
    child->parent_ = nullptr;
    child->visible_ = false;
  }
  children_.clear();
  DetachFromParent();
  DestroyWindow();
}

Form& Form::TopLevel() {
  Form* form = this;
  while (form->parent_) form = form->parent_;
  return *form;
}

const Form& Form::TopLevel() const {
  const Form* form = this;
  while (form->parent_) form = form->parent_;
  return *form;
}

bool Form::IsAncestorOf(const Form* form) const {
  for (; form; form = form->parent_) {
    if (form == this) return true;
  }
  return false;
}

void Form::ArrangementChanged() {
  Form& top = TopLevel();
  if (top.surface_) top.surface_->MarkArrangementChanged();
  app_.RequestPass();
}

void Form::DetachFromParent() {
  if (!parent_) return;
  ArrangementChanged();
  std::erase(parent_->children_, this);
  parent_ = nullptr;
}

bool Form::SetParent(Form* parent) {
  if (parent == parent_) return true;
  if (parent && IsAncestorOf(parent)) return false;
  app_.FormHidden(*this);
  DetachFromParent();
  if (parent) {
    DestroyWindow();
    parent_ = parent;
    parent->children_.push_back(this);
    ArrangementChanged();
  } else if (visible_) {
    CreateWindow();
    app_.PaintWindowNow(*this);
    app_.backend().ShowWindow(window_, true);
  }
  return true;
}

int Form::Limited(int size, int minimum, int maximum) const {
  size = std::max(size, minimum);
  if (maximum > 0) size = std::min(size, maximum);
  return std::max(size, 0);
}

void Form::SetSizeLimits(const SizeLimits& limits) {
  limits_ = limits;
  SetBounds(bounds_);
}

void Form::SetBounds(const Rect& requested) {
  Rect bounds{requested.left, requested.top,
              Limited(requested.width, limits_.min_width, limits_.max_width),
              Limited(requested.height, limits_.min_height, limits_.max_height)};
  if (bounds.left == bounds_.left && bounds.top == bounds_.top && bounds.width == bounds_.width &&
      bounds.height == bounds_.height) {
    return;
  }
  bool resized = bounds.width != bounds_.width || bounds.height != bounds_.height;
  bounds_ = bounds;
  if (window_ != kNoWindow) app_.backend().SetWindowBounds(window_, bounds_);
  // A top-level window that only moved keeps its picture.
  if (resized || parent_) ArrangementChanged();
  if (resized) FormResize();
}

Point Form::OriginInWindow() const {
  Point origin;
  for (const Form* form = this; form->parent_; form = form->parent_) {
    origin.x += form->left();
    origin.y += form->top();
  }
  return origin;
}

Point Form::ClientToScreen(Point point) const {
  Point origin = OriginInWindow();
  const Form& top = TopLevel();
  return Point{point.x + origin.x + top.left(), point.y + origin.y + top.top()};
}

Point Form::ScreenToClient(Point point) const {
  Point corner = ClientToScreen(Point{0, 0});
  return Point{point.x - corner.x, point.y - corner.y};
}

bool Form::IsShowing() const {
  for (const Form* form = this; form; form = form->parent_) {
    if (!form->visible_) return false;
  }
  return true;
}

void Form::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) app_.FormHidden(*this);
  visible_ = visible;
  ArrangementChanged();
  if (!visible) {
    if (window_ != kNoWindow) app_.backend().ShowWindow(window_, false);
    FormHide();
    return;
  }
  if (IsTopLevel() && window_ == kNoWindow) CreateWindow();
  FormShow();
  if (IsTopLevel() && visible_) {
    // Paint before showing, so a new window never flashes an empty picture.
    app_.PaintWindowNow(*this);
    app_.backend().ShowWindow(window_, true);
    app_.FormShown(*this);
  }
}

void Form::SetColor(Color color) {
  color_ = color;
  Invalidate();
}

void Form::BringToFront() {
  if (!parent_) {
    if (window_ != kNoWindow) app_.backend().RaiseWindow(window_, takes_focus_);
    return;
  }
  std::vector<Form*>& siblings = parent_->children_;
  std::erase(siblings, this);
  siblings.push_back(this);
  ArrangementChanged();
}

void Form::SendToBack() {
  if (!parent_) return;
  std::vector<Form*>& siblings = parent_->children_;
  std::erase(siblings, this);
  siblings.insert(siblings.begin(), this);
  ArrangementChanged();
}

void Form::SetStayOnTop(bool on_top) {
  stay_on_top_ = on_top;
  if (window_ != kNoWindow) app_.backend().SetStayOnTop(window_, on_top);
}

void Form::SetShape(Region shape) {
  shape_ = std::move(shape);
  ApplyShapeToWindow();
  ArrangementChanged();
}

void Form::ClearShape() {
  shape_.reset();
  ApplyShapeToWindow();
  ArrangementChanged();
}

void Form::ApplyShapeToWindow() {
  if (window_ == kNoWindow) return;
  window_shaped_ = app_.backend().SetShape(window_, shape_ ? &*shape_ : nullptr) && shape_;
}

void Form::SetAlphaBlend(bool on, std::uint8_t opacity) {
  alpha_blend_ = on;
  alpha_value_ = opacity;
  if (window_ != kNoWindow) app_.backend().SetOpacity(window_, on ? opacity : 255);
}

void Form::SetCaption(const std::string& cp949_caption) {
  caption_ = cp949_caption;
  if (window_ != kNoWindow) app_.backend().SetTitle(window_, Utf8FromCp949(app_.WindowTitle(*this)));
}

void Form::SetCursor(CursorShape shape) {
  cursor_ = shape;
  app_.CursorChanged(*this);
}

void Form::SetFocus() { app_.SetFocus(this, true); }
bool Form::Focused() const { return app_.focused() == this; }
void Form::SetCapture() { app_.SetCapture(this); }
void Form::ReleaseCapture() { app_.ReleaseCapture(this); }
bool Form::HasCapture() const { return app_.captured() == this; }

void Form::SetWindowState(WindowState state) {
  if (!IsTopLevel() || state == window_state_) return;
  WindowState previous = window_state_;
  window_state_ = state;
  if (state == WindowState::Minimized) {
    state_before_minimized_ = previous;
    if (window_ != kNoWindow) app_.backend().MinimizeWindow(window_);
    return;
  }
  if (previous == WindowState::Minimized && window_ != kNoWindow && visible_) {
    app_.backend().ShowWindow(window_, true);
  }
  if (state == WindowState::Maximized) {
    normal_bounds_ = bounds_;
    SetBounds(app_.WorkArea());
  } else if (previous == WindowState::Maximized) {
    SetBounds(normal_bounds_);
  }
}

void Form::FollowWindowManager(const BackendEvent& event) {
  switch (event.kind) {
    case EventKind::Moved:
      BoundsChangedOutside(Rect{event.x, event.y, width(), height()});
      break;
    case EventKind::Resized:
      BoundsChangedOutside(Rect{left(), top(), event.x, event.y});
      break;
    case EventKind::Minimized:
      if (window_state_ != WindowState::Minimized) state_before_minimized_ = window_state_;
      window_state_ = WindowState::Minimized;
      break;
    case EventKind::Maximized:
      // The window manager moves and sizes the window itself; its notices follow.
      if (window_state_ == WindowState::Normal) normal_bounds_ = bounds_;
      window_state_ = WindowState::Maximized;
      break;
    default:  // Restored: from the task bar after a minimise, or out of the maximised state
      window_state_ = window_state_ == WindowState::Minimized ? state_before_minimized_ : WindowState::Normal;
  }
}

void Form::BoundsChangedOutside(const Rect& bounds) {
  Rect limited{bounds.left, bounds.top, Limited(bounds.width, limits_.min_width, limits_.max_width),
               Limited(bounds.height, limits_.min_height, limits_.max_height)};
  bool resized = limited.width != width() || limited.height != height();
  bounds_ = limited;
  // The window manager ignored the size limits: the window goes back within them.
  if (limited.width != bounds.width || limited.height != bounds.height) {
    app_.backend().SetWindowBounds(window_, bounds_);
  }
  if (!resized) return;
  ArrangementChanged();
  FormResize();
}

void Form::Close() {
  CloseAction action = CloseAction::Hide;
  FormWatch alive = Watch();
  FormClose(action);
  if (!alive || action == CloseAction::None) return;
  if (in_modal_loop_ && modal_result_ == kModalNone) modal_result_ = kModalCancel;
  if (app_.main_form() == this) app_.Terminate();
  Hide();
}

ModalResult Form::ShowModal() { return app_.RunModal(*this); }

WindowSurface* Form::DrawingSurface() {
  if (!IsShowing()) return nullptr;
  Form& top = TopLevel();
  if (!top.surface_) return nullptr;
  top.surface_->Update(top);
  app_.RequestPass();
  return top.surface_.get();
}

void Form::CopyToWindow(const Bitmap& source, int sx, int sy, int width, int height, int dx,
                        int dy) {
  if (WindowSurface* surface = DrawingSurface()) {
    surface->Copy(*this, source, Rect{sx, sy, width, height}, Point{dx, dy});
  }
}

void Form::PaintOnWindow(const std::function<void(Bitmap& window)>& paint) {
  WindowSurface* surface = DrawingSurface();
  if (!surface) return;
  Bitmap picture = surface->ReadBack(*this);
  paint(picture);
  surface = DrawingSurface();  // paint may have rearranged the window
  if (surface) surface->Copy(*this, picture, ClientRect(), Point{0, 0});
}

void Form::FormEraseBackground() {
  if (WindowSurface* surface = DrawingSurface()) surface->Fill(*this, ClientRect(), color_);
}

void Form::Invalidate() {
  Form& top = TopLevel();
  if (top.surface_) top.surface_->RequestRepaint();
  app_.RequestPass();
}

const Bitmap* Form::WindowPicture() const { return surface_ ? &surface_->pixels() : nullptr; }

void Form::CreateWindow() {
  WindowSettings settings;
  settings.bounds = bounds_;
  settings.stay_on_top = stay_on_top_;
  settings.title = Utf8FromCp949(app_.WindowTitle(*this));
  settings.role = role_;
  settings.owner = app_.OwnerWindowFor(*this);
  settings.takes_focus = takes_focus_;
  window_ = app_.backend().CreateWindow(settings);
  if (!surface_) surface_ = std::make_unique<WindowSurface>();
  surface_->MarkArrangementChanged();
  app_.WindowCreated(*this);
  if (alpha_blend_) app_.backend().SetOpacity(window_, alpha_value_);
  ApplyShapeToWindow();
}

void Form::DestroyWindow() {
  if (window_ == kNoWindow) return;
  app_.WindowDestroyed(*this);
  app_.backend().DestroyWindow(window_);
  window_ = kNoWindow;
  window_shaped_ = false;
}

}  // namespace tolmeo
