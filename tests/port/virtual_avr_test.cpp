#include "port/virtual_avr.h"

#include <gtest/gtest.h>

#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::TestWire;

class VirtualAvrTest : public testing::WiredChipTest {
 protected:
  void SetUp() override { ASSERT_EQ(wire.EnterProgramming(), 0x53); }
};

TEST_F(VirtualAvrTest, ProgrammingEnableIsOneFourByteInstruction) {
  ASSERT_EQ(chip.instructions().size(), 1u);
  EXPECT_EQ(chip.instructions()[0], (Instruction{0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ(chip.bytes_received(), 4);
  EXPECT_TRUE(chip.programming_enabled());
}

TEST_F(VirtualAvrTest, EachByteComesBackDuringTheNext) {
  // A write instruction answers nothing of its own: bytes 2 to 4 carry bytes 1 to 3, and the
  // first byte of the next instruction carries the fourth.
  auto answer = wire.Instruction(0x40, 0x12, 0x05, 0xA7);
  EXPECT_EQ(answer[1], 0x40);
  EXPECT_EQ(answer[2], 0x12);
  EXPECT_EQ(answer[3], 0x05);
  EXPECT_EQ(wire.Transfer(0x20), 0xA7);
}

TEST_F(VirtualAvrTest, ReadInstructionsCarryTheirDataInTheFourthByte) {
  auto answer = wire.Instruction(0x30, 0x00, 0x01, 0x00);
  EXPECT_EQ(answer[1], 0x30);
  EXPECT_EQ(answer[2], 0x00);
  EXPECT_EQ(answer[3], model.signature[1]);
}

TEST_F(VirtualAvrTest, SignatureBytesByIndexAndNothingBeyondThem) {
  EXPECT_EQ(Read(0x30, 0x00, 0x00), 0x1E);
  EXPECT_EQ(Read(0x30, 0x00, 0x01), 0x91);
  EXPECT_EQ(Read(0x30, 0x00, 0x02), 0x0A);
  EXPECT_EQ(Read(0x30, 0x00, 0x03), 0xFF);
  EXPECT_EQ(Read(0x30, 0x00, 0x05), 0x91);  // only the low two bits count
}

TEST_F(VirtualAvrTest, PageLoadWriteAndReadBack) {
  for (std::uint8_t i = 0; i < 16; ++i) LoadFlashWord(i, static_cast<std::uint16_t>(0x1200 + i));
  WritePage(16 + 5);  // any word of the page chooses it
  WaitMs(model.flashWriteDelay);
  for (std::uint16_t i = 0; i < 16; ++i) EXPECT_EQ(ReadFlashWord(16 + i), 0x1200 + i);
  EXPECT_EQ(ReadFlashWord(15), 0xFFFF);
  EXPECT_EQ(ReadFlashWord(32), 0xFFFF);
  EXPECT_EQ(chip.page_writes(), 1);
  EXPECT_EQ(chip.memories().FlashWord(16), 0x1200);
  EXPECT_EQ(chip.memories().flash()[32], 0x00);  // low byte first
  EXPECT_EQ(chip.memories().flash()[33], 0x12);
}

TEST_F(VirtualAvrTest, PageIndexIsTakenWithinThePage) {
  LoadFlashWord(16 + 3, 0xBEEF);  // index 19 is index 3 of a 16-word page
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(3), 0xBEEF);
}

TEST_F(VirtualAvrTest, PageBufferIsBlankAfterAPageWrite) {
  LoadFlashWord(0, 0x1234);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  WritePage(16);  // no loads in between: writes 0xFFFF, which changes nothing
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(16), 0xFFFF);
  EXPECT_EQ(ReadFlashWord(0), 0x1234);
}

TEST_F(VirtualAvrTest, FlashBitsOnlyClearUntilAnErase) {
  LoadFlashWord(0, 0x0FF0);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  LoadFlashWord(0, 0x00FF);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(0), 0x00F0);

  ChipErase();
  WaitMs(model.erase_ms);
  EXPECT_EQ(ReadFlashWord(0), 0xFFFF);
  EXPECT_EQ(chip.chip_erases(), 1);
  LoadFlashWord(0, 0x00FF);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(0), 0x00FF);
}

// A real AVR erases an EEPROM byte as part of writing it, so a byte takes any new value.
TEST_F(VirtualAvrTest, EepromBytesAreErasedAsTheyAreWritten) {
  WriteEeprom(7, 0x3C);
  WaitMs(model.eepromWriteDelay);
  EXPECT_EQ(ReadEeprom(7), 0x3C);
  WriteEeprom(7, 0xC3);
  WaitMs(model.eepromWriteDelay);
  EXPECT_EQ(ReadEeprom(7), 0xC3);
  ChipErase();
  WaitMs(model.erase_ms);
  EXPECT_EQ(ReadEeprom(7), 0xFF);
}

TEST_F(VirtualAvrTest, EesaveKeepsTheEepromThroughAChipErase) {
  WriteEeprom(7, 0x3C);
  WaitMs(model.eepromWriteDelay);
  Write(0xAC, 0xA8, 0x00, 0xD7);  // high fuse with EESAVE (bit 3) programmed
  WaitMs(model.fuse_write_ms);
  ChipErase();
  WaitMs(model.erase_ms);
  EXPECT_EQ(ReadEeprom(7), 0x3C);
  EXPECT_EQ(ReadFlashWord(0), 0xFFFF);
}

TEST_F(VirtualAvrTest, LockBitsStopWritesThenReadsUntilAnErase) {
  LoadFlashWord(0, 0x1234);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  Write(0xAC, 0xE0, 0x00, 0xFE);  // LB1: no more programming
  WaitMs(model.fuse_write_ms);
  WriteEeprom(1, 0x55);
  WaitMs(model.eepromWriteDelay);
  Write(0xAC, 0xA0, 0x00, 0x00);  // low fuse
  WaitMs(model.fuse_write_ms);
  EXPECT_EQ(ReadEeprom(1), 0xFF);
  EXPECT_EQ(Read(0x50, 0x00, 0x00), model.low);
  EXPECT_EQ(ReadFlashWord(0), 0x1234);  // still verifiable
  Write(0xAC, 0xE0, 0x00, 0xFC);  // LB1 and LB2: no verifying either
  WaitMs(model.fuse_write_ms);
  EXPECT_EQ(ReadFlashWord(0), 0xFFFF);
  EXPECT_EQ(Read(0x58, 0x00, 0x00), 0xFC);  // the lock byte itself still reads
  ChipErase();
  WaitMs(model.erase_ms);
  LoadFlashWord(0, 0x4321);
  WritePage(0);
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(0), 0x4321);
}

TEST_F(VirtualAvrTest, FusesTakeAnyValueAndSurviveTheErase) {
  Write(0xAC, 0xA0, 0x00, 0x12);
  WaitMs(model.fuse_write_ms);
  Write(0xAC, 0xA8, 0x00, 0x34);
  WaitMs(model.fuse_write_ms);
  Write(0xAC, 0xA4, 0x00, 0xF9);
  WaitMs(model.fuse_write_ms);
  Write(0xAC, 0xA0, 0x00, 0xED);  // fuses go back to 1 without an erase
  WaitMs(model.fuse_write_ms);
  ChipErase();
  WaitMs(model.erase_ms);
  EXPECT_EQ(Read(0x50, 0x00, 0x00), 0xED);
  EXPECT_EQ(Read(0x58, 0x08, 0x00), 0x34);
  EXPECT_EQ(Read(0x50, 0x08, 0x00), 0xF9);
  EXPECT_EQ((FuseBytes{0xFF, 0xF9, 0x34, 0xED}), chip.memories().fuses());
}

TEST_F(VirtualAvrTest, LockBitsOnlyClearUntilAnErase) {
  Write(0xAC, 0xE0, 0x00, 0xFC);
  WaitMs(model.fuse_write_ms);
  Write(0xAC, 0xE0, 0x00, 0xF3);
  WaitMs(model.fuse_write_ms);
  EXPECT_EQ(Read(0x58, 0x00, 0x00), 0xF0);
  ChipErase();
  WaitMs(model.erase_ms);
  EXPECT_EQ(Read(0x58, 0x00, 0x00), 0xFF);
}

TEST_F(VirtualAvrTest, ReadsWhileBusyGiveFFAndWritesAreIgnored) {
  LoadFlashWord(0, 0x1234);
  WritePage(0);
  EXPECT_EQ(ReadFlashWord(0), 0xFFFF);
  EXPECT_EQ(Read(0x30, 0x00, 0x00), 0xFF);
  WriteEeprom(1, 0x00);  // lost: the chip is still writing the page
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(0), 0x1234);
  EXPECT_EQ(ReadEeprom(1), 0xFF);

  WriteEeprom(2, 0x55);
  WaitMs(model.eepromWriteDelay - 1);
  EXPECT_EQ(ReadEeprom(2), 0xFF);
  WaitMs(1);
  EXPECT_EQ(ReadEeprom(2), 0x55);
}

TEST_F(VirtualAvrTest, ChipEraseTakesItsOwnTime) {
  ChipErase();
  WaitMs(model.erase_ms - 1);
  EXPECT_EQ(Read(0x50, 0x00, 0x00), 0xFF);
  WaitMs(1);
  EXPECT_EQ(Read(0x50, 0x00, 0x00), model.low);
}

TEST_F(VirtualAvrTest, AddressesWrapToTheMemorySize) {
  WriteEeprom(32 + 3, 0x42);  // a 32-byte EEPROM ignores the high bits
  WaitMs(model.eepromWriteDelay);
  EXPECT_EQ(ReadEeprom(3), 0x42);
  EXPECT_EQ(ReadEeprom(0x4003), 0x42);

  LoadFlashWord(2, 0xA55A);
  WritePage(64);  // 64 words: page 64 is page 0
  WaitMs(model.flashWriteDelay);
  EXPECT_EQ(ReadFlashWord(2), 0xA55A);
  EXPECT_EQ(ReadFlashWord(64 + 2), 0xA55A);
  EXPECT_EQ(ReadFlashWord(0xFFC2), 0xA55A);
}

TEST_F(VirtualAvrTest, UnknownInstructionsOnlyEcho) {
  auto answer = wire.Instruction(0x58, 0x04, 0x00, 0x00);
  EXPECT_EQ(answer[3], 0x00);  // the third byte again, not a fuse
  wire.Instruction(0xAC, 0x77, 0x00, 0x00);
  wire.Instruction(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(chip.memories().fuses(), (FuseBytes{model.lock, model.extended, model.high, model.low}));
  EXPECT_EQ(chip.instructions().size(), 4u);
}

class VirtualAvrBeforeEnableTest : public testing::WiredChipTest {};

TEST_F(VirtualAvrBeforeEnableTest, InstructionsAreIgnoredUntilProgrammingIsEnabled) {
  wire.PulseReset();
  WriteEeprom(0, 0x00);
  ChipErase();
  auto answer = wire.Instruction(0x30, 0x00, 0x00, 0x00);
  EXPECT_EQ(answer[3], 0x00);  // no answer yet, not the signature
  EXPECT_EQ(chip.memories().eeprom()[0], 0xFF);
  EXPECT_EQ(chip.chip_erases(), 0);
  EXPECT_EQ(chip.instructions().size(), 3u);  // heard, not obeyed
}

TEST_F(VirtualAvrBeforeEnableTest, AResetPulseResynchronises) {
  wire.PulseReset();
  wire.Transfer(0xAC);
  for (int i = 0; i < 3; ++i) {  // three stray clocks: the chip is now out of step
    wire.Line(TestWire::kSck, true);
    wire.Line(TestWire::kSck, false);
  }
  EXPECT_NE(wire.Instruction(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_TRUE(chip.programming_enabled());
  wire.PulseReset();
  EXPECT_FALSE(chip.programming_enabled());
}

TEST_F(VirtualAvrBeforeEnableTest, ARunningChipNeitherListensNorAnswers) {
  wire.EnterProgramming();
  wire.Line(TestWire::kReset, true);
  EXPECT_TRUE(wire.Miso());
  const auto received = chip.bytes_received();
  EXPECT_EQ(wire.Transfer(0x00), 0xFF);
  EXPECT_EQ(chip.bytes_received(), received);
  EXPECT_FALSE(chip.programming_enabled());
}

}  // namespace
}  // namespace tolmeo
