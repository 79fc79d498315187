#include "form/form_timer.h"

#include <algorithm>

#include "form/application.h"

namespace tolmeo {

FormTimer::FormTimer(std::string name, std::function<void()> on_timer, int interval_ms)
    : name_(std::move(name)), on_timer_(std::move(on_timer)), interval_ms_(std::max(interval_ms, 1)) {}

FormTimer::~FormTimer() {
  *alive_ = false;
  if (enabled_) Application::Current().Unschedule(*this);
}

void FormTimer::Restart() { due_ms_ = Application::Current().NowMs() + interval_ms_; }

void FormTimer::SetInterval(int interval_ms) {
  interval_ms_ = std::max(interval_ms, 1);
  if (enabled_) Restart();
}

void FormTimer::SetEnabled(bool enabled) {
  if (enabled) Restart();
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) {
    Application::Current().Schedule(*this);
  } else {
    Application::Current().Unschedule(*this);
  }
}

void FormTimer::FireIfDue(std::int64_t now_ms) {
  if (!enabled_ || firing_ || now_ms < due_ms_) return;
  due_ms_ = now_ms + interval_ms_;
  firing_ = true;
  std::shared_ptr<bool> alive = alive_;
  on_timer_();
  if (*alive) firing_ = false;  // the handler may have destroyed the timer with its owner
}

}  // namespace tolmeo
