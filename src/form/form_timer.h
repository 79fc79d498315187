#pragma once
// A named timer that fires from the message loop, as window-system timers do: when the loop
// runs and the interval has passed. A late loop fires it once, not once per missed interval,
// and a handler that runs a nested loop is not re-entered by its own timer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tolmeo {

class FormTimer {
 public:
  FormTimer(std::string name, std::function<void()> on_timer, int interval_ms = 1000);
  ~FormTimer();
  FormTimer(const FormTimer&) = delete;
  FormTimer& operator=(const FormTimer&) = delete;

  const std::string& name() const { return name_; }
  int interval() const { return interval_ms_; }
  bool enabled() const { return enabled_; }
  // Both restart the count when the timer is enabled. Intervals below 1 ms count as 1 ms.
  void SetInterval(int interval_ms);
  void SetEnabled(bool enabled);

  // For the message loop: when the timer is next due (only while enabled).
  std::int64_t due_ms() const { return due_ms_; }
  void FireIfDue(std::int64_t now_ms);

 private:
  void Restart();

  std::string name_;
  std::function<void()> on_timer_;
  int interval_ms_;
  bool enabled_ = false;
  bool firing_ = false;
  std::int64_t due_ms_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tolmeo
