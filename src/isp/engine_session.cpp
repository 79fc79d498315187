#include "isp/engine_session.h"

namespace tolmeo {

EngineSession::EngineSession(const std::string& cable_text, ChipImage& image, EngineSeam& seam,
                             const std::int32_t& isp_speed)
    : rig_(MakeCable(cable_text, image)),
      driver_(*rig_.cable, *rig_.clock, isp_speed),
      isp_(driver_, image, seam),
      programmer_(isp_, image, seam) {}

Status EngineSession::OpenPort() {
  Status opened = driver_.OpenPort();
  driver_.PortIdle();
  return opened;
}

}  // namespace tolmeo
