// links: views
// The memory viewer's Refresh on a full 1920 x 1080 screen: the background copied, the rows
// in view formatted and drawn, the header and address column drawn, the bitmap presented,
// for the Flash (82-byte rows) and the EEPROM (50-byte rows). The target is under 3 ms, so
// wheel scrolling and the refreshes during programming never lag.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/cp949.h"
#include "form/application.h"
#include "form/headless_backend.h"
#include "gfx/font_store.h"
#include "isp/chip_image.h"
#include "views/memory_viewer.h"

namespace tolmeo {
namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

class Window : public Form {
 protected:
  void FormEraseBackground() override {}
};

void RefreshFullScreen(benchmark::State& state, int mode) {
  auto data = std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "font";
  if (!LoadFonts(Cp949FromUtf8(data.string()) + "/").ok()) {
    state.SkipWithError("system fonts not found");
    return;
  }
  Application app(std::make_unique<HeadlessBackend>(Rect{0, 0, kScreenWidth, kScreenHeight}, 0));
  auto image = std::make_unique<ChipImage>();
  image->flashSize = 256 * 1024;
  image->eepromSize = 64 * 1024;
  image->InitFlashImage();
  image->InitEepromImage();
  for (std::uint32_t i = 0; i < image->FlashWordCount(); ++i) image->flashWords[i] = i * 40503u;
  IdeOptions options;
  options.overallColor = 0x804020;
  options.brightness = 120;
  {
    Window window;
    window.SetBounds(Rect{0, 0, kScreenWidth, kScreenHeight});
    window.Show();
    Tmemory_Viewer_Form viewer(window, options, *image, 16);
    viewer.Show();
    app.RunPendingMessages();
    for (auto _ : state) {
      viewer.Refresh(mode);
      benchmark::DoNotOptimize(viewer.bitmap().data());
    }
  }
  FreeFonts();
}

void BM_RefreshFlash(benchmark::State& state) { RefreshFullScreen(state, kFlashView); }
void BM_RefreshEeprom(benchmark::State& state) { RefreshFullScreen(state, kEepromView); }

BENCHMARK(BM_RefreshFlash)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshEeprom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolmeo
