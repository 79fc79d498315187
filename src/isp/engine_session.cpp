#include "isp/engine_session.h"

namespace tolmeo {

EngineSession::EngineSession(const std::string& cable_text, ChipImage& image, EngineSeam& seam,
                             const std::int32_t& isp_speed)
    : rig_(MakeCable(cable_text, image)),
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
  if (driver_) driver_->PortIdle();
  return opened;
}

}  // namespace tolmeo
