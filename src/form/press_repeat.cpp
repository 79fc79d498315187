#include "form/press_repeat.h"

namespace tolmeo {

PressRepeat::PressRepeat(std::string timer_name, std::function<void()> step)
    : step_(std::move(step)), timer_(std::move(timer_name), [this] { Tick(); }, kRepeatFirstDelayMs) {}

void PressRepeat::Press() {
  if (!timer_.enabled()) step_();
  timer_.SetEnabled(true);
}

void PressRepeat::Release() {
  timer_.SetEnabled(false);
  timer_.SetInterval(kRepeatFirstDelayMs);
}

void PressRepeat::Tick() {
  // The pace is set before the step, since a step may release the press or close its window.
  timer_.SetInterval(kRepeatIntervalMs);
  step_();
}

}  // namespace tolmeo
