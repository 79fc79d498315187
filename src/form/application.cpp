#include "form/application.h"

#include <algorithm>
#include <stdexcept>

#include "base/cp949.h"
#include "form/detached_desktop.h"
#include "form/form_timer.h"
#include "form/popup_focus.h"
#include "form/window_surface.h"

namespace tolmeo {
namespace {

Application* current_application = nullptr;

constexpr ShiftState kAnyButton = kLeftButton | kRightButton | kMiddleButton;

// Offers an event to form and then to its parents until one uses it. Handlers may destroy
// forms, so the next parent is watched across each call.
template <typename Offer>
void OfferUpwards(Form* form, Offer offer) {
  while (form) {
    FormWatch parent = form->parent() ? form->parent()->Watch() : FormWatch();
    if (offer(*form)) return;
    form = parent.get();
  }
}

// A CP949 text cut into its characters (one or two bytes each).
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length =
        IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

bool Contains(const Form& ancestor, const Form* form) {
  for (; form; form = form->parent()) {
    if (form == &ancestor) return true;
  }
  return false;
}

}  // namespace

Application::Application(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), desktop_(std::make_unique<DetachedDesktop>()) {
  if (current_application) throw std::logic_error("only one Application may exist at a time");
  current_application = this;
}

Application::~Application() { current_application = nullptr; }

Application& Application::Current() {
  if (!current_application) throw std::logic_error("forms need an Application first");
  return *current_application;
}

bool Application::Exists() { return current_application != nullptr; }

void Application::Run() {
  while (!terminated_) ProcessMessages(true);
}

void Application::RunPendingMessages() { ProcessMessages(false); }

void Application::SetTitle(const std::string& cp949_title) {
  title_ = cp949_title;
  for (const auto& [handle, form] : windows_) {
    if (form->caption().empty()) backend_->SetTitle(handle, Utf8FromCp949(title_));
  }
}

const std::string& Application::WindowTitle(const Form& top) const {
  return top.caption().empty() ? title_ : top.caption();
}

WindowHandle Application::OwnerWindowFor(const Form& top) const {
  Form* main = main_form();
  if (top.window_role() == WindowRole::Main || !main || main == &top) return kNoWindow;
  return main->window_handle();
}

void Application::WindowDestroyed(Form& form) {
  windows_.erase(form.window_handle());
  focus_on_deactivation_.erase(form.window_handle());
}

void Application::ShowException(const std::exception& error) {
  // The loop showed it already on its way out; an entry catching everything shows it once.
  if (dynamic_cast<const EscapedException*>(&error)) return;
  backend_->ShowErrorMessage(Utf8FromCp949(title_), Utf8FromCp949(error.what()));
}

void Application::QuitRequested() {
  Form* main = main_form();
  if (main && main->visible()) {
    main->Close();
  } else {
    Terminate();
  }
}

void Application::Minimize() {
  if (Form* main = main_form()) main->SetWindowState(WindowState::Minimized);
}

void Application::ProcessMessages(bool wait) {
  try {
    HandleMessages(wait);
  } catch (const EscapedException&) {
    throw;  // shown already, by the loop it escaped from first
  } catch (const std::exception& error) {
    Escape(error);
  } catch (...) {
    Escape(std::runtime_error("unknown exception"));
  }
}

void Application::Escape(const std::exception& error) {
  Terminate();
  ShowException(error);
  throw EscapedException(error.what());
}

void Application::HandleMessages(bool wait) {
  if (wait && !work_pending_ && !HasPosted()) {
    if (auto event = backend_->WaitEvent(WaitTimeout())) Dispatch(*event);
  }
  work_pending_ = false;
  while (auto event = backend_->PollEvent()) Dispatch(*event);
  RunPosted();
  FireDueTimers();
  RepaintWindows();
}

void Application::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    posted_.push_back(std::move(task));
  }
  backend_->Wake();
}

bool Application::HasPosted() {
  std::lock_guard<std::mutex> lock(posted_mutex_);
  return !posted_.empty();
}

// The tasks are taken out first: one may post again, or run a nested loop that comes here.
void Application::RunPosted() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    tasks.swap(posted_);
  }
  for (const std::function<void()>& task : tasks) task();
}

int Application::WaitTimeout() const {
  std::int64_t now = backend_->NowMs();
  std::int64_t soonest = -1;
  for (const FormTimer* timer : timers_) {
    std::int64_t wait = std::max<std::int64_t>(timer->due_ms() - now, 0);
    if (soonest < 0 || wait < soonest) soonest = wait;
  }
  return static_cast<int>(std::min<std::int64_t>(soonest, 1 << 30));
}

void Application::FireDueTimers() {
  std::int64_t now = backend_->NowMs();
  std::vector<FormTimer*> due(timers_.begin(), timers_.end());
  for (FormTimer* timer : due) {
    // An earlier handler may have stopped or destroyed this one.
    if (timers_.count(timer)) timer->FireIfDue(now);
  }
}

void Application::PaintWindowNow(Form& top) {
  if (!top.surface_) return;
  top.surface_->Update(top);
  top.surface_->TakeRepaintRequest();
  std::vector<FormWatch> order;
  for (Form* form : top.surface_->PaintOrder()) order.push_back(form->Watch());
  for (const FormWatch& watch : order) {
    if (Form* form = watch.get()) form->FormEraseBackground();
    if (Form* form = watch.get()) form->FormPaint();
  }
  ShowChanges(top);
}

void Application::RepaintWindows() {
  std::vector<FormWatch> windows;
  for (const auto& [handle, form] : windows_) windows.push_back(form->Watch());
  for (const FormWatch& watch : windows) {
    Form* top = watch.get();
    if (!top || !top->visible() || !top->surface_) continue;
    top->surface_->Update(*top);
    if (top->surface_->TakeRepaintRequest()) {
      // A control shown, hidden or moved under a resting pointer is entered or left at once;
      // behind a modal window nothing is entered (its balloon would come up over the box).
      if (top->window_ == pointer_window_ && !captured() && AcceptsInput(*top)) {
        UpdateHover(FormUnder(*top, pointer_));
      }
      PaintWindowNow(*top);
    } else {
      ShowChanges(*top);
    }
  }
}

void Application::ShowChanges(Form& top) {
  Rect area = top.surface_->TakeChangedArea();
  if (area.Empty() || top.window_ == kNoWindow) return;
  backend_->Present(top.window_, top.surface_->pixels(), area);
}

Form* Application::WindowOf(WindowHandle handle) {
  auto found = windows_.find(handle);
  return found == windows_.end() ? nullptr : found->second;
}

bool Application::AcceptsInput(const Form& window) const {
  if (modal_stack_.empty()) return true;
  Form* modal = modal_stack_.back().get();
  // A pop-up menu opened over the modal window (a text box's quick list) belongs to it.
  return !modal || modal == &window || window.window_role() == WindowRole::PopupMenu;
}

Form* Application::InputTarget(Form* form) const {
  while (form && !form->enabled()) form = form->parent();
  return form;
}

Form* Application::FormUnder(Form& window, Point window_point) {
  if (!window.surface_) return nullptr;
  window.surface_->Update(window);
  return InputTarget(window.surface_->FormAt(window_point));
}

void Application::Dispatch(const BackendEvent& event) {
  if (event.kind == EventKind::Quit) {
    Terminate();
    return;
  }
  if (event.kind == EventKind::QuitRequest) {
    QuitRequested();
    return;
  }
  if (event.kind == EventKind::PressOutside) {
    PopupFocus::CloseFocusedPopups();
    return;
  }
  Form* window = WindowOf(event.window);
  if (!window && event.kind == EventKind::MouseUp && captured()) {
    // The window went from under the held pointer (maximised, restored) and the release came
    // for no window: it is the captured form's, or the capture and its press would linger.
    window = &captured()->TopLevel();
    Point at = window->ScreenToClient(CursorPosition());
    BackendEvent release = event;
    release.window = window->window_handle();
    release.x = at.x;
    release.y = at.y;
    DispatchMouse(*window, release);
    return;
  }
  if (!window) return;
  switch (event.kind) {
    case EventKind::MouseMove:
    case EventKind::MouseDown:
    case EventKind::MouseUp:
    case EventKind::MouseWheel:
    case EventKind::MouseLeftWindow:
      if (AcceptsInput(*window)) DispatchMouse(*window, event);
      break;
    case EventKind::KeyDown:
    case EventKind::KeyUp:
    case EventKind::Text:
    case EventKind::Composition:
      DispatchKeyboard(event);
      break;
    default:
      DispatchWindowEvent(*window, event);
  }
}

void Application::DispatchWindowEvent(Form& window, const BackendEvent& event) {
  switch (event.kind) {
    case EventKind::CloseRequest:
      if (AcceptsInput(window)) window.Close();
      break;
    case EventKind::FocusGained:
      WindowActivated(window);
      break;
    case EventKind::FocusLost:
      WindowDeactivated(window);
      break;
    case EventKind::Exposed:
      window.Invalidate();
      break;
    case EventKind::Moved:
    case EventKind::Resized:
    case EventKind::Minimized:
    case EventKind::Maximized:
    case EventKind::Restored:
      window.FollowWindowManager(event);
      break;
    default:
      break;
  }
}

void Application::WindowActivated(Form& window) {
  if (!AcceptsInput(window)) {
    // A window behind a modal one cannot be activated: the modal window takes it back.
    backend_->RaiseWindow(modal_stack_.back().get()->window_handle(), true);
    return;
  }
  if (Contains(window, focused())) return;
  Form* before = focus_on_deactivation_[window.window_handle()].get();
  bool can_return = before && Contains(window, before) && before->IsShowing() && before->enabled();
  SetFocus(can_return ? before : &window, false);
}

void Application::WindowDeactivated(Form& window) {
  if (!Contains(window, focused())) return;
  focus_on_deactivation_[window.window_handle()] = focus_;
  SetFocus(nullptr, false);
}

void Application::DispatchMouse(Form& window, const BackendEvent& event) {
  Point screen = window.ClientToScreen(Point{event.x, event.y});
  if (event.kind == EventKind::MouseLeftWindow) {
    pointer_window_ = kNoWindow;
    if (!captured() && Contains(window, hovered())) UpdateHover(nullptr);
    return;
  }
  pointer_window_ = window.window_handle();
  pointer_ = Point{event.x, event.y};
  Form* under = FormUnder(window, Point{event.x, event.y});
  if (event.kind != EventKind::MouseUp) UpdateHover(under);
  if (event.kind == EventKind::MouseWheel) {
    OfferUpwards(hovered(), [&](Form& form) { return form.FormMouseWheel(event.shift, event.wheel, screen); });
    return;
  }
  Form* target = captured() ? captured() : (event.kind == EventKind::MouseUp ? under : hovered());
  if (!target) return;
  Point local = target->ScreenToClient(screen);
  switch (event.kind) {
    case EventKind::MouseMove:
      target->FormMouseMove(event.shift, local.x, local.y);
      break;
    case EventKind::MouseDown:
      DispatchMouseDown(*target, event, local);
      break;
    default: {  // MouseUp
      FormWatch window_alive = window.Watch();  // a click may close and destroy its window
      target->FormMouseUp(event.button, event.shift, local.x, local.y);
      if ((event.shift & kAnyButton) == 0 && capture_is_implicit_) ReleaseCapture(captured());
      if (Form* still = window_alive.get()) UpdateHover(FormUnder(*still, Point{event.x, event.y}));
    }
  }
}

void Application::DispatchMouseDown(Form& target, const BackendEvent& event, Point local) {
  FormWatch watch = target.Watch();
  if (!captured()) {
    SetCapture(&target);
    capture_is_implicit_ = true;
  }
  SetFocus(&target, false);
  if (!watch) return;
  ShiftState shift = event.shift;
  // The second press of a double click: the double-click notice comes first, as the window
  // system sends it, then the press marked as double.
  if (event.button == MouseButton::Left && event.clicks >= 2 && event.clicks % 2 == 0) {
    target.FormDblClick();
    if (!watch) return;
    shift |= kDoubleClick;
  }
  target.FormMouseDown(event.button, shift, local.x, local.y);
}

void Application::DispatchKeyboard(const BackendEvent& event) {
  Form* target = focused();
  if (!target || !AcceptsInput(target->TopLevel())) return;
  switch (event.kind) {
    case EventKind::KeyDown:
      OfferUpwards(target, [&](Form& form) { return form.FormKeyDown(event.key, event.shift); });
      break;
    case EventKind::KeyUp:
      OfferUpwards(target, [&](Form& form) { return form.FormKeyUp(event.key, event.shift); });
      break;
    case EventKind::Composition:
      DispatchComposition(*target, event);
      break;
    default:  // Text
      for (const std::string& character : Characters(Cp949FromUtf8(event.text))) {
        OfferUpwards(focused(), [&](Form& form) { return form.FormKeyPress(character); });
      }
  }
}

void Application::DispatchComposition(Form& target, const BackendEvent& event) {
  CompositionEvent composition{event.composition, Cp949FromUtf8(event.text)};
  OfferUpwards(&target, [&](Form& form) { return form.FormComposition(composition); });
}

void Application::UpdateHover(Form* under) {
  if (under == hovered()) return;
  FormWatch previous = hover_;
  hover_ = under ? under->Watch() : FormWatch();
  if (Form* left = previous.get()) left->FormMouseLeave();
  if (Form* entered = hover_.get(); entered && entered == under) entered->FormMouseEnter();
  UpdateCursor();
}

void Application::UpdateCursor() {
  Form* form = captured() ? captured() : hovered();
  backend_->SetCursorShape(form ? form->cursor() : CursorShape::Default);
}

void Application::CursorChanged(Form& form) {
  if (&form == captured() || &form == hovered()) UpdateCursor();
}

void Application::SetFocus(Form* form, bool activate_window) {
  if (form == focused()) return;
  // Hidden and disabled forms cannot take the focus.
  if (form && (!form->IsShowing() || !form->enabled())) return;
  Form* previous = focused();
  focus_ = form ? form->Watch() : FormWatch();
  if (activate_window && form && (!previous || &previous->TopLevel() != &form->TopLevel())) {
    const Form& top = form->TopLevel();
    if (top.window_handle() != kNoWindow) backend_->RaiseWindow(top.window_handle(), top.takes_focus());
  }
  if (previous) previous->FormExit();
  if (form && focused() == form) form->FormEnter();
}

void Application::SetCapture(Form* form) {
  capture_ = form ? form->Watch() : FormWatch();
  capture_is_implicit_ = false;
  backend_->SetMouseCapture(form != nullptr);
  UpdateCursor();
}

void Application::ReleaseCapture(Form* form) {
  if (!form || form != captured()) return;
  capture_ = FormWatch();
  capture_is_implicit_ = false;
  backend_->SetMouseCapture(false);
  UpdateCursor();
}

void Application::FormShown(Form& form) {
  if (!main_form_ && form.IsTopLevel()) main_form_ = form.Watch();
}

void Application::FormHidden(Form& form) {
  if (Contains(form, captured())) ReleaseCapture(captured());
  if (Contains(form, hovered())) UpdateHover(nullptr);
  if (Contains(form, focused())) SetFocus(nullptr, false);
}

void Application::FormGone(Form& form) {
  // Only clears the references: the form is half destroyed, and its children become hidden
  // orphans; none of them gets a notice now.
  if (Contains(form, captured())) ReleaseCapture(captured());
  if (Contains(form, hovered())) hover_ = FormWatch();
  if (Contains(form, focused())) focus_ = FormWatch();
}

ModalResult Application::RunModal(Form& form) {
  if (!form.IsTopLevel() || form.in_modal_loop_) return kModalCancel;
  FormWatch watch = form.Watch();
  form.modal_result_ = kModalNone;
  form.in_modal_loop_ = true;
  // The press that opened the box must not keep the mouse for a window behind it.
  ReleaseCapture(captured());
  UpdateHover(nullptr);
  FormWatch focus_before = focus_;
  modal_stack_.push_back(watch);
  form.Show();
  form.BringToFront();
  SetFocus(&form, true);
  while (!terminated_ && watch && form.modal_result_ == kModalNone && form.visible_) {
    ProcessMessages(true);
  }
  modal_stack_.pop_back();
  if (!watch) return kModalCancel;
  form.in_modal_loop_ = false;
  ModalResult result = form.modal_result_ != kModalNone ? form.modal_result_ : kModalCancel;
  form.Hide();
  // As the window system re-activates the window a dialog was opened from.
  if (Form* previous = focus_before.get()) SetFocus(previous, true);
  return result;
}

}  // namespace tolmeo
