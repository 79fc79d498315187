#include "form/own_requests.h"

#include <algorithm>

namespace tolmeo {

void OwnRequests::Requested(Point value) {
  current_ = value;
  unreported_.push_back(value);
  if (unreported_.size() > kRemembered) unreported_.pop_front();
}

bool OwnRequests::FromOutside(Point value) {
  auto echo = std::find(unreported_.begin(), unreported_.end(), value);
  if (echo != unreported_.end()) {
    // This request and every older one have been dealt with by the window manager.
    unreported_.erase(unreported_.begin(), echo + 1);
    return false;
  }
  if (value == current_) return false;
  // The window manager took over: requests it has not reported yet were overridden.
  unreported_.clear();
  current_ = value;
  return true;
}

}  // namespace tolmeo
