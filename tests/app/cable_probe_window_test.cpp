// The cable dialog's probe in Tolmeo's own wiring: it runs off the GUI thread while the windows
// go on (a timer ticks, the busy look shows), the commands and the bit editor refuse meanwhile
// as they do while a command runs, the results come and the cable is taken again when it ends,
// and closing the dialog or the main window during it is safe.
#include <latch>
#include <thread>

#include "app/ide_cabledialog.h"
#include "form/form_timer.h"
#include "isp/programmer.h"
#include "main_window_fixture.h"

namespace tolmeo::testing {
namespace {

class CableProbeWindowTest : public MainWindowTest {
 protected:
  CableProbeWindowTest() { AddDescription("ATmega8"); }
  ~CableProbeWindowTest() override { Release(); }  // the windows wait for the probe when they go

  // The main window and the cable dialog, wired as the entry wires them, with a probe that
  // holds each cable until the test releases it.
  void StartWithDialog() {
    Start();
    main->probe_cable = [this](const CableCandidate& cable, const ChipGeometry& device) {
      release.wait();
      probed_on = std::this_thread::get_id();
      probed_flash_bytes = device.flashSize;
      ProbeResult result;
      result.cable = cable;
      result.chip_answers = true;
      return result;
    };
    CableDialogHooks hooks;
    hooks.probe = [this](ProbeDone done) { return main->ProbeCables(std::move(done)); };
    hooks.apply = [this] { return main->TakeOptionsCable(); };
    dialog = &Make<Tide_cable_Form>(options, std::move(hooks));
    dialog->Show();
    Pump();
  }
  void Release() {
    if (released) return;
    released = true;
    release.count_down();
  }
  // The probe's end, posted from its thread, is taken by the next pass.
  void LetTheProbeEnd() {
    Release();
    screen->WaitForWake();
    Pump();
  }
  int Refusals() const { return static_cast<int>(std::count(notices.begin(), notices.end(), BusyRefusalText())); }
  CursorShape EraseCursor() { return main->panel().command_button(PanelCommand::kErase).cursor(); }

  Tide_cable_Form* dialog = nullptr;
  std::latch release{1};
  bool released = false;
  std::thread::id probed_on;
  std::uint32_t probed_flash_bytes = 0;
};

TEST_F(CableProbeWindowTest, TheWindowsGoOnWhileAProbeRunsAndCommandsAreRefusedUntilItEnds) {
  StartWithDialog();
  ClickOn(dialog->probe_button());
  EXPECT_TRUE(main->probing());
  EXPECT_TRUE(dialog->searching());
  int ticks = 0;
  FormTimer timer("tick_Timer", [&] { ++ticks; }, 100);
  timer.SetEnabled(true);
  Advance(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(EraseCursor(), CursorShape::Wait);
  ClickOn(dialog->close_button(), 3, 3);  // the dialog goes; the probe goes on
  EXPECT_FALSE(dialog->visible());
  ClickCommand(PanelCommand::kFlashRead);
  main->programmer_window().block_tabs().SetSelected(kAvrSettingsTab);
  Pump();
  ClickOn(main->programmer_window().bit_editor().read_button(FuseGroup::High), 10, 5);
  EXPECT_EQ(Refusals(), 2);
  EXPECT_TRUE(main->probing());

  LetTheProbeEnd();
  EXPECT_FALSE(main->probing());
  EXPECT_FALSE(dialog->searching());
  EXPECT_NE(probed_on, std::this_thread::get_id());
  EXPECT_EQ(probed_flash_bytes, 8192u);
  ASSERT_FALSE(dialog->rows().empty());
  EXPECT_EQ(dialog->rows()[0].cable.text, "sim");  // the options' own, first
  EXPECT_EQ(EraseCursor(), CursorShape::Default);
  ASSERT_NE(main->session().rig().sim, nullptr);  // the cable is taken again
  ClickCommand(PanelCommand::kFlashRead);
  EXPECT_EQ(Refusals(), 2);
  EXPECT_EQ(notices.size(), 2u);
}

TEST_F(CableProbeWindowTest, ANewProbeOrAnotherCableWaitsForTheRunningProbe) {
  StartWithDialog();
  ClickOn(dialog->probe_button());
  EXPECT_FALSE(main->ProbeCables(nullptr));
  EXPECT_FALSE(main->TakeOptionsCable());
  EXPECT_EQ(Refusals(), 2);
  LetTheProbeEnd();
  EXPECT_TRUE(main->TakeOptionsCable());
}

// The chip was written back to its file when the probe let the cable go; the options are
// written as always, and the probe's end finds no window to go to.
TEST_F(CableProbeWindowTest, ClosingTheMainWindowDuringAProbeKeepsTheChipAndTheOptions) {
  IdeOptions file = DefaultOptions();
  file.cable = "sim:" + folder.Cp949Path() + "/chip.sim";
  WriteOptions(file);
  StartWithDialog();
  ClickOn(dialog->probe_button());
  ClickOn(main->panel().menu().close_button(), 6, 6);
  EXPECT_TRUE(app->terminated());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "chip.sim"));
  IdeOptions saved;
  ASSERT_TRUE(LoadOptions(OptionsPath(), saved).ok());
  EXPECT_EQ(saved.cable, file.cable);
  Release();
  screen->WaitForWake();
  DestroyForms();
  Pump();
  EXPECT_TRUE(notices.empty());
}

}  // namespace
}  // namespace tolmeo::testing
