#include "isp/cable_choice.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "isp/engine_session.h"
#include "port/parport_cable.h"
#include "support/recording_seam.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

std::unique_ptr<ChipImage> Mega328Image() {
  auto image = std::make_unique<ChipImage>();
  image->flashSize = 32768;
  image->flashPageSize = 128;
  image->eepromSize = 1024;
  image->flashWriteDelay = 5;
  image->eepromWriteDelay = 4;
  image->signature = {0x1E, 0x95, 0x0F};
  image->highFuse = 0xD9;
  image->lowFuse = 0x62;
  image->extendedFuse = 0xFF;
  image->lockBits = 0xFF;
  return image;
}

TEST(CableChoice, SimIsAVirtualChipOfTheLoadedDescription) {
  auto image = Mega328Image();
  CableRig rig = MakeCable("sim", *image);
  ASSERT_NE(rig.sim, nullptr);
  EXPECT_EQ(rig.cable.get(), rig.sim);
  EXPECT_EQ(rig.clock, &rig.sim->clock());
  const AvrMemories& memories = rig.sim->chip().memories();
  EXPECT_EQ(memories.flash_words(), 16384u);
  EXPECT_EQ(memories.page_words(), 64u);
  EXPECT_EQ(memories.eeprom().size(), 1024u);
  EXPECT_EQ(memories.model().signature, image->signature);
  EXPECT_EQ(memories.fuses().low, 0x62);
}

TEST(CableChoice, OtherNamesArePortsWithTheRealClock) {
  auto image = Mega328Image();
  for (const char* name : {"parport0", "parport7", ""}) {
    CableRig rig = MakeCable(name, *image);
    EXPECT_EQ(rig.sim, nullptr);
    EXPECT_NE(dynamic_cast<ParportCable*>(rig.cable.get()), nullptr) << name;
    EXPECT_EQ(rig.clock, rig.own_clock.get());
  }
}

TEST(CableChoice, SimWithAFileKeepsTheChipBetweenSessions) {
  testing::TempFolder folder;
  std::string cable = "sim:" + folder.Cp949Path() + "chip.sim";
  auto image = Mega328Image();
  image->InitFlashImage();
  image->InitEepromImage();
  testing::RecordingSeam seam;
  std::int32_t speed = 0x10;
  {
    EngineSession session(cable, *image, seam, speed);
    ASSERT_TRUE(session.OpenPort().ok());
    image->bits.Show(FuseGroup::Low, 0x3F);
    ASSERT_EQ(session.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kDone);
    ASSERT_TRUE(session.rig().sim->Save().ok());
  }
  EXPECT_TRUE(FileExists(folder.Cp949Path() + "chip.sim"));
  EngineSession again(cable, *image, seam, speed);
  EXPECT_EQ(again.rig().sim->chip().memories().fuses().low, 0x3F);
}

TEST(CableText, SimKnobsAreTakenApart) {
  Result<CableSetting> setting = ParseCableText(
      "sim:/tmp/chip.sim,absent,signature=1E9514,dead-page=0x45,dead-eeprom=19,stuck-fuses,"
      "pull-after=1200,clock=0.5");
  ASSERT_TRUE(setting.ok()) << setting.reason();
  EXPECT_TRUE(setting->simulated);
  EXPECT_EQ(setting->file, "/tmp/chip.sim");
  EXPECT_TRUE(setting->absent);
  EXPECT_EQ(setting->faults.signature, (std::array<std::uint8_t, 3>{0x1E, 0x95, 0x14}));
  EXPECT_EQ(setting->faults.dead_flash_page, 0x45u);
  EXPECT_EQ(setting->faults.dead_eeprom_address, 19u);
  EXPECT_TRUE(setting->faults.stuck_fuses);
  EXPECT_EQ(setting->faults.pull_cable_after_changes, 1200);
  EXPECT_EQ(setting->clock_hz, 500'000);
}

TEST(CableText, PlainSimIsAOneMegahertzChipWithoutFaults) {
  for (const char* text : {"sim", "sim:chip.sim"}) {
    Result<CableSetting> setting = ParseCableText(text);
    ASSERT_TRUE(setting.ok()) << text;
    EXPECT_EQ(setting->clock_hz, kDefaultSimClockHz);
    EXPECT_FALSE(setting->absent);
    EXPECT_FALSE(setting->faults.signature || setting->faults.pull_cable_after_changes || setting->faults.stuck_fuses);
  }
  EXPECT_EQ(ParseCableText("sim,clock=8")->file, "");
}

TEST(CableText, BadKnobsAreRefusedNamingTheKnob) {
  for (const char* text : {"sim,", "sim,fast", "sim,signature=1E95", "sim,signature=1E95XX",
                           "sim,dead-page=", "sim,dead-page=twelve", "sim,pull-after=-1",
                           "sim,clock=0", "sim,clock=abc", "sim,clock=1000", "sim,absent=1", "sim:"}) {
    Result<CableSetting> setting = ParseCableText(text);
    EXPECT_FALSE(setting.ok()) << text;
  }
  Result<CableSetting> setting = ParseCableText("sim,pull-after=x");
  ASSERT_FALSE(setting.ok());
  EXPECT_NE(setting.reason().find("pull-after=x"), std::string::npos);
}

TEST(CableText, PortsNameAWiring) {
  Result<CableSetting> plain = ParseCableText("parport0");
  ASSERT_TRUE(plain.ok());
  EXPECT_FALSE(plain->simulated);
  EXPECT_EQ(plain->port, "parport0");
  EXPECT_EQ(plain->wiring, "");
  Result<CableSetting> stk200 = ParseCableText("parport1:stk200");
  ASSERT_TRUE(stk200.ok());
  EXPECT_EQ(stk200->port, "parport1");
  EXPECT_EQ(stk200->wiring, "stk200");
  Result<CableSetting> unknown = ParseCableText("parport0:stk999");
  ASSERT_FALSE(unknown.ok());
  EXPECT_NE(unknown.reason().find("stk200"), std::string::npos);  // says which exist
}

TEST(CableText, ABadTextGivesACableThatNeverOpensAndSaysWhy) {
  auto image = Mega328Image();
  CableRig rig = MakeCable("sim,clock=fast", *image);
  EXPECT_EQ(rig.sim, nullptr);
  Status opened = rig.cable->Open();
  ASSERT_FALSE(opened.ok());
  EXPECT_NE(opened.reason().find("clock=fast"), std::string::npos);
}

TEST(CableText, KnobsReachTheVirtualChip) {
  auto image = Mega328Image();
  CableRig rig = MakeCable("sim,stuck-fuses,clock=16,absent", *image);
  ASSERT_NE(rig.sim, nullptr);
  EXPECT_TRUE(rig.sim->absent);
  EXPECT_TRUE(rig.sim->chip().faults.stuck_fuses);
  EXPECT_EQ(rig.sim->chip().clock_hz, 16'000'000);
}

}  // namespace
}  // namespace tolmeo
