#pragma once
// The cable's lines in the layout of port/isp_lines.h. A shadow of the data register lets one
// line change without touching the others. Line changes, waits and MISO samples go to the
// cable as batches: between BeginBatch and FlushBatch they wait and go out together (a whole
// instruction, a page of loads); outside a batch each goes out at once.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "base/result.h"
#include "port/cable.h"
#include "port/clock.h"
#include "port/isp_lines.h"
#include "port/line_batch.h"

namespace tolmeo {

// One unit of the ISP speed setting is a quarter of a microsecond of busy-wait between clock
// edges, the same on every PC: speed 0x10 holds each SCK phase at least 4 us, which a target
// running at 1 MHz (a factory-fresh ATmega) hears with twice the margin it needs.
inline constexpr std::int64_t kIspSpeedUnitNs = 250;
// A chip hears an SCK phase that lasts more than 2 of its clocks; Tolmeo asks for twice that.
inline constexpr int kTargetClocksPerPhase = 4;

// The busy-wait between two clock edges at this speed; a negative speed counts as 0.
std::int64_t IspDelayNs(std::int32_t isp_speed);
// What the line driver busy-waits in each SCK phase: IspDelayNs less the port access that ends
// the phase, so the phase still lasts at least IspDelayNs.
std::int64_t PhaseWaitNs(std::int32_t isp_speed, std::int64_t port_access_ns);

// One bit on a bit-bang cable, step by step. Each step is one port write and then one wait,
// one SCK phase: a bit lasts as many phases as it has steps.
enum class BitStep {
  kMosi,           // MOSI takes the bit's level; SCK stays low
  kSckHigh,        // the rising edge, where the chip takes MOSI; MISO is read at its end
  kSckLow,         // the falling edge
  kMosiAndSckLow,  // the falling edge with the bit's MOSI level, in one write
};
// MOSI set a phase before the rising edge, SCK low again at the end: the bytes of an
// instruction whose answer is read.
inline constexpr std::array kMosiFirstBit{BitStep::kMosi, BitStep::kSckHigh, BitStep::kSckLow};
// Clocked without driving MOSI: the byte only read.
inline constexpr std::array kClockOnlyBit{BitStep::kSckHigh, BitStep::kSckLow};
// An instruction that needs no answer: MOSI changes with the falling edge, so a bit takes two
// phases; one kSckLow more ends the instruction.
inline constexpr std::array kFallingEdgeBit{BitStep::kMosiAndSckLow, BitStep::kSckHigh};

// What a speed setting gives on the wire, with the time one port access takes as the line
// driver subtracts it (about 2 us on ppdev; 0 when nothing is subtracted).
struct SckTiming {
  double shortest_phase_us = 0;  // SCK high or low: one wait and the port access ending it
  double fastest_sck_khz = 0;    // an instruction that needs no answer: kFallingEdgeBit a bit
  double slowest_target_mhz = 0; // the slowest target clock that hears it with margin
};
SckTiming SckTimingOf(std::int32_t isp_speed, double port_access_us = 0);

// The time one port access takes on an opened cable, in microseconds: the status register is
// read again and again (a read changes no line, and unlike a write that changes nothing it
// always reaches the port), and the fastest of a few batches counts, so a busy moment of the
// PC does not make the port look slow and the busy-wait never subtracts too much.
double PortAccessUs(Cable& cable);

class LineDriver {
 public:
  // isp_speed is the options' value, read at every delay so a change takes effect at once.
  LineDriver(Cable& cable, Clock& clock, const std::int32_t& isp_speed);

  // Opens the cable and clears the shadow. Until an open succeeds the cable is left alone:
  // writes only change the shadow and MISO reads as 1.
  Status OpenPort();
  bool PortOpened() const { return opened_; }

  std::uint8_t PortShadow() const { return shadow_; }
  void WriteDataByte(std::uint8_t value);
  // Only the lowest bit of level counts.
  void SetLine(int bit, int level);
  // The mode line, then 1 ms for the cable's buffers to follow.
  void SetModeLine(int level);
  // Sends what waits and samples MISO now.
  int ReadMiso();
  // One step of a bit: its port write (only the lowest bit of mosi_level counts), then IspDelay.
  void ClockStep(BitStep step, int mosi_level);
  // The busy-wait of IspDelayNs at the speed of the moment, less the time of the port access
  // that ends every SCK phase: each phase still lasts at least the chosen time.
  void IspDelay();
  // What one port access takes (PortAccessUs); 0 until measured, so nothing is subtracted.
  void set_port_access_ns(std::int64_t nanoseconds) { port_access_ns_ = std::max<std::int64_t>(nanoseconds, 0); }
  std::int64_t port_access_ns() const { return port_access_ns_; }
  // Mode line 1, RESET 1, SCK 0, MOSI 0: the data register holds 0x81.
  void PortIdle();
  // Sends what waits, then sleeps.
  void SleepMs(std::int32_t milliseconds);

  // Batches nest; the outermost FlushBatch sends. A MISO sample taken in a batch comes back
  // from FlushBatch, in order.
  void BeginBatch();
  void QueueSample();
  // The samples of the outermost batch (each 0 or 1; all 1 while the cable is not open),
  // valid until the next batch or read.
  const std::vector<std::uint8_t>& FlushBatch();

  Cable& cable() { return cable_; }
  Clock& clock() { return clock_; }
  const std::int32_t& isp_speed() const { return isp_speed_; }

 private:
  void SendIfNotBatching();
  void Send();

  Cable& cable_;
  Clock& clock_;
  const std::int32_t& isp_speed_;
  std::uint8_t shadow_ = 0;
  bool opened_ = false;
  std::int64_t port_access_ns_ = 0;
  int batch_depth_ = 0;
  LineBatch queued_;
  std::vector<std::uint8_t> samples_;
};

}  // namespace tolmeo
