#include "port/avr_memories.h"

#include <gtest/gtest.h>

#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;

TEST(ChipModelTest, OddModelsBecomeSafeToSimulate) {
  ChipModel odd;
  odd.flash_bytes = 1;
  odd.page_bytes = 0;
  odd.eeprom_bytes = 1'000'000;
  odd.flash_write_ms = -3;
  odd.erase_ms = -1;
  ChipModel safe = Normalised(odd);
  EXPECT_EQ(safe.flash_bytes, 2u);
  EXPECT_EQ(safe.page_bytes, 2u);
  EXPECT_EQ(safe.eeprom_bytes, kMaxEepromBytes);
  EXPECT_EQ(safe.flash_write_ms, 0);
  EXPECT_EQ(safe.erase_ms, 0);
}

TEST(ChipModelTest, PagesArePowersOfTwoWithinTheFlash) {
  ChipModel model;
  model.flash_bytes = 4'000'000;
  model.page_bytes = 100;
  ChipModel safe = Normalised(model);
  EXPECT_EQ(safe.flash_bytes, kMaxFlashWords * 2);
  EXPECT_EQ(safe.page_bytes, 64u);
  model.flash_bytes = 40;
  model.page_bytes = 512;
  EXPECT_EQ(Normalised(model).page_bytes, 32u);  // 20 words hold no page above 16 words
}

TEST(AvrMemoriesTest, StartsErasedWithTheModelsFuses) {
  AvrMemories memories(SmallChip());
  EXPECT_EQ(memories.flash(), std::vector<std::uint8_t>(128, 0xFF));
  EXPECT_EQ(memories.eeprom(), std::vector<std::uint8_t>(32, 0xFF));
  EXPECT_EQ(memories.fuses(), (FuseBytes{0xFF, 0xFF, 0xDF, 0x62}));
}

TEST(AvrMemoriesTest, LastPageOfAnUnevenFlashIsCutShort) {
  ChipModel model = SmallChip();
  model.flash_bytes = 100;  // 50 words: the page at 48 has only two
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
  model.eeprom_bytes = 0;
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
