// The cable dialog: the probe's cables as rows, choosing one with the speed its probe suggests,
// a parallel port's wiring, the speed bar with the slowest chip clock it suits, and applying
// into the options (refused for a text Tolmeo cannot use, undone when the main window says no).
#include "app/ide_cabledialog.h"

#include "app/dialog_fixture.h"
#include "base/cp949.h"
#include "formats/ide_options.h"
#include "gfx/colors.h"
#include "isp/cable_choice.h"
#include "port/parport_wiring.h"

namespace tolmeo::testing {
namespace {

ProbeResult Found(const std::string& text, std::optional<std::int32_t> suggested) {
  ProbeResult result;
  result.cable = {text, "test"};
  result.chip_answers = true;
  result.signature = {0x1E, 0x95, 0x0F};
  result.fastest_speed = suggested ? std::optional<std::int32_t>(*suggested / 2) : std::nullopt;
  result.suggested_speed = suggested;
  return result;
}

class CableDialogTest : public AppDialogTest {
 protected:
  CableDialogTest() {
    options = DefaultOptions();
    options.overallColor = kOverall;
    options.cable = "parport0:stk200";
    options.ispSpeed = 0x10;
    CableDialogHooks hooks;
    hooks.probe = [this](ProbeDone done) {
      ++probes;
      if (!probe_starts) return false;
      held = std::move(done);
      if (probe_ends_at_once) held(found);
      return true;
    };
    hooks.apply = [this] {
      applied.push_back(options.cable);
      return main_takes_it;
    };
    hooks.show_notice = RecordNotices();
    dialog = &Make<Tide_cable_Form>(options, std::move(hooks));
    dialog->Show();
    Pump();
  }

  // The dialog as it is while a probe runs, or as it is otherwise.
  void ExpectSearching(bool searching) {
    EXPECT_EQ(dialog->searching(), searching);
    EXPECT_EQ(dialog->probe_button().enabled(), !searching);
    EXPECT_EQ(dialog->apply_button().enabled(), !searching);
    EXPECT_EQ(dialog->cursor(), searching ? CursorShape::Wait : CursorShape::Default);
  }

  Tide_cable_Form* dialog = nullptr;
  std::vector<ProbeResult> found = {Found("parport0", 0x4), Found("arduino:/dev/ttyACM0", std::nullopt)};
  int probes = 0;
  bool probe_starts = true;
  bool probe_ends_at_once = true;
  ProbeDone held;  // the probe's end, given the results when the test says
  bool main_takes_it = true;
  std::vector<std::string> applied;
};

TEST_F(CableDialogTest, ShowsTheOptionsCableWiringAndSpeedUntilAProbeFindsCables) {
  EXPECT_EQ(dialog->chosen_text(), "parport0:stk200");
  EXPECT_TRUE(dialog->wiring_box(1).checked());  // stk200, after Tolmeo's own
  EXPECT_FALSE(dialog->wiring_box(0).checked());
  EXPECT_TRUE(dialog->rows().empty());
  EXPECT_NE(Utf8FromCp949(dialog->SpeedLine()).find("0x10 (1.000 MHz"), std::string::npos)
      << Utf8FromCp949(dialog->SpeedLine());
  Click(dialog->probe_button());
  EXPECT_EQ(probes, 1);
  ASSERT_EQ(dialog->rows().size(), 2u);
  EXPECT_TRUE(dialog->row_box(0).checked());  // the port the options name, wiring aside
  EXPECT_FALSE(dialog->row_box(1).checked());
}

TEST_F(CableDialogTest, ARowTakesItsCableAndSuggestedSpeedAndTheWiringGoesOnlyOnAPort) {
  Click(dialog->probe_button());
  Click(dialog->row_box(0));
  EXPECT_EQ(dialog->chosen_text(), "parport0");
  EXPECT_EQ(dialog->chosen_speed(), 0x4);
  EXPECT_TRUE(dialog->wiring_box(0).checked());
  Click(dialog->wiring_box(2));
  EXPECT_EQ(dialog->chosen_text(), std::string("parport0:") + std::string(KnownWirings()[2].name));
  Click(dialog->row_box(1));
  EXPECT_EQ(dialog->chosen_text(), "arduino:/dev/ttyACM0");
  EXPECT_EQ(dialog->chosen_speed(), 0x4);  // the sketch sets its own SCK: the speed stays
  Click(dialog->wiring_box(3));
  EXPECT_EQ(dialog->chosen_text(), "arduino:/dev/ttyACM0");
  EXPECT_FALSE(dialog->wiring_box(3).checked());
}

// A USB programmer's text has no port, as the first parallel port's has none either: a wiring
// must still not turn it into a parallel port.
TEST_F(CableDialogTest, AUsbProgrammerTakesNoWiring) {
  found.push_back(Found("usbasp", 0x4));
  Click(dialog->probe_button());
  Click(dialog->row_box(2));
  EXPECT_EQ(dialog->chosen_text(), "usbasp");
  EXPECT_FALSE(dialog->wiring_box(0).checked());
  Click(dialog->wiring_box(2));
  EXPECT_EQ(dialog->chosen_text(), "usbasp");
  EXPECT_FALSE(dialog->wiring_box(2).checked());
}

// Nothing is drawn past the text's column; the lines of each row give back its whole line.
TEST_F(CableDialogTest, ALongProbeLineGoesOnOverFurtherLinesWholeAndTheBarReachesEveryLine) {
  ProbeResult serial = Found("arduino:/dev/ttyACM0", 0x4);
  serial.cable.found = Cp949FromUtf8("시리얼 포트 /dev/ttyACM0");
  found = {Found("parport0", 0x4), Found("usbasp", 0x4), serial};
  Click(dialog->probe_button());
  ASSERT_EQ(dialog->rows().size(), 3u);
  for (int row = 0; row < 3; ++row) {
    std::string joined;
    for (const CableRowLine& line : dialog->row_lines()) {
      if (line.row == row) joined += (joined.empty() ? "" : " ") + line.text;
    }
    EXPECT_EQ(joined, ProbeLine(dialog->rows()[row])) << row;
  }
  const int lines = static_cast<int>(dialog->row_lines().size());
  ASSERT_GT(lines, kCableShownLines);
  const Bitmap& body = dialog->bitmap();
  const int bar_left = dialog->lines_bar().left();
  for (int y = 48; y < 48 + 16 * kCableShownLines; ++y) {
    for (int x = bar_left - 4; x < body.width() - 8; ++x) ASSERT_EQ(body.Pixel(x, y), kWhite) << x << "," << y;
  }
  EXPECT_TRUE(dialog->lines_bar().visible());
  EXPECT_EQ(dialog->lines_bar().maximum(), lines - kCableShownLines);
  EXPECT_FALSE(dialog->row_box(2).visible());  // its first line is below the view
  dialog->lines_bar().SetPosition(dialog->lines_bar().maximum());
  Pump();
  ASSERT_TRUE(dialog->row_box(2).visible());
  Click(dialog->row_box(2));
  EXPECT_EQ(dialog->chosen_text(), "arduino:/dev/ttyACM0");
}

TEST_F(CableDialogTest, TheSpeedBarStepsThroughTheProbeSpeeds) {
  dialog->speed_bar().SetPosition(0);
  EXPECT_EQ(dialog->chosen_speed(), ProbeSpeeds().front());
  dialog->speed_bar().SetPosition(static_cast<int>(ProbeSpeeds().size()) - 1);
  EXPECT_EQ(dialog->chosen_speed(), 0x200);
  EXPECT_NE(Utf8FromCp949(dialog->SpeedLine()).find("128.00 us"), std::string::npos);
}

TEST_F(CableDialogTest, ApplyingPutsTheChoiceInTheOptionsUnlessRefused) {
  Click(dialog->probe_button());
  Click(dialog->row_box(1));
  Click(dialog->apply_button());
  EXPECT_EQ(options.cable, "arduino:/dev/ttyACM0");
  EXPECT_EQ(options.ispSpeed, 0x10);
  EXPECT_EQ(applied, std::vector<std::string>{"arduino:/dev/ttyACM0"});
  main_takes_it = false;
  Click(dialog->row_box(0));
  Click(dialog->apply_button());
  EXPECT_EQ(options.cable, "arduino:/dev/ttyACM0");  // a running command kept its cable
  EXPECT_EQ(options.ispSpeed, 0x10);
  EXPECT_TRUE(notices.empty());
}

// The probe runs while the dialog stays up: it says so, and neither button takes a click
// until the results are there.
TEST_F(CableDialogTest, WhileTheProbeRunsTheButtonsRefuseAndTheResultsComeWhenItEnds) {
  probe_ends_at_once = false;
  Click(dialog->probe_button());
  ExpectSearching(true);
  Click(dialog->probe_button());
  Click(dialog->apply_button());
  EXPECT_EQ(probes, 1);
  EXPECT_TRUE(applied.empty());
  EXPECT_TRUE(dialog->rows().empty());
  held(found);
  Pump();
  ExpectSearching(false);
  ASSERT_EQ(dialog->rows().size(), 2u);
  EXPECT_TRUE(dialog->row_box(1).visible());
  Click(dialog->apply_button());
  EXPECT_EQ(applied.size(), 1u);
}

TEST_F(CableDialogTest, AProbeThatCannotStartLeavesTheButtonsAsTheyWere) {
  probe_starts = false;
  Click(dialog->probe_button());
  ExpectSearching(false);
}

TEST_F(CableDialogTest, AProbeEndingAfterTheDialogWentGoesNowhere) {
  probe_ends_at_once = false;
  Click(dialog->probe_button());
  DestroyForms();
  held(found);
}

TEST_F(CableDialogTest, ACableTextTolmeoCannotUseIsRefusedWithItsReason) {
  options.cable = "sim,fast";
  dialog->Hide();
  dialog->Show();
  Pump();
  Click(dialog->apply_button());
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_TRUE(notices[0].starts_with("3 ")) << notices[0];
  EXPECT_TRUE(applied.empty());
}

}  // namespace
}  // namespace tolmeo::testing
