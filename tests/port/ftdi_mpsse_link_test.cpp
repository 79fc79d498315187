// The MPSSE link down to the libftdi calls, on the fake FT2232H: what it sends to open the
// engine and enter programming mode, the divisor it picks from the phase asked, a page of
// loads as one write and a page of reads as one write and one read, and what a command the
// engine does not know, a cut-off command and a failed or short transfer leave.
#include "port/ftdi_mpsse_link.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/cp949.h"
#include "port/ftdi_mpsse_twin.h"
#include "port/mpsse_protocol.h"
#include "port/virtual_clock.h"
#include "forwarding_ftdi.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

using namespace mpsse;
using Bytes = std::vector<std::uint8_t>;

// The twin's calls as the link made them.
class LoggedDevice : public testing::ForwardingFtdi {
 public:
  explicit LoggedDevice(FtdiMpsseTwin& twin) : ForwardingFtdi(twin) {}
  int Open(int vendor, int product, const std::string& serial) override {
    opened_product = product;
    return ForwardingFtdi::Open(vendor, product, serial);
  }
  FtdiChip Chip() const override { return chip; }
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override {
    modes.push_back(mode);
    return ForwardingFtdi::SetBitmode(outputs, mode);
  }
  int Write(const std::uint8_t* data, int size) override {
    writes.emplace_back(data, data + size);
    return ForwardingFtdi::Write(data, size);
  }
  int ReadAll(std::uint8_t* data, int size, int timeout_ms) override {
    ++reads;
    return ForwardingFtdi::ReadAll(data, size, timeout_ms);
  }

  FtdiChip chip = FtdiChip::kFt2232h;
  int opened_product = 0;
  Bytes modes;
  std::vector<Bytes> writes;
  int reads = 0;
};

bool Contains(const Bytes& bytes, const Bytes& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

class MpsseLinkTest : public ::testing::Test {
 protected:
  MpsseLinkTest() {
    auto logged = std::make_unique<LoggedDevice>(twin);
    device = logged.get();
    link = std::make_unique<FtdiMpsseLink>(std::move(logged), MpsseWiring(), twin.sim().clock());
  }
  Status Open() { return link->Open(); }
  std::string OpenFailure() {
    Status opened = link->Open();
    EXPECT_FALSE(opened.ok());
    return opened.ok() ? std::string() : Utf8FromCp949(opened.reason());
  }

  FtdiMpsseTwin twin{testing::SmallChip(), {}, kDefaultResetPin};
  LoggedDevice* device = nullptr;
  std::unique_ptr<FtdiMpsseLink> link;
};

TEST_F(MpsseLinkTest, OpensTheEngineFindsItsAnswersAndSetsItUp) {
  ASSERT_TRUE(Open().ok());
  EXPECT_EQ(device->opened_product, kFt2232hProduct);
  EXPECT_EQ(device->modes, (Bytes{kResetMode, kMpsseMode}));
  ASSERT_EQ(device->writes.size(), 2u);
  EXPECT_EQ(device->writes[0], (Bytes{kSyncOpcode, kSendImmediate}));
  // The 60 MHz clock, no adaptive or three-phase clocking; RESET high, SCK and MOSI low.
  EXPECT_EQ(device->writes[1], (Bytes{kDivideBy5Off, kAdaptiveOff, kThreePhaseOff, kSetLowPins, 0x08, 0x0B}));
  EXPECT_EQ(twin.unknown_opcodes(), Bytes{kSyncOpcode});
  EXPECT_TRUE(twin.sim().chip().memories().flash().size() > 0);
}

TEST_F(MpsseLinkTest, EntersProgrammingWithTheSlowestSckTheChipNeedsAndFailsWhenNoneIsSlowEnough) {
  ASSERT_TRUE(Open().ok());
  ASSERT_TRUE(link->EnterProgramming(4000));  // the shipped ISP speed
  EXPECT_EQ(link->divisor(), 239);            // 60 MHz / 480: 125 kHz, half periods of 4 us
  EXPECT_DOUBLE_EQ(twin.half_period_ns(), 4000.0);
  EXPECT_NEAR(link->Capabilities().sck_khz, 125.0, 1e-9);
  EXPECT_TRUE(twin.sim().chip().programming_enabled());
  const std::vector<Bytes>& writes = device->writes;
  EXPECT_TRUE(std::any_of(writes.begin(), writes.end(), [](const Bytes& w) {
    return Contains(w, {kBytesOutIn, 0x02, 0x00, 0xAC, 0x53, 0x00, kSendImmediate});
  }));
  ASSERT_TRUE(link->EnterProgramming(4001));
  EXPECT_EQ(link->divisor(), 240);
  ASSERT_TRUE(link->EnterProgramming(0));
  EXPECT_EQ(link->divisor(), 0);

  ASSERT_TRUE(link->EnterProgramming(1'092'266));  // 65536 / 60 MHz, a little more
  EXPECT_EQ(link->divisor(), 0xFFFF);
  EXPECT_FALSE(link->EnterProgramming(1'092'267));
  EXPECT_FALSE(link->EnterProgramming(std::int64_t{0x7FFFFFFF} * 250));  // the slowest speed an option holds
  EXPECT_NE(Utf8FromCp949(link->EntryProblem()).find("0x1111"), std::string::npos);
}

TEST_F(MpsseLinkTest, APageOfLoadsIsOneWriteAndAPageOfReadsOneWriteAndOneRead) {
  ASSERT_TRUE(Open().ok());
  ASSERT_TRUE(link->EnterProgramming(250));
  link->HoldSends();
  const std::size_t writes_before = device->writes.size();
  for (std::uint8_t word = 0; word < 16; ++word) {
    link->Send({0x40, 0x00, word, static_cast<std::uint8_t>(word + 1)});
    link->Send({0x48, 0x00, word, 0x00});
  }
  EXPECT_EQ(device->writes.size(), writes_before);  // held
  link->Send({0x4C, 0x00, 0x00, 0x00});
  link->SleepMs(5);
  ASSERT_EQ(device->writes.size(), writes_before + 1);
  // The 33 instructions as one command, then the pins read back.
  EXPECT_EQ(device->writes.back().size(), 3 + 33u * 4 + 2);
  EXPECT_EQ(twin.sim().chip().page_writes(), 1);

  std::vector<IspQuery> queries;
  for (std::uint8_t word = 0; word < 16; ++word) queries.push_back({0x20, 0x00, word});
  std::vector<IspReply> replies(queries.size());
  const int reads_before = device->reads;
  link->QueryAll(queries, replies);
  EXPECT_EQ(device->writes.size(), writes_before + 2);
  EXPECT_EQ(device->reads, reads_before + 1);
  for (std::uint8_t word = 0; word < 16; ++word) {
    EXPECT_EQ(replies[word].echo, 0x00);
    EXPECT_EQ(replies[word].value, word + 1);
  }
  EXPECT_FALSE(link->Lost());
}

TEST_F(MpsseLinkTest, TheTwinAnswersUnknownCommandsAndWaitsForTheRestOfACutOffOne) {
  ASSERT_TRUE(twin.Open(kFtdiVendor, kFt2232hProduct, "") == 0);
  twin.SetBitmode(0x0B, kMpsseMode);
  const Bytes first = {0xAB, kClockDivisor, 0x05};
  const Bytes second = {0x00, kGetLowPins, kSendImmediate};
  EXPECT_EQ(twin.Write(first.data(), 3), 3);
  EXPECT_EQ(twin.Write(second.data(), 3), 3);
  std::uint8_t answer[4] = {};
  EXPECT_EQ(twin.Read(answer, 4), 3);
  EXPECT_EQ(answer[0], kBadCommand);
  EXPECT_EQ(answer[1], 0xAB);
  EXPECT_DOUBLE_EQ(twin.half_period_ns(), 500.0);  // divisor 5 on the 12 MHz the chip starts with
  // Answers left unread beyond the receive buffer stall the engine: the write fails.
  Bytes reads(kMpsseTwinReceiveBytes / 2 + 1, kGetLowPins);
  EXPECT_EQ(twin.Write(reads.data(), static_cast<int>(reads.size())), static_cast<int>(reads.size()));
  EXPECT_LT(twin.Write(reads.data(), static_cast<int>(reads.size())), 0);
}

TEST_F(MpsseLinkTest, AFailedOrShortTransferLosesTheLinkAndNothingItReadsCounts) {
  for (int fault = 0; fault < 3; ++fault) {
    FtdiMpsseTwin chip(testing::SmallChip(), {}, kDefaultResetPin);
    FtdiMpsseLink mpsse(std::make_unique<LoggedDevice>(chip), MpsseWiring(), chip.sim().clock());
    ASSERT_TRUE(mpsse.Open().ok());
    ASSERT_TRUE(mpsse.EnterProgramming(250));
    if (fault == 0) chip.fail_after_transfers = 0;
    if (fault == 1) chip.short_writes_after = 0;
    if (fault == 2) chip.short_reads_after = 0;
    const IspReply reply = mpsse.Query(0x30, 0x00, 0x00);
    EXPECT_TRUE(mpsse.Lost()) << fault;
    EXPECT_EQ(reply.echo, 0xFF) << fault;
    EXPECT_EQ(reply.value, 0xFF) << fault;
    // Entry opens the chip anew: still failing, it says so; plugged in again, it works.
    EXPECT_FALSE(mpsse.EnterProgramming(250)) << fault;
    EXPECT_FALSE(mpsse.EntryProblem().empty()) << fault;
    chip.fail_after_transfers.reset();
    chip.short_writes_after.reset();
    chip.short_reads_after.reset();
    EXPECT_TRUE(mpsse.EnterProgramming(250)) << fault;
    EXPECT_EQ(mpsse.Query(0x30, 0x00, 0x00).value, 0x1E) << fault;
  }
}

TEST_F(MpsseLinkTest, ANonMpsseChipAMissingOneAndASilentEngineAreRefusedWithTheReason) {
  device->chip = FtdiChip::kOther;
  EXPECT_NE(OpenFailure().find("ftdi"), std::string::npos);
  device->chip = FtdiChip::kFt2232h;
  twin.sim().absent = true;
  EXPECT_NE(OpenFailure().find("FT2232H 0403:6010"), std::string::npos);
  twin.sim().absent = false;
  twin.short_reads_after = 0;
  EXPECT_NE(OpenFailure().find("0xFA 0xAA"), std::string::npos);
  EXPECT_FALSE(link->Opened());
}

TEST(MpsseWiringText, TakesASerialAndAResetPinAndRefusesTheEnginesOwnPins) {
  EXPECT_EQ(ParseMpsseWiring("")->reset, kDefaultResetPin);
  EXPECT_EQ(ParseMpsseWiring("FT1234")->serial, "FT1234");
  Result<FtdiWiring> moved = ParseMpsseWiring("FT1234:RESET=D5");
  ASSERT_TRUE(moved.ok());
  EXPECT_EQ(moved->reset, 5);
  EXPECT_EQ(moved->sck, kSckPin);
  EXPECT_EQ(ParseMpsseWiring("RESET=D7")->reset, 7);
  EXPECT_EQ(ParseMpsseWiring(":RESET=D4")->reset, 4);
  for (const char* bad : {"A:RESET=D1", "A:SCK=D3", "A:RESET=XX", "A:B:C", "RESET=", "A:MISO=D5"}) {
    Result<FtdiWiring> wiring = ParseMpsseWiring(bad);
    ASSERT_FALSE(wiring.ok()) << bad;
    EXPECT_NE(wiring.reason().find("ftdi-mpsse:"), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace tolmeo
