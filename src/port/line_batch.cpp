#include "port/line_batch.h"

namespace tolmeo {

void LineBatch::Wait(std::int64_t nanoseconds) { steps_.push_back({Kind::kWait, 0, nanoseconds}); }

void LineBatch::Sample() {
  steps_.push_back({Kind::kSample, 0, 0});
  ++samples_;
}

void LineBatch::Clear() {
  steps_.clear();
  samples_ = 0;
}

}  // namespace tolmeo
