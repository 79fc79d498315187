#include "port/virtual_avr_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "base/cp949.h"
#include "port/sim_cable.h"
#include "support/temp_folder.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;
using testing::TempFolder;

AvrMemories WrittenChip() {
  AvrMemories memories(SmallChip());
  memories.LoadPageByte(0, false, 0x12);
  memories.LoadPageByte(0, true, 0x34);
  memories.WritePage(48);
  memories.WriteEeprom(31, 0x5A);
  memories.WriteFuse(FuseByte::kLock, 0xFC);
  memories.WriteFuse(FuseByte::kHigh, 0x11);
  memories.WriteFuse(FuseByte::kLow, 0x22);
  memories.WriteFuse(FuseByte::kExtended, 0x33);
  return memories;
}

bool SameContents(const AvrMemories& a, const AvrMemories& b) {
  return a.flash() == b.flash() && a.eeprom() == b.eeprom() && a.fuses() == b.fuses();
}

TEST(VirtualAvrFileTest, RoundTripKeepsEveryMemoryAndFuse) {
  const AvrMemories written = WrittenChip();
  AvrMemories restored(SmallChip());
  ASSERT_TRUE(RestoreChip(SerialiseChip(written), restored).ok());
  EXPECT_TRUE(SameContents(written, restored));
  EXPECT_EQ(restored.FlashWord(48), 0x3412);
}

TEST(VirtualAvrFileTest, DamagedFilesAreRefusedAndChangeNothing) {
  const std::string whole = SerialiseChip(WrittenChip());
  std::string wrong_magic = whole;
  wrong_magic[0] = 'X';
  std::vector<std::string> damaged = {wrong_magic, whole + "!"};
  for (std::size_t length = 0; length < whole.size(); ++length) damaged.push_back(whole.substr(0, length));
  for (const std::string& bad : damaged) {
    AvrMemories memories(SmallChip());
    Status restored = RestoreChip(bad, memories);
    ASSERT_FALSE(restored.ok()) << bad.size();
    EXPECT_FALSE(restored.reason().empty());
    EXPECT_TRUE(SameContents(memories, AvrMemories(SmallChip())));
  }
}

TEST(VirtualAvrFileTest, FileOfAnotherChipSizeIsRefused) {
  ChipModel bigger = SmallChip();
  bigger.eepromSize = 64;
  AvrMemories memories(bigger);
  EXPECT_FALSE(RestoreChip(SerialiseChip(WrittenChip()), memories).ok());
}

class SimCableFileTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string path = folder.Cp949Path() + "chip.vavr";
};

TEST_F(SimCableFileTest, ChipIsKeptBetweenRuns) {
  {
    SimCable cable(SmallChip(), path);
    EXPECT_TRUE(cable.load_status().ok());  // no file yet: a fresh chip
    cable.chip().memories().WriteEeprom(3, 0x77);
    ASSERT_TRUE(cable.Save().ok());
  }
  SimCable again(SmallChip(), path);
  EXPECT_TRUE(again.load_status().ok());
  EXPECT_EQ(again.chip().memories().eeprom()[3], 0x77);
}

TEST_F(SimCableFileTest, ExplicitSaveWritesAtOnce) {
  SimCable cable(SmallChip(), path);
  cable.chip().memories().WriteFuse(FuseByte::kLow, 0x00);
  ASSERT_TRUE(cable.Save().ok());
  VirtualAvr reader(SmallChip());
  ASSERT_TRUE(reader.Load(path).ok());
  EXPECT_EQ(reader.memories().fuses().low, 0x00);
}

// Cut short, garbage, or made for chips of another size: the run is refused rather than
// started on a blank chip, and the file keeps its bytes.
TEST_F(SimCableFileTest, ADamagedFileRefusesTheRunAndIsLeftAsItIs) {
  std::string whole;
  {
    SimCable cable(SmallChip(), path);
    cable.chip().memories().WriteEeprom(0, 0x00);
    ASSERT_TRUE(cable.Save().ok());
    cable.set_save_on_close(false);
  }
  whole = folder.Read("chip.vavr");
  ChipModel bigger = SmallChip();
  bigger.flashSize = 256;
  for (const std::string& bytes : {whole.substr(0, whole.size() - 1), std::string("not a chip"),
                                   SerialiseChip(AvrMemories(bigger))}) {
    folder.Write("chip.vavr", bytes);
    {
      SimCable cable(SmallChip(), path);
      Status opened = cable.Open();
      ASSERT_FALSE(opened.ok());
      EXPECT_NE(opened.reason().find(path), std::string::npos);  // names the file
      EXPECT_FALSE(cable.keeps_file());
      EXPECT_FALSE(cable.Save().ok());
    }
    EXPECT_EQ(folder.Read("chip.vavr"), bytes);
  }
}

TEST_F(SimCableFileTest, LoadStartsFromErasedWhateverWasThere) {
  VirtualAvr chip(SmallChip());
  chip.memories().WriteEeprom(0, 0x00);
  EXPECT_TRUE(chip.Load(path).ok());  // missing file
  EXPECT_EQ(chip.memories().eeprom()[0], 0xFF);
}

TEST_F(SimCableFileTest, CableWithoutFileSavesNothing) {
  SimCable cable(SmallChip());
  EXPECT_TRUE(cable.Save().ok());
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(SimCableFileTest, ASecondRunOnTheSameFileIsRefusedWhileTheFirstHoldsIt) {
  SimCable first(SmallChip(), path);
  ASSERT_TRUE(first.Open().ok());
  {
    SimCable second(SmallChip(), path);
    Status opened = second.Open();
    ASSERT_FALSE(opened.ok());
    EXPECT_NE(opened.reason().find(path), std::string::npos);
    EXPECT_FALSE(second.keeps_file());
  }
  first.chip().memories().WriteEeprom(0, 0x12);
  ASSERT_TRUE(first.Save().ok());
  EXPECT_TRUE(first.Open().ok());  // the refused run took nothing from the first
}

TEST_F(SimCableFileTest, TheCableGoingAwaySavesUnlessToldNotTo) {
  {
    SimCable cable(SmallChip(), path);
    cable.chip().memories().WriteEeprom(3, 0x77);
  }
  {
    SimCable cable(SmallChip(), path);
    EXPECT_EQ(cable.chip().memories().eeprom()[3], 0x77);
    cable.chip().memories().WriteEeprom(3, 0x11);
    cable.set_save_on_close(false);
  }
  SimCable again(SmallChip(), path);
  EXPECT_EQ(again.chip().memories().eeprom()[3], 0x77);
}

TEST_F(SimCableFileTest, TheLockGoesWithTheCable) {
  { SimCable first(SmallChip(), path); }
  SimCable second(SmallChip(), path);
  EXPECT_TRUE(second.Open().ok());
  EXPECT_TRUE(second.keeps_file());  // the empty file the lock left is a fresh chip
}

// A save puts a new file under the path; the lock must follow it, or a second run takes the
// chip while the first still has it.
TEST_F(SimCableFileTest, AfterASaveTheFileStaysLockedWhileTheCableLives) {
  SimCable first(SmallChip(), path);
  ASSERT_TRUE(first.Save().ok());
  SimCable second(SmallChip(), path);
  EXPECT_FALSE(second.Open().ok());
  EXPECT_TRUE(first.Open().ok());
}

// Runs racing for one file, each adding one to a counter the chip keeps: every run that was
// let in must find the count the one before it saved.
TEST_F(SimCableFileTest, RacingRunsLoseNoUpdate) {
  constexpr int kRunsPerThread = 150;
  std::atomic<int> runs_let_in{0};
  auto race = [&] {
    for (int i = 0; i < kRunsPerThread; ++i) {
      SimCable cable(SmallChip(), path);
      cable.set_save_on_close(false);
      if (!cable.Open().ok()) continue;
      AvrMemories& memories = cable.chip().memories();
      const int count = memories.eeprom()[0] << 8 | memories.eeprom()[1];
      memories.WriteEeprom(0, static_cast<std::uint8_t>((count + 1) >> 8));
      memories.WriteEeprom(1, static_cast<std::uint8_t>(count + 1));
      ASSERT_TRUE(cable.Save().ok());
      ++runs_let_in;
    }
  };
  {
    VirtualAvr fresh(SmallChip());
    fresh.memories().WriteEeprom(0, 0x00);
    fresh.memories().WriteEeprom(1, 0x00);
    ASSERT_TRUE(fresh.Save(path).ok());
  }
  std::thread one(race), two(race);
  one.join();
  two.join();
  VirtualAvr result(SmallChip());
  ASSERT_TRUE(result.Load(path).ok());
  EXPECT_EQ(result.memories().eeprom()[0] << 8 | result.memories().eeprom()[1], runs_let_in.load());
  EXPECT_GT(runs_let_in.load(), 0);
}

TEST_F(SimCableFileTest, ASaveThatFailsSaysSo) {
  SimCable cable(SmallChip(), path);
  std::filesystem::remove(Utf8FromCp949(path));
  std::filesystem::create_directory(Utf8FromCp949(path));  // a folder where the file was
  Status saved = cable.Save();
  ASSERT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find(path), std::string::npos);
}

}  // namespace
}  // namespace tolmeo
