// The GPIO header cable down to the libgpiod calls, against fake lines with a virtual AVR
// behind them: which lines it requests and sets at each edge, what it says when a chip or a
// line cannot be had, and the instructions it carries.
#include "port/gpio_cable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "base/cp949.h"
#include "port/gpio_twin.h"
#include "port/isp_lines.h"
#include "test_wire.h"
#include "wired_chip.h"

namespace tolmeo {
namespace {

using testing::SmallChip;
using testing::TestWire;

// The twin's calls, as the cable made them: "out 25=1", "in 9", "set 11=1", "get 9".
class LoggedLines : public GpioLines {
 public:
  explicit LoggedLines(GpioTwin& twin, std::vector<std::string>& log) : twin_(twin), log_(log) {}
  int OpenChip(const std::string& chip) override { return twin_.OpenChip(chip); }
  unsigned LineCount() const override { return twin_.LineCount(); }
  int RequestOutput(unsigned offset, int value) override {
    log_.push_back("out " + std::to_string(offset) + "=" + std::to_string(value));
    return twin_.RequestOutput(offset, value);
  }
  int RequestInput(unsigned offset) override {
    log_.push_back("in " + std::to_string(offset));
    return twin_.RequestInput(offset);
  }
  int SetValue(unsigned offset, int value) override {
    log_.push_back("set " + std::to_string(offset) + "=" + std::to_string(value));
    return twin_.SetValue(offset, value);
  }
  int GetValue(unsigned offset, int& value) override {
    log_.push_back("get " + std::to_string(offset));
    return twin_.GetValue(offset, value);
  }
  void Close() override { twin_.Close(); }

 private:
  GpioTwin& twin_;
  std::vector<std::string>& log_;
};

class GpioCableTest : public ::testing::Test {
 protected:
  GpioCable& MakeCable() {
    cable = std::make_unique<GpioCable>(std::make_unique<LoggedLines>(twin, log), RaspberryPiWiring());
    return *cable;
  }
  std::string OpenFailure() {
    Status opened = MakeCable().Open();
    EXPECT_FALSE(opened.ok());
    return opened.ok() ? std::string() : Utf8FromCp949(opened.reason());
  }

  GpioTwin twin{SmallChip(), {}, RaspberryPiWiring()};
  std::vector<std::string> log;
  std::unique_ptr<GpioCable> cable;
};

TEST_F(GpioCableTest, OpenRequestsTheLinesIdleAndEachEdgeSetsOnlyTheLineThatChanges) {
  ASSERT_TRUE(MakeCable().Open().ok());
  EXPECT_EQ(log, (std::vector<std::string>{"out 25=1", "out 11=0", "out 10=0", "in 9"}));
  log.clear();
  cable->WriteData(kIdleDataRegister);  // the levels the lines were requested with
  cable->WriteData(0x83);               // SCK up
  cable->WriteData(0x81);               // SCK down
  cable->WriteData(0x05);               // mode line, RESET stays, MOSI up: the mode line has no pin
  cable->WriteData(0x00);               // RESET and MOSI down
  cable->ReadStatus();
  EXPECT_EQ(log, (std::vector<std::string>{"set 11=1", "set 11=0", "set 10=1", "set 25=0", "set 10=0", "get 9"}));
  EXPECT_EQ(cable->Stats().accesses, 6);
  EXPECT_EQ(cable->Stats().transfers, 6);
}

TEST_F(GpioCableTest, CarriesInstructionsToTheVirtualChip) {
  ASSERT_TRUE(MakeCable().Open().ok());
  TestWire wire(*cable, twin.sim().clock(), 2000);
  EXPECT_EQ(wire.EnterProgramming(), 0x53);
  EXPECT_EQ(wire.Instruction(0x30, 0x00, 0x00, 0x00)[3], 0x1E);
  EXPECT_EQ(wire.Instruction(0x30, 0x00, 0x02, 0x00)[3], 0x0A);
  EXPECT_FALSE(cable->Lost());
}

TEST_F(GpioCableTest, OpenFailuresNameTheFix) {
  twin.open_error = EACCES;
  EXPECT_NE(OpenFailure().find("gpio 그룹"), std::string::npos);
  twin.open_error = ENOENT;
  EXPECT_NE(OpenFailure().find("gpiodetect"), std::string::npos);
  twin.open_error.reset();
  twin.busy_line = 11;
  const std::string busy = OpenFailure();
  EXPECT_NE(busy.find("11 번 라인"), std::string::npos) << busy;
  EXPECT_NE(busy.find("gpioinfo"), std::string::npos) << busy;
  // What was requested before the busy line was given back.
  twin.busy_line.reset();
  EXPECT_TRUE(MakeCable().Open().ok());
}

TEST_F(GpioCableTest, ALineTheChipLacksOrAnAbsentCableIsRefused) {
  twin.line_count = 20;
  EXPECT_NE(OpenFailure().find("25 번 라인이 없습니다"), std::string::npos);
  twin.line_count = 54;
  twin.sim().absent = true;
  EXPECT_NE(OpenFailure().find("찾지 못했습니다"), std::string::npos);
}

TEST_F(GpioCableTest, BeforeOpenNothingIsSetAndALineThatFailsLosesTheCable) {
  MakeCable().WriteData(0x83);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(cable->ReadStatus(), StatusWithMiso(true));
  ASSERT_TRUE(cable->Open().ok());
  twin.Close();  // the lines taken away under the cable
  cable->WriteData(0x83);
  EXPECT_TRUE(cable->Lost());
  cable->StartSession(0);
  EXPECT_FALSE(cable->Lost());
}

TEST(GpioWiringText, FourDifferentOffsetsAfterTheChip) {
  Result<GpioWiring> wiring = ParseGpioWiring("gpiochip0:25,11,10,9");
  ASSERT_TRUE(wiring.ok());
  EXPECT_EQ(wiring->chip, "gpiochip0");
  EXPECT_EQ(std::vector<unsigned>({wiring->reset, wiring->sck, wiring->mosi, wiring->miso}),
            (std::vector<unsigned>{25, 11, 10, 9}));
  EXPECT_EQ(ParseGpioWiring("/dev/gpiochip1:1,2,3,4")->chip, "/dev/gpiochip1");
  for (const char* bad : {"gpiochip0", "gpiochip0:1,2,3", "gpiochip0:1,2,3,4,5", "gpiochip0:1,2,2,4", ":1,2,3,4",
                          "gpiochip0:1,2,x,4", "gpiochip0:1,2,3,", "gpiochip0:-1,2,3,4"}) {
    Result<GpioWiring> refused = ParseGpioWiring(bad);
    EXPECT_FALSE(refused.ok()) << bad;
    if (!refused.ok()) {
      EXPECT_NE(Utf8FromCp949(refused.reason()).find("gpio:gpiochip0:25,11,10,9"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace tolmeo
