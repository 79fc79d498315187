#include "cli/cli_run.h"

#include <unistd.h>

#include <algorithm>
#include <memory>

#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/action_runner.h"
#include "cli/terminal_seam.h"
#include "isp/device_description.h"
#include "formats/ide_options.h"
#include "isp/engine_session.h"

namespace tolmeo::cli {
namespace {

bool OnlyListing(const Arguments& arguments) {
  return std::all_of(arguments.actions.begin(), arguments.actions.end(),
                     [](const Action& action) { return action.kind == ActionKind::kList; });
}

// The options file's settings with this run's -c and -s over them; the file is not changed.
IdeOptions RunOptions(const Arguments& arguments) {
  IdeOptions options;
  LoadOptions(OptionsPath(), options);  // a missing or damaged file gives the defaults
  if (arguments.cable) options.cable = Cp949FromUtf8(*arguments.cable);
  if (arguments.speed) options.ispSpeed = *arguments.speed;
  return options;
}

// Loads the description -d names, or the first one. False (reason shown) when there is none.
bool LoadDevice(const Arguments& arguments, ChipImage& image, TerminalSeam& seam) {
  std::vector<std::string> names = ListDescriptions();
  if (names.empty()) {
    seam.ShowNotice(kNoticeFailure, "no device description in " + ExeFolder() + "AvrSpec/");
    return false;
  }
  std::string name = arguments.device ? Cp949FromUtf8(*arguments.device) : names.front();
  if (std::find(names.begin(), names.end(), name) == names.end()) {
    seam.ShowNotice(kNoticeFailure, "no device description '" + name + "' ('list' shows them)");
    return false;
  }
  Status loaded = LoadDescription(DescriptionPath(name), image, seam);
  if (!loaded) seam.ShowNotice(kNoticeFailure, loaded.reason());
  return loaded.ok();
}

}  // namespace

int RunCli(const Arguments& arguments, std::FILE* out, std::FILE* err) {
  if (OnlyListing(arguments)) {
    PrintDescriptionList(out);
    return kExitOk;
  }
  IdeOptions options = RunOptions(arguments);
  auto image = std::make_unique<ChipImage>();
  TerminalSeam seam(*image, out, err, arguments.assume_yes, ::isatty(::fileno(err)) == 1);
  if (!LoadDevice(arguments, *image, seam)) return kExitUsage;
  EngineSession session(options.cable, *image, seam, options.ispSpeed);
  session.OpenPort();  // a cable that does not open says why at the first command
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
