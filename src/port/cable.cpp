#include "port/cable.h"

#include "port/isp_lines.h"

namespace tolmeo {

void Cable::Exchange(const LineBatch& batch, Clock& clock, std::vector<std::uint8_t>& miso) {
  for (const LineBatch::Step& step : batch.steps()) {
    switch (step.kind) {
      case LineBatch::Kind::kWrite: WriteData(step.value); break;
      case LineBatch::Kind::kWait: clock.SpinNs(step.wait_ns); break;
      case LineBatch::Kind::kSample: miso.push_back(MisoOf(ReadStatus()) ? 1 : 0); break;
    }
  }
}

}  // namespace tolmeo
