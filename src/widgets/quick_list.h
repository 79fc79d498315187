#pragma once
// What a control needs of a pop-up quick list (the shell's window implements it): a list of
// items opened at a screen position, answering with the picked item's index.
#include <functional>
#include <string>
#include <vector>

namespace tolmeo {

class QuickList {
 public:
  virtual ~QuickList() = default;
  // CP949 item texts; on_pick gets the picked item's index, after the list has closed.
  virtual void SetItems(std::vector<std::string> cp949_items, std::function<void(int)> on_pick) = 0;
  // Opens the list with its top-left corner at (x, y) of the screen, or as near as the
  // screen allows.
  virtual void PopupAt(int x, int y) = 0;
  virtual bool showing() const = 0;
};

}  // namespace tolmeo
