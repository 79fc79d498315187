// The whole road with real firmware: an ATmega328P program built by avr-gcc
// (tools/firmware/) goes through tolmeo-cli's automatic sequence onto a virtual chip kept in a
// file, comes back through flash:r and eeprom:r, and must match the firmware byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "cli/cli_run.h"
#include "formats/intel_hex.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

constexpr std::uint32_t kFlashBytes = 32768;
constexpr std::uint32_t kEepromBytes = 1024;

std::string FirmwarePath(const char* name) {
  return std::string(TOLMEO_SOURCE_DIR) + "/tools/firmware/" + name;
}

// The memory as a chip holds it after programming the file: the file's bytes, erased elsewhere.
std::vector<std::uint8_t> MemoryOf(const std::string& hex_text, std::uint32_t size) {
  std::vector<std::uint8_t> memory(size, 0xFF);
  auto range = ParseIntelHex(hex_text, memory);
  EXPECT_TRUE(range.ok()) << range.reason();
  return memory;
}

std::string ReadText(const std::string& utf8_path) {
  auto text = ReadWholeFile(Cp949FromUtf8(utf8_path));
  EXPECT_TRUE(text.ok()) << utf8_path;
  return text.ok() ? *text : std::string();
}

int RunCli(std::vector<std::string> args) {
  auto arguments = cli::ParseArguments(args);
  EXPECT_TRUE(arguments.ok());
  std::FILE* sink = std::tmpfile();
  int status = cli::RunCli(*arguments, sink, sink);
  std::fclose(sink);
  return status;
}

TEST(BlinkFirmware, AutomaticSequenceThenReadBackGivesTheFirmware) {
  testing::TempFolder folder;
  std::string here = Utf8FromCp949(folder.Cp949Path());
  std::vector<std::string> rig = {"-c", "sim:" + here + "atmega328p.sim", "-d", "ATmega328P"};
  auto with = [&](std::vector<std::string> actions) {
    std::vector<std::string> args = rig;
    args.insert(args.end(), actions.begin(), actions.end());
    return args;
  };

  std::string flash = FirmwarePath("blink.hex");
  std::string eeprom = FirmwarePath("blink_eeprom.hex");
  ASSERT_EQ(RunCli(with({"auto:" + flash + ":" + eeprom})), 0);
  // A second run of the program finds the chip as the first one left it.
  ASSERT_EQ(RunCli(with({"flash:r:" + here + "flash.hex", "eeprom:r:" + here + "eeprom.hex"})), 0);

  std::vector<std::uint8_t> firmware_flash = MemoryOf(ReadText(flash), kFlashBytes);
  std::vector<std::uint8_t> firmware_eeprom = MemoryOf(ReadText(eeprom), kEepromBytes);
  EXPECT_NE(firmware_flash[0], 0xFF);  // the firmware is really there to compare against
  EXPECT_EQ(MemoryOf(ReadText(here + "flash.hex"), kFlashBytes), firmware_flash);
  EXPECT_EQ(MemoryOf(ReadText(here + "eeprom.hex"), kEepromBytes), firmware_eeprom);

  EXPECT_EQ(RunCli(with({"flash:v:" + flash, "eeprom:v:" + eeprom, "run"})), 0);
}

}  // namespace
}  // namespace tolmeo
