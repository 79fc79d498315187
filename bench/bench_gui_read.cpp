// links: app cli
// A whole 128 KB Flash read (AT90CAN128) on the virtual chip at the default ISP speed, once through
// Tolmeo's windows on the headless screen (command panel, progress bar, message pump, viewer
// refresh) and once through tolmeo-cli's engine path. The windows should cost at most half
// again the command line's time: the progress bar redraws only when its drawn length changes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "app/main_form.h"
#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/terminal_seam.h"
#include "form/application.h"
#include "form/headless_backend.h"
#include "formats/ide_options.h"
#include "isp/device_description.h"
#include "isp/engine_session.h"

namespace tolmeo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(TOLMEO_SOURCE_DIR) / "data";
constexpr const char* kDevice = "AT90CAN128";

// A run folder of the benchmark's own: the shipped fonts and pictures, one description, and
// options that name the virtual chip, so the user's options file is never touched.
class RunFolder {
 public:
  RunFolder() : path_(fs::temp_directory_path() / ("tolmeo-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(path_ / "AvrSpec");
    fs::create_directories(path_ / "opt");
    for (const char* shared : {"font", "sysbmp", "help", "image"}) {
      fs::create_directory_symlink(kData / shared, path_ / shared);
    }
    fs::copy_file(kData / "AvrSpec" / (std::string(kDevice) + ".avrspec"),
                  path_ / "AvrSpec" / (std::string(kDevice) + ".avrspec"));
    IdeOptions options = DefaultOptions();
    options.cable = "sim";
    std::FILE* file = std::fopen((path_ / "opt" / "opt.opt").c_str(), "wb");
    std::string text = FormatOptions(options);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    SetExeFolderForTesting(Cp949FromUtf8(path_.string()));
  }
  ~RunFolder() {
    SetExeFolderForTesting("");
    fs::remove_all(path_);
  }

 private:
  fs::path path_;
};

void BM_FlashReadThroughTheWindows(benchmark::State& state) {
  RunFolder folder;
  Application app(std::make_unique<HeadlessBackend>());
  IdeOptions options;
  auto image = std::make_unique<ChipImage>();
  Tmain_Form main(options, *image);
  app.SetMainForm(&main);
  main.Show();
  app.RunPendingMessages();
  for (auto _ : state) main.RunCommand(PanelCommand::kFlashRead);
  if (image->FlashWordCount() != 64 * 1024) state.SkipWithError("not the 128 KB chip");
  state.SetBytesProcessed(state.iterations() * 128 * 1024);
}
BENCHMARK(BM_FlashReadThroughTheWindows)->Unit(benchmark::kMillisecond);

void BM_FlashReadThroughTheCommandLine(benchmark::State& state) {
  RunFolder folder;
  std::FILE* nowhere = std::fopen("/dev/null", "w");
  auto image = std::make_unique<ChipImage>();
  cli::TerminalSeam seam(nowhere, stderr, true, false);
  if (!LoadDescription(DescriptionPath(kDevice), *image, seam)) {
    state.SkipWithError("description not found");
    return;
  }
  std::int32_t speed = DefaultOptions().ispSpeed;
  EngineSession session("sim", *image, seam, speed);
  session.OpenPort();
  for (auto _ : state) {
    if (session.programmer().FlashRead() != CommandOutcome::kDone) {
      state.SkipWithError("the read failed");
      break;
    }
  }
  std::fclose(nowhere);
  state.SetBytesProcessed(state.iterations() * 128 * 1024);
}
BENCHMARK(BM_FlashReadThroughTheCommandLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolmeo
