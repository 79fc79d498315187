#include "isp/cable_choice.h"

#include "port/parport_cable.h"
#include "port/system_clock.h"

namespace tolmeo {

ChipModel ModelOfImage(const ChipImage& image) {
  ChipModel model;
  static_cast<ChipGeometry&>(model) = image;
  model.lock = image.lockBits;
  model.extended = image.extendedFuse;
  model.high = image.highFuse;
  model.low = image.lowFuse;
  return model;
}

CableRig MakeCable(const std::string& cable_text, const ChipImage& image) {
  CableRig rig;
  if (cable_text == "sim" || cable_text.starts_with("sim:")) {
    std::string file = cable_text.size() > 4 ? cable_text.substr(4) : std::string();
    auto sim = std::make_unique<SimCable>(ModelOfImage(image), file);
    rig.sim = sim.get();
    rig.clock = &sim->clock();
    rig.cable = std::move(sim);
    return rig;
  }
  rig.cable = std::make_unique<ParportCable>(cable_text);
  rig.own_clock = std::make_unique<SystemClock>();
  rig.clock = rig.own_clock.get();
  return rig;
}

}  // namespace tolmeo
