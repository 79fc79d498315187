#pragma once
// What the line driver needs of a bit-bang ISP cable: open it (which may fail, with a reason),
// write the data register, read the status register, in the line layout of port/isp_lines.h.
// A batch of line changes goes out through Exchange; its default takes them edge by edge, so
// the wire is exactly the run of single writes and reads.
#include <cstdint>
#include <vector>

#include "base/result.h"
#include "port/cable_stats.h"
#include "port/clock.h"
#include "port/line_batch.h"

namespace tolmeo {

class Cable {
 public:
  virtual ~Cable() = default;
  virtual Status Open() = 0;
  virtual void WriteData(std::uint8_t value) = 0;
  virtual std::uint8_t ReadStatus() = 0;

  // Every step of the batch in order, waits through the clock; the MISO level of each sample
  // (0 or 1) appended to miso.
  virtual void Exchange(const LineBatch& batch, Clock& clock, std::vector<std::uint8_t>& miso);
  virtual CableStats Stats() const { return {}; }

  // True for a cable that puts line changes out at its own rate (a USB bit-bang chip): the
  // waits of a batch pass in that rate, not as the engine's busy-waits, and since every
  // exchange with it costs a transfer, reads are worth queueing a page at a time.
  virtual bool KeepsOwnPace() const { return false; }
  // At every programming-mode entry: Lost is cleared, and a cable at its own pace holds each
  // line change at least phase_ns from now on.
  virtual void StartSession(std::int64_t /*phase_ns*/) {}
  // True once an exchange with the cable failed since the last StartSession: the samples
  // since are worthless.
  virtual bool Lost() const { return false; }
};

}  // namespace tolmeo
