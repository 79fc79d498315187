// links: gfx
// Text drawing speed: a screenful of Flash dump rows as the memory viewer draws them, and
// measuring the texts that controls lay out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/cp949.h"
#include "gfx/bitmap.h"
#include "gfx/font_store.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// The system fonts of the source tree, so the benchmark runs from any build folder. Without
// them the numbers would time nothing, so the benchmark stops with the reason.
TextStyle SystemStyle(benchmark::State& state) {
  static const bool loaded = [] {
    auto data = std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "font";
    auto status = LoadFonts(Cp949FromUtf8(data.string()) + "/");
    if (!status) std::fprintf(stderr, "%s\n", Utf8FromCp949(status.reason()).c_str());
    return status.ok();
  }();
  TextStyle style;
  if (loaded) InitTextStyle(style);
  if (!loaded) state.SkipWithError("system fonts not found");
  return style;
}

// Rows of 16 words "XXXX " and CR LF, as many as the screen shows plus one.
std::string FlashDump(int rows) {
  std::string text;
  std::uint32_t word = 0x0C94;
  char item[6];
  for (int row = 0; row < rows; ++row) {
    for (int i = 0; i < 16; ++i) {
      word = word * 1103515245u + 12345u;
      std::snprintf(item, sizeof item, "%04X ", (word >> 16) & 0xFFFF);
      text += item;
    }
    text += "\r\n";
  }
  return text;
}

void DrawDumpScreen(benchmark::State& state, int mode) {
  TextStyle style = SystemStyle(state);
  style.xOffset = 73;
  Bitmap screen(kScreenWidth, kScreenHeight, 0xFFFFFF);
  int line_height = DrawGlyph(screen, style, 0, kLineBreakCode, mode, 0xFFFFFF, 0, 0).lineHeight;
  std::string dump = FlashDump(kScreenHeight / line_height + 1);
  for (auto _ : state) {
    PenEnd end = DrawText(screen, style, 0, dump, mode, 0xFFFFFF, 0, 17);
    benchmark::DoNotOptimize(end);
  }
  state.counters["bytes"] = static_cast<double>(dump.size());
}

void BM_DumpScreenTransparent(benchmark::State& state) { DrawDumpScreen(state, kTransparent); }
void BM_DumpScreenOpaque(benchmark::State& state) { DrawDumpScreen(state, kOpaque); }

void BM_MeasureLabel(benchmark::State& state) {
  TextStyle style = SystemStyle(state);
  style.padTop = style.padBottom = 1;
  const std::string& text = Ktext(u8"Flash: 쓰기 읽기 검증 지우기 자동 (ATmega128)");
  for (auto _ : state) benchmark::DoNotOptimize(MeasureText(style, text));
}

void BM_MeasureDump(benchmark::State& state) {
  TextStyle style = SystemStyle(state);
  std::string dump = FlashDump(91);
  for (auto _ : state) benchmark::DoNotOptimize(MeasureText(style, dump));
}

BENCHMARK(BM_DumpScreenTransparent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DumpScreenOpaque)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureLabel)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_MeasureDump)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tolmeo
