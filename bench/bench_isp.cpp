// links: isp port
// What the engine itself costs per byte on the wire: a cable and a clock that do nothing, at
// ISP speed 0, so what is left is the bit-banging, the line shadow and the instruction layer.
// A real parallel port costs about a microsecond per access; compare with the writes/s here.
#include <benchmark/benchmark.h>

#include <memory>

#include "isp/isp_instructions.h"
#include "isp/line_driver.h"
#include "isp/null_seam.h"
#include "port/cable.h"
#include "port/clock.h"

namespace tolmeo {
namespace {

class NullCable : public Cable {
 public:
  Status Open() override { return Success(); }
  void WriteData(std::uint8_t value) override { benchmark::DoNotOptimize(value); ++writes; }
  std::uint8_t ReadStatus() override { return 0x00; }  // MISO 1: every read gives 0xFF
  std::int64_t writes = 0;
};

class NullClock : public Clock {
 public:
  void SleepMs(std::int32_t) override {}
  void BusyWait(std::int64_t passes) override { benchmark::DoNotOptimize(passes); }
};

struct NullWire {
  NullWire() {
    image->flashSize = 32768;
    image->flashPageSize = 128;
    image->InitFlashImage();
    driver.OpenPort();
  }
  NullCable cable;
  NullClock clock;
  std::int32_t speed = 0;
  LineDriver driver{cable, clock, speed};
  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  NullSeam seam;
  IspInstructions isp{driver, *image, seam};
};

void Report(benchmark::State& state, const NullWire& wire, std::int64_t bytes) {
  state.SetItemsProcessed(bytes);
  state.counters["writes/s"] =
      benchmark::Counter(static_cast<double>(wire.cable.writes), benchmark::Counter::kIsRate);
}

void BM_SendByte(benchmark::State& state) {
  NullWire wire;
  std::uint8_t value = 0;
  for (auto _ : state) wire.isp.SendByte(value++);
  Report(state, wire, state.iterations());
}
BENCHMARK(BM_SendByte);

void BM_ReadFlashWord(benchmark::State& state) {
  NullWire wire;
  std::uint32_t address = 0;
  for (auto _ : state) benchmark::DoNotOptimize(wire.isp.ReadFlashWord(address++ & 0x3FFF));
  Report(state, wire, state.iterations() * 8);
}
BENCHMARK(BM_ReadFlashWord);

// A 64-word page: load every word, write, read the page back.
void BM_WriteFlashPage(benchmark::State& state) {
  NullWire wire;
  for (auto _ : state) {
    for (std::uint32_t i = 0; i < 64; ++i) wire.isp.LoadFlashWord(i, 0xFFFF);
    benchmark::DoNotOptimize(wire.isp.WriteFlashPage(0));
  }
  Report(state, wire, state.iterations() * (64 * 8 + 4 + 64 * 8));
}
BENCHMARK(BM_WriteFlashPage);

}  // namespace
}  // namespace tolmeo
