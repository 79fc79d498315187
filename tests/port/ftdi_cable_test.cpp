// The FTDI bit-bang cable down to the libftdi calls: the bytes a batch becomes, which byte read
// back each MISO sample comes from, the pieces the chip's buffers take, the bit-bang clock it
// sets from the phase asked, and what a transfer that fails or comes back short leaves.
#include "port/ftdi_cable.h"

#include <gtest/gtest.h>

#include <deque>

#include "base/cp949.h"
#include "port/ftdi_twin.h"
#include "port/isp_lines.h"
#include "port/virtual_clock.h"
#include "forwarding_ftdi.h"
#include "test_wire.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;
using testing::TestWire;

// libftdi's BITMODE_SYNCBB is 0x04. Default pins: MOSI D0, SCK D2, RESET D4; MISO D1.
constexpr std::uint8_t kMosiPin = 0x01;
constexpr std::uint8_t kMisoPin = 0x02;
constexpr std::uint8_t kSckPin = 0x04;
constexpr std::uint8_t kResetPin = 0x10;

// The twin's transfers as the cable made them, and read-back bytes a test puts in place of
// the twin's own.
class LoggedDevice : public testing::ForwardingFtdi {
 public:
  explicit LoggedDevice(FtdiTwin& twin) : ForwardingFtdi(twin) {}
  int SetBitmode(std::uint8_t outputs, std::uint8_t mode) override {
    bitmode = {outputs, mode};
    return ForwardingFtdi::SetBitmode(outputs, mode);
  }
  int Write(const std::uint8_t* data, int size) override {
    writes.emplace_back(data, data + size);
    return ForwardingFtdi::Write(data, size);
  }
  int Read(std::uint8_t* data, int size) override {
    const int read = ForwardingFtdi::Read(data, size);
    for (int i = 0; i < read && !scripted.empty(); ++i, scripted.pop_front()) data[i] = scripted.front();
    return read;
  }

  std::vector<std::vector<std::uint8_t>> writes;
  std::pair<std::uint8_t, std::uint8_t> bitmode;
  std::deque<std::uint8_t> scripted;
};

class FtdiCableTest : public ::testing::Test {
 protected:
  FtdiCable& Open(FtdiWiring wiring = {}) {
    auto logged = std::make_unique<LoggedDevice>(twin);
    device = logged.get();
    cable = std::make_unique<FtdiCable>(std::move(logged), std::move(wiring));
    EXPECT_TRUE(cable->Open().ok());
    device->writes.clear();
    return *cable;
  }
  std::string OpenFailure(FtdiWiring wiring = {}) {
    cable = std::make_unique<FtdiCable>(std::make_unique<LoggedDevice>(twin), std::move(wiring));
    Status opened = cable->Open();
    EXPECT_FALSE(opened.ok());
    return opened.ok() ? std::string() : Utf8FromCp949(opened.reason());
  }
  std::vector<std::uint8_t> Run(const LineBatch& batch) {
    std::vector<std::uint8_t> miso;
    cable->Exchange(batch, clock, miso);
    return miso;
  }

  FtdiTwin twin{SmallChip(), {}, FtdiWiring{}};
  LoggedDevice* device = nullptr;
  std::unique_ptr<FtdiCable> cable;
  VirtualClock clock;  // the engine's: a cable at its own pace never waits on it
};

TEST_F(FtdiCableTest, OpensSynchronousBitBangWithTheWiringsOutputs) {
  Open();
  EXPECT_EQ(device->bitmode, std::make_pair(std::uint8_t{kMosiPin | kSckPin | kResetPin}, std::uint8_t{0x04}));
  EXPECT_EQ(cable->chunk_bytes(), kFtdiTwinBufferBytes);
  EXPECT_TRUE(cable->KeepsOwnPace());
}

TEST_F(FtdiCableTest, ABatchIsOneBufferOfThePinsThatChangeWithoutTheEnginesWaits) {
  Open();
  LineBatch batch;
  // One bit of 1 sent the engine's way: MOSI, SCK up, SCK down, a wait after each.
  for (std::uint8_t data : {0x01, 0x05, 0x07, 0x05, 0x05, 0x07, 0x05}) {
    batch.Write(data);
    batch.Wait(4000);
  }
  EXPECT_TRUE(Run(batch).empty());
  ASSERT_EQ(device->writes.size(), 1u);
  const std::uint8_t r = kResetPin;
  EXPECT_EQ(device->writes[0], (std::vector<std::uint8_t>{r, r | kMosiPin, r | kMosiPin | kSckPin, r | kMosiPin,
                                                          r | kMosiPin | kSckPin, r | kMosiPin}));
  EXPECT_EQ(clock.NowNs(), 0);
  EXPECT_EQ(cable->Stats().accesses, 6);
  EXPECT_EQ(cable->Stats().transfers, 2);  // the write and the read back
  EXPECT_EQ(cable->Stats().bytes, 12);
}

// Each byte read back holds the pins as they were before the byte written at its place went
// out, so a sample after a write is the byte read back for the next one.
TEST_F(FtdiCableTest, ASampleIsTheByteReadBackForTheNextWrite) {
  Open();
  LineBatch batch;
  batch.Write(0x01);
  batch.Write(0x03);  // SCK up
  batch.Sample();
  batch.Write(0x01);  // SCK down
  batch.Sample();     // at the end: the same pins go out once more to bring it back
  device->scripted = {0x00, 0x00, kMisoPin, 0x00};
  EXPECT_EQ(Run(batch), (std::vector<std::uint8_t>{1, 0}));
  ASSERT_EQ(device->writes.size(), 1u);
  EXPECT_EQ(device->writes[0].size(), 4u);
  // RESET is already up: the first write changes nothing and is not sent.
  device->scripted = {0x00, 0x00, kMisoPin};
  EXPECT_EQ(Run(batch), (std::vector<std::uint8_t>{0, 1}));
  EXPECT_EQ(device->writes[1].size(), 3u);
}

TEST_F(FtdiCableTest, CarriesInstructionsToTheVirtualChip) {
  Open();
  TestWire wire(*cable, twin.sim().clock(), 0);
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_EQ(wire.Instruction(0x30, 0x00, 0x01, 0x00)[3], 0x91);
  EXPECT_FALSE(cable->Lost());
}

TEST_F(FtdiCableTest, ALongBatchGoesInPiecesTheChipsBuffersHold) {
  Open();
  LineBatch batch;
  for (int i = 0; i < 1000; ++i) {
    batch.Write(static_cast<std::uint8_t>(i & 1 ? 0x03 : 0x01));
    batch.Sample();
  }
  EXPECT_EQ(Run(batch).size(), 1000u);
  EXPECT_FALSE(cable->Lost());
  ASSERT_EQ(device->writes.size(), 3u);
  EXPECT_EQ(device->writes[0].size(), 384u);
  EXPECT_EQ(device->writes[2].size(), 1001u - 768u);
}

TEST_F(FtdiCableTest, TheClockIsTheFastestWhosePeriodLastsThePhase) {
  Open();
  cable->StartSession(4000);  // ISP speed 0x10
  EXPECT_EQ(twin.rate(), 237'500);
  EXPECT_GE(1e9 / twin.rate(), 4000);
  cable->StartSession(0);
  EXPECT_EQ(twin.rate(), 750'000);
  // Slower than the chip's slowest clock: a wait of two periods holds the pins once more.
  cable->StartSession(2'000'000);
  EXPECT_EQ(twin.rate(), 1000);
  LineBatch batch;
  batch.Write(0x01);
  batch.Wait(2'000'000);
  batch.Write(0x03);
  Run(batch);
  EXPECT_EQ(device->writes.back(), (std::vector<std::uint8_t>{kResetPin | 0, kResetPin, kResetPin | kSckPin}));
}

TEST_F(FtdiCableTest, ShortReadsAreReadOnAndTheSamplesStayRight) {
  twin.read_limit = 7;
  Open();
  TestWire wire(*cable, twin.sim().clock(), 0);
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_EQ(wire.Instruction(0x30, 0x00, 0x00, 0x00)[3], 0x1E);
  EXPECT_FALSE(cable->Lost());
}

// A transfer that fails, a write the chip takes only part of, bytes that never come back:
// the cable is lost, its samples read as no chip (MISO high), and nothing more is sent until
// the next session.
TEST_F(FtdiCableTest, AFailedOrShortTransferLosesTheCable) {
  for (auto fault : {+[](FtdiTwin& t) { t.fail_after_transfers = 6; }, +[](FtdiTwin& t) { t.short_writes_after = 2; },
                     +[](FtdiTwin& t) { t.lose_reads_after = 3; }}) {
    FtdiTwin fresh{SmallChip(), {}, FtdiWiring{}};
    fault(fresh);
    FtdiCable faulty(std::make_unique<LoggedDevice>(fresh), FtdiWiring{});
    ASSERT_TRUE(faulty.Open().ok());
    TestWire wire(faulty, fresh.sim().clock(), 0);
    wire.EnterProgramming();
    const auto answer = wire.Instruction(0x30, 0x00, 0x00, 0x00);
    EXPECT_TRUE(faulty.Lost());
    EXPECT_EQ(answer[3], 0xFF);
    faulty.StartSession(4000);
    EXPECT_FALSE(faulty.Lost());
  }
}

TEST_F(FtdiCableTest, OpenFailuresNameTheFix) {
  twin.sim().absent = true;
  EXPECT_NE(OpenFailure().find("0403:6001"), std::string::npos);
  twin.sim().absent = false;
  FtdiWiring other;
  other.serial = "A50285BI";
  const std::string by_serial = OpenFailure(other);
  EXPECT_NE(by_serial.find("A50285BI"), std::string::npos);
  EXPECT_NE(by_serial.find("probe"), std::string::npos);
  other.serial = FtdiTwin::kSerial;
  cable = std::make_unique<FtdiCable>(std::make_unique<LoggedDevice>(twin), other);
  EXPECT_TRUE(cable->Open().ok());
}

TEST(FtdiWiringText, SerialAndPinsByTheirBoardNames) {
  Result<FtdiWiring> plain = ParseFtdiWiring("");
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain->serial, "");
  EXPECT_EQ(std::vector<int>({plain->reset, plain->sck, plain->mosi, plain->miso}), (std::vector<int>{4, 2, 0, 1}));
  EXPECT_EQ(ParseFtdiWiring("A50285BI")->serial, "A50285BI");
  Result<FtdiWiring> moved = ParseFtdiWiring("A50285BI:RESET=CTS,SCK=D5");
  ASSERT_TRUE(moved.ok());
  EXPECT_EQ(moved->serial, "A50285BI");
  EXPECT_EQ(moved->reset, 3);
  EXPECT_EQ(moved->sck, 5);
  EXPECT_EQ(moved->mosi, 0);
  Result<FtdiWiring> pins_only = ParseFtdiWiring("MISO=RI,MOSI=DCD");
  ASSERT_TRUE(pins_only.ok());
  EXPECT_EQ(pins_only->serial, "");
  EXPECT_EQ(pins_only->miso, 7);
  EXPECT_EQ(pins_only->mosi, 6);
  EXPECT_EQ(ParseFtdiWiring(":SCK=DSR")->sck, 5);
  for (const char* bad : {"A1:SCK=TXD", "A1:RESET=XX", "A1:CLK=RTS", "A1:SCK", "A1:SCK=RTS:B", "RESET=RTS"}) {
    Result<FtdiWiring> refused = ParseFtdiWiring(bad);
    EXPECT_FALSE(refused.ok()) << bad;
  }
}

}  // namespace
}  // namespace tolmeo
