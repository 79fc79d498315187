// The knobs of the wire from the command line: the SCK report and the cable text checked before
// anything runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_run.h"

namespace tolmeo::cli {
namespace {

std::string Printed(const std::vector<std::string>& args, int& status) {
  auto arguments = ParseArguments(args);
  EXPECT_TRUE(arguments.ok());
  std::FILE* out = std::tmpfile();
  status = RunCli(*arguments, out, out);
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(out);
  return text;
}

TEST(SckReport, SaysThePhaseTheRateAndTheSlowestChipItSuits) {
  int status = -1;
  std::string text = Printed({"--sck", "-s", "16"}, status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(text.find("0x10"), std::string::npos) << text;
  EXPECT_NE(text.find("4.00 us"), std::string::npos) << text;
  EXPECT_NE(text.find("125.0 kHz"), std::string::npos) << text;
  EXPECT_NE(text.find("1.000 MHz"), std::string::npos) << text;
}

TEST(SckReport, GoesBeforeTheActions) {
  int status = -1;
  std::string text = Printed({"--sck", "-c", "sim", "-d", "ATmega328P", "erase"}, status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(text.find("SCK"), std::string::npos) << text;
}

TEST(CableOption, BadCableTextIsAUsageErrorBeforeAnythingRuns) {
  for (const char* cable : {"sim,fast", "sim,clock=", "parport0:stk999", "sim:"}) {
    auto arguments = ParseArguments(std::vector<std::string>{"-c", cable, "erase"});
    EXPECT_FALSE(arguments.ok()) << cable;
  }
  EXPECT_TRUE(ParseArguments(std::vector<std::string>{"-c", "parport0:stk200", "erase"}).ok());
  EXPECT_TRUE(ParseArguments(std::vector<std::string>{"-c", "sim:a.sim,pull-after=10,clock=0.5", "erase"}).ok());
}

TEST(CableOption, TheHelpNamesEveryKnobAndWiring) {
  const std::string help = UsageText();
  for (const char* word : {"absent", "signature=", "dead-page=", "dead-eeprom=", "stuck-fuses", "pull-after=",
                           "clock=", "stk200", "dapa", "bsd", "dt006", "--sck", "0.25 us"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace tolmeo::cli

namespace tolmeo::cli {
namespace {

TEST(Probe, SaysOneLineForTheCableWithItsSignatureAndSpeedAndFailsWithoutAChip) {
  int status = -1;
  std::string text = Printed({"-c", "sim,clock=0.5", "-d", "ATmega328P", "probe"}, status);
  EXPECT_EQ(status, 0) << text;
  EXPECT_NE(text.find("1e 95 0f"), std::string::npos) << text;
  EXPECT_NE(text.find("0x"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  text = Printed({"-c", "sim,absent", "-d", "ATmega328P", "probe"}, status);
  EXPECT_EQ(status, 1) << text;
}

}  // namespace
}  // namespace tolmeo::cli
