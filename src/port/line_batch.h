#pragma once
// Line changes queued for a bit-bang cable: data-register values to write, waits between them
// and the points where MISO is sampled, sent in one go. A whole instruction, or a whole page of
// loads, makes one batch, so a cable that pays per transfer (a USB bit-bang chip) pays once.
#include <cstdint>
#include <span>
#include <vector>

namespace tolmeo {

class LineBatch {
 public:
  enum class Kind : std::uint8_t { kWrite, kWait, kSample };
  struct Step {
    Kind kind = Kind::kWrite;
    std::uint8_t value = 0;     // the data register, for a write
    std::int64_t wait_ns = 0;   // at least this long, for a wait
  };

  void Write(std::uint8_t data_register) { steps_.push_back({Kind::kWrite, data_register, 0}); }
  // A wait of zero or less is kept: the cable's clock decides it is none.
  void Wait(std::int64_t nanoseconds);
  void Sample();

  std::span<const Step> steps() const { return steps_; }
  int samples() const { return samples_; }
  bool empty() const { return steps_.empty(); }
  void Clear();

 private:
  std::vector<Step> steps_;
  int samples_ = 0;
};

}  // namespace tolmeo
