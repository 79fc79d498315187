#include "cli/cli_run.h"

#include <unistd.h>

#include <algorithm>
#include <memory>

#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/action_runner.h"
#include "cli/terminal_seam.h"
#include "formats/ide_options.h"
#include "isp/device_description.h"
#include "isp/engine_session.h"

namespace tolmeo::cli {
namespace {

bool OnlyListing(const Arguments& arguments) {
  return std::all_of(arguments.actions.begin(), arguments.actions.end(),
                     [](const Action& action) { return action.kind == ActionKind::kList; });
}

// The options file's settings with this run's -c and -s over them; the file is not changed.
IdeOptions RunOptions(const Arguments& arguments, TerminalSeam& seam) {
  IdeOptions options;
  if (Status loaded = LoadOptions(OptionsPath(), options); !loaded) {
    seam.ShowNotice(kNoticeWarning, loaded.reason() + Ktext(u8" 기본 설정으로 합니다."));
  }
  if (arguments.cable) options.cable = *arguments.cable;
  if (arguments.speed) options.ispSpeed = *arguments.speed;
  return options;
}

// Loads the description -d names, or the first one; the exit status when it cannot.
int LoadDevice(const Arguments& arguments, ChipImage& image, TerminalSeam& seam, std::FILE* out) {
  std::vector<std::string> names = ListDescriptions();
  if (names.empty()) return PrintDescriptionList(seam, out);
  std::string name = arguments.device ? *arguments.device : names.front();
  if (std::find(names.begin(), names.end(), name) == names.end()) {
    seam.ShowNotice(kNoticeFailure, Ktext(u8"명세문서 '") + name +
                                        Ktext(u8"' 이(가) 없습니다 ('list' 로 있는 것을 볼 수 있습니다)."));
    return kExitUsage;
  }
  Status loaded = LoadDescription(DescriptionPath(name), image, seam);
  if (!loaded) seam.ShowNotice(kNoticeFailure, loaded.reason());
  return loaded ? kExitOk : kExitUsage;
}

bool IsSimulated(const std::string& cable) { return cable == "sim" || cable.starts_with("sim:"); }

// A cable that does not open is a matter of set-up, not of the chip: say how to set it up.
std::string CableSetupHelp(const std::string& cable, const std::string& reason) {
  std::string text = Ktext(u8"케이블 '") + cable + Ktext(u8"' 을(를) 열지 못했습니다. 칩은 건드리지 않았습니다.\r\n") + reason;
  if (IsSimulated(cable)) return text;
  return text + Ktext(u8"\r\n  - 병렬 포트 드라이버를 올리세요: sudo modprobe ppdev"
                      u8"\r\n  - 사용자를 lp 그룹에 넣고 다시 로그인하세요: sudo adduser 사용자 lp"
                      u8"\r\n  - 하드웨어 없이 해 보려면 가상 AVR 을 쓰세요: -c sim"
                      u8"\r\n  - 자세한 설명: ") +
         ExeFolder() + "help/help.html";
}

}  // namespace

int RunCli(const Arguments& arguments, std::FILE* out, std::FILE* err) {
  auto image = std::make_unique<ChipImage>();
  TerminalSeam seam(*image, out, err, arguments.assume_yes, ::isatty(::fileno(err)) == 1);
  if (OnlyListing(arguments)) return PrintDescriptionList(seam, out);
  IdeOptions options = RunOptions(arguments, seam);
  if (int status = LoadDevice(arguments, *image, seam, out); status != kExitOk) return status;
  EngineSession session(options.cable, *image, seam, options.ispSpeed);
  if (Status opened = session.OpenPort(); !opened) {
    seam.ShowNotice(kNoticeFailure, CableSetupHelp(options.cable, opened.reason()));
    return kExitSetup;
  }
  if (SimCable* sim = session.rig().sim; sim && !sim->load_status().ok()) {
    seam.ShowNotice(kNoticeWarning, sim->load_status().reason());
  }
  ActionRunner runner(session.programmer(), *image, seam, out);
  for (const Action& action : arguments.actions) {
    if (int status = runner.Run(action); status != kExitOk) return status;
  }
  return kExitOk;
}

}  // namespace tolmeo::cli
