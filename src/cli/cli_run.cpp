#include "cli/cli_run.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "cli/action_runner.h"
#include "cli/probe_report.h"
#include "cli/terminal_seam.h"
#include "formats/ide_options.h"
#include "isp/device_description.h"
#include "isp/cable_choice.h"
#include "isp/engine_session.h"
#include "isp/line_driver.h"

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

// The description a user typed, with or without the capitals of its file name (atmega328p is
// ATmega328P); an exact name wins over one that differs only in case.
std::optional<std::string> MatchingDescription(const std::vector<std::string>& names,
                                               const std::string& wanted) {
  if (std::find(names.begin(), names.end(), wanted) != names.end()) return wanted;
  auto same_letters = [&wanted](const std::string& name) {
    return std::equal(name.begin(), name.end(), wanted.begin(), wanted.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
  };
  auto found = std::find_if(names.begin(), names.end(), same_letters);
  if (found == names.end()) return std::nullopt;
  return *found;
}

// Loads the description -d names, or the first one; the exit status when it cannot.
int LoadDevice(const Arguments& arguments, ChipImage& image, TerminalSeam& seam, std::FILE* out) {
  std::vector<std::string> names = ListDescriptions();
  if (names.empty()) return PrintDescriptionList(seam, out);
  std::string wanted = arguments.device ? *arguments.device : names.front();
  std::optional<std::string> name = MatchingDescription(names, wanted);
  if (!name) {
    seam.ShowNotice(kNoticeFailure, Ktext(u8"명세문서 '") + wanted +
                                        Ktext(u8"' 이(가) 없습니다 ('list' 로 있는 것을 볼 수 있습니다)."));
    return kExitUsage;
  }
  Status loaded = LoadDescription(DescriptionPath(*name), image, seam);
  if (!loaded) seam.ShowNotice(kNoticeFailure, loaded.reason());
  return loaded ? kExitOk : kExitUsage;
}

// A cable that does not open is a matter of set-up, not of the chip; a parallel port's reason
// says how to mend it.
std::string CableSetupHelp(const std::string& cable, const std::string& reason) {
  return Ktext(u8"케이블 '") + cable + Ktext(u8"' 을(를) 열지 못했습니다. 칩은 건드리지 않았습니다.\r\n") + reason;
}

// The time a port access takes on the cable of this run, as its line driver subtracts it, or
// nullopt when nothing is subtracted (a virtual cable, a cable that batches its accesses) or
// the cable does not open (with the reason printed).
std::optional<double> MeasuredPortAccess(const std::string& cable_text, std::FILE* out) {
  Result<CableSetting> setting = ParseCableText(cable_text);
  if (!setting || setting->simulated) return std::nullopt;
  auto image = std::make_unique<ChipImage>();
  CableRig rig = MakeCable(cable_text, *image);
  if (!rig.cable) return std::nullopt;  // a programmer that clocks SCK itself
  Status opened = rig.cable->Open();
  if (!opened) {
    std::fprintf(out, "%s%s\n", reinterpret_cast<const char*>(u8"케이블을 열지 못해 포트 접근 시간은 빼고 셈합니다: "),
                 Utf8FromCp949(opened.reason()).c_str());
    return std::nullopt;
  }
  const std::int64_t access_ns = PortAccessNsOf(rig);  // as the run's line driver takes it
  if (access_ns <= 0) return std::nullopt;
  return static_cast<double>(access_ns) / 1000.0;
}

// The texts are UTF-8 source literals: the terminal gets UTF-8.
void ReportSckTiming(const IdeOptions& options, std::FILE* out) {
  const std::optional<double> access_us = MeasuredPortAccess(options.cable, out);
  if (access_us) {
    std::fprintf(out, reinterpret_cast<const char*>(u8"포트 접근 한 번: %.2f us\n"), *access_us);
  }
  const SckTiming timing = SckTimingOf(options.ispSpeed, access_us.value_or(0));
  if (timing.shortest_phase_us <= 0) {
    std::fputs(reinterpret_cast<const char*>(u8"ISP 속도 0: 기다림 없이 포트가 허락하는 만큼 빠릅니다. "
                                             u8"느린 칩(8 MHz 미만)에는 너무 빠를 수 있습니다.\n"), out);
    return;
  }
  std::fprintf(out, reinterpret_cast<const char*>(u8"ISP 속도 0x%x: SCK 의 한 단계(high, low)는 %.2f us 이상, "
                                                  u8"SCK 는 %.1f kHz 이하입니다. 클럭이 %.3f MHz 이상인 칩에 맞습니다.\n"),
               static_cast<unsigned>(options.ispSpeed), timing.shortest_phase_us, timing.fastest_sck_khz,
               timing.slowest_target_mhz);
}

// The virtual chip's file is kept only when every action succeeded; a save that fails is a
// failed run.
int KeepVirtualChip(SimCable& sim, int status, TerminalSeam& seam) {
  if (status != kExitOk || !sim.keeps_file()) return status;
  Status saved = sim.Save();
  if (saved) return status;
  seam.ShowNotice(kNoticeFailure, saved.reason());
  return kExitUsage;
}

// One line, the same on every cable, so runs can be compared.
void PrintStats(const EngineSession& session, std::FILE* out) {
  const CableStats stats = session.Stats();
  std::fprintf(out, "stats: accesses=%lld transfers=%lld bytes=%lld wait_s=%.3f\n",
               static_cast<long long>(stats.accesses), static_cast<long long>(stats.transfers),
               static_cast<long long>(stats.bytes), session.WaitedSeconds());
}

}  // namespace

int RunCli(const Arguments& arguments, std::FILE* out, std::FILE* err) {
  auto image = std::make_unique<ChipImage>();
  TerminalSeam seam(out, err, arguments.assume_yes, ::isatty(::fileno(err)) == 1);
  IdeOptions options = RunOptions(arguments, seam);
  if (arguments.report_sck) ReportSckTiming(options, out);
  if (arguments.actions.empty()) return kExitOk;
  if (OnlyListing(arguments)) return PrintDescriptionList(seam, out);
  if (int status = LoadDevice(arguments, *image, seam, out); status != kExitOk) return status;
  if (std::any_of(arguments.actions.begin(), arguments.actions.end(),
                  [](const Action& action) { return action.kind == ActionKind::kProbe; })) {
    return PrintProbe(arguments.cable, *image, out);
  }
  // A chip file named on the command line is the working folder's; one the options name lives
  // beside them.
  EngineSession session(options.cable, *image, seam, options.ispSpeed,
                        arguments.cable ? std::string() : StateFolder());
  if (Status opened = session.OpenPort(); !opened) {
    seam.ShowNotice(kNoticeFailure, CableSetupHelp(options.cable, opened.reason()));
    return kExitSetup;
  }
  if (SimCable* sim = session.rig().sim) {
    sim->set_save_on_close(false);  // kept only after a run that succeeded, below
    if (!sim->load_status().ok()) seam.ShowNotice(kNoticeWarning, sim->load_status().reason());
  }
  ActionRunner runner(session.programmer(), *image, seam, out);
  int status = kExitOk;
  for (const Action& action : arguments.actions) {
    status = runner.Run(action);
    if (status != kExitOk) break;
  }
  if (SimCable* sim = session.rig().sim) status = KeepVirtualChip(*sim, status, seam);
  if (arguments.verbose) PrintStats(session, out);
  return status;
}

}  // namespace tolmeo::cli
