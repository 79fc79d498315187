// The USBasp cable on the wire: the requests it makes of a recording USB bus, their values,
// indexes and blocks, the SCK option it picks, an old firmware, and transfers that fail or come
// back short: never an answer the programmer did not give.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "port/usbasp_link.h"
#include "port/usbasp_protocol.h"
#include "port/virtual_clock.h"

namespace tolmeo {
namespace {
using namespace usbasp;

struct Transfer {
  bool out = false;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;
  std::size_t length = 0;
  std::vector<std::uint8_t> data;  // what went out
};

UsbDeviceEntry Usbasp(const std::string& serial) {
  UsbDeviceEntry entry;
  entry.vendor_id = kVendorId;
  entry.product_id = kProductId;
  entry.manufacturer = kManufacturer;
  entry.product = kProduct;
  entry.serial = serial;
  return entry;
}

// A bus whose USBasps answer as the firmware does (a chip that echoes each byte one byte
// late, reads of 0x5A) and record every transfer; knobs make a transfer fail or come back short.
class RecordingBus : public UsbBus {
 public:
  Result<std::vector<UsbDeviceEntry>> Devices(std::uint16_t, std::uint16_t) override { return entries; }
  std::unique_ptr<UsbDevice> Open(const UsbDeviceEntry& entry) override;

  int Answer(const Transfer& transfer, std::span<std::uint8_t> data) {
    log.push_back(transfer);
    if (fail_at && *fail_at == log.size() - 1) return -7;
    const int length = static_cast<int>(data.size());
    switch (transfer.request) {
      case kSetIspSck:
        if (old_firmware) return 0;
        data[0] = 0;
        return 1;
      case kEnableProg: data[0] = enable_answer; return 1;
      case kTransmit:
        data[0] = 0;
        data[1] = static_cast<std::uint8_t>(transfer.value);
        data[2] = static_cast<std::uint8_t>(transfer.value >> 8);
        data[3] = static_cast<std::uint8_t>(transfer.index);
        return 4;
      case kReadFlash:
      case kReadEeprom:
        std::fill(data.begin(), data.end(), 0x5A);
        return short_at && *short_at == log.size() - 1 ? length - 1 : length;
      default: return transfer.out ? length : 0;
    }
  }
  std::vector<Transfer> Requests(std::uint8_t request) const {
    std::vector<Transfer> found;
    std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                 [request](const Transfer& t) { return t.request == request; });
    return found;
  }
  std::vector<std::uint8_t> RequestNumbers() const {
    std::vector<std::uint8_t> numbers;
    for (const Transfer& t : log) numbers.push_back(t.request);
    return numbers;
  }

  std::vector<UsbDeviceEntry> entries = {Usbasp("A1")};
  std::vector<Transfer> log;
  int opens = 0;
  bool old_firmware = false;
  std::uint8_t enable_answer = 0;
  std::optional<std::size_t> fail_at;   // this transfer (counted from 0) fails
  std::optional<std::size_t> short_at;  // this read comes back a byte short
  std::string opened_serial;
};

class RecordingDevice : public UsbDevice {
 public:
  explicit RecordingDevice(RecordingBus& bus) : bus_(bus) {}
  int ControlIn(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<std::uint8_t> data,
                int) override {
    return bus_.Answer({false, request, value, index, data.size(), {}}, data);
  }
  int ControlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::span<const std::uint8_t> data,
                 int) override {
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    return bus_.Answer({true, request, value, index, data.size(), copy}, std::span<std::uint8_t>(copy));
  }

 private:
  RecordingBus& bus_;
};

std::unique_ptr<UsbDevice> RecordingBus::Open(const UsbDeviceEntry& entry) {
  ++opens;
  opened_serial = entry.serial;
  return std::make_unique<RecordingDevice>(*this);
}

constexpr std::int64_t kOneMhzPhaseNs = 4000;  // ISP speed 0x10

struct Wire {
  Wire() = default;
  bool Enter(std::int64_t phase_ns = kOneMhzPhaseNs) {
    if (!link.Opened() && !link.Open().ok()) return false;
    const bool entered = link.EnterProgramming(phase_ns);
    bus.log.clear();
    return entered;
  }
  RecordingBus bus;
  VirtualClock clock;
  UsbaspLink link{bus, clock};
};

std::vector<std::uint16_t> Words(std::size_t count) {
  std::vector<std::uint16_t> words(count);
  for (std::size_t i = 0; i < count; ++i) words[i] = static_cast<std::uint16_t>(0x1100 + i);
  return words;
}

TEST(UsbaspWire, ProgrammingEntrySetsTheClockThenConnectsAndEnables) {
  Wire w;
  ASSERT_TRUE(w.link.Open().ok());
  ASSERT_TRUE(w.link.EnterProgramming(kOneMhzPhaseNs));
  EXPECT_EQ(w.bus.RequestNumbers(), (std::vector<std::uint8_t>{kSetIspSck, kConnect, kEnableProg}));
  EXPECT_EQ(w.bus.log[0].value, 8);  // 93.75 kHz: 5.3 us phases, the fastest not under 4 us
  EXPECT_DOUBLE_EQ(w.link.Capabilities().sck_khz, 93.75);
  EXPECT_FALSE(w.link.Capabilities().engine_clocks_sck);
  EXPECT_TRUE(w.link.Capabilities().echoes);
  EXPECT_TRUE(w.link.Capabilities().flash_pages && w.link.Capabilities().eeprom_pages);
  w.link.ReleaseTarget();
  EXPECT_EQ(w.bus.log.back().request, kDisconnect);
}

TEST(UsbaspWire, TheSckOptionIsTheFastestWhosePhaseIsLongEnough) {
  const std::vector<std::pair<std::int64_t, std::uint8_t>> cases = {
      {0, 12}, {250, 12}, {333, 12}, {334, 11}, {500, 11}, {kOneMhzPhaseNs, 8}, {31'250, 6}, {10'000'000, 1}};
  for (auto [phase_ns, option] : cases) {
    Wire w;
    ASSERT_TRUE(w.link.Open().ok());
    ASSERT_TRUE(w.link.EnterProgramming(phase_ns));
    EXPECT_EQ(w.bus.Requests(kSetIspSck).at(0).value, option) << phase_ns;
    EXPECT_EQ(w.link.sck_option(), option) << phase_ns;
  }
}

TEST(UsbaspWire, InstructionsTravelInValueAndIndexAndTheEchoComesBack) {
  Wire w;
  ASSERT_TRUE(w.Enter());
  w.link.Send({0xAC, 0x80, 0x00, 0x00});
  const IspReply reply = w.link.Query(0x30, 0x00, 0x02);
  ASSERT_EQ(w.bus.log.size(), 2u);
  EXPECT_EQ(w.bus.log[0].request, kTransmit);
  EXPECT_EQ(w.bus.log[0].value, 0x80AC);
  EXPECT_EQ(w.bus.log[0].index, 0x0000);
  EXPECT_EQ(w.bus.log[1].value, 0x0030);
  EXPECT_EQ(w.bus.log[1].index, 0x0002);
  EXPECT_EQ(w.bus.log[1].length, 4u);
  EXPECT_EQ(reply.echo, 0x00);   // the second byte, clocked back during the third
  EXPECT_EQ(reply.value, 0x02);  // the fake's fourth answer byte is the third sent
  EXPECT_FALSE(w.link.Lost());
}

TEST(UsbaspWire, A128BytePageIsOneBlockThatStartsAndWritesThePage) {
  Wire w;
  ASSERT_TRUE(w.Enter());
  const std::vector<std::uint16_t> words = Words(64);
  ASSERT_TRUE(w.link.WriteFlashPage(0x40, words));
  ASSERT_EQ(w.bus.log.size(), 1u);
  const Transfer& block = w.bus.log[0];
  EXPECT_TRUE(block.out);
  EXPECT_EQ(block.request, kWriteFlash);
  EXPECT_EQ(block.value, 0x80);     // byte address of word 0x40
  EXPECT_EQ(block.index, 0x0380);   // page of 128 bytes, first and last block
  ASSERT_EQ(block.data.size(), 128u);
  EXPECT_EQ(block.data[0], 0x00);   // low byte first
  EXPECT_EQ(block.data[1], 0x11);
  EXPECT_EQ(block.data[127], 0x11);
}

TEST(UsbaspWire, A256BytePageGoesIn200ByteBlocksWithThePageSizeInTheHighNibble) {
  Wire w;
  ASSERT_TRUE(w.Enter());
  ASSERT_TRUE(w.link.WriteFlashPage(0x100, Words(128)));
  ASSERT_EQ(w.bus.log.size(), 2u);
  EXPECT_EQ(w.bus.log[0].value, 0x200);
  EXPECT_EQ(w.bus.log[0].index, 0x1100);  // size 0x100: low byte 0, high nibble 1; first block
  EXPECT_EQ(w.bus.log[0].data.size(), 200u);
  EXPECT_EQ(w.bus.log[1].value, 0x200 + 200);
  EXPECT_EQ(w.bus.log[1].index, 0x1200);  // last block
  EXPECT_EQ(w.bus.log[1].data.size(), 56u);
  std::vector<std::uint16_t> read(128);
  w.bus.log.clear();
  ASSERT_TRUE(w.link.ReadFlash(0x100, read));
  ASSERT_EQ(w.bus.RequestNumbers(), (std::vector<std::uint8_t>{kReadFlash, kReadFlash}));
  EXPECT_EQ(w.bus.log[0].length, 200u);
  EXPECT_EQ(w.bus.log[1].value, 0x200 + 200);
  EXPECT_EQ(w.bus.log[1].length, 56u);
  EXPECT_EQ(read[127], 0x5A5A);
}

TEST(UsbaspWire, BeyondSixtyFourKilobytesTheLongAddressPrecedesEveryBlockUntilTheNextConnect) {
  Wire w;
  ASSERT_TRUE(w.Enter());
  ASSERT_TRUE(w.link.WriteFlashPage(0xFF80, Words(128)));  // byte 0x1FF00 of a 128 KB chip
  ASSERT_EQ(w.bus.RequestNumbers(),
            (std::vector<std::uint8_t>{kSetLongAddress, kWriteFlash, kSetLongAddress, kWriteFlash}));
  EXPECT_EQ(w.bus.log[0].value, 0xFF00);
  EXPECT_EQ(w.bus.log[0].index, 0x0001);
  EXPECT_EQ(w.bus.log[2].value, 0xFF00 + 200);
  EXPECT_EQ(w.bus.log[2].index, 0x0001);
  w.bus.log.clear();
  std::uint8_t byte = 0;
  ASSERT_TRUE(w.link.ReadEeprom(0x10, {&byte, 1}));  // the firmware keeps the long address
  EXPECT_EQ(w.bus.RequestNumbers(), (std::vector<std::uint8_t>{kSetLongAddress, kReadEeprom}));
  EXPECT_EQ(w.bus.log[0].value, 0x10);
  ASSERT_TRUE(w.Enter());
  ASSERT_TRUE(w.link.ReadEeprom(0x10, {&byte, 1}));
  EXPECT_EQ(w.bus.RequestNumbers(), (std::vector<std::uint8_t>{kReadEeprom}));
  EXPECT_EQ(w.bus.log[0].value, 0x10);
}

TEST(UsbaspWire, AnOldFirmwareGoesOnAtItsOwnRateOnlyWhenThatIsSlowEnough) {
  Wire slow_chip;
  slow_chip.bus.old_firmware = true;
  ASSERT_TRUE(slow_chip.link.Open().ok());
  EXPECT_FALSE(slow_chip.link.EnterProgramming(kOneMhzPhaseNs));
  EXPECT_NE(slow_chip.link.EntryProblem().find("375 kHz"), std::string::npos);
  EXPECT_TRUE(slow_chip.bus.Requests(kConnect).empty());  // the chip is not touched

  Wire fast_chip;
  fast_chip.bus.old_firmware = true;
  ASSERT_TRUE(fast_chip.link.Open().ok());
  ASSERT_TRUE(fast_chip.link.EnterProgramming(1000));
  EXPECT_EQ(fast_chip.link.sck_option(), 0);
  EXPECT_DOUBLE_EQ(fast_chip.link.Capabilities().sck_khz, 375);
  EXPECT_TRUE(fast_chip.link.EntryProblem().empty());
  // Without long addresses it would write the low 64 KB in their place.
  EXPECT_FALSE(fast_chip.link.WriteFlashPage(0xFF80, Words(128)));
  EXPECT_TRUE(fast_chip.link.Lost());
  EXPECT_TRUE(fast_chip.bus.Requests(kWriteFlash).empty());

  Wire failing;  // a firmware that fails the request outright counts the same
  failing.bus.fail_at = 0;
  ASSERT_TRUE(failing.link.Open().ok());
  EXPECT_FALSE(failing.link.EnterProgramming(kOneMhzPhaseNs));
  EXPECT_NE(failing.link.EntryProblem().find("375 kHz"), std::string::npos);
}

TEST(UsbaspWire, AFailedOrShortTransferIsLostAndNothingAfterItCounts) {
  Wire failed;
  ASSERT_TRUE(failed.Enter());
  failed.bus.fail_at = 1;  // the second block of the page
  EXPECT_FALSE(failed.link.WriteFlashPage(0x100, Words(128)));
  EXPECT_TRUE(failed.link.Lost());
  std::vector<std::uint16_t> words(64);
  EXPECT_FALSE(failed.link.ReadFlash(0, words));
  failed.link.Query(0x30, 0x00, 0x00);
  EXPECT_EQ(failed.bus.log.size(), 2u);  // nothing more went out

  Wire short_read;
  ASSERT_TRUE(short_read.Enter());
  short_read.bus.short_at = 1;
  std::vector<std::uint8_t> bytes(256);
  EXPECT_FALSE(short_read.link.ReadEeprom(0, bytes));
  EXPECT_TRUE(short_read.link.Lost());

  Wire refused;
  refused.bus.enable_answer = 1;  // the chip did not come into step: no USB fault
  ASSERT_TRUE(refused.link.Open().ok());
  EXPECT_FALSE(refused.link.EnterProgramming(kOneMhzPhaseNs));
  EXPECT_FALSE(refused.link.Lost());
  EXPECT_TRUE(refused.link.EntryProblem().empty());
}

TEST(UsbaspWire, AfterALostTransferTheNextEntryLooksForTheUsbaspAgain) {
  Wire w;
  ASSERT_TRUE(w.Enter());
  w.bus.fail_at = 0;
  w.link.Send({0xAC, 0x80, 0x00, 0x00});
  ASSERT_TRUE(w.link.Lost());
  w.bus.fail_at.reset();
  EXPECT_TRUE(w.link.EnterProgramming(kOneMhzPhaseNs));
  EXPECT_EQ(w.bus.opens, 2);
  EXPECT_FALSE(w.link.Lost());
}

TEST(UsbaspWire, StatsCountEveryTransferWithItsSetupPacket) {
  Wire w;
  ASSERT_TRUE(w.link.Open().ok());
  ASSERT_TRUE(w.link.EnterProgramming(kOneMhzPhaseNs));  // 1 + 0 + 1 data bytes
  w.link.Query(0x30, 0x00, 0x00);                        // 4
  ASSERT_TRUE(w.link.WriteFlashPage(0, Words(64)));      // 128
  EXPECT_EQ(w.link.Stats().transfers, 5);
  EXPECT_EQ(w.link.Stats().bytes, 5 * 8 + 1 + 1 + 4 + 128);
}

TEST(UsbaspOpen, SaysWhatToDoWhenNoneIsFoundOrOpenableOrTheSerialDiffers) {
  Wire none;
  none.bus.entries.clear();
  none.bus.entries.push_back(Usbasp("X"));
  none.bus.entries[0].product = "Some other V-USB gadget";
  Status missing = none.link.Open();
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.reason().find("plugdev"), std::string::npos);
  EXPECT_NE(missing.reason().find("usbasp:sim"), std::string::npos);

  Wire denied;
  denied.bus.entries = {UsbDeviceEntry{kVendorId, kProductId, "", "", "", true}};
  Status refused = denied.link.Open();
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.reason().find("udev"), std::string::npos);
  EXPECT_EQ(denied.bus.opens, 0);

  RecordingBus bus;
  bus.entries = {Usbasp("A1"), Usbasp("B2")};
  VirtualClock clock;
  UsbaspLink wrong(bus, clock, "C3");
  Status no_such = wrong.Open();
  ASSERT_FALSE(no_such.ok());
  EXPECT_NE(no_such.reason().find("'C3'"), std::string::npos);
  EXPECT_NE(no_such.reason().find("'A1', 'B2'"), std::string::npos);
  UsbaspLink second(bus, clock, "B2");
  ASSERT_TRUE(second.Open().ok());
  EXPECT_EQ(bus.opened_serial, "B2");
}

}  // namespace
}  // namespace tolmeo
