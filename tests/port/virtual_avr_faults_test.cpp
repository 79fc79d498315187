#include <gtest/gtest.h>

#include "port/virtual_avr.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

class ChipFaultsTest : public testing::WiredChipTest {};

TEST_F(ChipFaultsTest, NoChipLeavesMisoHighAndHearsNothing) {
  chip.faults.no_chip = true;
  EXPECT_EQ(wire.EnterProgramming(), 0xFF);
  EXPECT_EQ(Read(0x30, 0x00, 0x00), 0xFF);
  EXPECT_EQ(chip.bytes_received(), 0);
  EXPECT_FALSE(chip.programming_enabled());
}

TEST_F(ChipFaultsTest, WrongSignatureIsAnsweredInsteadOfTheModels) {
  chip.faults.signature = std::array<std::uint8_t, 3>{0x1E, 0x95, 0x0F};
  wire.EnterProgramming();
  EXPECT_EQ(Read(0x30, 0x00, 0x00), 0x1E);
  EXPECT_EQ(Read(0x30, 0x00, 0x01), 0x95);
  EXPECT_EQ(Read(0x30, 0x00, 0x02), 0x0F);
}

TEST_F(ChipFaultsTest, DeadFlashPageNeverTakesAWrite) {
  chip.faults.dead_flash_page = 16 + 9;  // any word of the second page
  wire.EnterProgramming();
  LoadFlashWord(0, 0x0000);
  WritePage(16);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(16), 0xFFFF);
  LoadFlashWord(0, 0x0000);  // its buffer was still used up: the next page is unharmed
  WritePage(32);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(32), 0x0000);
  EXPECT_EQ(chip.page_writes(), 2);
}

TEST_F(ChipFaultsTest, DeadEepromAddressNeverTakesAWrite) {
  chip.faults.dead_eeprom_address = 5;
  wire.EnterProgramming();
  WriteEeprom(5, 0x00);
  WaitMs(model.eepromWriteDelay);
  WriteEeprom(6, 0x00);
  WaitMs(model.eepromWriteDelay);
  EXPECT_EQ(ReadEeprom(5), 0xFF);
  EXPECT_EQ(ReadEeprom(6), 0x00);
  EXPECT_EQ(ReadEeprom(32 + 5), 0xFF);  // the same cell through a wrapped address
}

TEST_F(ChipFaultsTest, PulledCableStopsEverythingAfterTheGivenLineChanges) {
  wire.EnterProgramming();  // leaves MOSI low, so a 0x00 byte is sixteen SCK changes
  chip.faults.pull_cable_after_changes = chip.line_changes() + 16 + 5;
  const auto received = chip.bytes_received();
  wire.Transfer(0x00);
  EXPECT_EQ(chip.bytes_received(), received + 1);
  EXPECT_FALSE(wire.Miso());  // still there: the echo of 0x00
  wire.Transfer(0x00);
  wire.Transfer(0x00);
  EXPECT_EQ(chip.bytes_received(), received + 1);
  EXPECT_TRUE(wire.Miso());
  EXPECT_EQ(wire.EnterProgramming(), 0xFF);
}

TEST_F(ChipFaultsTest, AbsentCableFailsToOpenAndReadsMisoHigh) {
  cable.absent = true;
  Status opened = cable.Open();
  ASSERT_FALSE(opened.ok());
  EXPECT_FALSE(opened.reason().empty());
  EXPECT_EQ(wire.EnterProgramming(), 0xFF);
  EXPECT_EQ(chip.bytes_received(), 0);
}

TEST_F(ChipFaultsTest, StuckFusesNeverTakeAWrite) {
  chip.faults.stuck_fuses = true;
  wire.EnterProgramming();
  Write(0xAC, 0xA0, 0x00, 0x00);
  WaitMs(model.fuse_write_ms);
  Write(0xAC, 0xE0, 0x00, 0xFC);
  WaitMs(model.fuse_write_ms);
  EXPECT_EQ(Read(0x50, 0x00, 0x00), model.low);
  EXPECT_EQ(Read(0x58, 0x00, 0x00), 0xFF);
}

// The test wire waits 1 ns after each line change; a chip's clock decides what it hears.
TEST_F(ChipFaultsTest, SckPhasesShorterThanTwoTargetClocksAreMisheard) {
  chip.clock_hz = 1'000'000;  // 2 us needed, 1 ns given
  EXPECT_NE(wire.EnterProgramming(), 0x53);
  EXPECT_GT(chip.misheard_bits(), 0);
  EXPECT_FALSE(chip.programming_enabled());
  chip.clock_hz = 2'000'000'000;  // 1 ns is two clocks: just enough
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_EQ(Read(0x30, 0x00, 0x01), model.signature[1]);
}

TEST_F(ChipFaultsTest, PhasesOfTwoTargetClocksAreHeard) {
  chip.clock_hz = 1'000'000;
  testing::TestWire slow(cable, cable.clock(), 2'000);
  EXPECT_EQ(slow.EnterProgramming(), 0x53);
  EXPECT_EQ(slow.Instruction(0x30, 0x00, 0x02, 0x00)[3], model.signature[2]);
  EXPECT_EQ(chip.misheard_bits(), 0);
}

TEST_F(ChipFaultsTest, TheInstructionLogKeepsOnlyTheLatest) {
  wire.EnterProgramming();
  for (std::size_t i = 0; i < kInstructionLogLength + 10; ++i) Read(0x30, 0x00, 0x01);
  EXPECT_EQ(chip.instructions().size(), kInstructionLogLength);
  EXPECT_EQ(chip.instructions().back(), (Instruction{0x30, 0x00, 0x01, 0x00}));
}

}  // namespace
}  // namespace tolmeo
