#pragma once
// The window system tells of the input method's work in two notices: the text being edited
// (empty when the composition is given up) and the text input that finishes it. Tolmeo's
// forms want the steps in order instead: Start, Update with each new state of the syllable,
// Commit with the result, End. This tracker turns the one into the other.
#include <string>
#include <vector>

#include "form/form_types.h"

namespace tolmeo {

class CompositionTracker {
 public:
  struct Step {
    CompositionEvent::Kind kind;
    std::string utf8_text;
  };

  // The syllable being composed is now utf8_text; empty ends the composition without a result.
  std::vector<Step> Editing(const std::string& utf8_text);
  // Finished text while composing: the composition's result. Call only while composing();
  // text arriving otherwise was typed directly.
  std::vector<Step> Finished(const std::string& utf8_text);
  bool composing() const { return composing_; }

 private:
  bool composing_ = false;
  std::string shown_;  // the syllable as last reported
};

}  // namespace tolmeo
