#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

#include "base/cp949.h"

namespace tolmeo::cli {
namespace {

Result<Arguments> Parse(std::vector<std::string> args) { return ParseArguments(args); }

TEST(CliArguments, OptionsAndActionsInOrder) {
  auto parsed = Parse({"-c", "sim:chip.bin", "-d", "ATmega328P", "-s", "64", "-y", "erase",
                       "flash:w:a:b.hex", "eeprom:r:out.hex", "run"});
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(*parsed->cable, "sim:chip.bin");
  EXPECT_EQ(*parsed->device, "ATmega328P");
  EXPECT_EQ(*parsed->speed, 64);
  EXPECT_TRUE(parsed->assume_yes);
  ASSERT_EQ(parsed->actions.size(), 4u);
  EXPECT_EQ(parsed->actions[0].kind, ActionKind::kErase);
  EXPECT_EQ(parsed->actions[1].kind, ActionKind::kFlashWrite);
  EXPECT_EQ(parsed->actions[1].flash_file, "a:b.hex");  // colons after the second belong to the path
  EXPECT_EQ(parsed->actions[2].kind, ActionKind::kEepromRead);
  EXPECT_EQ(parsed->actions[2].eeprom_file, "out.hex");
  EXPECT_EQ(parsed->actions[3].kind, ActionKind::kRun);
}

TEST(CliArguments, EveryMemoryOperation) {
  const std::pair<const char*, ActionKind> cases[] = {
      {"flash:w:f", ActionKind::kFlashWrite},   {"flash:v:f", ActionKind::kFlashVerify},
      {"flash:r:f", ActionKind::kFlashRead},    {"eeprom:w:f", ActionKind::kEepromWrite},
      {"eeprom:v:f", ActionKind::kEepromVerify}, {"eeprom:r:f", ActionKind::kEepromRead},
      {"fuses:r", ActionKind::kFusesRead},      {"list", ActionKind::kList}};
  for (auto [text, kind] : cases) {
    auto parsed = Parse({text});
    ASSERT_TRUE(parsed.ok()) << text;
    EXPECT_EQ(parsed->actions[0].kind, kind) << text;
  }
}

TEST(CliArguments, AutoTakesEitherFileEmpty) {
  auto parsed = Parse({"auto:f.hex:e.hex", "auto::e.hex", "auto:f.hex:", "auto::"});
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->actions[0].flash_file, "f.hex");
  EXPECT_EQ(parsed->actions[0].eeprom_file, "e.hex");
  EXPECT_EQ(parsed->actions[1].flash_file, "");
  EXPECT_EQ(parsed->actions[2].eeprom_file, "");
  EXPECT_EQ(parsed->actions[3].kind, ActionKind::kAuto);
  EXPECT_FALSE(Parse({"auto:f.hex"}).ok());
}

TEST(CliArguments, AutoTakesTheFuseBytesOrKeepsTheChipsOwn) {
  auto parsed = Parse({"auto:f.hex:e.hex:keep", "auto:f.hex::FF,FD,DE,ff", "auto:f.hex:e.hex",
                       "auto::c:\\e.hex"});
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(parsed->actions[0].auto_fuses, AutoFuses::kChip);
  EXPECT_EQ(parsed->actions[0].eeprom_file, "e.hex");
  EXPECT_EQ(parsed->actions[1].auto_fuses, AutoFuses::kGiven);
  EXPECT_EQ(parsed->actions[1].eeprom_file, "");
  EXPECT_EQ(parsed->actions[1].fuses, (std::array<std::uint8_t, 4>{0xFF, 0xFD, 0xDE, 0xFF}));
  EXPECT_EQ(parsed->actions[2].auto_fuses, AutoFuses::kDescription);
  EXPECT_EQ(parsed->actions[3].eeprom_file, "c:\\e.hex");  // a colon of the file's own
  EXPECT_EQ(parsed->actions[3].auto_fuses, AutoFuses::kDescription);
  EXPECT_FALSE(Parse({"auto:f.hex::FF,FD,DE"}).ok());
}

TEST(CliArguments, ANameCp949CannotHoldIsRefusedNotChanged) {
  const std::string emoji = "caf\xF0\x9F\x98\x80.hex";
  for (std::vector<std::string> args :
       {std::vector<std::string>{"flash:r:" + emoji}, {"auto:" + emoji + ":"}, {"auto::" + emoji},
        {"-c", "sim:" + emoji, "erase"}, {"-d", emoji, "erase"}}) {
    auto parsed = ParseArguments(args);
    ASSERT_FALSE(parsed.ok()) << args.back();
    EXPECT_NE(parsed.reason().find(emoji + "'"), std::string::npos) << parsed.reason();
    EXPECT_NE(parsed.reason().find("CP949"), std::string::npos);
  }
  auto korean = Parse({"flash:w:/tmp/깜빡이.hex"});
  ASSERT_TRUE(korean.ok());
  EXPECT_EQ(korean->actions[0].flash_file, Cp949FromUtf8("/tmp/깜빡이.hex"));
}

TEST(CliArguments, FuseValuesAreFourHexBytes) {
  auto parsed = Parse({"fuses:w:0xFF,fd,D9,0x62"});
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(parsed->actions[0].fuses, (std::array<std::uint8_t, 4>{0xFF, 0xFD, 0xD9, 0x62}));
  for (const char* bad : {"fuses:w:FF,FF,FF", "fuses:w:FF,FF,FF,FF,FF", "fuses:w:100,FF,FF,FF",
                          "fuses:w:FF,,FF,FF", "fuses:w:GG,FF,FF,FF", "fuses:w:0x,FF,FF,FF",
                          "fuses:w:-1,FF,FF,FF"}) {
    EXPECT_FALSE(Parse({bad}).ok()) << bad;
  }
}

TEST(CliArguments, UsageErrorsSayWhy) {
  for (std::vector<std::string> bad :
       {std::vector<std::string>{}, {"-s", "fast", "erase"}, {"-s", "-1", "erase"},
        {"-s", "99999999999", "erase"}, {"-s", "2147483647", "erase"}, {"-s", "65536", "erase"},
        {"-s", "0x", "erase"}, {"-s", "0x1G", "erase"}, {"-s", "0x10000", "erase"}, {"-c"}, {"-c", "", "erase"}, {"-x", "erase"},
        {"flash:w:"}, {"flash:x:f"}, {"flash"}, {"burn"}}) {
    auto parsed = ParseArguments(bad);
    EXPECT_FALSE(parsed.ok());
    if (!parsed.ok()) {
      EXPECT_NE(parsed.reason().find("--help"), std::string::npos);
    }
  }
  auto message = Parse({"burn"});
  EXPECT_NE(message.reason().find("'burn'"), std::string::npos);
}

TEST(CliArguments, SpeedIsDecimalOrHexadecimalUpToTheBound) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"0x80", 0x80}, {"0X10", 0x10}, {"128", 128}, {"0", 0}, {"0xFFFF", 0xFFFF}, {"65535", 65535}};
  for (const auto& [text, speed] : cases) {
    auto parsed = Parse({"-s", text, "erase"});
    ASSERT_TRUE(parsed.ok()) << text << ": " << parsed.reason();
    EXPECT_EQ(parsed->speed, speed) << text;
  }
}

TEST(CliArguments, HelpNeedsNoAction) {
  auto parsed = Parse({"--help"});
  ASSERT_TRUE(parsed.ok());
  EXPECT_TRUE(parsed->help);
  std::string usage = UsageText();
  EXPECT_NE(usage.find("flash:w:FILE"), std::string::npos);
  // Every exit status is explained, the setup one with its fixes.
  for (const char* line : {"  0  ", "  1  ", "  2  ", "  3  ", "modprobe ppdev", "-c sim", "auto:FLASH:EEPROM:keep"}) {
    EXPECT_NE(usage.find(line), std::string::npos) << line;
  }
  // Where descriptions and settings are looked up, built and installed.
  for (const char* place : {"share/tolmeo/", "$XDG_CONFIG_HOME/tolmeo/", "~/.config/tolmeo/", "examples/blink.hex"}) {
    EXPECT_NE(usage.find(place), std::string::npos) << place;
  }
}

}  // namespace
}  // namespace tolmeo::cli
