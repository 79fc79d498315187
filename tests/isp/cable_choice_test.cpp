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
  testing::RecordingSeam seam(*image);
  std::int32_t speed = 0x10;
  {
    EngineSession session(cable, *image, seam, speed);
    ASSERT_TRUE(session.OpenPort().ok());
    seam.boxes.Show(FuseGroup::Low, 0x3F);
    ASSERT_EQ(session.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kDone);
    ASSERT_TRUE(session.rig().sim->Save().ok());
  }
  EXPECT_TRUE(FileExists(folder.Cp949Path() + "chip.sim"));
  EngineSession again(cable, *image, seam, speed);
  EXPECT_EQ(again.rig().sim->chip().memories().fuses().low, 0x3F);
}

}  // namespace
}  // namespace tolmeo
