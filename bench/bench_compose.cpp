// links: form
// Compositing cost: one control presenting a screen-sized bitmap, a full recomposite of a
// 1920 x 1080 window holding 40 controls (map of owners rebuilt, every control presenting,
// the window shown), as after a resize of the main window, and SDL converting a whole window
// picture to its window surface (under the display-less dummy driver).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "form/application.h"
#include "form/form.h"
#include "form/headless_backend.h"
#include "form/sdl_backend.h"

namespace tolmeo {
namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// A control as the widget set makes them: its own bitmap, copied whole on every erase.
class Panel : public Form {
 public:
  Panel(Form* parent, Rect bounds, Color fill) : picture_(bounds.width, bounds.height, fill) {
    if (parent) SetParent(parent);
    SetBounds(bounds);
    Show();
  }
  void Present() { CopyToWindow(picture_, 0, 0, width(), height(), 0, 0); }

 protected:
  void FormEraseBackground() override { Present(); }

 private:
  Bitmap picture_;
};

struct Screen {
  Screen() {
    auto headless = std::make_unique<HeadlessBackend>(Rect{0, 0, kScreenWidth, kScreenHeight}, 0);
    app = std::make_unique<Application>(std::move(headless));
    window = std::make_unique<Panel>(nullptr, Rect{0, 0, kScreenWidth, kScreenHeight}, 0xFFFFFF);
  }
  ~Screen() {
    controls.clear();
    window.reset();
  }
  std::unique_ptr<Application> app;
  std::unique_ptr<Panel> window;
  std::vector<std::unique_ptr<Panel>> controls;
};

void BM_PresentScreenSizedChild(benchmark::State& state) {
  Screen screen;
  Panel child(screen.window.get(), Rect{0, 0, kScreenWidth, kScreenHeight}, 0x804020);
  screen.app->RunPendingMessages();
  for (auto _ : state) child.Present();
  state.SetBytesProcessed(state.iterations() * kScreenWidth * kScreenHeight * 3);
}
BENCHMARK(BM_PresentScreenSizedChild)->Unit(benchmark::kMillisecond);

void BM_RecomposeWindowOfFortyControls(benchmark::State& state) {
  Screen screen;
  // 8 columns x 5 rows of 230 x 200 controls, overlapping their neighbours by a few pixels.
  for (int i = 0; i < 40; ++i) {
    Rect bounds{10 + (i % 8) * 236, 10 + (i / 8) * 210, 240, 214};
    screen.controls.push_back(
        std::make_unique<Panel>(screen.window.get(), bounds, static_cast<Color>(0x010203 * i)));
  }
  screen.app->RunPendingMessages();
  int nudge = 0;
  for (auto _ : state) {
    nudge ^= 1;
    screen.controls.front()->SetLeft(10 + nudge);  // changes the arrangement: full recomposite
    screen.app->RunPendingMessages();
  }
}
BENCHMARK(BM_RecomposeWindowOfFortyControls)->Unit(benchmark::kMillisecond);

void BM_SdlPresentWholeWindow(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto backend = StartSdlBackend();
  if (!backend) {
    state.SkipWithError(backend.reason().c_str());
    return;
  }
  Rect bounds{0, 0, kScreenWidth, kScreenHeight};
  WindowHandle window = (*backend)->CreateWindow(WindowSettings{bounds, false, "bench"});
  (*backend)->ShowWindow(window, true);
  Bitmap picture(kScreenWidth, kScreenHeight, 0x804020);
  for (auto _ : state) (*backend)->Present(window, picture, bounds);
}
BENCHMARK(BM_SdlPresentWholeWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolmeo
