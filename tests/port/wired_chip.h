#pragma once
// A small virtual chip on a simulated cable, with the instructions the cable tests send
// spelled out once.
#include <gtest/gtest.h>

#include <cstdint>

#include "port/sim_cable.h"
#include "test_wire.h"

namespace tolmeo::testing {

// A small chip on a simulated cable, ready to be bit-banged: 64 Flash words in pages of 16,
// 32 EEPROM bytes, write times the tests can wait out.
inline ChipModel SmallChip() {
  ChipModel model;
  model.flashSize = 128;
  model.flashPageSize = 32;
  model.eepromSize = 32;
  model.signature = {0x1E, 0x91, 0x0A};
  model.flashWriteDelay = 4;
  model.eepromWriteDelay = 8;
  model.erase_ms = 9;
  model.fuse_write_ms = 5;
  model.lock = 0xFF;
  model.extended = 0xFF;
  model.high = 0xDF;
  model.low = 0x62;
  return model;
}

class WiredChipTest : public ::testing::Test {
 protected:
  // The answer of a read instruction (its fourth byte).
  std::uint8_t Read(std::uint8_t opcode, std::uint8_t high, std::uint8_t low) {
    return wire.Instruction(opcode, high, low, 0x00)[3];
  }
  void Write(std::uint8_t opcode, std::uint8_t high, std::uint8_t low, std::uint8_t value) {
    wire.Instruction(opcode, high, low, value);
  }
  std::uint16_t ReadFlashWord(std::uint16_t address) {
    const auto high = static_cast<std::uint8_t>(address >> 8);
    const auto low = static_cast<std::uint8_t>(address & 0xFF);
    return static_cast<std::uint16_t>(Read(0x28, high, low) << 8 | Read(0x20, high, low));
  }
  void LoadFlashWord(std::uint8_t index, std::uint16_t word) {
    Write(0x40, 0x00, index, static_cast<std::uint8_t>(word & 0xFF));
    Write(0x48, 0x00, index, static_cast<std::uint8_t>(word >> 8));
  }
  void WritePage(std::uint16_t address) {
    Write(0x4C, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), 0x00);
  }
  void WriteEeprom(std::uint16_t address, std::uint8_t value) {
    Write(0xC0, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), value);
  }
  std::uint8_t ReadEeprom(std::uint16_t address) {
    return Read(0xA0, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF));
  }
  void ChipErase() { Write(0xAC, 0x80, 0x00, 0x00); }
  void WaitMs(int milliseconds) { cable.clock().SleepMs(milliseconds); }

  ChipModel model = SmallChip();
  SimCable cable{model};
  VirtualAvr& chip = cable.chip();
  TestWire wire{cable, cable.clock()};
};

}  // namespace tolmeo::testing
