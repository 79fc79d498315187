#pragma once
// The simulated cable: data-register writes drive a virtual AVR's RESET, SCK and MOSI in the
// line layout of port/isp_lines.h; the mode line goes nowhere, and the status register reads
// its MISO. Time is the cable's own virtual
// clock, which the engine must use for its waits so the chip's write times pass.
#include <cstdint>
#include <string>

#include "base/result.h"
#include "port/cable.h"
#include "port/chip_model.h"
#include "port/virtual_avr.h"
#include "port/virtual_clock.h"

namespace tolmeo {

class SimCable : public Cable {
 public:
  // With a file path the chip starts from that file, which stays locked against other runs
  // while the cable lives; Save writes the chip back, and so does the cable going away unless
  // told otherwise. A file that cannot be read or locked is never written (see load_status).
  explicit SimCable(const ChipModel& model, std::string cp949_path = {});
  ~SimCable() override;
  SimCable(const SimCable&) = delete;
  SimCable& operator=(const SimCable&) = delete;

  // Fails when the cable is switched to absent, or when the chip's file could not be read or
  // locked (another run holds it; it is cut short, damaged or made for another chip): a run
  // never starts on a blank chip in place of the one the file holds.
  Status Open() override;
  void WriteData(std::uint8_t value) override;
  std::uint8_t ReadStatus() override;
  // What a parallel port would have done for the same line changes.
  CableStats Stats() const override;

  // True when the chip came from its file (or the file is new) and may be written back.
  bool keeps_file() const { return !path_.empty() && load_status_.ok(); }
  // Writes the chip to the cable's file now, or says why not (naming the file); success when
  // the cable has no file.
  Status Save();
  // Whether the cable going away saves the chip (the windows keep every change, as a real
  // chip does; tolmeo-cli saves only after a run that succeeded, and says when that fails).
  void set_save_on_close(bool save) { save_on_close_ = save; }

  // Knob: no cable on the port at all.
  bool absent = false;
  // Knob: how long each access that reaches the port takes on the cable's clock (0: none;
  // ppdev is about 1900), so the chip hears the phases a real port would give.
  std::int64_t access_ns = 0;

  VirtualClock& clock() { return clock_; }
  VirtualAvr& chip() { return chip_; }
  std::uint8_t data() const { return data_; }
  // Why the chip's file was not taken (naming the file and saying the run will not be kept).
  const Status& load_status() const { return load_status_; }

 private:
  Status LockAndLoad();
  void CountAccess();
  // Locks the file the path names now (opening or creating it), or says why it cannot.
  Status LockPath();

  VirtualClock clock_;
  VirtualAvr chip_;
  std::string path_;
  int lock_fd_ = -1;
  bool save_on_close_ = true;
  Status load_status_ = Success();
  std::uint8_t data_ = 0;
  bool written_ = false;
  CableStats stats_;
};

}  // namespace tolmeo
