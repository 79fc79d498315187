#pragma once
// The press-and-hold repeat of scroll arrows, scroll tracks and page buttons: the first step
// comes with the press, the second 500 ms later, then one every 20 ms until release.
#include <functional>
#include <string>

#include "form/form_timer.h"

namespace tolmeo {

inline constexpr int kRepeatFirstDelayMs = 500;
inline constexpr int kRepeatIntervalMs = 20;

class PressRepeat {
 public:
  // The timer carries timer_name ("scroll_Timer", "page_Timer"); step runs once per step.
  PressRepeat(std::string timer_name, std::function<void()> step);

  // Steps at once unless already repeating, then starts the timer with its interval as it is,
  // so a second press while held does not restart the fast pace.
  void Press();
  // Stops the timer and sets its interval back to the first delay.
  void Release();
  bool repeating() const { return timer_.enabled(); }
  const FormTimer& timer() const { return timer_; }

 private:
  void Tick();

  std::function<void()> step_;
  FormTimer timer_;
};

}  // namespace tolmeo
