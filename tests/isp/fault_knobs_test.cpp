// Each way a real set-up fails ends the command with its message, after a bounded amount of
// work on the wire.
#include <gtest/gtest.h>

#include "base/cp949.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;

// Far more than any failing command here needs, far less than a hang.
constexpr std::int64_t kByteBound = 200'000;

void ExpectOneFailure(const SimBench& b, const std::string& text_start) {
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text.substr(0, text_start.size()), text_start);
}

TEST(FaultKnobs, NoChipFailsAtEntry) {
  SimBench b;
  b.chip().faults.no_chip = true;
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"프로그램모드로 진입하지 못했습니다."));
}

TEST(FaultKnobs, AnAbsentCableGivesItsReasonOnASecondLine) {
  SimBench b;
  b.session->rig().sim->absent = true;
  b.session = std::make_unique<EngineSession>("sim", *b.image, b.seam, b.speed);
  b.session->rig().sim->absent = true;
  EXPECT_FALSE(b.session->OpenPort().ok());
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"프로그램모드로 진입하지 못했습니다.\r\n"));
  EXPECT_GT(b.seam.notices[0].text.size(), Ktext(u8"프로그램모드로 진입하지 못했습니다.\r\n").size());
}

TEST(FaultKnobs, AnotherSignatureIsAskedAboutAndCancelStops) {
  SimBench b;
  b.chip().faults.signature = std::array<std::uint8_t, 3>{0x1E, 0x95, 0x0F};
  b.seam.confirm_answers = {false, true};
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kChipFailed);
  EXPECT_EQ(b.chip().chip_erases(), 0);
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().chip_erases(), 1);
  ASSERT_EQ(b.seam.notices.size(), 2u);
  EXPECT_TRUE(b.seam.notices[0].question);
}

TEST(FaultKnobs, ADeadFlashPageStopsTheWriteNamingThePage) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, std::vector<std::uint8_t>(200, 0x00)));
  b.chip().faults.dead_flash_page = 0x45;
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"Flash 의 주소 00000040 에 5번"));
  EXPECT_LT(b.chip().bytes_received(), kByteBound);
  EXPECT_EQ(b.chip().memories().fuses().lock, 0xFF);
}

TEST(FaultKnobs, ADeadEepromByteStopsTheWriteNamingTheAddress) {
  SimBench b;
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, std::vector<std::uint8_t>(32, 0x5A)));
  b.chip().faults.dead_eeprom_address = 0x13;
  EXPECT_EQ(b.programmer().EepromWrite(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"EEprom 의 주소 00000013 에 5번"));
  EXPECT_EQ(b.chip().memories().ReadEeprom(0x14), 0xFF);  // nothing after the dead byte
}

TEST(FaultKnobs, FlashThatNeedsAnEraseDoesNotTakeNewOnes) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, {0x0F}));
  EXPECT_EQ(b.programmer().FlashWrite(), CommandOutcome::kDone);
  b.OpenDocument(Memory::Flash, "g.hex", SimBench::HexText(0, {0xF0}));
  EXPECT_EQ(b.programmer().FlashWrite(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"Flash 의 주소 00000000 에 5번"));
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);  // the erase makes it possible
  EXPECT_EQ(b.chip().memories().FlashWord(0), 0xFFF0);
}

TEST(FaultKnobs, LockBitsThatReadBackDifferentlyStopTheWrite) {
  SimBench b;
  b.SetBoxes(FuseGroup::Lock, 0xFC);
  EXPECT_EQ(b.programmer().FuseByteWrite(FuseGroup::Lock), CommandOutcome::kDone);
  b.SetBoxes(FuseGroup::Lock, 0xFF);  // lock bits only go back to 1 with an erase
  EXPECT_EQ(b.programmer().LockFuseWrite(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"Lock 비트에 5번"));
}

TEST(FaultKnobs, ACablePulledMidWriteEndsInAMessage) {
  for (std::int64_t changes : {2'000, 15'000, 40'000}) {
    SimBench b;
    b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, std::vector<std::uint8_t>(256, 0x00)));
    b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, std::vector<std::uint8_t>(16, 0x00)));
    b.chip().faults.pull_cable_after_changes = changes;
    EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed) << changes;
    ASSERT_EQ(b.seam.notices.size(), 1u) << changes;
    EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  }
}

// A cable pulled during a read leaves MISO high: the read must end in a failure naming where
// it stopped, never in success with 0xFF for data.
TEST(FaultKnobs, ACablePulledDuringAReadNamesTheMemoryAndAddress) {
  struct Case {
    CommandOutcome (Programmer::*command)();
    const char* memory;
  };
  for (Case c : {Case{&Programmer::FlashRead, "Flash"}, Case{&Programmer::EepromRead, "EEprom"}}) {
    SimBench b;
    (b.programmer().*c.command)();
    const std::int64_t whole_read = b.chip().line_changes();
    b.chip().faults.pull_cable_after_changes = whole_read + whole_read * 3 / 4;  // inside the next
    EXPECT_EQ((b.programmer().*c.command)(), CommandOutcome::kChipFailed) << c.memory;
    ExpectOneFailure(b, c.memory + Ktext(u8" 의 주소 "));
  }
}

TEST(FaultKnobs, ACablePulledDuringAVerifyIsNotCalledAMismatch) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, std::vector<std::uint8_t>(512, 0x00)));
  ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  b.chip().faults.pull_cable_after_changes = b.chip().line_changes() + 40'000;
  EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"Flash 의 주소 "));
  EXPECT_NE(b.seam.notices[0].text.find(Ktext(u8"응답하지")), std::string::npos);
}

TEST(FaultKnobs, ACablePulledDuringAFuseReadLeavesTheBitEditorAlone) {
  SimBench b;
  b.SetBoxes(FuseGroup::Low, 0x00);
  b.programmer().LockFuseRead();
  const std::int64_t whole_read = b.chip().line_changes();
  b.SetBoxes(FuseGroup::Low, 0x00);
  b.chip().faults.pull_cable_after_changes = whole_read + whole_read - 300;  // in the fuse reads
  EXPECT_EQ(b.programmer().LockFuseRead(), CommandOutcome::kChipFailed);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.image->bits.Collect(FuseGroup::Low), 0x00);
}

TEST(FaultKnobs, StuckFusesFailEveryFuseWriteNamingTheByte) {
  SimBench b;
  b.chip().faults.stuck_fuses = true;
  b.SetBoxes(FuseGroup::High, 0xDE);
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, "High fuse");
  b.seam.notices.clear();
  EXPECT_EQ(b.programmer().FuseByteWrite(FuseGroup::High), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, "High fuse");
  b.seam.notices.clear();
  b.SetBoxes(FuseGroup::High, 0xD9);
  b.SetBoxes(FuseGroup::Lock, 0xFC);
  EXPECT_EQ(b.programmer().LockFuseWrite(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"Lock 비트에 5번"));
}

TEST(FaultKnobs, EepromIsRewrittenWithoutAnErase) {
  SimBench b;
  b.OpenDocument(Memory::Eeprom, "a.hex", SimBench::HexText(0, {0x0F, 0xF0}));
  EXPECT_EQ(b.programmer().EepromWrite(), CommandOutcome::kDone);
  b.OpenDocument(Memory::Eeprom, "b.hex", SimBench::HexText(0, {0xF0, 0x0F}));
  EXPECT_EQ(b.programmer().EepromWrite(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().memories().ReadEeprom(0), 0xF0);
  EXPECT_TRUE(b.seam.notices.empty());
}

TEST(FaultKnobs, ALockedChipNoLongerVerifies) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, {0x12, 0x34}));
  b.SetBoxes(FuseGroup::Lock, 0xFC);
  ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"오류가 발견 되었습니다!"));
}

TEST(FaultKnobs, ASpeedTooFastForTheChipsClockFailsAtEntry) {
  SimBench b;
  b.speed = 4;  // 1 us phases, a 1 MHz chip needs more than 2
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kChipFailed);
  ExpectOneFailure(b, Ktext(u8"프로그램모드로 진입하지 못했습니다."));
  b.seam.notices.clear();
  b.chip().clock_hz = 8'000'000;
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kDone);
}

}  // namespace
}  // namespace tolmeo
