// links: isp port
// The works of the speed table, each on the virtual AVR at 1 MHz behind the simulated cable at
// the default ISP speed: the port accesses a parallel port would make (SimCable counts only
// line writes that change a pin, and every status read), the engine's waits from its clock,
// and the time this would take through ppdev at 1.9 us an access plus those waits.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "isp/isp_instructions.h"
#include "isp/line_driver.h"
#include "isp/null_seam.h"
#include "isp/programming_operations.h"
#include "port/counted_clock.h"
#include "port/sim_cable.h"

namespace tolmeo {
namespace {

constexpr std::int64_t kPpdevAccessNs = 1900;
constexpr double kPpdevAccessUs = kPpdevAccessNs / 1000.0;
constexpr std::int32_t kDefaultSpeed = 0x10;

ChipModel Atmega328() {
  ChipModel model;
  model.flashSize = 32768;
  model.flashPageSize = 128;
  model.eepromSize = 1024;
  return model;
}

std::unique_ptr<ChipImage> EmptyImage(const ChipModel& model) {
  auto image = std::make_unique<ChipImage>();
  static_cast<ChipGeometry&>(*image) = model;
  image->InitFlashImage();
  image->InitEepromImage();
  return image;
}

void FillFlash(ChipImage& image, std::uint32_t first_word, std::uint32_t words) {
  for (std::uint32_t w = first_word; w < first_word + words; ++w) image.flashWords[w] = static_cast<std::uint16_t>(w * 40503u);
  image.flashEnd = first_word + words - 1;
}

struct Rig {
  explicit Rig(const ChipModel& model) : image(EmptyImage(model)), cable(model) {
    cable.chip().clock_hz = 1'000'000;
    cable.access_ns = kPpdevAccessNs;
    driver.set_port_access_ns(kPpdevAccessNs);
    driver.OpenPort();
    isp.EnterProgrammingMode();
  }
  std::unique_ptr<ChipImage> image;
  SimCable cable;
  CountedClock clock{cable.clock()};
  std::int32_t speed = kDefaultSpeed;
  LineDriver driver{cable, clock, speed};
  NullSeam seam;
  IspInstructions isp{driver, *image, seam};
  ProgrammingOperations operations{isp, *image, seam};
};

void Report(benchmark::State& state, std::int64_t accesses, double wait_s) {
  state.counters["accesses"] = static_cast<double>(accesses);
  state.counters["wait_s"] = wait_s;
  state.counters["ppdev_s"] = static_cast<double>(accesses) * kPpdevAccessUs / 1e6 + wait_s;
}

// One work measured from after programming mode is entered; false fails the benchmark.
void Measure(benchmark::State& state, const std::function<void(ChipImage&)>& fill,
             const std::function<bool(Rig&)>& work) {
  for (auto _ : state) {
    Rig rig(Atmega328());
    fill(*rig.image);
    const std::int64_t before = rig.cable.Stats().accesses;
    const double waited_before = rig.clock.waited_s();
    if (!work(rig)) state.SkipWithError("the chip is not the file");
    Report(state, rig.cable.Stats().accesses - before, rig.clock.waited_s() - waited_before);
  }
}

bool EraseWriteVerify(Rig& rig) {
  Mismatch mismatch;
  rig.isp.ChipErase();
  if (!rig.operations.WriteFlash() || !rig.operations.VerifyFlash(mismatch)) return false;
  for (std::uint32_t w = 0; w < rig.image->FlashWordCount(); ++w)
    if (rig.cable.chip().memories().FlashWord(w) != rig.image->flashWords[w]) return false;
  return true;
}

void BM_Flash32KEraseWriteVerify(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, 0, image.FlashWordCount()); }, EraseWriteVerify);
}
BENCHMARK(BM_Flash32KEraseWriteVerify)->Unit(benchmark::kMillisecond)->Iterations(1);

// About 1 KB of blink firmware at 0 and a 512-byte bootloader at 0x7E00 (word 0x3F00).
void BM_BlinkAndBootloader(benchmark::State& state) {
  Measure(state, [](ChipImage& image) {
    FillFlash(image, 0, 1100 / 2);
    FillFlash(image, 0x3F00, 256);
  }, EraseWriteVerify);
}
BENCHMARK(BM_BlinkAndBootloader)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BootloaderAlone(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, 0x3F00, 256); }, EraseWriteVerify);
}
BENCHMARK(BM_BootloaderAlone)->Unit(benchmark::kMillisecond)->Iterations(1);

void FillEeprom(ChipImage& image) {
  for (std::uint32_t b = 0; b < image.eepromSize; ++b) image.eepromBytes[b] = static_cast<std::uint8_t>(b * 7 + 1);
  image.eepromStart = 0;
  image.eepromEnd = image.eepromSize - 1;
}

bool WriteAndVerifyEeprom(Rig& rig) {
  Mismatch mismatch;
  return rig.operations.WriteEeprom() && rig.operations.VerifyEeprom(mismatch);
}

void BM_Eeprom1K(benchmark::State& state) { Measure(state, FillEeprom, WriteAndVerifyEeprom); }
BENCHMARK(BM_Eeprom1K)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same image written twice in a row: the counts are of both writes together, so the
// second costs this less BM_Eeprom1K's.
void BM_Eeprom1KTwice(benchmark::State& state) {
  Measure(state, FillEeprom, [](Rig& rig) { return WriteAndVerifyEeprom(rig) && WriteAndVerifyEeprom(rig); });
}
BENCHMARK(BM_Eeprom1KTwice)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tolmeo
