#include "form/system_desktop.h"

#include <SDL.h>

#include "base/cp949.h"
#include "form/child_process.h"
#include "form/x11_window.h"

namespace tolmeo {
namespace {

const std::string& NoDialogProgramText() {
  return Ktext(u8"대화 상자를 보일 프로그램이 없습니다. zenity 꾸러미를 설치해 주세요 "
               u8"(sudo apt-get install zenity). KDE 에서는 kdialog 도 됩니다.");
}

const std::string& DialogFailedText() { return Ktext(u8"대화 상자 프로그램이 비정상적으로 끝났습니다: "); }

const std::string& PathNotCp949Text() {
  return Ktext(u8"이 경로에는 Tolmeo 가 다룰 수 없는 글자가 있습니다. 다른 이름의 파일을 골라 주세요: ");
}

const std::string& NoBrowserText() {
  return Ktext(u8"웹 브라우저를 열 수 없습니다 (xdg-utils 꾸러미가 필요합니다): ");
}

// While a dialog is open Tolmeo's windows keep answering the window manager (so it does not
// call them hung); presses and typing given to them meanwhile are dropped once the dialog is
// gone, as a window behind a modal dialog ignores them. Releases stay, so a button held down
// when the dialog opened is let go.
void KeepWindowsAnswering() { SDL_PumpEvents(); }

int IsInputGivenMeanwhile(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_TEXTEDITING:
    case SDL_TEXTINPUT:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEWHEEL:
      return 0;
    default:
      return 1;
  }
}

void DropInputGivenMeanwhile() {
  SDL_PumpEvents();
  SDL_FilterEvents(IsInputGivenMeanwhile, nullptr);
}

// The dialog belongs to the window the user works in.
ParentWindow DialogParent() { return X11WindowId(SDL_GetKeyboardFocus()); }

}  // namespace

std::optional<std::string> Cp949PathFromUtf8(const std::string& utf8_path) {
  std::string cp949 = Cp949FromUtf8(utf8_path);
  if (Utf8FromCp949(cp949) != utf8_path) return std::nullopt;
  return cp949;
}

std::vector<SystemDesktop::Program> SystemDesktop::DefaultPrograms() {
  return {{DialogProgram::Zenity, ""}, {DialogProgram::Kdialog, ""}};
}

SystemDesktop::SystemDesktop(std::vector<Program> programs) : programs_(std::move(programs)) {}

Result<std::optional<std::string>> SystemDesktop::RunDialog(
    const std::function<std::vector<std::string>(DialogProgram)>& command) {
  for (const Program& program : programs_) {
    std::vector<std::string> argv = command(program.kind);
    if (!program.path.empty()) argv[0] = program.path;
    ChildOutcome outcome = RunChild(argv, KeepWindowsAnswering);
    if (outcome.kind == ChildOutcome::Kind::Missing) continue;
    DropInputGivenMeanwhile();
    if (outcome.kind == ChildOutcome::Kind::Crashed) return Failure{DialogFailedText() + argv[0]};
    // Both programs answer 1 for a cancelled or closed dialog.
    if (outcome.exit_code == 1) return std::optional<std::string>{};
    if (outcome.exit_code != 0) {
      return Failure{DialogFailedText() + argv[0] + " (" + std::to_string(outcome.exit_code) + ")"};
    }
    return std::optional<std::string>{outcome.output};
  }
  return Failure{NoDialogProgramText()};
}

Result<std::optional<std::string>> SystemDesktop::ChooseFile(const FileDialog& dialog, bool save) {
  FileChoice choice{Utf8FromCp949(dialog.title), Utf8FromCp949(dialog.initial_folder),
                    ParseFilter(Utf8FromCp949(dialog.filter)), save, DialogParent()};
  auto answer = RunDialog([&](DialogProgram program) { return FileDialogCommand(program, choice); });
  if (!answer || !*answer) return answer;
  std::optional<std::string> utf8_path = PathFromOutput(**answer);
  if (!utf8_path) return std::optional<std::string>{};
  std::optional<std::string> path = Cp949PathFromUtf8(*utf8_path);
  if (!path) return Failure{PathNotCp949Text() + Cp949FromUtf8(*utf8_path)};
  return path;
}

Result<std::optional<std::string>> SystemDesktop::ChooseFileToOpen(const FileDialog& dialog) {
  return ChooseFile(dialog, false);
}

Result<std::optional<std::string>> SystemDesktop::ChooseFileToSave(const FileDialog& dialog) {
  return ChooseFile(dialog, true);
}

Result<std::optional<Color>> SystemDesktop::ChooseColor(Color initial) {
  auto answer = RunDialog([&](DialogProgram program) { return ColorDialogCommand(program, initial, DialogParent()); });
  if (!answer) return Failure{answer.reason()};
  if (!*answer) return std::optional<Color>{};
  return ColorFromOutput(**answer);  // an answer it cannot read counts as cancelled
}

Status SystemDesktop::OpenInBrowser(const std::string& cp949_path_or_address) {
  if (SDL_OpenURL(Utf8FromCp949(cp949_path_or_address).c_str()) != 0) {
    return Failure{NoBrowserText() + Cp949FromUtf8(SDL_GetError())};
  }
  return Success();
}

std::string SystemDesktop::ClipboardText() {
  char* text = SDL_GetClipboardText();
  if (!text) return {};
  std::string cp949 = Cp949FromUtf8(text);
  SDL_free(text);
  return cp949;
}

void SystemDesktop::SetClipboardText(const std::string& cp949_text) {
  SDL_SetClipboardText(Utf8FromCp949(cp949_text).c_str());
}

void SystemDesktop::SetTextInputRect(const Rect& screen_rect) {
  // SDL places the candidate window relative to the window that has the keyboard focus.
  SDL_Rect rect{screen_rect.left, screen_rect.top, screen_rect.width, screen_rect.height};
  if (SDL_Window* focused = SDL_GetKeyboardFocus()) {
    int left = 0, top = 0;
    SDL_GetWindowPosition(focused, &left, &top);
    rect.x -= left;
    rect.y -= top;
  }
  SDL_SetTextInputRect(&rect);
}

}  // namespace tolmeo
