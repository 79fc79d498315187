#include "isp/isp_instructions.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/cp949.h"
#include "support/recording_seam.h"
#include "wire_trace.h"

namespace tolmeo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 64-word-page chip on a recording wire, port opened and idle, records cleared.
struct Bench {
  Bench() {
    image->flashSize = 8192;
    image->flashPageSize = 128;
    image->eepromSize = 512;
    image->InitFlashImage();
    image->InitEepromImage();
    driver.OpenPort();
    driver.PortIdle();
    cable.Mark();
    clock.sleeps.clear();
    clock.spins_ns.clear();
  }
  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  testing::MarkedCable cable;
  testing::CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver{cable, clock, speed};
  testing::RecordingSeam seam;
  IspInstructions isp{driver, *image, seam};
};

TEST(IspBytes, SendReceiveAndTransferClockEachBitWithTheirDelays) {
  Bench b;
  b.isp.SendByte(0xA5);
  EXPECT_EQ(b.cable.Sent(), Bytes{0xA5});
  EXPECT_EQ(b.clock.spins_ns.size(), 24u);
  EXPECT_EQ(b.driver.PortShadow() & 0x02, 0);  // SCK idles low

  b.clock.spins_ns.clear();
  b.cable.Answer({0x3C});
  EXPECT_EQ(b.isp.ReceiveByte(), 0x3C);
  EXPECT_EQ(b.clock.spins_ns.size(), 16u);

  b.cable.Answer({0xC3});
  EXPECT_EQ(b.isp.TransferByte(0x5A), 0xC3);
  EXPECT_EQ(b.cable.status_reads(), 16);
}

TEST(IspBytes, MisoIsSampledWhileSckIsHigh) {
  struct ClockedMiso : RecordingCable {
    std::uint8_t ReadStatus() override {
      return (writes().back() & 0x02) ? 0x00 : 0x80;  // MISO 1 only while SCK is high
    }
  } cable;
  testing::CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver(cable, clock, speed);
  driver.OpenPort();
  auto image = std::make_unique<ChipImage>();
  testing::RecordingSeam seam;
  IspInstructions isp(driver, *image, seam);
  EXPECT_EQ(isp.ReceiveByte(), 0xFF);
}

TEST(IspEntry, AnEchoOf0x53EntersWithExactlyFourBytes) {
  Bench b;
  b.cable.Answer({0x53});
  EXPECT_TRUE(b.isp.EnterProgrammingMode());
  EXPECT_EQ(b.cable.Sent(), (Bytes{0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ(b.clock.sleeps, (std::vector<std::int32_t>{1, 2, 40, 2, 40, 2}));
  EXPECT_EQ(b.driver.PortShadow() & 0x83, 0x00);  // mode line 0, RESET low, SCK low
  EXPECT_TRUE(b.seam.notices.empty());
}

TEST(IspEntry, ResetIsPulsedTwiceBeforeTheFirstByte) {
  Bench b;
  b.cable.Answer({0x53});
  b.isp.EnterProgrammingMode();
  Bytes writes = b.cable.Writes();
  Bytes head(writes.begin(), writes.begin() + 6);
  EXPECT_EQ(head, (Bytes{0x01, 0x01, 0x00, 0x01, 0x00, 0x00}));
}

TEST(IspEntry, StuckMisoShowsTheMessageOnceAndStopsBeforeTheFourthByte) {
  Bench b;
  b.cable.Answer(Bytes(4, 0xFF));
  EXPECT_FALSE(b.isp.EnterProgrammingMode());
  EXPECT_EQ(b.cable.Sent(), (Bytes{0xAC, 0x53, 0x00}));
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text, Ktext(u8"프로그램모드로 진입하지 못했습니다."));
}

TEST(IspEntry, ACableThatCannotOpenNamesItsReasonOnASecondLine) {
  testing::MarkedCable cable;
  cable.FailOpen("no parallel port");
  testing::CountingClock clock;
  std::int32_t speed = 0;
  LineDriver driver(cable, clock, speed);
  driver.OpenPort();
  auto image = std::make_unique<ChipImage>();
  testing::RecordingSeam seam;
  IspInstructions isp(driver, *image, seam);
  EXPECT_FALSE(isp.EnterProgrammingMode());
  ASSERT_EQ(seam.notices.size(), 1u);
  EXPECT_EQ(seam.notices[0].text,
            Ktext(u8"프로그램모드로 진입하지 못했습니다.") + "\r\nno parallel port");
  EXPECT_TRUE(cable.Writes().empty());

  cable.FailOpen("");  // plugged in later: the next command opens it
  cable.Answer({0x53});
  EXPECT_TRUE(isp.EnterProgrammingMode());
}

TEST(IspEntry, ReleaseSetsTheModeLineAndLeavesResetHigh) {
  Bench b;
  b.isp.ReleaseTarget();
  EXPECT_EQ(b.cable.Writes(), (Bytes{0x81, 0x81, 0x80, 0x81}));
  EXPECT_EQ(b.clock.sleeps, (std::vector<std::int32_t>{1, 2, 40, 2}));
  EXPECT_TRUE(b.cable.Sent().empty());
}

TEST(IspSignature, ReadsBytesZeroToTwoAndAsksOnlyOnAMismatch) {
  Bench b;
  b.image->signature = {0x1E, 0x95, 0x0F};
  for (std::uint8_t byte : {0x1E, 0x95, 0x0F}) b.cable.AnswerQuery(0x00, byte);
  b.cable.AnswerProbe();
  EXPECT_TRUE(b.isp.CheckSignature());
  // While a byte is only received MOSI keeps the last bit sent (1 after 0x01). The probe
  // after the last read makes sure its answer came from a chip.
  EXPECT_EQ(b.cable.Sent(), (Bytes{0x30, 0x00, 0x00, 0x00, 0x30, 0x00, 0x01, 0xFF, 0x30, 0x00,
                                   0x02, 0x00, 0x58, 0x08, 0x00, 0x00}));
  EXPECT_TRUE(b.seam.notices.empty());

  for (std::uint8_t byte : {0x1E, 0x95, 0x14}) b.cable.AnswerQuery(0x00, byte);
  b.cable.AnswerProbe();
  b.seam.confirm_answers = {false};
  EXPECT_FALSE(b.isp.CheckSignature());
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_TRUE(b.seam.notices[0].question);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeWarning);
  // The question names the signature read, then the description's.
  EXPECT_EQ(b.seam.notices[0].text,
            Ktext(u8"연결된 AVR 종류가 명세문서의 종류와 일치하지 않습니다.\r\n"
                  u8"읽은 시그너처 1E 95 14, 명세문서의 시그너처 1E 95 0F\r\n그래도 계속 "
                  u8"진행하려면 \"확인\" 을 그렇지 않은 경우는 \"취소\" 를 눌러주세요."));

  // A first byte of 0x00 behind an echo of 0x00 could be a dead line: the probe clears it.
  b.cable.AnswerQuery(0x00, 0x00);
  b.cable.AnswerQuery(0x08, 0xD9);
  b.cable.AnswerQuery(0x00, 0x95);
  b.cable.AnswerQuery(0x00, 0x0F);
  b.cable.AnswerProbe();
  b.seam.confirm_answers = {true};
  EXPECT_TRUE(b.isp.CheckSignature());
  EXPECT_FALSE(b.isp.silent());
}

TEST(IspFuses, EachByteHasItsOwnInstruction) {
  Bench b;
  b.image->lowFuse = 0x62;
  b.image->highFuse = 0xD9;
  b.image->extendedFuse = 0xFF;
  for (std::uint8_t second : {0x00, 0x08, 0x08}) {
    b.cable.AnswerQuery(second, second == 0x00 ? 0x62 : 0xD9);
    b.cable.AnswerProbe();
  }
  b.image->extendedFuse = 0xD9;
  EXPECT_TRUE(b.isp.WriteLowFuse());
  EXPECT_TRUE(b.isp.WriteHighFuse());
  EXPECT_TRUE(b.isp.WriteExtendedFuse());
  // Each write is read back after its delay, and the probe makes sure of the answer.
  const Bytes probe = {0x58, 0x08, 0x00, 0x00};
  Bytes expected = {0xAC, 0xA0, 0x00, 0x62, 0x50, 0x00, 0x00, 0x00};
  expected.insert(expected.end(), probe.begin(), probe.end());
  expected.insert(expected.end(), {0xAC, 0xA8, 0x00, 0xD9, 0x58, 0x08, 0x00, 0x00});
  expected.insert(expected.end(), probe.begin(), probe.end());
  expected.insert(expected.end(), {0xAC, 0xA4, 0x00, 0xD9, 0x50, 0x08, 0x00, 0x00});
  expected.insert(expected.end(), probe.begin(), probe.end());
  EXPECT_EQ(b.cable.Sent(), expected);
  EXPECT_EQ(b.clock.sleeps, (std::vector<std::int32_t>{10, 10, 10}));
  EXPECT_TRUE(b.seam.notices.empty());

  b.cable.Mark();
  for (auto [second, value] : {std::pair{0x00, 0x11}, {0x08, 0x22}, {0x08, 0x33}, {0x00, 0x44}}) {
    b.cable.AnswerQuery(second, value);
    b.cable.AnswerProbe();
  }
  EXPECT_TRUE(b.isp.ReadLowFuse());
  EXPECT_TRUE(b.isp.ReadHighFuse());
  EXPECT_TRUE(b.isp.ReadExtendedFuse());
  EXPECT_TRUE(b.isp.ReadLockBits());
  EXPECT_EQ(b.image->lowFuse, 0x11);
  EXPECT_EQ(b.image->highFuse, 0x22);
  EXPECT_EQ(b.image->extendedFuse, 0x33);
  EXPECT_EQ(b.image->lockBits, 0x44);
  Bytes sent = b.cable.Sent();
  ASSERT_EQ(sent.size(), 32u);  // each read with its probe
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 3), (Bytes{0x50, 0x00, 0x00}));
  EXPECT_EQ(Bytes(sent.begin() + 8, sent.begin() + 11), (Bytes{0x58, 0x08, 0x00}));
  EXPECT_EQ(Bytes(sent.begin() + 16, sent.begin() + 19), (Bytes{0x50, 0x08, 0x00}));
  EXPECT_EQ(Bytes(sent.begin() + 24, sent.begin() + 27), (Bytes{0x58, 0x00, 0x00}));
}

TEST(IspFuses, LockBitsAreRewrittenUntilTheyReadBackAndNotForEver) {
  Bench b;
  b.image->lockBits = 0xFC;
  b.cable.AnswerQuery(0x00, 0xFF);
  b.cable.AnswerProbe();
  b.cable.AnswerQuery(0x00, 0xFC);
  b.cable.AnswerProbe();
  EXPECT_TRUE(b.isp.WriteLockBits());
  EXPECT_EQ(b.cable.Sent(), (Bytes{0xAC, 0xE0, 0x00, 0xFC, 0x58, 0x00, 0x00, 0x00, 0x58, 0x08,
                                   0x00, 0x00, 0xAC, 0xE0, 0x00, 0xFC, 0x58, 0x00, 0x00, 0x00,
                                   0x58, 0x08, 0x00, 0x00}));

  b.cable.Mark();
  for (int i = 0; i < kWriteAttempts; ++i) {
    b.cable.AnswerQuery(0x00, 0xFF);
    b.cable.AnswerProbe();
  }
  EXPECT_FALSE(b.isp.WriteLockBits());
  EXPECT_EQ(b.cable.Sent().size(), 12u * kWriteAttempts);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_NE(b.seam.notices[0].text.find("Lock"), std::string::npos);
}

TEST(IspFlash, LoadFlashWordSendsOnlyTheIndexInThePage) {
  Bench b;
  b.isp.LoadFlashWord(70, 0x1234);
  EXPECT_EQ(b.cable.Sent(), (Bytes{0x40, 0x00, 0x06, 0x34, 0x48, 0x00, 0x06, 0x12}));
}

TEST(IspFlash, ReadFlashWordIsHighByteThenLowByte) {
  Bench b;
  b.cable.AnswerQuery(0x12, 0xAB);
  b.cable.AnswerQuery(0x12, 0xCD);
  EXPECT_EQ(b.isp.ReadFlashWord(0x1234), 0xABCD);
  EXPECT_EQ(b.cable.Sent(), (Bytes{0x28, 0x12, 0x34, 0x00, 0x20, 0x12, 0x34, 0x00}));
}

TEST(IspFlash, WriteFlashPageWritesThePageOfTheAddressAndComparesIt) {
  Bench b;
  b.image->flashWriteDelay = 7;
  b.cable.AnswerQuery(0x00, 0xFF, 2 * 64);
  EXPECT_TRUE(b.isp.WriteFlashPage(70));
  Bytes sent = b.cable.Sent();
  ASSERT_EQ(sent.size(), 4u + 64 * 8);
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 4), (Bytes{0x4C, 0x00, 0x40, 0x00}));
  EXPECT_EQ(Bytes(sent.begin() + 4, sent.begin() + 7), (Bytes{0x28, 0x00, 0x40}));
  EXPECT_EQ(Bytes(sent.end() - 4, sent.end() - 1), (Bytes{0x20, 0x00, 0x7F}));
  EXPECT_EQ(b.clock.sleeps, std::vector<std::int32_t>{7});
}

TEST(IspFlash, APageThatNeverReadsBackStopsWithAMessageNamingItsAddress) {
  Bench b;
  // Every word reads 0x0000 against an erased image: the first compare fails each time.
  b.cable.AnswerQuery(0x0F, 0x00, 2 * kWriteAttempts);
  EXPECT_FALSE(b.isp.WriteFlashPage(0x0FC5));
  EXPECT_EQ(b.clock.sleeps.size(), static_cast<std::size_t>(kWriteAttempts));
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text,
            Ktext(u8"Flash 의 주소 00000FC0 에 5번 기록했지만 읽은 값이 기록한 값과 일치하지 "
                  u8"않습니다."));
}

TEST(IspEeprom, WriteReadsBackAndIsBounded) {
  Bench b;
  b.image->eepromWriteDelay = 4;
  b.cable.AnswerQuery(0x01, 0x5A);
  EXPECT_TRUE(b.isp.WriteEepromByte(0x0102, 0x5A));
  EXPECT_EQ(b.cable.Sent(), (Bytes{0xC0, 0x01, 0x02, 0x5A, 0xA0, 0x01, 0x02, 0x00}));
  EXPECT_EQ(b.clock.sleeps, std::vector<std::int32_t>{4});

  b.cable.AnswerQuery(0x01, 0x00, kWriteAttempts);
  EXPECT_FALSE(b.isp.WriteEepromByte(0x01FF, 0x5A));
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].text.substr(0, 6), "EEprom");
  EXPECT_NE(b.seam.notices[0].text.find("000001FF"), std::string::npos);
}

TEST(IspEeprom, EraseIsOneInstructionAndAWait) {
  Bench b;
  b.isp.ChipErase();
  EXPECT_EQ(b.cable.Sent(), (Bytes{0xAC, 0x80, 0x00, 0x00}));
  EXPECT_EQ(b.clock.sleeps, std::vector<std::int32_t>{100});
}

// A chip that stopped answering: MISO held high by the pull-up, or low by a dead chip.
TEST(IspEcho, AWrongEchoMarksTheChipSilentAndTheReadFails) {
  Bench b;
  b.image->highFuse = 0xD9;
  b.cable.Answer({0xFF, 0xFF});  // MISO stuck high: the echo of 0x08 is 0xFF
  EXPECT_FALSE(b.isp.ReadFuseByte(FuseGroup::High));
  EXPECT_TRUE(b.isp.silent());
  EXPECT_EQ(b.image->highFuse, 0xD9);  // the image keeps what it had
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text.substr(0, 9), "High fuse");
}

TEST(IspEcho, AMisoStuckLowIsFoundByTheProbeWhereTheEchoCannotTell) {
  Bench b;  // unscripted reads give MISO 0
  EXPECT_EQ(b.isp.ReadFlashWord(0x0012), 0x0000);
  EXPECT_TRUE(b.isp.silent());
  Bytes sent = b.cable.Sent();
  // High byte, the probe once, low byte: a chip found silent is not probed again.
  ASSERT_EQ(sent.size(), 12u);
  EXPECT_EQ(Bytes(sent.begin() + 4, sent.begin() + 7), (Bytes{0x58, 0x08, 0x00}));
}

TEST(IspEcho, TheProbeCostsNothingWhereTheEchoAlreadyTells) {
  Bench b;
  b.cable.AnswerQuery(0x00, 0xFF);
  b.cable.AnswerQuery(0x01, 0x00);
  EXPECT_EQ(b.isp.ReadEepromByte(0x0005), 0xFF);
  EXPECT_EQ(b.isp.ReadEepromByte(0x0105), 0x00);
  EXPECT_FALSE(b.isp.silent());
  EXPECT_EQ(b.cable.Sent().size(), 8u);
  EXPECT_EQ(b.cable.status_reads(), 32);  // 16 a read: the echo byte and the answer
}

TEST(IspEcho, ProgrammingModeEntryStartsListeningAnew) {
  Bench b;
  b.isp.ReadFlashWord(0x0012);
  ASSERT_TRUE(b.isp.silent());
  b.cable.Answer({0x53});
  EXPECT_TRUE(b.isp.EnterProgrammingMode());
  EXPECT_FALSE(b.isp.silent());
}

TEST(IspFuses, AFuseThatDoesNotReadBackFailsNamingTheByte) {
  Bench b;
  b.image->lowFuse = 0xE2;
  b.cable.AnswerQuery(0x00, 0x62);
  b.cable.AnswerProbe();
  EXPECT_FALSE(b.isp.WriteFuseByte(FuseGroup::Low));
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text, "Low fuse" + Ktext(u8" 바이트에 0xE2 을(를) 기록했지만 다시 읽은 값은 0x62 입니다."));
  EXPECT_EQ(b.clock.sleeps, std::vector<std::int32_t>{10});  // written once, not repeated
}

TEST(IspFuses, BitsTheChipLacksAreNotCompared) {
  Bench b;
  for (int bit = 3; bit < 8; ++bit) b.image->bits.Box(FuseGroup::Extended, bit).name = "-";
  b.image->extendedFuse = 0x05;  // as some tools give it: the missing bits as 0
  b.cable.AnswerQuery(0x08, 0xFD);
  b.cable.AnswerProbe();
  EXPECT_TRUE(b.isp.WriteFuseByte(FuseGroup::Extended));
  b.cable.AnswerQuery(0x08, 0xFC);  // bit 0 exists and did not take
  b.cable.AnswerProbe();
  EXPECT_FALSE(b.isp.WriteFuseByte(FuseGroup::Extended));
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].text.substr(0, 13), "Extended fuse");
}

TEST(IspFlash, AChipFallingSilentDuringThePageCompareIsNotRetried) {
  Bench b;
  b.cable.AnswerQuery(0x01, 0xFF, 3);
  b.cable.Answer({0xFF, 0xFF});  // then the cable comes off
  EXPECT_FALSE(b.isp.WriteFlashPage(0x0140));
  EXPECT_EQ(b.clock.sleeps.size(), 1u);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_NE(b.seam.notices[0].text.find("Flash" + Ktext(u8" 의 주소 00000140")), std::string::npos);
}

}  // namespace
}  // namespace tolmeo
