// What the probe finds and what it says of each cable: the devices by kind under a folder of
// stand-ins, and on the virtual chip whether it answers, its signature, and the fastest speed
// that still reads it right, which a slower chip clock pushes down.
#include "isp/cable_probe.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp949.h"
#include "isp/line_driver.h"
#include "port/chip_model.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

std::vector<std::string> Texts(const std::vector<CableCandidate>& cables) {
  std::vector<std::string> texts;
  for (const CableCandidate& cable : cables) texts.push_back(cable.text);
  return texts;
}

TEST(CableProbe, FindsEachKindOfCableByItsDeviceOrUsbIds) {
  testing::TempFolder root;
  std::filesystem::create_directories(root.path() / "dev");
  for (const char* name : {"parport1", "parport0", "ttyACM0", "ttyUSB2", "tty0", "ttyS0", "gpiochip0", "sda"}) {
    root.Write(std::string("dev/") + name, "");
  }
  auto usb = [&root](const char* device, const char* vendor, const char* product, const char* serial) {
    const std::string folder = std::string("sys/bus/usb/devices/") + device + "/";
    std::filesystem::create_directories(root.path() / folder);
    root.Write(folder + "idVendor", std::string(vendor) + "\n");
    root.Write(folder + "idProduct", std::string(product) + "\n");
    if (serial) root.Write(folder + "serial", std::string(serial) + "\n");
  };
  usb("1-1", "16c0", "05dc", nullptr);
  usb("1-2", "0403", "6001", "A10K3");
  usb("1-3", "0403", "6010", nullptr);
  usb("1-4", "046d", "c52b", nullptr);  // a mouse
  const std::string here = root.path().string();
  EXPECT_EQ(Texts(ParallelPortCandidates(here)), (std::vector<std::string>{"parport0", "parport1"}));
  EXPECT_EQ(Texts(SerialPortCandidates(here)),
            (std::vector<std::string>{"arduino:/dev/ttyACM0", "arduino:/dev/ttyUSB2"}));
  ASSERT_EQ(GpioChipCandidates(here).size(), 1u);
  EXPECT_TRUE(GpioChipCandidates(here)[0].text.starts_with("gpio:gpiochip0:"));
  EXPECT_EQ(Texts(UsbCandidates(here)), (std::vector<std::string>{"usbasp", "ftdi:A10K3", "ftdi", "ftdi-mpsse"}));
  EXPECT_EQ(AttachedCables(here).size(), 9u);
  EXPECT_TRUE(AttachedCables((root.path() / "nothing").string()).empty());
}

ProbeResult Probe(const std::string& text) { return ProbeCable({text, "test"}, ChipModel()); }

TEST(CableProbe, ASlowerChipClockGivesASlowerFastestSpeed) {
  const ProbeResult fast = Probe("sim,clock=8");
  const ProbeResult factory = Probe("sim");
  const ProbeResult slow = Probe("sim,clock=0.125");
  for (const ProbeResult* result : {&fast, &factory, &slow}) {
    ASSERT_TRUE(result->chip_answers) << ProbeLine(*result);
    EXPECT_EQ(result->signature, ChipModel().signature);
    ASSERT_TRUE(result->fastest_speed) << ProbeLine(*result);
  }
  EXPECT_LT(*fast.fastest_speed, *factory.fastest_speed);
  EXPECT_LT(*factory.fastest_speed, *slow.fastest_speed);
  // A 1 MHz chip hears a phase of two of its clocks (2 us) and no shorter; the suggestion
  // keeps Tolmeo's margin, which its own measure says suits the chip.
  EXPECT_GE(IspDelayNs(*factory.fastest_speed), 2000);
  EXPECT_LT(IspDelayNs(*factory.fastest_speed / 2), 2000);
  EXPECT_LE(SckTimingOf(*factory.suggested_speed).slowest_target_mhz, 1.0);
  EXPECT_NE(Utf8FromCp949(ProbeLine(factory)).find("1e 93 07"), std::string::npos);
}

TEST(CableProbe, AnAbsentChipAStrangeSignatureAndAMissingPortAreToldApart) {
  const ProbeResult absent = Probe("sim,absent");
  EXPECT_FALSE(absent.chip_answers);
  const ProbeResult foreign = Probe("sim,signature=1E950F");
  ASSERT_TRUE(foreign.chip_answers);
  EXPECT_EQ(foreign.signature, (std::array<std::uint8_t, 3>{0x1E, 0x95, 0x0F}));
  const ProbeResult missing = Probe("arduino:/nonexistent/ttyACM9");
  EXPECT_FALSE(missing.problem.empty());
  EXPECT_FALSE(missing.chip_answers);
  EXPECT_EQ(missing.problem.find('\n'), std::string::npos);
}

TEST(CableProbe, AnArduinoClocksSckItselfSoNoSpeedIsClaimed) {
  const ProbeResult arduino = Probe("arduino:sim");
  ASSERT_TRUE(arduino.chip_answers) << ProbeLine(arduino);
  EXPECT_EQ(arduino.signature, ChipModel().signature);
  EXPECT_FALSE(arduino.fastest_speed);
}

TEST(CableProbe, AnMpsseSckFollowsTheIspSpeedSoTheSlowerChipGetsTheSlowerSpeed) {
  const ProbeResult fast = Probe("ftdi-mpsse:sim,clock=8");
  const ProbeResult slow = Probe("ftdi-mpsse:sim,clock=0.125");
  ASSERT_TRUE(fast.chip_answers && slow.chip_answers) << ProbeLine(fast) << ProbeLine(slow);
  ASSERT_TRUE(fast.fastest_speed && slow.fastest_speed);
  EXPECT_EQ(*fast.fastest_speed, 1);
  EXPECT_EQ(*slow.fastest_speed, 0x40);
}

}  // namespace
}  // namespace tolmeo
