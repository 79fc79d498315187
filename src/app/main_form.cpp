#include "app/main_form.h"

#include <algorithm>
#include <stdexcept>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
#include "form/application.h"
#include "gfx/font_store.h"
#include "isp/device_description.h"
#include "isp/hex_documents.h"
#include "port/sim_cable.h"
#include "views/bit_editor_commands.h"

namespace tolmeo {
namespace {

void LoadFontsOrThrow() {
  if (Status fonts = LoadFonts(); !fonts) throw std::runtime_error(Utf8FromCp949(fonts.reason()));
}

}  // namespace

Tmain_Form::Tmain_Form(IdeOptions& options, ChipImage& image)
    : options_(options), image_(image) {
  LoadFontsOrThrow();
  Application& app = Application::Current();
  limits_ = SizeLimits{kMainMinimumSize, kMainMinimumSize, 0, app.WorkArea().height};
  SetSizeLimits(limits_);
  Rect screen = app.ScreenRect();
  SetBounds(Rect{screen.width / 2 - kMainDesignWidth / 2, screen.height / 2 - kMainDesignHeight / 2,
                 kMainDesignWidth, kMainDesignHeight});
  LoadOptionsFile();
  panel_ = std::make_unique<MainPanel>(
      *this, options_, limits_,
      PanelHandlers{[this](PanelCommand command) { RunCommand(command); },
                    [this](Memory memory) { OpenDocument(memory); },
                    [this](Memory memory) { CloseDocument(memory); }},
      MakeMenuActions());
  avr_ = std::make_unique<Tide_AVR_Form>(*this, options_, image_, kMenuBarLeft);
  avr_->Show();
  panel_->BringFrameToFront();
  seam_ = std::make_unique<GuiEngineSeam>(
      EngineWindows{panel_->progress_bar(Memory::Flash), panel_->progress_bar(Memory::Eeprom),
                    panel_->document_label(Memory::Flash), panel_->document_label(Memory::Eeprom),
                    *avr_},
      image_);
  // A description that does not load leaves the chip image empty, and every command then says
  // that no description is loaded.
  SelectRememberedDevice();
  LoadDescription(DescriptionPath(panel_->menu().DeviceName()), image_, *seam_);
  ApplyTranslucency();
  OpenSession();
  ConnectProgrammerWindow();
}

// A missing or damaged file leaves the defaults; a damaged one is kept aside before the
// defaults go over it at close, and told once the message box is there. One that cannot even
// be copied is never written over.
void Tmain_Form::LoadOptionsFile() {
  const std::string path = OptionsPath();
  Status loaded = LoadOptions(path, options_);
  if (loaded || !FileExists(path)) return;
  Result<std::string> kept = KeepUnreadableOptions(path);
  save_options_ = kept.ok();
  startup_warnings_.push_back(loaded.reason() + Ktext(u8"\r\n설정 파일을 읽지 못해 기본 설정으로 시작합니다.") +
                     (kept ? Ktext(u8"\r\n원래 파일은 ") + *kept +
                                 Ktext(u8" 에 두었고, 닫을 때 설정 파일에 기본 설정을 씁니다.")
                           : Ktext(u8"\r\n원래 파일을 옮겨 두지 못해 (") + kept.reason() +
                                 Ktext(u8") 닫을 때 설정 파일을 쓰지 않습니다.")));
}

// A remembered device whose description is gone gives way to the first one, which is then
// remembered instead, so the notice comes once.
void Tmain_Form::SelectRememberedDevice() {
  Tide_menu_Form& menu = panel_->menu();
  if (options_.deviceName.empty() || menu.SelectDevice(options_.deviceName)) return;
  startup_warnings_.push_back(Ktext(u8"기억해 둔 장치 ") + options_.deviceName + Ktext(u8" 의 명세문서가 없습니다 (") +
                              DescriptionPath(options_.deviceName) + Ktext(u8").\r\n첫 명세문서 ") +
                              menu.DeviceName() + Ktext(u8" (으)로 시작합니다."));
  options_.deviceName = menu.DeviceName();
}

// The cable is built for the description in force: a virtual chip takes its memories from it.
// The session before it goes first, so a chip file it holds is written back and let go.
void Tmain_Form::OpenSession() {
  session_.reset();
  session_ = std::make_unique<EngineSession>(options_.cable, image_, *seam_, options_.ispSpeed,
                                             StateFolder());
  session_->OpenPort();  // a cable that does not open says why at the first command
}

void Tmain_Form::ConnectProgrammerWindow() {
  ConnectBitEditor(
      avr_->bit_editor(),
      BitEditorCommands{[this](const std::function<void(Programmer&)>& command) {
                          RunEngineCommand(command);
                        },
                        image_, *seam_, [this] { return panel_->menu().DeviceName(); },
                        [this] { return !RefusedWhileBusy(); }});
}

Tmain_Form::~Tmain_Form() {
  session_.reset();
  seam_.reset();
  avr_.reset();
  panel_.reset();
  FreeFonts();
}

MenuActions Tmain_Form::MakeMenuActions() {
  MenuActions actions;
  actions.open_flash_document = [this] { OpenDocument(Memory::Flash); };
  actions.open_eeprom_document = [this] { OpenDocument(Memory::Eeprom); };
  actions.save_flash_image = [this] { SaveChipImage(Memory::Flash, image_, *seam_); };
  actions.save_eeprom_image = [this] { SaveChipImage(Memory::Eeprom, image_, *seam_); };
  actions.show_settings = [this] {
    if (show_settings) show_settings();
  };
  actions.show_cable_settings = [this] {
    if (show_cable_settings) show_cable_settings();
  };
  actions.show_notice = [this](int kind, const std::string& text) {
    seam_->ShowNotice(kind, text);
  };
  actions.may_change_device = [this] { return !RefusedWhileBusy(); };
  actions.load_device = [this](const std::string& name) { LoadDevice(name); };
  return actions;
}

void Tmain_Form::AttachShellWindows(Tide_submenu_Form& submenu, Tide_msgbox_Form& msgbox) {
  panel_->menu().AttachSubmenu(submenu);
  seam_->SetMsgbox(&msgbox);
}

void Tmain_Form::ApplyTranslucency() {
  SetAlphaBlend(options_.alphaBlendOn != 0, static_cast<std::uint8_t>(options_.alphaBlendValue));
}

void Tmain_Form::ReportStartupProblems() {
  for (const std::string& warning : startup_warnings_) seam_->ShowNotice(kNoticeWarning, warning);
  startup_warnings_.clear();
  ReportVirtualChipFile();
}

// A virtual chip whose file could not be read refuses every command, with this reason.
void Tmain_Form::ReportVirtualChipFile() {
  if (SimCable* sim = session_->rig().sim; sim && !sim->load_status().ok()) {
    seam_->ShowNotice(kNoticeFailure, sim->load_status().reason());
  }
}

bool Tmain_Form::RefusedWhileBusy() {
  if (!probing() && !session_->programmer().busy()) return false;
  seam_->ShowNotice(kNoticeWarning, BusyRefusalText());
  return true;
}

void Tmain_Form::RunEngineCommand(const std::function<void(Programmer&)>& command) {
  if (probing() && RefusedWhileBusy()) return;  // the cable is the probe's
  Programmer& programmer = session_->programmer();
  // A command clicked while another runs is refused by the engine, which says so; the look
  // belongs to the running one.
  bool starts_work = !programmer.busy();
  if (starts_work) panel_->ShowBusy(true);
  // The clicked button still holds the mouse while its click runs; a command runs for seconds,
  // and meanwhile the rest of the window must hear the user (and say no where it must).
  if (Form* holder = Application::Current().captured()) holder->ReleaseCapture();
  command(programmer);
  if (starts_work) panel_->ShowBusy(false);
}

namespace {

CommandOutcome Dispatch(Programmer& programmer, PanelCommand command) {
  switch (command) {
    case PanelCommand::kErase: return programmer.Erase();
    case PanelCommand::kFlashWrite: return programmer.FlashWrite();
    case PanelCommand::kFlashRead: return programmer.FlashRead();
    case PanelCommand::kFlashVerify: return programmer.FlashVerify();
    case PanelCommand::kEepromWrite: return programmer.EepromWrite();
    case PanelCommand::kEepromRead: return programmer.EepromRead();
    case PanelCommand::kEepromVerify: return programmer.EepromVerify();
    case PanelCommand::kLockFuseWrite: return programmer.LockFuseWrite();
    case PanelCommand::kLockFuseRead: return programmer.LockFuseRead();
    case PanelCommand::kAutoSequence: return programmer.AutoSequence();
    case PanelCommand::kRun: return programmer.Run();
  }
  return CommandOutcome::kRefused;
}

}  // namespace

// A command that went through says so in the caption for a while; one that failed has said
// why in the message box.
void Tmain_Form::RunCommand(PanelCommand command) {
  CommandOutcome outcome = CommandOutcome::kRefused;
  RunEngineCommand([&](Programmer& programmer) { outcome = Dispatch(programmer, command); });
  if (outcome == CommandOutcome::kDone) panel_->caption().ShowBriefly(CommandDoneText(command));
}

// A running write or verify re-reads its document and works from the image: neither may change
// under it.
void Tmain_Form::OpenDocument(Memory memory) {
  if (RefusedWhileBusy()) return;
  ChooseDocument(memory, image_, *seam_);
}

void Tmain_Form::CloseDocument(Memory memory) {
  if (RefusedWhileBusy()) return;
  tolmeo::CloseDocument(memory, image_, *seam_);
}

void Tmain_Form::LoadDevice(const std::string& name) {
  Status loaded = LoadDescription(DescriptionPath(name), image_, *seam_);
  if (!loaded) {
    seam_->ShowNotice(kNoticeFailure, loaded.reason());
    return;
  }
  options_.deviceName = name;
  if (!session_->rig().sim) return;
  OpenSession();
  ReportVirtualChipFile();
}

namespace {

// Every attached cable, and first the options' own when it is none of them.
std::vector<CableCandidate> CablesToProbe(const std::string& own) {
  std::vector<CableCandidate> cables = AttachedCables();
  const bool listed =
      std::any_of(cables.begin(), cables.end(), [&own](const CableCandidate& cable) { return cable.text == own; });
  if (!listed) cables.insert(cables.begin(), {own, Ktext(u8"지금 설정")});
  return cables;
}

}  // namespace

// The probe's thread works from copies: the options' cable and the chip's sizes stay as they
// were when it began, whatever the windows do meanwhile.
bool Tmain_Form::ProbeCables(ProbeDone done) {
  if (RefusedWhileBusy()) return false;
  session_.reset();  // a claimed port or a locked chip file is let go for the probe
  panel_->ShowBusy(true);
  auto results = std::make_shared<std::vector<ProbeResult>>();
  probe_.Start(
      [results, own = options_.cable, device = ChipGeometry(image_), probe = probe_cable] {
        for (const CableCandidate& cable : CablesToProbe(own)) results->push_back(probe(cable, device));
      },
      [this, results, done = std::move(done)] {
        panel_->ShowBusy(false);
        OpenSession();
        if (done) done(std::move(*results));
      });
  return true;
}

bool Tmain_Form::TakeOptionsCable() {
  if (RefusedWhileBusy()) return false;
  OpenSession();
  ReportVirtualChipFile();
  return true;
}

void Tmain_Form::FormResize() {
  if (!panel_) return;
  panel_->menu().CloseMenu();
  panel_->menu().RedrawTitles();
  panel_->Layout();
  if (avr_) avr_->FitToMainWindow();
}

bool Tmain_Form::FormMouseWheel(ShiftState, int notches, Point) {
  return avr_ && avr_->OfferWheel(notches);
}

// Written even when nothing changed; a file that cannot be written keeps the one on disk whole.
void Tmain_Form::FormClose(CloseAction&) {
  if (save_options_) SaveOptions(OptionsPath(), options_);
  KeepVirtualChip();
}

// A virtual chip kept in a file is written back while the message box can still say that it
// could not be; the cable then need not write it again when it goes.
void Tmain_Form::KeepVirtualChip() {
  if (!session_) return;  // closed during a probe: the chip was kept when the probe began
  SimCable* sim = session_->rig().sim;
  if (!sim || !sim->keeps_file()) return;
  sim->set_save_on_close(false);
  if (Status saved = sim->Save(); !saved) seam_->ShowNotice(kNoticeFailure, saved.reason());
}

}  // namespace tolmeo
