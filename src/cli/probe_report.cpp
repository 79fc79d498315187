#include "cli/probe_report.h"

#include "base/cp949.h"
#include "cli/action_runner.h"
#include "isp/cable_probe.h"

namespace tolmeo::cli {

int PrintProbe(const std::optional<std::string>& cable_text, const ChipGeometry& device, std::FILE* out) {
  const std::vector<CableCandidate> cables =
      cable_text ? std::vector<CableCandidate>{{*cable_text, Ktext(u8"-c 로 준 케이블")}} : AttachedCables();
  if (cables.empty()) {
    std::fputs(reinterpret_cast<const char*>(u8"케이블을 찾지 못했습니다 (병렬 포트, 시리얼 포트, gpiochip, "
                                             u8"USBasp, FTDI). help/help.html 의 udev 규칙을 보세요.\n"),
               out);
    return kExitSetup;
  }
  bool any_chip = false;
  for (const CableCandidate& cable : cables) {
    const ProbeResult result = ProbeCable(cable, device);
    any_chip = any_chip || result.chip_answers;
    std::fprintf(out, "%s\n", Utf8FromCp949(ProbeLine(result)).c_str());
    std::fflush(out);
  }
  return any_chip ? kExitOk : kExitChipFailed;
}

}  // namespace tolmeo::cli
