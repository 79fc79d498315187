#pragma once
// What the line driver needs of an ISP cable: open it (which may fail, with a reason), write
// the data register, read the status register. The line meaning of the bits belongs to the
// line driver, not to the cable.
#include <cstdint>

#include "base/result.h"

namespace tolmeo {

class Cable {
 public:
  virtual ~Cable() = default;
  virtual Status Open() = 0;
  virtual void WriteData(std::uint8_t value) = 0;
  virtual std::uint8_t ReadStatus() = 0;
};

}  // namespace tolmeo
