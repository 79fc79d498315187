#include "port/avr_memories.h"

#include <gtest/gtest.h>

#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;

TEST(ChipModelTest, OddModelsBecomeSafeToSimulate) {
  ChipModel odd;
  odd.flashSize = 1;
  odd.flashPageSize = 0;
  odd.eepromSize = 1'000'000;
  odd.flashWriteDelay = -3;
  odd.erase_ms = -1;
  ChipModel safe = Normalised(odd);
  EXPECT_EQ(safe.flashSize, 2u);
  EXPECT_EQ(safe.flashPageSize, 2u);
  EXPECT_EQ(safe.eepromSize, kIspReachEepromBytes);
  EXPECT_EQ(safe.flashWriteDelay, 0);
  EXPECT_EQ(safe.erase_ms, 0);
}

TEST(ChipModelTest, PagesArePowersOfTwoWithinTheFlash) {
  ChipModel model;
  model.flashSize = 4'000'000;
  model.flashPageSize = 100;
  ChipModel safe = Normalised(model);
  EXPECT_EQ(safe.flashSize, kIspReachFlashWords * 2);
  EXPECT_EQ(safe.flashPageSize, 64u);
  model.flashSize = 40;
  model.flashPageSize = 512;
  EXPECT_EQ(Normalised(model).flashPageSize, 32u);  // 20 words hold no page above 16 words
}

TEST(AvrMemoriesTest, StartsErasedWithTheModelsFuses) {
  AvrMemories memories(SmallChip());
  EXPECT_EQ(memories.flash(), std::vector<std::uint8_t>(128, 0xFF));
  EXPECT_EQ(memories.eeprom(), std::vector<std::uint8_t>(32, 0xFF));
  EXPECT_EQ(memories.fuses(), (FuseBytes{0xFF, 0xFF, 0xDF, 0x62}));
}

TEST(AvrMemoriesTest, LastPageOfAnUnevenFlashIsCutShort) {
  ChipModel model = SmallChip();
  model.flashSize = 100;  // 50 words: the page at 48 has only two
  AvrMemories memories(model);
  for (std::uint32_t i = 0; i < 16; ++i) {
    memories.LoadPageByte(i, false, 0x00);
    memories.LoadPageByte(i, true, 0x00);
  }
  memories.WritePage(49);
  EXPECT_EQ(memories.FlashWord(48), 0x0000);
  EXPECT_EQ(memories.FlashWord(49), 0x0000);
  EXPECT_EQ(memories.FlashWord(47), 0xFFFF);
  EXPECT_EQ(memories.FlashWord(0), 0xFFFF);
}

TEST(AvrMemoriesTest, ChipWithoutEepromReadsErasedAndTakesNothing) {
  ChipModel model = SmallChip();
  model.eepromSize = 0;
  AvrMemories memories(model);
  memories.WriteEeprom(5, 0x00);
  EXPECT_EQ(memories.ReadEeprom(5), 0xFF);
  EXPECT_TRUE(memories.eeprom().empty());
}

TEST(AvrMemoriesTest, EraseLeavesTheFusesButNotTheLock) {
  AvrMemories memories(SmallChip());
  memories.WriteFuse(FuseByte::kLock, 0xFC);
  memories.WriteFuse(FuseByte::kLow, 0x00);
  memories.Erase();
  EXPECT_EQ(memories.ReadFuse(FuseByte::kLock), 0xFF);
  EXPECT_EQ(memories.ReadFuse(FuseByte::kLow), 0x00);
}

TEST(AvrMemoriesTest, RestoreOfTheWrongSizeChangesNothing) {
  AvrMemories memories(SmallChip());
  EXPECT_FALSE(memories.Restore(std::string(128, '\0'), std::string(31, '\0'), FuseBytes{}));
  EXPECT_FALSE(memories.Restore(std::string(127, '\0'), std::string(32, '\0'), FuseBytes{}));
  EXPECT_EQ(memories.flash()[0], 0xFF);
  EXPECT_TRUE(memories.Restore(std::string(128, '\0'), std::string(32, '\0'), FuseBytes{}));
  EXPECT_EQ(memories.flash()[0], 0x00);
}

}  // namespace
}  // namespace tolmeo
