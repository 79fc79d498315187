#include "form/popup_focus.h"

#include "form/application.h"

namespace tolmeo {

PopupFocus::PopupFocus(Form& popup, std::function<void()> on_closed)
    : popup_(popup), on_closed_(std::move(on_closed)) {}

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
