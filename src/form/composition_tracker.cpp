#include "form/composition_tracker.h"

namespace tolmeo {

using Kind = CompositionEvent::Kind;

std::vector<CompositionTracker::Step> CompositionTracker::Editing(const std::string& utf8_text) {
  std::vector<Step> steps;
  if (utf8_text.empty()) {
    if (composing_) steps.push_back(Step{Kind::End, ""});
    composing_ = false;
    shown_.clear();
    return steps;
  }
  if (!composing_) steps.push_back(Step{Kind::Start, ""});
  // The window system repeats the notice when only the input method's cursor moved.
  if (!composing_ || utf8_text != shown_) steps.push_back(Step{Kind::Update, utf8_text});
  composing_ = true;
  shown_ = utf8_text;
  return steps;
}

std::vector<CompositionTracker::Step> CompositionTracker::Finished(const std::string& utf8_text) {
  if (!composing_) return {};
  composing_ = false;
  shown_.clear();
  return {Step{Kind::Commit, utf8_text}, Step{Kind::End, ""}};
}

}  // namespace tolmeo
