#pragma once
// One programming set-up from cable to commands: the cable the options name, the line driver
// on it when it is a bit-bang cable, the instruction set and the programming commands, wired to one chip image and one
// seam. Build it after the description is loaded: a simulated chip takes its size from it.
#include <cstdint>
#include <memory>
#include <string>

#include "base/result.h"
#include "isp/cable_choice.h"
#include "isp/isp_instructions.h"
#include "isp/line_driver.h"
#include "isp/programmer.h"
#include "port/counted_clock.h"

namespace tolmeo {

// The time one port access takes on the rig's opened cable, for the busy-wait to subtract:
// measured on a parallel port, where every access is its own call that has changed the pins
// before the next begins; the simulated cable's own access time on its clock; 0 (nothing
// subtracted) on any other cable, whose accesses may go out many to one transfer.
std::int64_t PortAccessNsOf(CableRig& rig);

class EngineSession {
 public:
  // isp_speed is read at every clock edge, so the settings can change it while the session
  // lives. chip_folder is MakeCable's.
  EngineSession(const std::string& cable_text, ChipImage& image, EngineSeam& seam,
                const std::int32_t& isp_speed, const std::string& chip_folder = {});

  // Opens the cable, puts the lines into their idle state and gives the line driver the time
  // of a port access (PortAccessNsOf). A cable that does not open makes every command fail at
  // programming-mode entry with this reason.
  Status OpenPort();

  Programmer& programmer() { return programmer_; }
  CableRig& rig() { return rig_; }
  IspInstructions& instructions() { return *isp_; }
  // The line driver on a bit-bang cable, otherwise null.
  const LineDriver* line_driver() const { return driver_.get(); }
  // What the cable did so far, and how long the engine waited on its clock.
  CableStats Stats() const { return isp_->link().Stats(); }
  double WaitedSeconds() const { return clock_.waited_s(); }

 private:
  static std::unique_ptr<IspInstructions> Instructions(CableRig& rig, LineDriver* driver, ChipImage& image,
                                                       EngineSeam& seam, const std::int32_t& isp_speed);

  CableRig rig_;
  CountedClock clock_;  // over the rig's: every wait of the engine goes through it
  std::unique_ptr<LineDriver> driver_;  // on a bit-bang cable
  std::unique_ptr<IspInstructions> isp_;
  Programmer programmer_;
};

}  // namespace tolmeo
