#include "port/parport_wiring.h"

#include <gtest/gtest.h>

#include <set>

namespace tolmeo {
namespace {

// The line driver's register values: idle (mode 1, RESET 1), and programming with each line.
constexpr std::uint8_t kIdle = 0x81;
constexpr std::uint8_t kProgramming = 0x00;
constexpr std::uint8_t kReset = 0x01, kSck = 0x02, kMosi = 0x04;

ParportWiring Named(std::string_view name) {
  std::optional<ParportWiring> wiring = WiringNamed(name);
  EXPECT_TRUE(wiring.has_value()) << name;
  return wiring.value_or(ParportWiring{});
}

TEST(ParportWiring, TolmeosOwnCablePassesTheRegisterStraightThrough) {
  ParportWiring own = Named("");
  EXPECT_EQ(own.name, "tolmeo");
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value & 0x87);  // bits 3..6 are never set
    EXPECT_EQ(PinsFor(own, byte, 0x0B), (PinLevels{byte, 0x0B})) << value;
  }
  EXPECT_EQ(StatusFor(own, 0x80) & 0x80, 0);  // BUSY high: MISO 1
  EXPECT_EQ(StatusFor(own, 0x7F) & 0x80, 0x80);
  EXPECT_FALSE(UsesControlPins(own));
}

TEST(ParportWiring, Stk200MovesTheLinesAndEnablesItsBufferOnlyWhileProgramming) {
  ParportWiring stk200 = Named("stk200");
  // Idle: RESET (D7) high, buffer enables D2 and D3 high, so the buffer lets go.
  EXPECT_EQ(PinsFor(stk200, kIdle, 0).data, 0x80 | 0x04 | 0x08);
  // Programming: D2, D3 low; RESET low; then SCK on D4 and MOSI on D5.
  EXPECT_EQ(PinsFor(stk200, kProgramming, 0).data, 0x00);
  EXPECT_EQ(PinsFor(stk200, kProgramming | kSck, 0).data, 0x10);
  EXPECT_EQ(PinsFor(stk200, kProgramming | kMosi | kReset, 0).data, 0x20 | 0x80);
  EXPECT_EQ(StatusFor(stk200, 0x40) & 0x80, 0);  // MISO on ACK
  EXPECT_EQ(StatusFor(stk200, 0x80) & 0x80, 0x80);
}

TEST(ParportWiring, DapaDrivesControlPinsAndKeepsTheOthers) {
  ParportWiring dapa = Named("dapa");
  EXPECT_TRUE(UsesControlPins(dapa));
  EXPECT_EQ(PinsFor(dapa, kProgramming | kSck | kMosi, 0x0A), (PinLevels{0x01, 0x0A | 0x01}));
  EXPECT_EQ(PinsFor(dapa, kProgramming | kReset, 0x0F), (PinLevels{0x00, 0x0F & ~0x01}));
  EXPECT_EQ(PinsFor(dapa, kIdle, 0x00).control, 0x04);  // RESET on INIT
}

TEST(ParportWiring, BsdFeedsTheCableFromD0ToD3Always) {
  ParportWiring bsd = Named("bsd");
  EXPECT_EQ(PinsFor(bsd, kIdle, 0).data & 0x0F, 0x0F);
  EXPECT_EQ(PinsFor(bsd, kProgramming, 0).data, 0x0F);
  EXPECT_EQ(PinsFor(bsd, kProgramming | kMosi, 0).data, 0x8F);
}

TEST(ParportWiring, EveryWiringHasItsLinesOnDistinctPinsAndANamedLookup) {
  for (const ParportWiring& wiring : KnownWirings()) {
    std::set<int> pins;
    for (const PortPin* pin : {&wiring.reset, &wiring.sck, &wiring.mosi, &wiring.miso}) pins.insert(pin->connector);
    for (const PortPin& pin : wiring.enables) pins.insert(pin.connector);
    for (const PortPin& pin : wiring.supplies) pins.insert(pin.connector);
    EXPECT_EQ(pins.size(), 4 + wiring.enables.size() + wiring.supplies.size()) << wiring.name;
    EXPECT_EQ(wiring.miso.group, PinGroup::kStatus) << wiring.name;
    EXPECT_EQ(Named(wiring.name).name, wiring.name);
  }
  EXPECT_FALSE(WiringNamed("stk500").has_value());
  EXPECT_NE(WiringNames().find("dt006"), std::string::npos);
}

}  // namespace
}  // namespace tolmeo
