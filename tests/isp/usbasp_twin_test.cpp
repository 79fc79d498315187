// The real USBasp code against its virtual twin, chosen by the cable text as a user chooses it:
// the engine's commands go through the USB requests into the twin's firmware and from there as
// ISP instructions into the virtual chip. A chip that is gone, will not take a write or loses
// its programmer mid-page never ends in "done".
#include <gtest/gtest.h>

#include <algorithm>

#include "isp/cable_choice.h"
#include "isp/programmer.h"
#include "isp/usbasp_twin.h"
#include "port/usbasp_link.h"
#include "port/usbasp_protocol.h"
#include "port/virtual_clock.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

struct UsbaspBench : testing::SimBench {
  explicit UsbaspBench(const std::string& knobs = {}, std::uint32_t page_bytes = 64)
      : SimBench(page_bytes, "usbasp:sim" + knobs) {}
  UsbaspTwin& twin() { return static_cast<UsbaspTwin&>(*session->rig().usb); }
  UsbaspLink& link() { return static_cast<UsbaspLink&>(session->instructions().link()); }
  std::string LastNotice() const { return seam.notices.empty() ? std::string() : seam.notices.back().text; }
};

const std::vector<std::uint8_t> kCode = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

std::vector<std::uint8_t> Ramp(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

TEST(UsbaspTwin, AnAutomaticSequenceGoesByUsbRequestsAndLeavesTheChipRight) {
  for (std::uint32_t page_bytes : {64u, 128u, 256u}) {
    UsbaspBench b({}, page_bytes);
    b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0x80, Ramp(600)));
    b.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(3, {0xAB, 0xCD}));
    b.SetBoxes(FuseGroup::Low, 0x62);
    ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone) << page_bytes << b.LastNotice();
    const std::vector<std::uint8_t> ramp = Ramp(600);
    EXPECT_TRUE(std::equal(ramp.begin(), ramp.end(), b.chip().memories().flash().begin() + 0x80)) << page_bytes;
    EXPECT_EQ(b.chip().memories().flash()[0x7F], 0xFF);
    EXPECT_EQ(b.chip().memories().eeprom()[4], 0xCD);
    EXPECT_EQ(b.chip().memories().fuses().low, 0x62);
    EXPECT_EQ(b.twin().sck_option(), 8) << "93.75 kHz for the shipped speed and a 1 MHz chip";
    const auto& requests = b.twin().requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), usbasp::kWriteFlash), requests.end());
    EXPECT_NE(std::find(requests.begin(), requests.end(), usbasp::kReadEeprom), requests.end());
    EXPECT_EQ(b.chip().misheard_bits(), 0);
  }
}

TEST(UsbaspTwin, TheSckFollowsTheIspSpeedAndTooFastForTheChipNeverEndsDone) {
  UsbaspBench fast_chip(",clock=16");
  fast_chip.speed = 1;  // 250 ns phases: 1.5 MHz
  fast_chip.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  ASSERT_EQ(fast_chip.programmer().AutoSequence(), CommandOutcome::kDone) << fast_chip.LastNotice();
  EXPECT_EQ(fast_chip.twin().sck_option(), 12);

  UsbaspBench slow_chip;  // 1 MHz, and the ISP speed of an 8 MHz chip
  slow_chip.speed = 2;
  slow_chip.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  EXPECT_NE(slow_chip.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_EQ(slow_chip.twin().sck_option(), 11);
}

TEST(UsbaspTwin, AnOldFirmwareRunsAFastChipAndSaysWhyItWillNotRunASlowOne) {
  UsbaspBench slow_chip;
  slow_chip.twin().old_firmware = true;
  EXPECT_EQ(slow_chip.programmer().Erase(), CommandOutcome::kChipFailed);
  EXPECT_NE(slow_chip.LastNotice().find("375 kHz"), std::string::npos) << slow_chip.LastNotice();
  EXPECT_EQ(slow_chip.chip().chip_erases(), 0);

  UsbaspBench fast_chip(",clock=8");
  fast_chip.twin().old_firmware = true;
  fast_chip.speed = 4;  // 1 us phases: the firmware's own 1.33 us serve them
  fast_chip.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  ASSERT_EQ(fast_chip.programmer().AutoSequence(), CommandOutcome::kDone) << fast_chip.LastNotice();
  EXPECT_EQ(fast_chip.twin().sck_option(), 0);
  EXPECT_EQ(fast_chip.chip().memories().flash()[16], 17);
}

TEST(UsbaspTwin, APulledCableADeadPageOrStuckFusesNeverEndDone) {
  for (std::int64_t pull : {500, 2000, 9000, 30000}) {
    UsbaspBench b(",pull-after=" + std::to_string(pull));
    b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, Ramp(300)));
    b.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(0, {1, 2, 3}));
    EXPECT_NE(b.programmer().AutoSequence(), CommandOutcome::kDone) << pull;
  }
  UsbaspBench reading(",pull-after=50000");  // pulled in the middle of a whole-chip read
  EXPECT_NE(reading.programmer().FlashRead(), CommandOutcome::kDone);
  UsbaspBench dead(",dead-page=0");
  dead.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  EXPECT_EQ(dead.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  UsbaspBench dead_eeprom(",dead-eeprom=2");
  dead_eeprom.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(0, {1, 2, 3}));
  EXPECT_EQ(dead_eeprom.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  UsbaspBench stuck(",stuck-fuses");
  stuck.SetBoxes(FuseGroup::Low, 0x62);
  EXPECT_EQ(stuck.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kChipFailed);
  UsbaspBench absent(",absent");
  EXPECT_EQ(absent.programmer().Erase(), CommandOutcome::kChipFailed);
  UsbaspBench foreign(",signature=1E9514");
  foreign.seam.confirm_answers.push_back(false);
  EXPECT_EQ(foreign.programmer().Erase(), CommandOutcome::kChipFailed);  // answered Cancel
}

// The transfer that fails is the second block of a 256-byte page: the page is half loaded.
TEST(UsbaspTwin, AUsbTransferFailingMidPageNeverEndsDone) {
  std::int64_t second_block = -1;
  {
    UsbaspBench clean({}, 256);
    clean.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, Ramp(300)));
    ASSERT_EQ(clean.programmer().FlashWrite(), CommandOutcome::kDone);
    const auto& requests = clean.twin().requests();
    auto first = std::find(requests.begin(), requests.end(), usbasp::kWriteFlash);
    ASSERT_NE(first, requests.end());
    ASSERT_EQ(first[1], usbasp::kWriteFlash);
    second_block = first + 1 - requests.begin();
  }
  UsbaspBench b({}, 256);
  b.twin().fail_from_transfer = second_block;
  b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, Ramp(300)));
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  EXPECT_TRUE(b.link().Lost());
}

TEST(UsbaspTwin, ChipsBeyondSixtyFourKilobytesAreReachedByTheLongAddress) {
  ChipModel model;
  model.flashSize = 131072;
  model.flashPageSize = 256;
  UsbaspTwin twin(model);
  VirtualClock clock;
  UsbaspLink link(twin, clock);
  ASSERT_TRUE(link.Open().ok());
  ASSERT_TRUE(link.EnterProgramming(4000));
  std::vector<std::uint16_t> words(128);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(0xA500 + i);
  ASSERT_TRUE(link.WriteFlashPage(0xFF80, words));
  std::vector<std::uint16_t> read(128);
  ASSERT_TRUE(link.ReadFlash(0xFF80, read));
  EXPECT_EQ(read, words);
  EXPECT_EQ(twin.chip().memories().flash()[0x1FF00], 0x00);
  EXPECT_EQ(twin.chip().memories().flash()[0x1FF01], 0xA5);
  EXPECT_EQ(twin.chip().memories().flash()[0xFF01], 0xFF);  // the low half is untouched
}

TEST(UsbaspTwin, CableTextNamesTheSerialOrTheTwinWithTheKnobsOfSim) {
  Result<CableSetting> plain = ParseCableText("usbasp");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->kind, CableKind::Usbasp);
  EXPECT_FALSE(plain->simulated);
  EXPECT_TRUE(plain->usb_serial.empty());
  Result<CableSetting> serial = ParseCableText("usbasp:0001");
  ASSERT_TRUE(serial);
  EXPECT_EQ(serial->usb_serial, "0001");
  Result<CableSetting> twin = ParseCableText("usbasp:sim:chip.sim,pull-after=7,clock=8");
  ASSERT_TRUE(twin);
  EXPECT_TRUE(twin->kind == CableKind::Usbasp && twin->simulated);
  EXPECT_EQ(twin->file, "chip.sim");
  EXPECT_EQ(twin->faults.pull_cable_after_changes, 7);
  EXPECT_EQ(twin->clock_hz, 8'000'000);
  EXPECT_FALSE(ParseCableText("usbasp:sim,fast"));
  EXPECT_FALSE(ParseCableText("usbasp:sim:"));
}

}  // namespace
}  // namespace tolmeo
