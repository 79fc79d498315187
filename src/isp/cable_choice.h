#pragma once
// The cable the options name, with the clock its waits must go through: a parallel port with
// the real clock, or a virtual AVR of the loaded description with the simulated cable's own
// virtual clock.
#include <memory>
#include <string>

#include "isp/chip_image.h"
#include "port/cable.h"
#include "port/chip_model.h"
#include "port/clock.h"
#include "port/sim_cable.h"

namespace tolmeo {

struct CableRig {
  std::unique_ptr<Cable> cable;
  std::unique_ptr<Clock> own_clock;  // the real clock of a parallel port
  Clock* clock = nullptr;            // own_clock, or the simulated cable's
  SimCable* sim = nullptr;           // the simulated cable, when there is one
};

// The virtual chip a loaded description describes: its sizes, signature, write times and
// lock and fuse bytes.
ChipModel ModelOfImage(const ChipImage& image);

// cable_text (CP949): "sim" is a virtual AVR sized from image and erased at every run;
// "sim:FILE" the same, kept in FILE between runs; anything else names a parallel port
// ("parport0"), and an empty text takes the first port found.
CableRig MakeCable(const std::string& cable_text, const ChipImage& image);

}  // namespace tolmeo
