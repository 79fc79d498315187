#include "isp/engine_session.h"

#include <cmath>

#include "port/parport_cable.h"

namespace tolmeo {

std::int64_t PortAccessNsOf(CableRig& rig) {
  if (rig.sim) return rig.sim->access_ns;
  if (!dynamic_cast<ParportCable*>(rig.cable.get())) return 0;
  return static_cast<std::int64_t>(std::floor(PortAccessUs(*rig.cable) * 1000.0));
}

EngineSession::EngineSession(const std::string& cable_text, ChipImage& image, EngineSeam& seam,
                             const std::int32_t& isp_speed, const std::string& chip_folder)
    : rig_(MakeCable(cable_text, image, chip_folder)),
      clock_(*rig_.clock),
      driver_(rig_.cable ? std::make_unique<LineDriver>(*rig_.cable, clock_, isp_speed) : nullptr),
      isp_(Instructions(rig_, driver_.get(), image, seam, isp_speed)),
      programmer_(*isp_, image, seam) {
  if (rig_.link) rig_.link->SetClock(clock_);
}

std::unique_ptr<IspInstructions> EngineSession::Instructions(CableRig& rig, LineDriver* driver, ChipImage& image,
                                                             EngineSeam& seam, const std::int32_t& isp_speed) {
  if (driver) return std::make_unique<IspInstructions>(*driver, image, seam);
  return std::make_unique<IspInstructions>(*rig.link, image, seam, isp_speed);
}

Status EngineSession::OpenPort() {
  Status opened = isp_->link().Open();
  if (!driver_) return opened;
  driver_->PortIdle();
  if (opened) driver_->set_port_access_ns(PortAccessNsOf(rig_));
  return opened;
}

}  // namespace tolmeo
