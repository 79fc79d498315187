#include "isp/device_description.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/cp949.h"
#include "base/file_system.h"
#include "formats/formats_testing.h"
#include "isp/hex_documents.h"
#include "support/recording_seam.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::HexData;
using testing::HexEnd;
using testing::K;

// A small chip: 8 KB Flash in 64-byte pages, 512 bytes of EEPROM, a few named bits.
std::string SmallChipText(std::string_view flash_size = "00008192") {
  std::string text = "<Flash페이지크기>\r\n0064\r\n<Flash크기>\r\n" + std::string(flash_size) +
                     "\r\n<EEprom크기>\r\n00000512\r\n<고유번호>\r\n1e 93 07\r\n";
  for (std::string_view tag : {"<보안설정>", "<확장설정>", "<상위설정>", "<하위설정>"}) {
    text += std::string(tag) + "\r\n";
    for (int bit = 7; bit >= 0; --bit) {
      text += std::to_string(bit) + " B" + std::to_string(bit) + (bit == 5 ? " * 고정" : " - ") +
              "\r\n";
    }
  }
  return K(text + "<Flash기록시간>\r\n05\r\n<EEprom기록시간>\r\n09\r\n<끝>\r\n");
}

class DeviceDescriptions : public ::testing::Test {
 protected:
  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  testing::RecordingSeam seam;
  testing::TempFolder folder;
};

TEST_F(DeviceDescriptions, LoadingPutsTheDescriptionInForce) {
  image->flashWords[10] = 0x1234;
  image->eepromBytes[10] = 0x12;
  std::string path = folder.Write("m8.avrspec", SmallChipText());
  ASSERT_TRUE(LoadDescription(path, *image, seam).ok());
  EXPECT_EQ(image->flashPageSize, 64u);
  EXPECT_EQ(image->flashSize, 8192u);
  EXPECT_EQ(image->eepromSize, 512u);
  EXPECT_EQ(image->signature, (std::array<std::uint8_t, 3>{0x1E, 0x93, 0x07}));
  EXPECT_EQ(image->flashWriteDelay, 5);
  EXPECT_EQ(image->eepromWriteDelay, 9);
  for (FuseGroup group : kFuseGroups) EXPECT_EQ(image->FuseByte(group), 0xDF);
  EXPECT_EQ(image->bits.Box(FuseGroup::High, 5).name, "B5");
  EXPECT_TRUE(image->bits.Box(FuseGroup::High, 5).checked);
  EXPECT_TRUE(image->bits.Box(FuseGroup::High, 5).fixed);
  EXPECT_FALSE(image->bits.Box(FuseGroup::High, 4).fixed);
  EXPECT_EQ(image->flashWords[10], 0xFFFF);  // both images erased, ranges the whole chip
  EXPECT_EQ(image->eepromBytes[10], 0xFF);
  EXPECT_EQ(image->flashEnd, 4095u);
  EXPECT_EQ(image->eepromEnd, 511u);
  EXPECT_EQ(seam.calls, (std::vector<std::string>{"bits", "image"}));
}

TEST_F(DeviceDescriptions, ARefusedFileChangesNothing) {
  ASSERT_TRUE(LoadDescription(folder.Write("a.avrspec", SmallChipText()), *image, seam).ok());
  seam.calls.clear();
  image->flashWords[0] = 0x1111;
  std::string bad = folder.Write("b.avrspec", SmallChipText("00000000"));
  Status refused = LoadDescription(bad, *image, seam);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.reason().find(bad), std::string::npos);
  EXPECT_EQ(image->flashSize, 8192u);
  EXPECT_EQ(image->flashWords[0], 0x1111);
  EXPECT_EQ(image->bits.Box(FuseGroup::Low, 3).name, "B3");
  EXPECT_TRUE(seam.calls.empty());
  EXPECT_FALSE(LoadDescription(folder.Cp949Path() + "none.avrspec", *image, seam).ok());
}

TEST_F(DeviceDescriptions, LoadingReReadsOpenDocumentsKeepingTheirPaths) {
  std::string hex = folder.Write("a.hex", HexData(0x10, {0xAB, 0xCD}) + "\r\n" + HexEnd() + "\r\n");
  image->documents = DocumentPaths{hex, hex};
  ASSERT_TRUE(LoadDescription(folder.Write("a.avrspec", SmallChipText()), *image, seam).ok());
  EXPECT_EQ(image->flashWords[8], 0xCDAB);
  EXPECT_EQ(image->flashEnd, 8u);
  EXPECT_EQ(image->eepromBytes[0x11], 0xCD);
  EXPECT_EQ(image->eepromEnd, 0x11u);
  EXPECT_EQ(image->documents.flash, hex);
  EXPECT_EQ(seam.calls, (std::vector<std::string>{"bits", "image"}));
}

TEST_F(DeviceDescriptions, SaveWritesTheBitEditorsCurrentBoxes) {
  std::string path = folder.Write("a.avrspec", SmallChipText());
  ASSERT_TRUE(LoadDescription(path, *image, seam).ok());
  image->bits.Box(FuseGroup::Low, 0) = BitBox{true, K("새이름"), true};
  std::string copy = folder.Cp949Path() + "copy.avrspec";
  ASSERT_TRUE(SaveDescription(copy, *image).ok());
  EXPECT_EQ(image->lowFuse, 0xDE);  // collected before writing
  auto second = std::make_unique<ChipImage>();
  testing::RecordingSeam second_seam;
  ASSERT_TRUE(LoadDescription(copy, *second, second_seam).ok());
  EXPECT_EQ(second->lowFuse, 0xDE);
  EXPECT_EQ(second->bits.Box(FuseGroup::Low, 0).name, K("새이름"));
  EXPECT_TRUE(second->bits.Box(FuseGroup::Low, 0).fixed);
  EXPECT_EQ(second->flashSize, image->flashSize);
  EXPECT_EQ(second->signature, image->signature);
}

TEST_F(DeviceDescriptions, AnUnsavableDescriptionLeavesTheFileAsItWas) {
  std::string path = folder.Write("a.avrspec", SmallChipText());
  ASSERT_TRUE(LoadDescription(path, *image, seam).ok());
  image->bits.Box(FuseGroup::Lock, 1).name = "two words";
  EXPECT_FALSE(SaveDescription(path, *image).ok());
  EXPECT_EQ(folder.Read("a.avrspec"), SmallChipText());
}

TEST_F(DeviceDescriptions, NamesAndPathsComeFromTheRunFolder) {
  folder.Write("AvrSpec/ATtiny13.avrspec", "");
  folder.Write("AvrSpec/ATmega8.avrspec", "");
  folder.Write("AvrSpec/notes.txt", "");
  SetExeFolderForTesting(folder.Cp949Path());
  EXPECT_EQ(ListDescriptions(), (std::vector<std::string>{"ATmega8", "ATtiny13"}));
  EXPECT_EQ(DescriptionPath("  ATmega8 "), folder.Cp949Path() + "AvrSpec/ATmega8.avrspec");
  SetExeFolderForTesting(folder.Cp949Path() + "empty");
  EXPECT_TRUE(ListDescriptions().empty());
  SetExeFolderForTesting("");
}

// Installed, the user's own descriptions sit in a folder of their own that shadows the shipped
// one: the device menu lists both, and a name in both is the user's.
TEST_F(DeviceDescriptions, TheUsersDescriptionsShadowTheShippedOnes) {
  folder.Write("usr/share/tolmeo/AvrSpec/ATmega8.avrspec", "shipped");
  folder.Write("usr/share/tolmeo/AvrSpec/ATtiny13.avrspec", "shipped");
  folder.Write("config/tolmeo/AvrSpec/ATmega8.avrspec", "mine");
  folder.Write("config/tolmeo/AvrSpec/Board.avrspec", "mine");
  std::filesystem::create_directories(folder.path() / "usr/bin");
  testing::ScopedVariable config_home("XDG_CONFIG_HOME", (folder.path() / "config").string());
  SetExeFolderForTesting(folder.Cp949Path() + "usr/bin/");
  const std::string own = folder.Cp949Path() + "config/tolmeo/AvrSpec/";
  EXPECT_EQ(ListDescriptions(), (std::vector<std::string>{"ATmega8", "ATtiny13", "Board"}));
  EXPECT_EQ(DescriptionPath("ATmega8"), own + "ATmega8.avrspec");
  EXPECT_EQ(DescriptionPath("Board"), own + "Board.avrspec");
  EXPECT_EQ(DescriptionPath("ATtiny13"), folder.Cp949Path() + "usr/share/tolmeo/AvrSpec/ATtiny13.avrspec");
  EXPECT_EQ(DescriptionFolder(), own);  // where the bit editor saves
  SetExeFolderForTesting("");
}

}  // namespace
}  // namespace tolmeo
