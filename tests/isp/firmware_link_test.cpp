// The engine over a programmer with its own firmware: whole pages, and no echo handed back
// (as an Arduino as ISP answers only the fourth byte). The virtual chip stands behind it; a
// chip that is gone or will not take a write never ends in "done".
#include <gtest/gtest.h>

#include "isp/programmer.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

// Pages and instructions carried out on the virtual chip, only the answer byte handed back.
class PageFirmware : public IspLink {
 public:
  PageFirmware(Cable& cable, Clock& clock, const std::int32_t& speed) : driver_(cable, clock, speed) {}
  Status Open() override { return link_.Open(); }
  bool Opened() const override { return link_.Opened(); }
  LinkCapabilities Capabilities() const override { return {false, true, true, false, 0}; }
  bool EnterProgramming(std::int64_t phase_ns) override { return link_.EnterProgramming(phase_ns); }
  void ReleaseTarget() override { link_.ReleaseTarget(); }
  void Send(const Instruction& instruction) override { link_.Send(instruction); }
  IspReply Query(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) override {
    return {0, link_.Query(b0, b1, b2).value};
  }
  void SleepMs(std::int32_t milliseconds) override { link_.SleepMs(milliseconds); }
  bool WriteFlashPage(std::uint32_t word_address, std::span<const std::uint16_t> words) override {
    for (std::uint8_t i = 0; i < words.size(); ++i) {
      link_.Send({0x40, 0x00, i, static_cast<std::uint8_t>(words[i])});
      link_.Send({0x48, 0x00, i, static_cast<std::uint8_t>(words[i] >> 8)});
    }
    link_.Send({0x4C, static_cast<std::uint8_t>(word_address >> 8), static_cast<std::uint8_t>(word_address), 0});
    link_.SleepMs(5);
    ++pages_written;
    return true;
  }
  bool ReadFlash(std::uint32_t word_address, std::span<std::uint16_t> words) override {
    for (std::uint32_t i = 0; i < words.size(); ++i) {
      const std::uint32_t at = word_address + i;
      const auto high = link_.Query(0x28, static_cast<std::uint8_t>(at >> 8), static_cast<std::uint8_t>(at)).value;
      const auto low = link_.Query(0x20, static_cast<std::uint8_t>(at >> 8), static_cast<std::uint8_t>(at)).value;
      words[i] = static_cast<std::uint16_t>(high << 8 | low);
    }
    return true;
  }
  bool WriteEeprom(std::uint32_t address, std::span<const std::uint8_t> bytes) override {
    for (std::uint32_t i = 0; i < bytes.size(); ++i) {
      link_.Send({0xC0, static_cast<std::uint8_t>((address + i) >> 8), static_cast<std::uint8_t>(address + i), bytes[i]});
      link_.SleepMs(9);
    }
    return true;
  }
  bool ReadEeprom(std::uint32_t address, std::span<std::uint8_t> bytes) override {
    for (std::uint32_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = link_.Query(0xA0, static_cast<std::uint8_t>((address + i) >> 8), static_cast<std::uint8_t>(address + i)).value;
    }
    return true;
  }
  CableStats Stats() const override { return {}; }

  int pages_written = 0;

 private:
  LineDriver driver_;
  BitBangLink link_{driver_};
};

struct FirmwareBench : testing::SimBench {
  FirmwareBench() { firmware.Open(); }
  PageFirmware firmware{*session->rig().cable, *session->rig().clock, speed};
  IspInstructions isp{firmware, *image, seam, speed};
  Programmer programmer{isp, *image, seam};
};

const std::vector<std::uint8_t> kCode = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

TEST(FirmwareLink, AnAutomaticSequenceGoesByPagesAndLeavesTheChipRight) {
  FirmwareBench b;
  b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0x80, kCode));
  b.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(3, {0xAB, 0xCD}));
  ASSERT_EQ(b.programmer.AutoSequence(), CommandOutcome::kDone);
  EXPECT_GT(b.firmware.pages_written, 0);
  EXPECT_EQ(b.chip().memories().flash()[0x80], 1);
  EXPECT_EQ(b.chip().memories().eeprom()[4], 0xCD);
}

TEST(FirmwareLink, WithoutAnEchoAPulledCableOrADeadPageOrStuckFusesNeverEndsDone) {
  for (std::int64_t pull : {2000, 5000, 9000, 10000}) {
    FirmwareBench b;
    b.chip().faults.pull_cable_after_changes = pull;
    b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
    EXPECT_NE(b.programmer.AutoSequence(), CommandOutcome::kDone) << pull;
  }
  FirmwareBench reading;  // pulled in the middle of a whole-chip read
  reading.chip().faults.pull_cable_after_changes = 50000;
  EXPECT_NE(reading.programmer.FlashRead(), CommandOutcome::kDone);
  FirmwareBench dead;
  dead.chip().faults.dead_flash_page = 0;
  dead.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  EXPECT_EQ(dead.programmer.AutoSequence(), CommandOutcome::kChipFailed);
  FirmwareBench stuck;
  stuck.chip().faults.stuck_fuses = true;
  stuck.SetBoxes(FuseGroup::Low, 0x62);
  EXPECT_EQ(stuck.programmer.FuseByteWrite(FuseGroup::Low), CommandOutcome::kChipFailed);
}

}  // namespace
}  // namespace tolmeo
