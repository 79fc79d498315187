// links: isp port
// What the engine itself costs per byte on the wire: a cable and a clock that do nothing, at
// ISP speed 0, so what is left is the bit-banging, the line shadow and the instruction layer.
// A real parallel port costs about a microsecond per access; compare with the writes/s here.
// BM_FlashWordWrittenAndVerified counts the port accesses per Flash word on a virtual chip:
// each access is about a microsecond through ppdev, so they are what a write costs.
#include <benchmark/benchmark.h>

#include <memory>

#include "isp/isp_instructions.h"
#include "isp/line_driver.h"
#include "isp/null_seam.h"
#include "isp/programming_operations.h"
#include "port/cable.h"
#include "port/clock.h"
#include "port/sim_cable.h"

namespace tolmeo {
namespace {

class NullCable : public Cable {
 public:
  Status Open() override { return Success(); }
  void WriteData(std::uint8_t value) override { benchmark::DoNotOptimize(value); ++writes; }
  // MISO 1: every read gives 0xFF, and the chip counts as silent after the first echo; the
  // wire work of a read stays the same.
  std::uint8_t ReadStatus() override { return 0x00; }
  std::int64_t writes = 0;
};

class NullClock : public Clock {
 public:
  void SleepMs(std::int32_t) override {}
  void SpinNs(std::int64_t nanoseconds) override { benchmark::DoNotOptimize(nanoseconds); }
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

// A simulated cable that tells its status reads from its writes. Only what reaches the port
// counts: the simulated cable, as a parallel port, leaves out a write that changes no line.
class CountingSimCable : public Cable {
 public:
  explicit CountingSimCable(const ChipModel& model) : sim(model) {}
  Status Open() override { return sim.Open(); }
  void WriteData(std::uint8_t value) override { sim.WriteData(value); }
  std::uint8_t ReadStatus() override {
    ++reads;
    return sim.ReadStatus();
  }
  std::int64_t writes() const { return sim.Stats().accesses - reads; }
  SimCable sim;
  std::int64_t reads = 0;
};

// 32 KB of Flash in pages of 64 words, as an ATmega328P, every word programmed and verified
// at the default speed on a 1 MHz chip. Before the echo checks a read instruction cost
// 88 writes and 8 status reads; the echo of its third byte adds 8 status reads, and one probe
// instruction follows the last read of each loop and any ambiguous answer.
void BM_FlashWordWrittenAndVerified(benchmark::State& state) {
  ChipModel model;
  model.flashSize = 32768;
  model.flashPageSize = 128;
  model.eepromSize = 1024;
  auto image = std::make_unique<ChipImage>();
  static_cast<ChipGeometry&>(*image) = model;
  image->InitFlashImage();
  image->InitEepromImage();
  for (std::uint32_t w = 0; w < image->FlashWordCount(); ++w) image->flashWords[w] = static_cast<std::uint16_t>(w * 40503u);
  image->flashStart = 0;
  image->flashEnd = image->FlashWordCount() - 1;
  NullSeam seam;
  std::int32_t speed = 0x10;
  double writes_per_word = 0, reads_per_word = 0;
  for (auto _ : state) {
    CountingSimCable cable(model);
    cable.sim.chip().clock_hz = 1'000'000;
    LineDriver driver(cable, cable.sim.clock(), speed);
    driver.OpenPort();
    IspInstructions isp(driver, *image, seam);
    ProgrammingOperations operations(isp, *image, seam);
    isp.EnterProgrammingMode();
    const std::int64_t writes_before = cable.writes(), reads_before = cable.reads;
    Mismatch mismatch;
    if (!operations.WriteFlash() || !operations.VerifyFlash(mismatch)) state.SkipWithError("write failed");
    const double words = image->FlashWordCount();
    writes_per_word = static_cast<double>(cable.writes() - writes_before) / words;
    reads_per_word = static_cast<double>(cable.reads - reads_before) / words;
  }
  state.counters["port_writes/word"] = writes_per_word;
  state.counters["status_reads/word"] = reads_per_word;
  state.counters["accesses/word"] = writes_per_word + reads_per_word;
}
BENCHMARK(BM_FlashWordWrittenAndVerified)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tolmeo
