// The engine on the GPIO and FTDI cables' twins: what each cable says it can do, reads queued
// a page at a time where every exchange costs a USB transfer, and an FTDI transfer that fails
// or comes back short anywhere in a run never ends in success with a wrong chip.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "isp/cable_choice.h"
#include "port/ftdi_cable.h"
#include "port/ftdi_twin.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;

FtdiTwin& TwinOf(SimBench& b) {
  return dynamic_cast<FtdiTwin&>(dynamic_cast<FtdiCable&>(*b.session->rig().cable).device());
}

std::vector<std::uint8_t> Firmware(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
  return bytes;
}

bool ChipHolds(SimBench& b, const std::vector<std::uint8_t>& bytes) {
  const std::vector<std::uint8_t>& flash = b.chip().memories().flash();
  return std::equal(bytes.begin(), bytes.end(), flash.begin());
}

TEST(BitBangTwins, CableTextsNameTheRealCableOrItsTwin) {
  Result<CableSetting> gpio = ParseCableText("gpio:gpiochip1:5,6,7,8");
  ASSERT_TRUE(gpio.ok());
  EXPECT_EQ(gpio->kind, CableKind::Gpio);
  EXPECT_FALSE(gpio->simulated);
  EXPECT_EQ(gpio->gpio.chip, "gpiochip1");
  Result<CableSetting> ftdi = ParseCableText("ftdi:A50285BI:SCK=CTS");
  ASSERT_TRUE(ftdi.ok());
  EXPECT_EQ(ftdi->kind, CableKind::Ftdi);
  EXPECT_EQ(ftdi->ftdi.serial, "A50285BI");
  EXPECT_EQ(ftdi->ftdi.sck, 3);
  EXPECT_EQ(ParseCableText("ftdi")->ftdi.serial, "");
  Result<CableSetting> twin = ParseCableText("ftdi:sim,dead-page=64,clock=8");
  ASSERT_TRUE(twin.ok());
  EXPECT_TRUE(twin->simulated);
  EXPECT_EQ(twin->faults.dead_flash_page, 64u);
  EXPECT_EQ(ParseCableText("gpio:sim:chip.sim")->file, "chip.sim");
  for (const char* bad : {"gpio:", "gpio:gpiochip0:1,2,3", "gpio:sim,nonsense", "ftdi:A1:SCK=XX", "ftdi:sim:"}) {
    EXPECT_FALSE(ParseCableText(bad).ok()) << bad;
  }
  // A text that does not parse gives a cable that never opens, with the reason.
  ChipImage image;
  EXPECT_FALSE(MakeCable("gpio:gpiochip0:1,1,2,3", image).cable->Open().ok());
}

TEST(BitBangTwins, OnlyACableAtItsOwnPaceClocksItselfAndQueuesReads) {
  for (const char* cable : {"sim", "gpio:sim", "ftdi:sim"}) {
    SimBench b(64, cable);
    const LinkCapabilities capabilities = b.session->instructions().link().Capabilities();
    const bool own_pace = std::string(cable) == "ftdi:sim";
    EXPECT_EQ(capabilities.engine_clocks_sck, !own_pace) << cable;
    EXPECT_EQ(capabilities.queued_reads, own_pace) << cable;
    EXPECT_TRUE(capabilities.echoes);
  }
}

TEST(BitBangTwins, EachWritesAndVerifiesAWholeImage) {
  const std::vector<std::uint8_t> firmware = Firmware(1500);
  for (const char* cable : {"gpio:sim", "ftdi:sim", "ftdi-mpsse:sim"}) {
    SimBench b(64, cable);
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, firmware));
    EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone) << cable;
    EXPECT_TRUE(ChipHolds(b, firmware)) << cable;
    EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kDone) << cable;
  }
}

TEST(BitBangTwins, FtdiReadsAPageInAFewTransfers) {
  SimBench b(64, "ftdi:sim");
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, Firmware(2048)));
  ASSERT_EQ(b.programmer().FlashWrite(), CommandOutcome::kDone);
  const CableStats before = b.session->Stats();
  ASSERT_EQ(b.programmer().FlashVerify(), CommandOutcome::kDone);
  const CableStats after = b.session->Stats();
  const std::int64_t words = 1024;
  // One exchange per read would be four transfers a word; a page of reads in one batch comes
  // to two for every piece of the chip's buffers, with some for entry, signature and one probe
  // for a page whose echoes cannot tell.
  const std::int64_t pieces = (after.accesses - before.accesses + 383) / 384;
  EXPECT_LE(after.transfers - before.transfers, 2 * pieces + 100);
  EXPECT_LT(after.transfers - before.transfers, words);
}

void ExpectNoFalseSuccess(const std::function<void(FtdiTwin&, int)>& fault) {
  const std::vector<std::uint8_t> firmware = Firmware(600);
  SimBench whole(64, "ftdi:sim");
  whole.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, firmware));
  ASSERT_EQ(whole.programmer().AutoSequence(), CommandOutcome::kDone);
  const int transfers = static_cast<int>(whole.session->Stats().transfers);
  for (int at = 1; at < transfers; at += transfers / 23 + 3) {
    SimBench b(64, "ftdi:sim");
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, firmware));
    fault(TwinOf(b), at);
    const CommandOutcome outcome = b.programmer().AutoSequence();
    if (outcome == CommandOutcome::kDone) {
      EXPECT_TRUE(ChipHolds(b, firmware)) << "fault at " << at;
    } else {
      EXPECT_EQ(outcome, CommandOutcome::kChipFailed) << "fault at " << at;
      EXPECT_EQ(b.seam.notices.size(), 1u) << "fault at " << at;
    }
  }
}

TEST(BitBangTwins, AFailedFtdiTransferNeverEndsInSuccessWithAWrongChip) {
  ExpectNoFalseSuccess([](FtdiTwin& twin, int at) { twin.fail_after_transfers = at; });
}

TEST(BitBangTwins, AShortFtdiWriteOrLostReadBackNeverEndsInSuccessWithAWrongChip) {
  ExpectNoFalseSuccess([](FtdiTwin& twin, int at) { twin.short_writes_after = at / 2; });
  ExpectNoFalseSuccess([](FtdiTwin& twin, int at) { twin.lose_reads_after = at / 2; });
}

TEST(BitBangTwins, ReadBackSplitIntoSmallReadsStillVerifies) {
  SimBench b(64, "ftdi:sim");
  TwinOf(b).read_limit = 62;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, Firmware(700)));
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
}

}  // namespace
}  // namespace tolmeo
