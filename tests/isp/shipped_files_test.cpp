// The data files the run folder ships with must read as the readers expect.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/cp949.h"
#include "base/file_system.h"
#include "isp/device_description.h"
#include "formats/ide_options.h"
#include "support/recording_seam.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::RecordingSeam;
using testing::TempFolder;

const std::string kDataFolder = TOLMEO_SOURCE_DIR "/data/";

// The defaults, with an empty picture path: a path of the build machine has no place in the
// shipped file, and the memory viewer turns an empty path into the run folder's default picture.
TEST(ShippedFiles, OptionsFileHoldsTheDefaultsInTheWritersLayout) {
  auto shipped = ReadWholeFile(kDataFolder + "opt/opt.opt");
  ASSERT_TRUE(shipped.ok()) << shipped.reason();
  IdeOptions defaults = DefaultOptions();
  defaults.backgroundPicturePath.clear();
  EXPECT_EQ(*shipped, FormatOptions(defaults));
  EXPECT_EQ(ParseOptions(*shipped), defaults);
}

void ExpectSameDescription(const ChipImage& a, const ChipImage& b, const std::string& name) {
  EXPECT_EQ(a.flashPageSize, b.flashPageSize) << name;
  EXPECT_EQ(a.flashSize, b.flashSize) << name;
  EXPECT_EQ(a.eepromSize, b.eepromSize) << name;
  EXPECT_EQ(a.signature, b.signature) << name;
  EXPECT_EQ(a.flashWriteDelay, b.flashWriteDelay) << name;
  EXPECT_EQ(a.eepromWriteDelay, b.eepromWriteDelay) << name;
  for (FuseGroup group : kFuseGroups) {
    for (int bit = 0; bit < 8; ++bit) {
      const BitBox& box_a = a.bits.Box(group, bit);
      const BitBox& box_b = b.bits.Box(group, bit);
      EXPECT_EQ(box_a.name, box_b.name) << name;
      EXPECT_EQ(box_a.fixed, box_b.fixed) << name;
      EXPECT_EQ(box_a.checked, box_b.checked) << name;
    }
  }
  EXPECT_EQ(a.lockBits, b.lockBits) << name;
  EXPECT_EQ(a.extendedFuse, b.extendedFuse) << name;
  EXPECT_EQ(a.highFuse, b.highFuse) << name;
  EXPECT_EQ(a.lowFuse, b.lowFuse) << name;
}

TEST(ShippedFiles, EveryDescriptionLoadsAndSurvivesASaveAndLoad) {
  std::vector<std::string> names = ListFolder(kDataFolder + "AvrSpec/", "avrspec");
  if (names.empty()) GTEST_SKIP() << "no descriptions in data/AvrSpec yet";
  TempFolder folder;
  for (const std::string& name : names) {
    auto first = std::make_unique<ChipImage>();
    auto second = std::make_unique<ChipImage>();
    RecordingSeam first_seam, second_seam;
    Status loaded = LoadDescription(kDataFolder + "AvrSpec/" + name, *first, first_seam);
    ASSERT_TRUE(loaded.ok()) << Utf8FromCp949(loaded.reason());
    std::string copy = folder.Cp949Path() + name;
    Status saved = SaveDescription(copy, *first);
    ASSERT_TRUE(saved.ok()) << Utf8FromCp949(saved.reason());
    ASSERT_TRUE(LoadDescription(copy, *second, second_seam).ok()) << name;
    ExpectSameDescription(*first, *second, name);
  }
}

}  // namespace
}  // namespace tolmeo
