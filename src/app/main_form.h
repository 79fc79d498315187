#pragma once
// Tolmeo's main window: borderless and white, framed by the caption window, carrying the menu
// bar, the command panel and (below it) the programmer window. Constructing it brings up the
// fonts, the options, the command panel with the first device description, the window's
// translucency and the cable, in that order; closing it saves the options.
//
// The drop-down list and the message box are created after the main window, so nothing during
// its construction can show a message; the entry hands them over with AttachShellWindows.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_panel.h"
#include "form/background_work.h"
#include "form/form.h"
#include "isp/cable_probe.h"
#include "isp/engine_session.h"
#include "shell/ide_msgbox.h"
#include "shell/ide_submenu.h"
#include "views/gui_engine_seam.h"
#include "views/ide_avr.h"

namespace tolmeo {

inline constexpr int kMainDesignWidth = 629;
inline constexpr int kMainDesignHeight = 370;
inline constexpr int kMainMinimumSize = 100;

class Tmain_Form : public Form {
 public:
  // Throws std::runtime_error when the fonts cannot be loaded: without them Tolmeo cannot
  // draw a word.
  Tmain_Form(IdeOptions& options, ChipImage& image);
  ~Tmain_Form() override;

  void AttachShellWindows(Tide_submenu_Form& submenu, Tide_msgbox_Form& msgbox);
  // What went wrong during construction that the user should know, shown once the main
  // window is up: an options file that exists but could not be read, a virtual chip's file
  // that could not be.
  void ReportStartupProblems();
  // The window's translucency as the options set it (also for the settings dialog).
  void ApplyTranslucency();
  // The settings dialog is shown through this hook (the menu's 설정 item).
  std::function<void()> show_settings;
  // The cable dialog likewise (the menu's 케이블 설정 item).
  std::function<void()> show_cable_settings;
  // Lets go of the cable and probes every attached one (and the options' own) on a thread of
  // its own while the windows go on, refusing commands meanwhile; once the probe ends the
  // cable is taken again and done is given the results. False (and said so) while a command
  // or a probe runs.
  bool ProbeCables(ProbeDone done);
  bool probing() const { return probe_.running(); }
  // How the probe probes one cable, on its thread; a test puts a scripted one here.
  std::function<ProbeResult(const CableCandidate&, const ChipGeometry&)> probe_cable = ProbeCable;
  // Takes the options' cable now; false (and said so) while a command runs.
  bool TakeOptionsCable();

  void RunCommand(PanelCommand command);
  // Runs an engine command the way the panel's buttons do: with the busy look while it runs,
  // and with the mouse let go. The bit editor's byte buttons go through here too.
  void RunEngineCommand(const std::function<void(Programmer&)>& command);
  void OpenDocument(Memory memory);
  void CloseDocument(Memory memory);

  MainPanel& panel() { return *panel_; }
  Tide_AVR_Form& programmer_window() { return *avr_; }
  GuiEngineSeam& seam() { return *seam_; }
  EngineSession& session() { return *session_; }
  const SizeLimits& size_limits() const { return limits_; }

 protected:
  void FormResize() override;
  void FormClose(CloseAction& action) override;
  // A wheel turn that no control under the pointer used still scrolls a focused viewer.
  bool FormMouseWheel(ShiftState shift, int notches, Point screen) override;

 private:
  MenuActions MakeMenuActions();
  // True (and said so) while a command or a probe runs.
  bool RefusedWhileBusy();
  void LoadOptionsFile();
  void OpenSession();
  void ReportVirtualChipFile();
  void LoadDevice(const std::string& name);
  void SelectRememberedDevice();
  void ConnectProgrammerWindow();
  void KeepVirtualChip();

  IdeOptions& options_;
  ChipImage& image_;
  SizeLimits limits_;
  // What went wrong at start-up (CP949), told once the message box is there.
  std::vector<std::string> startup_warnings_;
  bool save_options_ = true;     // false when a file that could not be read could not be kept
  std::unique_ptr<MainPanel> panel_;
  std::unique_ptr<Tide_AVR_Form> avr_;
  std::unique_ptr<GuiEngineSeam> seam_;
  std::unique_ptr<EngineSession> session_;  // none while a probe runs
  BackgroundWork probe_;
};

}  // namespace tolmeo
