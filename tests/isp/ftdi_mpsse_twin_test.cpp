// The engine on the MPSSE link over the fake FT2232H, chosen by the cable text as a user
// chooses it: a random image and the fuses go in and read back, the SCK follows the ISP speed
// so a chip too slow for it fails and the right speed works, and a transfer that fails or comes
// back short anywhere in a run, an absent chip or a foreign one never end in success.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "isp/cable_choice.h"
#include "port/ftdi_mpsse_link.h"
#include "port/ftdi_mpsse_twin.h"
#include "port/mpsse_protocol.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;

struct MpsseBench : SimBench {
  explicit MpsseBench(const std::string& knobs = {}) : SimBench(64, "ftdi-mpsse:sim" + knobs) {}
  FtdiMpsseLink& link() { return dynamic_cast<FtdiMpsseLink&>(session->instructions().link()); }
  FtdiMpsseTwin& twin() { return dynamic_cast<FtdiMpsseTwin&>(link().device()); }
  bool ChipHolds(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    const std::vector<std::uint8_t>& flash = chip().memories().flash();
    return std::equal(bytes.begin(), bytes.end(), flash.begin() + address);
  }
};

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

TEST(FtdiMpsse, CableTextsNameTheLinkOrItsTwinAndSayWhatIsWrong) {
  Result<CableSetting> real = ParseCableText("ftdi-mpsse:FT4ABC:RESET=D6");
  ASSERT_TRUE(real.ok());
  EXPECT_EQ(real->kind, CableKind::FtdiMpsse);
  EXPECT_FALSE(real->simulated);
  EXPECT_EQ(real->ftdi.serial, "FT4ABC");
  EXPECT_EQ(real->ftdi.reset, 6);
  EXPECT_EQ(ParseCableText("ftdi-mpsse")->ftdi.reset, mpsse::kDefaultResetPin);
  Result<CableSetting> twin = ParseCableText("ftdi-mpsse:sim:chip.sim,dead-page=64,clock=8");
  ASSERT_TRUE(twin.ok());
  EXPECT_EQ(twin->kind, CableKind::FtdiMpsse);
  EXPECT_TRUE(twin->simulated);
  EXPECT_EQ(twin->file, "chip.sim");
  EXPECT_EQ(twin->faults.dead_flash_page, 64u);
  EXPECT_EQ(twin->clock_hz, 8'000'000);
  EXPECT_EQ(ParseCableText("ftdi:sim")->kind, CableKind::Ftdi);  // bit-bang stays itself
  for (const char* bad : {"ftdi-mpsse:A:RESET=D2", "ftdi-mpsse:sim:", "ftdi-mpsse:sim,nonsense", "ftdi-mpsse:A:SCK=D4"}) {
    EXPECT_FALSE(ParseCableText(bad).ok()) << bad;
  }
  ChipImage image;
  EXPECT_FALSE(MakeCable("ftdi-mpsse:A:RESET=D0", image).cable->Open().ok());
}

TEST(FtdiMpsse, ClocksItselfEchoesAndQueuesReads) {
  MpsseBench b;
  const LinkCapabilities capabilities = b.link().Capabilities();
  EXPECT_FALSE(capabilities.engine_clocks_sck);
  EXPECT_TRUE(capabilities.queued_reads);
  EXPECT_TRUE(capabilities.echoes);
  EXPECT_FALSE(capabilities.flash_pages);
}

TEST(FtdiMpsse, WritesAndVerifiesARandomImageEepromAndFuses) {
  MpsseBench b;
  const std::vector<std::uint8_t> code = RandomBytes(3000, 17);
  const std::vector<std::uint8_t> data = RandomBytes(40, 18);
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x40, code));
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(5, data));
  b.SetBoxes(FuseGroup::Low, 0x62);
  b.SetBoxes(FuseGroup::High, 0xD1);
  ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_TRUE(b.ChipHolds(0x40, code));
  EXPECT_EQ(b.chip().memories().flash()[0x3F], 0xFF);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), b.chip().memories().eeprom().begin() + 5));
  EXPECT_EQ(b.chip().memories().fuses().low, 0x62);
  EXPECT_EQ(b.chip().memories().fuses().high, 0xD1);
  const CableStats before = b.session->Stats();
  EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kDone);
  // A page of reads is one write and one read, with a few transfers for the entry.
  const std::int64_t pages = (0x40 + 3000 + 63) / 64;
  EXPECT_LE(b.session->Stats().transfers - before.transfers, 2 * pages + 30);
  EXPECT_EQ(b.programmer().EepromVerify(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().misheard_bits(), 0);
  EXPECT_EQ(b.link().divisor(), 239);  // the shipped speed: 125 kHz
  // The engine heard only the sync's deliberate bad command.
  EXPECT_EQ(b.twin().unknown_opcodes(), std::vector<std::uint8_t>{mpsse::kSyncOpcode});
}

TEST(FtdiMpsse, AnSckTooFastForASlowChipFailsAndTheRightSpeedWorks) {
  const std::vector<std::uint8_t> code = RandomBytes(300, 3);
  MpsseBench fast(",clock=0.1");  // a 100 kHz chip hears phases of at least 20 us
  fast.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
  EXPECT_NE(fast.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_FALSE(fast.ChipHolds(0, code));

  MpsseBench right(",clock=0.1");
  right.speed = 0xA0;  // 40 us phases: the margin Tolmeo keeps
  right.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
  EXPECT_EQ(right.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_TRUE(right.ChipHolds(0, code));
  EXPECT_EQ(right.chip().misheard_bits(), 0);
  EXPECT_DOUBLE_EQ(right.twin().half_period_ns(), 40000.0);
}

void ExpectNoFalseSuccess(const std::function<void(FtdiMpsseTwin&, int)>& fault) {
  const std::vector<std::uint8_t> code = RandomBytes(700, 5);
  MpsseBench whole;
  whole.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
  ASSERT_EQ(whole.programmer().AutoSequence(), CommandOutcome::kDone);
  const int transfers = static_cast<int>(whole.session->Stats().transfers);
  for (int at = 1; at < transfers; at += transfers / 29 + 1) {
    MpsseBench b;
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
    fault(b.twin(), at);
    const CommandOutcome outcome = b.programmer().AutoSequence();
    if (outcome == CommandOutcome::kDone) {
      EXPECT_TRUE(b.ChipHolds(0, code)) << "fault at " << at;
    } else {
      EXPECT_EQ(outcome, CommandOutcome::kChipFailed) << "fault at " << at;
      EXPECT_EQ(b.seam.notices.size(), 1u) << "fault at " << at;
    }
  }
}

TEST(FtdiMpsse, AFailedShortOrLostTransferNeverEndsInSuccessWithAWrongChip) {
  ExpectNoFalseSuccess([](FtdiMpsseTwin& twin, int at) { twin.fail_after_transfers = at; });
  ExpectNoFalseSuccess([](FtdiMpsseTwin& twin, int at) { twin.short_writes_after = at / 2; });
  ExpectNoFalseSuccess([](FtdiMpsseTwin& twin, int at) { twin.short_reads_after = at / 2; });
}

TEST(FtdiMpsse, APulledCableAnywhereNeverEndsInSuccessWithAWrongChip) {
  const std::vector<std::uint8_t> code = RandomBytes(500, 9);
  MpsseBench whole;
  whole.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
  ASSERT_EQ(whole.programmer().AutoSequence(), CommandOutcome::kDone);
  const std::int64_t changes = whole.chip().line_changes();
  for (std::int64_t at = 0; at < changes; at += changes / 31 + 7) {
    MpsseBench b(",pull-after=" + std::to_string(at));
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
    const CommandOutcome outcome = b.programmer().AutoSequence();
    EXPECT_TRUE(outcome != CommandOutcome::kDone || b.ChipHolds(0, code)) << "pulled after " << at;
  }
}

TEST(FtdiMpsse, ADeadPageOrByteStuckFusesAnAbsentChipAndAForeignOneFail) {
  const std::vector<std::uint8_t> code = RandomBytes(400, 11);
  MpsseBench dead(",dead-page=64");
  dead.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, code));
  EXPECT_EQ(dead.programmer().AutoSequence(), CommandOutcome::kChipFailed);

  // A dead EEPROM byte is polled for its write time at the SCK the entry chose, not at the
  // fastest one: a few hundred transfers, not tens of thousands.
  MpsseBench dead_byte(",dead-eeprom=3");
  dead_byte.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(3, {0x5A}));
  EXPECT_EQ(dead_byte.programmer().EepromWrite(), CommandOutcome::kChipFailed);
  EXPECT_LT(dead_byte.session->Stats().transfers, 2000);

  MpsseBench stuck(",stuck-fuses");
  stuck.SetBoxes(FuseGroup::Low, 0x62);
  EXPECT_EQ(stuck.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kChipFailed);
  EXPECT_NE(stuck.chip().memories().fuses().low, 0x62);

  MpsseBench absent(",absent");
  EXPECT_NE(absent.programmer().Erase(), CommandOutcome::kDone);
  EXPECT_FALSE(absent.link().Opened());

  MpsseBench foreign(",signature=1E9514");
  foreign.seam.confirm_answers = {false};
  EXPECT_NE(foreign.programmer().Erase(), CommandOutcome::kDone);
  EXPECT_EQ(foreign.chip().chip_erases(), 0);
}

}  // namespace
}  // namespace tolmeo
