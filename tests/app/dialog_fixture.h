#pragma once
// A dialog of the application on the headless screen: the widget fixture plus the notices the
// dialog gives through its show_notice hook, each recorded as "kind text".
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/widget_fixture.h"

namespace tolmeo::testing {

class AppDialogTest : public WidgetTest {
 protected:
  std::function<void(int, std::string_view)> RecordNotices() {
    return [this](int kind, std::string_view text) {
      notices.push_back(std::to_string(kind) + " " + std::string(text));
    };
  }

  std::vector<std::string> notices;
};

}  // namespace tolmeo::testing
