// links: isp port
// The works of the speed table, each on the virtual AVR at 1 MHz behind the simulated cable at
// the default ISP speed: the port accesses a parallel port would make (SimCable counts only
// line writes that change a pin, and every status read), the engine's waits from its clock,
// and the time this would take through ppdev at 1.9 us an access plus those waits. The chip
// is an ATmega328P as its description gives it (pages of 64 words, Flash write 5 ms, EEPROM
// write 4 ms); each work is what the automatic sequence does for its memory: write, then the
// verify that follows a write.
#include <benchmark/benchmark.h>

#include <algorithm>
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
  model.signature = {0x1E, 0x95, 0x0F};
  model.flashWriteDelay = 5;
  model.eepromWriteDelay = 4;
  return model;
}

std::unique_ptr<ChipImage> EmptyImage(const ChipModel& model) {
  auto image = std::make_unique<ChipImage>();
  static_cast<ChipGeometry&>(*image) = model;
  image->InitFlashImage();
  image->InitEepromImage();
  return image;
}

struct WordRun {
  std::uint32_t first;
  std::uint32_t words;
};

// The image as a HEX document of these runs leaves it: only their words are defined.
void FillFlash(ChipImage& image, std::initializer_list<WordRun> runs) {
  image.flashDefined.reset();
  image.flashStart = runs.begin()->first;
  for (const WordRun& run : runs) {
    for (std::uint32_t w = run.first; w < run.first + run.words; ++w) {
      image.flashWords[w] = static_cast<std::uint16_t>(w * 40503u);
      image.flashDefined.set(w);
    }
    image.flashEnd = run.first + run.words - 1;
  }
}

struct Rig {
  // The chip writes in the model's times, the description may promise longer ones.
  explicit Rig(const ChipModel& model, const ChipGeometry& description) : image(EmptyImage(model)), cable(model) {
    static_cast<ChipGeometry&>(*image) = description;
    cable.chip().clock_hz = 1'000'000;
    cable.access_ns = kPpdevAccessNs;
    driver.set_port_access_ns(kPpdevAccessNs);
    driver.OpenPort();
    isp.EnterProgrammingMode();
    isp.CheckSignature();
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
             const std::function<bool(Rig&)>& work, const ChipModel& chip = Atmega328()) {
  for (auto _ : state) {
    Rig rig(chip, Atmega328());
    fill(*rig.image);
    const std::int64_t before = rig.cable.Stats().accesses;
    const double waited_before = rig.clock.waited_s();
    if (!work(rig)) state.SkipWithError("the chip is not the file");
    Report(state, rig.cable.Stats().accesses - before, rig.clock.waited_s() - waited_before);
  }
}

// The chip afterwards must be exactly the file: its words where it defines them, erased
// elsewhere.
bool EraseWriteVerify(Rig& rig) {
  Mismatch mismatch;
  rig.isp.ChipErase();
  if (!rig.operations.WriteFlash() || !rig.operations.VerifyAfterWrite(Memory::Flash, mismatch)) return false;
  for (std::uint32_t w = 0; w < rig.image->FlashWordCount(); ++w) {
    const std::uint16_t file_word = rig.image->flashDefined.test(w) ? rig.image->flashWords[w] : 0xFFFF;
    if (rig.cable.chip().memories().FlashWord(w) != file_word) return false;
  }
  return true;
}

void BM_Flash32KEraseWriteVerify(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, {{0, image.FlashWordCount()}}); }, EraseWriteVerify);
}
BENCHMARK(BM_Flash32KEraseWriteVerify)->Unit(benchmark::kMillisecond)->Iterations(1);

// A blink firmware of 180 bytes at 0 and a 512-byte bootloader at 0x7E00 (word 0x3F00): six
// pages, the file of the table.
void BM_BlinkAndBootloader(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, {{0, 180 / 2}, {0x3F00, 256}}); }, EraseWriteVerify);
}
BENCHMARK(BM_BlinkAndBootloader)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same with 1100 bytes of firmware (Arduino's blink): thirteen pages.
void BM_Blink1KAndBootloader(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, {{0, 1100 / 2}, {0x3F00, 256}}); }, EraseWriteVerify);
}
BENCHMARK(BM_Blink1KAndBootloader)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BootloaderAlone(benchmark::State& state) {
  Measure(state, [](ChipImage& image) { FillFlash(image, {{0x3F00, 256}}); }, EraseWriteVerify);
}
BENCHMARK(BM_BootloaderAlone)->Unit(benchmark::kMillisecond)->Iterations(1);

void FillEeprom(ChipImage& image) {
  for (std::uint32_t b = 0; b < image.eepromSize; ++b) image.eepromBytes[b] = static_cast<std::uint8_t>(b * 7 + 1);
  image.eepromStart = 0;
  image.eepromEnd = image.eepromSize - 1;
}

bool WriteAndVerifyEeprom(Rig& rig) {
  Mismatch mismatch;
  return rig.operations.WriteEeprom() && rig.operations.VerifyAfterWrite(Memory::Eeprom, mismatch) &&
         std::equal(rig.cable.chip().memories().eeprom().begin(), rig.cable.chip().memories().eeprom().end(),
                    rig.image->eepromBytes.begin());
}

// The chip takes the description's whole 4 ms for each byte.
void BM_Eeprom1K(benchmark::State& state) { Measure(state, FillEeprom, WriteAndVerifyEeprom); }
BENCHMARK(BM_Eeprom1K)->Unit(benchmark::kMillisecond)->Iterations(1);

// A chip that writes a byte in 3 ms, inside the description's 4 (the datasheet gives 3.6 ms).
void BM_Eeprom1KChipWritingIn3ms(benchmark::State& state) {
  ChipModel chip = Atmega328();
  chip.eepromWriteDelay = 3;
  Measure(state, FillEeprom, WriteAndVerifyEeprom, chip);
}
BENCHMARK(BM_Eeprom1KChipWritingIn3ms)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same image written twice in a row: the counts are of both writes together, so the
// second costs this less BM_Eeprom1K's.
void BM_Eeprom1KTwice(benchmark::State& state) {
  Measure(state, FillEeprom, [](Rig& rig) { return WriteAndVerifyEeprom(rig) && WriteAndVerifyEeprom(rig); });
}
BENCHMARK(BM_Eeprom1KTwice)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tolmeo
