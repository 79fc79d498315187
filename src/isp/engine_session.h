#pragma once
// One programming set-up from cable to commands: the cable the options name, the line driver
// on it, the instruction set and the programming commands, wired to one chip image and one
// seam. Build it after the description is loaded: a simulated chip takes its size from it.
#include <cstdint>
#include <string>

#include "base/result.h"
#include "isp/cable_choice.h"
#include "isp/isp_instructions.h"
#include "isp/line_driver.h"
#include "isp/programmer.h"

namespace tolmeo {

class EngineSession {
 public:
  // isp_speed is read at every clock edge, so the settings can change it while the session
  // lives.
  EngineSession(const std::string& cable_text, ChipImage& image, EngineSeam& seam,
                const std::int32_t& isp_speed);

  // Opens the cable and puts the lines into their idle state. A cable that does not open
  // makes every command fail at programming-mode entry with this reason.
  Status OpenPort();

  Programmer& programmer() { return programmer_; }
  CableRig& rig() { return rig_; }

 private:
  CableRig rig_;
  LineDriver driver_;
  IspInstructions isp_;
  Programmer programmer_;
};

}  // namespace tolmeo
