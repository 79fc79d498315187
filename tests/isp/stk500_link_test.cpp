// The Arduino-as-ISP cable over a pseudo-terminal: the real serial code on the slave side, the
// STK500 twin with the virtual chip on the master side. A chip that is gone or will not take a
// write never ends in "done", and a silent port gives up instead of hanging.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <thread>

#include "isp/cable_choice.h"
#include "isp/programmer.h"
#include "isp/stk500_responder.h"
#include "port/stk500_link.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

struct Pty {
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    slave_path = ptsname(master);
  }
  ~Pty() { close(master); }
  int master = -1;
  std::string slave_path;
};

struct ArduinoBench : testing::SimBench {
  ArduinoBench() {
    responder_thread = std::thread([this] { responder.Serve(pty.master, stop); });
  }
  ~ArduinoBench() {
    stop = true;
    responder_thread.join();
  }
  bool Open() { return link.Open().ok(); }
  Pty pty;
  std::atomic<bool> stop = false;
  Stk500Responder responder{*session->rig().sim};
  std::thread responder_thread;
  Stk500Link link{pty.slave_path};
  IspInstructions isp{link, *image, seam, speed};
  Programmer programmer{isp, *image, seam};
};

const std::vector<std::uint8_t> kCode = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

TEST(Stk500Link, AnAutomaticSequenceThroughThePseudoTerminalLeavesTheChipRight) {
  ArduinoBench b;
  ASSERT_TRUE(b.Open());
  b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0x80, kCode));
  b.OpenDocument(Memory::Eeprom, "e.hex", testing::SimBench::HexText(3, {0xAB, 0xCD}));
  ASSERT_EQ(b.programmer.AutoSequence(), CommandOutcome::kDone) << (b.seam.notices.empty() ? "" : b.seam.notices.back().text);
  EXPECT_EQ(b.chip().memories().flash()[0x80], 1);
  EXPECT_EQ(b.chip().memories().flash()[0x90], 17);
  EXPECT_EQ(b.chip().memories().eeprom()[4], 0xCD);
  EXPECT_GT(b.link.Stats().transfers, 0);
}

TEST(Stk500Link, APulledCableADeadPageOrStuckFusesNeverEndDone) {
  for (std::int64_t pull : {2000, 9000}) {
    ArduinoBench b;
    ASSERT_TRUE(b.Open());
    b.chip().faults.pull_cable_after_changes = pull;
    b.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
    EXPECT_NE(b.programmer.AutoSequence(), CommandOutcome::kDone) << pull;
  }
  ArduinoBench dead;
  ASSERT_TRUE(dead.Open());
  dead.chip().faults.dead_flash_page = 0;
  dead.OpenDocument(Memory::Flash, "f.hex", testing::SimBench::HexText(0, kCode));
  EXPECT_NE(dead.programmer.AutoSequence(), CommandOutcome::kDone);
  ArduinoBench stuck;
  ASSERT_TRUE(stuck.Open());
  stuck.chip().faults.stuck_fuses = true;
  stuck.SetBoxes(FuseGroup::Low, 0x62);
  EXPECT_NE(stuck.programmer.FuseByteWrite(FuseGroup::Low), CommandOutcome::kDone);
}

TEST(Stk500Link, ASilentPortIsRefusedInsteadOfHanging) {
  Pty pty;  // nothing answers on the master side
  Stk500Link link(pty.slave_path);
  EXPECT_FALSE(link.Open().ok());
  Stk500Link odd_speed(pty.slave_path, 12345);
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
}

}  // namespace
}  // namespace tolmeo
