// The whole road with real firmware: an ATmega328P program built by avr-gcc
// (tools/firmware/) goes through tolmeo-cli's automatic sequence onto a virtual chip kept in a
// file, comes back through flash:r and eeprom:r, and must match the firmware byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "cli_rig.h"
#include "formats/intel_hex.h"

namespace tolmeo {
namespace {

constexpr std::uint32_t kFlashBytes = 32768;
constexpr std::uint32_t kEepromBytes = 1024;

// The memory as a chip holds it after programming the file: the file's bytes, erased elsewhere.
std::vector<std::uint8_t> MemoryOf(const std::string& hex_text, std::uint32_t size) {
  std::vector<std::uint8_t> memory(size, 0xFF);
  auto range = ParseIntelHex(hex_text, memory);
  EXPECT_TRUE(range.ok()) << range.reason();
  return memory;
}

// At the shipped ISP speed, on a chip running at the 1 MHz of a factory-fresh AVR.
TEST(BlinkFirmware, AutomaticSequenceThenReadBackGivesTheFirmware) {
  testing::CliRig rig;
  const std::string here = rig.here();
  const std::string flash = testing::FirmwarePath("blink.hex");
  const std::string eeprom = testing::FirmwarePath("blink_eeprom.hex");
  ASSERT_EQ(rig.Run({"auto:" + flash + ":" + eeprom}, ",clock=1").status, 0);
  // A second run of the program finds the chip as the first one left it.
  ASSERT_EQ(rig.Run({"flash:r:" + here + "flash.hex", "eeprom:r:" + here + "eeprom.hex"}, ",clock=1").status, 0);

  std::vector<std::uint8_t> firmware_flash = MemoryOf(testing::FileBytes(flash), kFlashBytes);
  std::vector<std::uint8_t> firmware_eeprom = MemoryOf(testing::FileBytes(eeprom), kEepromBytes);
  EXPECT_NE(firmware_flash[0], 0xFF);  // the firmware is really there to compare against
  EXPECT_EQ(MemoryOf(testing::FileBytes(here + "flash.hex"), kFlashBytes), firmware_flash);
  EXPECT_EQ(MemoryOf(testing::FileBytes(here + "eeprom.hex"), kEepromBytes), firmware_eeprom);

  EXPECT_EQ(rig.Run({"flash:v:" + flash, "eeprom:v:" + eeprom, "run"}, ",clock=1").status, 0);
}

TEST(BlinkFirmware, ASpeedTooFastForTheChipsClockIsNoSuccess) {
  testing::CliRig rig;
  const std::string flash = testing::FirmwarePath("blink.hex");
  EXPECT_NE(rig.Run({"auto:" + flash + ":"}, ",clock=1", {"-s", "4"}).status, 0);
  EXPECT_EQ(rig.Run({"auto:" + flash + ":"}, ",clock=8", {"-s", "4"}).status, 0);
}

}  // namespace
}  // namespace tolmeo
