#include "form/popup_focus.h"

#include <map>

#include "form/application.h"

namespace tolmeo {
namespace {

// Every pop-up by its form, to find the one that holds the focus.
std::map<const Form*, PopupFocus*>& PopupsByForm() {
  static std::map<const Form*, PopupFocus*> popups;
  return popups;
}

}  // namespace

PopupFocus::PopupFocus(Form& popup, std::function<void()> on_closed)
    : popup_(popup), on_closed_(std::move(on_closed)) {
  PopupsByForm()[&popup_] = this;
}

PopupFocus::~PopupFocus() { PopupsByForm().erase(&popup_); }

void PopupFocus::CloseFocusedPopups() {
  // Each round hides one pop-up, and a hidden one cannot take the focus again.
  while (Form* focused = Application::Current().focused()) {
    auto found = PopupsByForm().find(&focused->TopLevel());
    if (found == PopupsByForm().end() || !found->second->open()) return;
    found->second->Close();
  }
}

void PopupFocus::Open() {
  if (!popup_.Focused()) {
    Form* focused = Application::Current().focused();
    focus_before_ = focused ? focused->Watch() : FormWatch();
  }
  popup_.Show();
  popup_.SetFocus();
}

void PopupFocus::Close() {
  if (!popup_.visible() || closing_) return;
  closing_ = true;
  const bool had_focus = popup_.Focused();
  FormWatch popup = popup_.Watch();
  popup_.Hide();
  if (!popup) return;  // a hide handler destroyed the pop-up
  closing_ = false;
  // The pop-up only borrowed the focus: typing goes on where it went before.
  if (Form* previous = focus_before_.get(); had_focus && previous) previous->SetFocus();
  if (on_closed_) on_closed_();
}

}  // namespace tolmeo
