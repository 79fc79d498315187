#pragma once
// A form: one window of Tolmeo. A form without a parent is a top-level window of the window
// system (borderless; optionally stay-on-top, shaped and translucent). A form with a parent is
// a child: a rectangle inside its top-level window with its own z-order among its siblings,
// visibility and optional shape, composited by the library.
//
// What a form shows is what it copies to its window (CopyToWindow, PaintOnWindow); the
// copy lands only on the pixels the form owns, i.e. inside its parents and shape and not
// under a sibling above it. Whenever the arrangement of a window changes (a form shown,
// hidden, moved, resized, raised, reshaped), every form of that window gets
// FormEraseBackground then FormPaint on the next pass of the message loop, in stacking order;
// self-drawn controls answer by copying their off-screen bitmap again.
//
// Handlers are virtual methods with the form library's names; mouse positions are relative to
// the form's top-left corner. Forms need the Application to exist first.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/backend.h"
#include "gfx/bitmap.h"
#include "form/form_types.h"
#include "form/region.h"

namespace tolmeo {

class Application;
class Form;
class WindowSurface;

// Tells whether a form still exists; handlers may destroy forms, so the library and
// controls hold one of these across calls that may run handlers.
class FormWatch {
 public:
  FormWatch() = default;
  explicit FormWatch(std::weak_ptr<Form*> link) : link_(std::move(link)) {}
  Form* get() const {
    auto alive = link_.lock();
    return alive ? *alive : nullptr;
  }
  explicit operator bool() const { return get() != nullptr; }

 private:
  std::weak_ptr<Form*> link_;
};

class Form {
 public:
  explicit Form(Form* owner = nullptr);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  FormWatch Watch() const { return FormWatch(self_); }

  // Family. The owner is kept for the creator's use; the parent decides where the form lives.
  Form* owner() const { return owner_; }
  Form* parent() const { return parent_; }
  // A parent that is this form or one of its children is refused (returns false).
  bool SetParent(Form* parent);
  const std::vector<Form*>& children() const { return children_; }  // bottom first
  Form& TopLevel();
  const Form& TopLevel() const;
  bool IsTopLevel() const { return parent_ == nullptr; }

  // Geometry: top-level forms in screen pixels, children relative to their parent.
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  const Rect& bounds() const { return bounds_; }
  Rect ClientRect() const { return Rect{0, 0, bounds_.width, bounds_.height}; }
  void SetLeft(int left) { SetBounds(Rect{left, top(), width(), height()}); }
  void SetTop(int top) { SetBounds(Rect{left(), top, width(), height()}); }
  void SetWidth(int width) { SetBounds(Rect{left(), top(), width, height()}); }
  void SetHeight(int height) { SetBounds(Rect{left(), top(), width(), height}); }
  // Negative sizes count as 0, and sizes are kept within the size limits. FormResize runs when
  // the size changed.
  void SetBounds(const Rect& bounds);
  // The smallest and largest size the form may take; 0 for a maximum means no limit. The
  // current size is brought within them at once.
  struct SizeLimits {
    int min_width = 0;
    int min_height = 0;
    int max_width = 0;
    int max_height = 0;
  };
  void SetSizeLimits(const SizeLimits& limits);
  Point ClientToScreen(Point point) const;
  Point ScreenToClient(Point point) const;
  // Where the form's top-left corner lies in its top-level window.
  Point OriginInWindow() const;

  // Visibility. Showing runs FormShow, hiding FormHide.
  bool visible() const { return visible_; }
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  void SetVisible(bool visible);
  // Visible together with every parent.
  bool IsShowing() const;

  Color color() const { return color_; }
  void SetColor(Color color);
  // A disabled form gets no mouse or keyboard input; its events go to the nearest enabled parent.
  bool enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  // Stacking among siblings (children) or among windows (top-level; the window system has no
  // "send to back" for top-level windows, so there it does nothing).
  void BringToFront();
  void SendToBack();
  void SetStayOnTop(bool on_top);
  bool stay_on_top() const { return stay_on_top_; }

  // The shape, in the form's own pixels; no shape is the full rectangle. Top-level windows
  // are shaped by the window system where it can, children by the compositor.
  void SetShape(Region shape);
  void ClearShape();
  const std::optional<Region>& shape() const { return shape_; }
  // The shape that clips the form's pixels: a child's shape, or a top-level window's shape
  // when the window system applied it (where it cannot, the window stays rectangular).
  const Region* EffectiveShape() const {
    return shape_ && (parent_ || window_shaped_) ? &*shape_ : nullptr;
  }
  // Per-window translucency of top-level windows: 255 opaque.
  void SetAlphaBlend(bool on, std::uint8_t opacity);
  bool alpha_blend() const { return alpha_blend_; }
  std::uint8_t alpha_blend_value() const { return alpha_value_; }
  // The title the window manager shows for a top-level window; without one the window carries
  // the application's title.
  void SetCaption(const std::string& cp949_caption);
  const std::string& caption() const { return caption_; }
  // What a top-level window is to the window manager; set before the window is first shown.
  void SetWindowRole(WindowRole role) { role_ = role; }
  WindowRole window_role() const { return role_; }
  // Off for a top-level window that shows and comes to the front without taking the keyboard
  // focus away from the window the user types in; set before it is first shown.
  void SetTakesFocus(bool takes_focus) { takes_focus_ = takes_focus; }
  bool takes_focus() const { return takes_focus_; }

  // The pointer's shape while it is over this form (or while this form has the capture).
  void SetCursor(CursorShape shape);
  CursorShape cursor() const { return cursor_; }

  // Focus, capture, window state, closing and modal showing.
  void SetFocus();
  bool Focused() const;
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;
  WindowState window_state() const { return window_state_; }
  // Maximised fills the work area; normal restores the bounds from before.
  void SetWindowState(WindowState state);
  // Asks FormClose what to do; the application's main form ends the message loop.
  void Close();
  // Shows this top-level form and runs a message loop until a modal result is set, the form
  // is hidden or closed, or the application quits. Timers and painting go on meanwhile.
  ModalResult ShowModal();
  ModalResult modal_result() const { return modal_result_; }
  void SetModalResult(ModalResult result) { modal_result_ = result; }

  // Drawing onto the window, clipped to what the form owns on screen.
  void CopyToWindow(const Bitmap& source, int sx, int sy, int width, int height, int dx, int dy);
  // Hands paint the form's current window picture (its size) and puts the result back:
  // for drawing straight onto the window with the Bitmap operations.
  void PaintOnWindow(const std::function<void(Bitmap& window)>& paint);
  // Asks for FormEraseBackground and FormPaint on the next pass.
  void Invalidate();

  WindowHandle window_handle() const { return window_; }
  // The composited picture of a top-level form's window as last painted (null for children
  // and forms that never had a window): for screenshots.
  const Bitmap* WindowPicture() const;

 protected:
  // Handlers. Defaults do nothing, except FormEraseBackground, which fills the form with its
  // colour, and FormClose, which hides. Wheel and key handlers return true when they used the
  // event; otherwise it goes on to the parent.
  virtual void FormMouseDown(MouseButton, ShiftState, int /*x*/, int /*y*/) {}
  virtual void FormMouseMove(ShiftState, int /*x*/, int /*y*/) {}
  virtual void FormMouseUp(MouseButton, ShiftState, int /*x*/, int /*y*/) {}
  virtual void FormDblClick() {}
  virtual bool FormMouseWheel(ShiftState, int /*notches*/, Point /*screen*/) { return false; }
  virtual void FormMouseEnter() {}
  virtual void FormMouseLeave() {}
  virtual bool FormKeyDown(Key, ShiftState) { return false; }
  virtual bool FormKeyUp(Key, ShiftState) { return false; }
  // One typed character, as its CP949 bytes.
  virtual bool FormKeyPress(const std::string& /*cp949_char*/) { return false; }
  // A step of the input method's composition (Start, Update, Commit, End; texts CP949).
  virtual bool FormComposition(const CompositionEvent& /*event*/) { return false; }
  virtual void FormShow() {}
  virtual void FormHide() {}
  virtual void FormResize() {}
  virtual void FormClose(CloseAction& /*action*/) {}
  virtual void FormEraseBackground();
  virtual void FormPaint() {}
  virtual void FormEnter() {}
  virtual void FormExit() {}

 private:
  friend class Application;

  void ArrangementChanged();
  // A change the window manager made to this top-level window: its bounds, or its state.
  void FollowWindowManager(const BackendEvent& event);
  void BoundsChangedOutside(const Rect& bounds);
  // The top-level surface, brought up to date, when this form is on screen; else null.
  WindowSurface* DrawingSurface();
  void CreateWindow();
  void DestroyWindow();
  void ApplyShapeToWindow();
  void DetachFromParent();
  int Limited(int size, int minimum, int maximum) const;
  bool IsAncestorOf(const Form* form) const;

  Application& app_;
  std::shared_ptr<Form*> self_;
  Form* owner_ = nullptr;
  Form* parent_ = nullptr;
  std::vector<Form*> children_;
  Rect bounds_;
  Rect normal_bounds_;
  SizeLimits limits_;
  bool visible_ = false;
  bool enabled_ = true;
  bool stay_on_top_ = false;
  bool alpha_blend_ = false;
  std::uint8_t alpha_value_ = 255;
  Color color_ = 0xFFFFFF;
  std::optional<Region> shape_;
  std::string caption_;
  CursorShape cursor_ = CursorShape::Default;
  WindowState window_state_ = WindowState::Normal;
  WindowState state_before_minimized_ = WindowState::Normal;
  WindowRole role_ = WindowRole::Main;
  bool takes_focus_ = true;
  ModalResult modal_result_ = kModalNone;
  bool in_modal_loop_ = false;
  bool window_shaped_ = false;
  WindowHandle window_ = kNoWindow;
  std::unique_ptr<WindowSurface> surface_;  // top-level forms only
};

}  // namespace tolmeo
