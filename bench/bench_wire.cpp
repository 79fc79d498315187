// links: port
// Bits on the wire through the simulated cable: what one line change, one instruction and a
// whole-Flash read of an ATmega8 cost the virtual AVR. The engine's own speed comes on top.
#include <benchmark/benchmark.h>

#include "../tests/port/test_wire.h"
#include "port/sim_cable.h"

namespace tolmeo {
namespace {

using testing::TestWire;

void BM_ClockEdge(benchmark::State& state) {
  SimCable cable{ChipModel{}};
  TestWire wire(cable, cable.clock());
  wire.EnterProgramming();
  for (auto _ : state) {
    wire.Line(TestWire::kSck, true);
    wire.Line(TestWire::kSck, false);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ClockEdge);

void BM_FlashWordRead(benchmark::State& state) {
  SimCable cable{ChipModel{}};
  TestWire wire(cable, cable.clock());
  wire.EnterProgramming();
  for (auto _ : state) {
    benchmark::DoNotOptimize(wire.Instruction(0x28, 0x01, 0x23, 0x00));
    benchmark::DoNotOptimize(wire.Instruction(0x20, 0x01, 0x23, 0x00));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FlashWordRead);

void BM_WholeFlashRead(benchmark::State& state) {
  for (auto _ : state) {
    SimCable cable{ChipModel{}};
    TestWire wire(cable, cable.clock());
    wire.EnterProgramming();
    const std::uint32_t words = ChipModel{}.flashSize / 2;
    for (std::uint32_t word = 0; word < words; ++word) {
      const auto high = static_cast<std::uint8_t>(word >> 8);
      const auto low = static_cast<std::uint8_t>(word & 0xFF);
      benchmark::DoNotOptimize(wire.Instruction(0x28, high, low, 0x00));
      benchmark::DoNotOptimize(wire.Instruction(0x20, high, low, 0x00));
    }
  }
}
BENCHMARK(BM_WholeFlashRead)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolmeo
