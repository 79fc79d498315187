#pragma once
// A pop-up that borrows the keyboard focus while it is shown (the balloon, the drop-down list,
// the quick list): it takes the focus when it opens, closes when the focus goes elsewhere, and
// gives the focus back to where it was when it closes by itself.
#include <functional>

#include "form/form.h"

namespace tolmeo {

class PopupFocus {
 public:
  // on_closed runs after the pop-up was hidden, whichever way it closed.
  explicit PopupFocus(Form& popup, std::function<void()> on_closed = {});
  ~PopupFocus();
  PopupFocus(const PopupFocus&) = delete;
  PopupFocus& operator=(const PopupFocus&) = delete;

  // A press outside every window of ours: the pop-up that holds the focus closes and gives it
  // back, and so on while the focus lands on another open pop-up.
  static void CloseFocusedPopups();

  // Remembers who has the focus (unless the pop-up has it already), shows the pop-up and
  // focuses it.
  void Open();
  // Hides the pop-up; when it held the focus, the focus goes back to where it was.
  void Close();
  // For the pop-up's FormExit: the focus went elsewhere, so the pop-up closes and the focus
  // stays where the user put it.
  void FocusLost() { Close(); }
  bool open() const { return popup_.visible(); }

 private:
  Form& popup_;
  std::function<void()> on_closed_;
  FormWatch focus_before_;
  // Hiding takes the pointer and the focus away, whose notices come back here.
  bool closing_ = false;
};

}  // namespace tolmeo
