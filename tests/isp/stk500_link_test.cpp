// The Arduino-as-ISP cable over a pseudo-terminal: the real serial code on the slave side, the
// STK500 twin with the virtual chip on the master side. A chip that is gone or will not take a
// write never ends in "done", and a silent port gives up instead of hanging.
#include <gtest/gtest.h>

#include "isp/cable_choice.h"
#include "isp/programmer.h"
#include "isp/stk500_responder.h"
#include "port/pseudo_terminal.h"
#include "port/stk500_link.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

// The engine on "arduino:sim": the real serial code, the twin answering from its thread.
struct ArduinoBench : testing::SimBench {
  ArduinoBench() : SimBench(64, "arduino:sim") {}
  bool Open() { return session->OpenPort().ok(); }
  IspLink& link() { return session->instructions().link(); }
};

const std::vector<std::uint8_t> kCode = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

TEST(Stk500Link, AnAutomaticSequenceThroughThePseudoTerminalLeavesTheChipRight) {
  ArduinoBench b;
  ASSERT_TRUE(b.Open());
  b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0x80, kCode));
  b.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(3, {0xAB, 0xCD}));
  ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone) << (b.seam.notices.empty() ? "" : b.seam.notices.back().text);
  EXPECT_EQ(b.chip().memories().flash()[0x80], 1);
  EXPECT_EQ(b.chip().memories().flash()[0x90], 17);
  EXPECT_EQ(b.chip().memories().eeprom()[4], 0xCD);
  EXPECT_GT(b.link().Stats().transfers, 0);
}

TEST(Stk500Link, APulledCableADeadPageOrStuckFusesNeverEndDone) {
  for (std::int64_t pull : {2000, 9000}) {
    ArduinoBench b;
    ASSERT_TRUE(b.Open());
    b.chip().faults.pull_cable_after_changes = pull;
    b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
    EXPECT_NE(b.programmer().AutoSequence(), CommandOutcome::kDone) << pull;
  }
  ArduinoBench dead;
  ASSERT_TRUE(dead.Open());
  dead.chip().faults.dead_flash_page = 0;
  dead.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  EXPECT_NE(dead.programmer().AutoSequence(), CommandOutcome::kDone);
  ArduinoBench stuck;
  ASSERT_TRUE(stuck.Open());
  stuck.chip().faults.stuck_fuses = true;
  stuck.SetBoxes(FuseGroup::Low, 0x62);
  EXPECT_NE(stuck.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kDone);
}

// The sketch writes pages by the page size Set Device gave it; the twin refuses a page from a
// host that never said, and a Set Device that is not its chip.
TEST(Stk500Link, TheBoardIsToldTheChipsSizesBeforeAPageIsWritten) {
  const ChipModel model;
  Stk500Twin twin(std::make_unique<SimCable>(model));
  ASSERT_TRUE(twin.Start().ok());
  const std::vector<std::uint16_t> page(model.PageWords(), 0x1234);
  {
    Stk500Link untold(twin.port_path());
    ASSERT_TRUE(untold.Open().ok());
    ASSERT_TRUE(untold.EnterProgramming(0));
    EXPECT_FALSE(untold.WriteFlashPage(0, page));
  }
  {
    ChipGeometry wrong = model;
    wrong.flashPageSize = 128;
    Stk500Link misinformed(twin.port_path(), kStk500DefaultBaud, &wrong);
    ASSERT_TRUE(misinformed.Open().ok());
    EXPECT_FALSE(misinformed.EnterProgramming(0));
  }
  Stk500Link told(twin.port_path(), kStk500DefaultBaud, &model);
  ASSERT_TRUE(told.Open().ok());
  ASSERT_TRUE(told.EnterProgramming(0));
  EXPECT_TRUE(told.WriteFlashPage(0, page));
  EXPECT_EQ(twin.cable().chip().memories().flash()[0], 0x34);  // low byte first
  EXPECT_EQ(twin.cable().chip().memories().flash()[1], 0x12);
}

TEST(Stk500Link, ASilentPortIsRefusedInsteadOfHanging) {
  PseudoTerminal pty;  // nothing answers on the master side
  ASSERT_TRUE(pty.Open().ok());
  Stk500Link link(pty.slave_path());
  EXPECT_FALSE(link.Open().ok());
  Stk500Link odd_speed(pty.slave_path(), 12345);
  EXPECT_FALSE(odd_speed.Open().ok());
  Stk500Link missing("/nonexistent/tty");
  EXPECT_FALSE(missing.Open().ok());
}

}  // namespace
}  // namespace tolmeo

namespace tolmeo {
namespace {

TEST(Stk500Link, ArduinoCableTextNamesThePortAndSpeed) {
  Result<CableSetting> plain = ParseCableText("arduino:/dev/ttyACM0");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->serial_port, "/dev/ttyACM0");
  EXPECT_EQ(plain->baud, 19200);
  Result<CableSetting> fast = ParseCableText("arduino:/dev/serial/by-id/a@b@115200");
  ASSERT_TRUE(fast);
  EXPECT_EQ(fast->serial_port, "/dev/serial/by-id/a@b");
  EXPECT_EQ(fast->baud, 115200);
  EXPECT_FALSE(ParseCableText("arduino:"));
  EXPECT_FALSE(ParseCableText("arduino:/dev/ttyACM0@fast"));
  EXPECT_FALSE(ParseCableText("arduino:/dev/ttyACM0@-5"));
  Result<CableSetting> twin = ParseCableText("arduino:sim,pull-after=100,clock=8");
  ASSERT_TRUE(twin);
  EXPECT_EQ(twin->kind, CableKind::Arduino);
  EXPECT_EQ(twin->faults.pull_cable_after_changes, 100);
  EXPECT_EQ(twin->clock_hz, 8'000'000);
  EXPECT_FALSE(ParseCableText("arduino:sim,fast"));
}

}  // namespace
}  // namespace tolmeo
