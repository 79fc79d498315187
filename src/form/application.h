#pragma once
// The application object: owns the window-system backend, runs the message loop (fully, once
// for pending messages, or nested for a modal form), routes input to forms (hit testing by
// stacking and shape, mouse enter and leave, implicit capture from press to release, focus),
// fires timers and repaints what changed. One exists at a time; forms find it through
// Current(). Every form and timer must be destroyed before the application.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "form/backend.h"
#include "form/desktop.h"
#include "form/form.h"

namespace tolmeo {

class FormTimer;

// What the message loop throws on after it showed an exception that escaped an event handler
// with the standard exception display: the process is to end, and whoever catches this need
// not show it again. It carries the original message.
class EscapedException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Application {
 public:
  explicit Application(std::unique_ptr<Backend> backend);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Throws std::logic_error when no application exists.
  static Application& Current();
  static bool Exists();

  Backend& backend() { return *backend_; }
  // The desktop's dialogs, browser and clipboard. Until one is set, a DetachedDesktop stands
  // in: its dialogs and the browser fail, saying that no desktop is attached.
  Desktop& desktop() { return *desktop_; }
  void SetDesktop(std::unique_ptr<Desktop> desktop) { desktop_ = std::move(desktop); }

  // The main form: closing it ends Run. The first top-level form shown becomes the main form
  // unless one is set.
  void SetMainForm(Form* form) { main_form_ = form ? form->Watch() : FormWatch(); }
  Form* main_form() const { return main_form_.get(); }

  // The application's title (CP949), carried by every top-level window without a caption of its
  // own and by the standard exception display.
  void SetTitle(const std::string& cp949_title);
  const std::string& title() const { return title_; }
  const std::string& WindowTitle(const Form& top) const;

  // Runs until the main form closes or Terminate is called. An exception escaping an event
  // handler, timer or painting, here or in any nested loop, is shown with ShowException, ends
  // the loops, and leaves as EscapedException.
  void Run();
  // Handles every message waiting now, fires due timers and repaints, without waiting.
  void RunPendingMessages();
  // Runs task on the GUI thread in the loop's next pass, waking a loop that waits. The one call
  // that is safe from any thread; the application must outlive whoever may still call it.
  void Post(std::function<void()> task);
  void Terminate() { terminated_ = true; }
  bool terminated() const { return terminated_; }
  void Minimize();
  // Asked to end from outside: the main form closes as by its close box, so what closing it
  // keeps is kept; without one showing the loops just end.
  void QuitRequested();
  // The standard display of an exception that escaped the message loop (its message CP949).
  // An EscapedException was shown already and is not shown again.
  void ShowException(const std::exception& error);
  // The main form's window for a window that belongs to it (kNoWindow for the main form itself).
  WindowHandle OwnerWindowFor(const Form& top) const;

  Rect ScreenRect() { return backend_->ScreenRect(); }
  Rect WorkArea() { return backend_->WorkArea(); }
  Point CursorPosition() { return backend_->CursorPosition(); }
  std::int64_t NowMs() { return backend_->NowMs(); }

  // The modal form whose loop runs innermost, or null when none is up.
  Form* modal_form() const { return modal_stack_.empty() ? nullptr : modal_stack_.back().get(); }
  // Whether input may reach this top-level form: none is modal, or it is the innermost modal
  // form or a pop-up menu over it.
  bool AcceptsInput(const Form& window) const;

  Form* focused() const { return focus_.get(); }
  Form* hovered() const { return hover_.get(); }
  Form* captured() const { return capture_.get(); }

  // Used by Form and FormTimer.
  ModalResult RunModal(Form& form);
  void SetFocus(Form* form, bool activate_window);
  void SetCapture(Form* form);
  void ReleaseCapture(Form* form);
  void FormShown(Form& form);
  // A form about to be hidden or re-parented: it loses hover, capture and focus.
  void FormHidden(Form& form);
  void FormGone(Form& form);
  void WindowCreated(Form& form) { windows_[form.window_handle()] = &form; }
  void WindowDestroyed(Form& form);
  // Repaints a top-level form's whole window at once and shows it.
  void PaintWindowNow(Form& top);
  void CursorChanged(Form& form);
  void Schedule(FormTimer& timer) { timers_.insert(&timer); }
  void Unschedule(FormTimer& timer) { timers_.erase(&timer); }
  void RequestPass() { work_pending_ = true; }

 private:
  // One pass: optionally wait for the first message, then handle all waiting ones, fire due
  // timers, repaint and show what changed.
  void ProcessMessages(bool wait);
  void HandleMessages(bool wait);
  [[noreturn]] void Escape(const std::exception& error);
  int WaitTimeout() const;
  void Dispatch(const BackendEvent& event);
  void DispatchMouse(Form& window, const BackendEvent& event);
  void DispatchMouseDown(Form& target, const BackendEvent& event, Point local);
  void DispatchKeyboard(const BackendEvent& event);
  void DispatchWindowEvent(Form& window, const BackendEvent& event);
  void WindowActivated(Form& window);
  void WindowDeactivated(Form& window);
  void DispatchComposition(Form& target, const BackendEvent& event);
  void UpdateHover(Form* under);
  void UpdateCursor();
  Form* InputTarget(Form* form) const;
  Form* FormUnder(Form& window, Point window_point);
  Form* WindowOf(WindowHandle handle);
  bool HasPosted();
  void RunPosted();
  void FireDueTimers();
  void RepaintWindows();
  void ShowChanges(Form& top);

  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Desktop> desktop_;
  FormWatch main_form_;
  FormWatch hover_;
  FormWatch capture_;
  bool capture_is_implicit_ = false;
  FormWatch focus_;
  std::vector<FormWatch> modal_stack_;
  std::set<FormTimer*> timers_;
  std::map<WindowHandle, Form*> windows_;
  // The control that had the keyboard focus when its window was deactivated, to get it back.
  std::map<WindowHandle, FormWatch> focus_on_deactivation_;
  std::string title_ = "Tolmeo";
  // Where the pointer was last seen, to find the form under it when the window rearranges.
  WindowHandle pointer_window_ = kNoWindow;
  Point pointer_;
  bool terminated_ = false;
  bool work_pending_ = true;
  std::mutex posted_mutex_;
  std::vector<std::function<void()>> posted_;  // by Post, not yet run
};

}  // namespace tolmeo
