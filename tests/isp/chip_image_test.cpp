#include "isp/chip_image.h"

#include <gtest/gtest.h>

#include <memory>

namespace tolmeo {
namespace {

std::unique_ptr<ChipImage> Chip(std::uint32_t flash_size, std::uint32_t page_size, std::uint32_t eeprom_size) {
  auto chip = std::make_unique<ChipImage>();
  chip->flashSize = flash_size;
  chip->flashPageSize = page_size;
  chip->eepromSize = eeprom_size;
  return chip;
}

// What the writer does with a page: nothing without a defined word, a read-back for defined
// words that are all 0xFFFF, a write otherwise; a word left out counts for nothing even when
// the image holds something there. The chip's last page is judged by its own words only.
TEST(ChipImage, APageIsWrittenOnlyForDefinedWordsThatAreNotErased) {
  auto chip = Chip(8192, 64, 512);  // 32-word pages, 4096 words
  chip->InitFlashImage();
  EXPECT_EQ(chip->FlashPageWork(0), PageWork::kCheck);  // after a reset every word counts
  chip->flashDefined.reset();
  chip->flashWords[40] = 0x1234;  // a word no document defines
  EXPECT_EQ(chip->FlashPageWork(32), PageWork::kNone);
  chip->flashDefined.set(33);
  EXPECT_EQ(chip->FlashPageWork(32), PageWork::kCheck);
  chip->flashDefined.set(40);
  EXPECT_EQ(chip->FlashPageWork(32), PageWork::kWrite);
  chip->flashDefined.set(4096);  // beyond the chip
  chip->flashWords[4096] = 0x0000;
  EXPECT_EQ(chip->FlashPageWork(4064), PageWork::kNone);
  chip->flashDefined.set(4095);
  EXPECT_EQ(chip->FlashPageWork(4064), PageWork::kCheck);
}

TEST(ChipImage, InitErasesOnlyTheChipAndSetsTheWholeRange) {
  auto chip = Chip(8192, 64, 512);
  chip->flashWords[4096] = 0x1234;
  chip->InitFlashImage();
  EXPECT_EQ(chip->flashWords[0], 0xFFFF);
  EXPECT_EQ(chip->flashWords[4095], 0xFFFF);
  EXPECT_EQ(chip->flashWords[4096], 0x1234);
  EXPECT_EQ(chip->flashStart, 0u);
  EXPECT_EQ(chip->flashEnd, 4095u);
  chip->InitEepromImage();
  EXPECT_EQ(chip->eepromBytes[511], 0xFF);
  EXPECT_EQ(chip->eepromBytes[512], 0x00);
  EXPECT_EQ(chip->eepromEnd, 511u);
}

TEST(ChipImage, ClampAndAlign) {
  auto chip = Chip(8192, 128, 512);
  for (auto [end, expected] : {std::pair{4096u, 4095u}, {4095u, 4095u}, {100u, 100u}}) {
    chip->flashEnd = end;
    chip->ClampFlashEnd();
    EXPECT_EQ(chip->flashEnd, expected);
  }
  chip->eepromEnd = 600;
  chip->ClampEepromEnd();
  EXPECT_EQ(chip->eepromEnd, 511u);
  chip->flashStart = 70;
  chip->flashEnd = 200;
  chip->AlignFlashPages();
  EXPECT_EQ(chip->flashPageStart, 64u);
  EXPECT_EQ(chip->flashPageEnd, 192u);
}

TEST(ChipImage, FlashBytesAreLowByteFirst) {
  auto chip = Chip(8192, 64, 512);
  chip->InitFlashImage();
  chip->SetFlashByte(0, 0x34);
  chip->SetFlashByte(1, 0x12);
  chip->SetFlashByte(5, 0xAB);
  EXPECT_EQ(chip->flashWords[0], 0x1234);
  EXPECT_EQ(chip->flashWords[2], 0xABFF);
  EXPECT_EQ(chip->FlashByte(5), 0xAB);
  EXPECT_EQ(chip->FlashByte(4), 0xFF);
}

TEST(ChipImage, DumpTextRowsFollowAbsoluteIndices) {
  auto chip = Chip(8192, 64, 512);
  chip->InitFlashImage();
  chip->InitEepromImage();
  std::string row;
  for (int i = 0; i < 16; ++i) row += "FFFF ";
  row += "\r\n";
  std::string text;
  chip->FlashDumpText(0, 32, text);
  EXPECT_EQ(text, row + row);
  chip->FlashDumpText(5, 5, text);
  EXPECT_EQ(text, "");
  chip->flashWords[17] = 0x00A0;
  chip->FlashDumpText(16, 18, text);
  EXPECT_EQ(text, "FFFF 00A0 ");

  chip->eepromBytes[16] = 0x0C;
  chip->EepromDumpText(16, 4096, text);
  EXPECT_EQ(text.size(), (512u - 16u) * 3 + (512u - 16u) / 16 * 2);
  EXPECT_EQ(text.substr(0, 6), "0C FF ");
  EXPECT_EQ(text.substr(text.size() - 5), "FF \r\n");
}

TEST(ChipImage, FuseBytesByGroup) {
  auto chip = Chip(8192, 64, 512);
  chip->FuseByte(FuseGroup::Lock) = 1;
  chip->FuseByte(FuseGroup::Extended) = 2;
  chip->FuseByte(FuseGroup::High) = 3;
  chip->FuseByte(FuseGroup::Low) = 4;
  EXPECT_EQ(chip->lockBits, 1);
  EXPECT_EQ(chip->extendedFuse, 2);
  EXPECT_EQ(chip->highFuse, 3);
  EXPECT_EQ(chip->lowFuse, 4);
}

}  // namespace
}  // namespace tolmeo
