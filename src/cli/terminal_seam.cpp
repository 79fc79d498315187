#include "cli/terminal_seam.h"

#include <algorithm>

#include "base/cp949.h"
#include "isp/isp_instructions.h"

namespace tolmeo::cli {
namespace {

constexpr int kBarWidth = 40;

// The system's texts break lines with CR LF; a terminal wants LF.
std::string TerminalLines(const std::string& cp949_text) {
  std::string text = Utf8FromCp949(cp949_text);
  std::string lines;
  lines.reserve(text.size());
  for (char c : text) {
    if (c != '\r') lines.push_back(c);
  }
  return lines;
}

// A question's last line may name the message box's buttons, which a terminal has not: -y
// answers here instead.
std::string WithoutButtonsLine(const std::string& question) {
  const std::string buttons_line = "\r\n" + AnswerByButtonsLine();
  if (!question.ends_with(buttons_line)) return question;
  return question.substr(0, question.size() - buttons_line.size());
}

const char* KindPrefix(int kind) {
  switch (kind) {
    case kNoticeInfo: return "";
    case kNoticeWarning: return reinterpret_cast<const char*>(u8"경고: ");
    default: return reinterpret_cast<const char*>(u8"오류: ");
  }
}

}  // namespace

TerminalSeam::TerminalSeam(std::FILE* out, std::FILE* err, bool assume_yes, bool show_progress)
    : out_(out), err_(err), assume_yes_(assume_yes), show_progress_(show_progress) {}

void TerminalSeam::PrintText(std::FILE* stream, const char* prefix, const std::string& cp949_text) {
  std::fprintf(stream, "%s%s\n", prefix, TerminalLines(cp949_text).c_str());
  std::fflush(stream);
}

void TerminalSeam::ShowNotice(int kind, const std::string& text) {
  PrintText(kind == kNoticeInfo ? out_ : err_, KindPrefix(kind), text);
}

bool TerminalSeam::AskConfirm(int kind, const std::string& text) {
  PrintText(err_, KindPrefix(kind), WithoutButtonsLine(text));
  PrintText(err_, "", assume_yes_ ? Ktext(u8"-> 계속합니다 (-y)")
                                  : Ktext(u8"-> 그만둡니다 (그래도 계속하려면 -y 를 주세요)"));
  return assume_yes_;
}

void TerminalSeam::ShowProgress(Memory bar, std::int64_t min, std::int64_t max) {
  bars_[Index(bar)] = Bar{min, max, min, true, -1};
  DrawBar(bar);
}

void TerminalSeam::SetProgressPosition(Memory bar, std::int64_t value) {
  bars_[Index(bar)].position = value;
  DrawBar(bar);
}

void TerminalSeam::HideProgress(Memory bar) {
  Bar& state = bars_[Index(bar)];
  if (show_progress_ && state.shown) {
    std::fprintf(err_, "\r%*s\r", kBarWidth + 20, "");
    std::fflush(err_);
  }
  state.shown = false;
}

// Redrawn only when the percentage changes, so a long read costs a hundred writes, not one
// per word.
void TerminalSeam::DrawBar(Memory memory) {
  Bar& bar = bars_[Index(memory)];
  if (!show_progress_ || !bar.shown) return;
  std::int64_t span = std::max<std::int64_t>(bar.max - bar.min, 1);
  std::int64_t done = std::clamp<std::int64_t>(bar.position - bar.min, 0, span);
  int percent = static_cast<int>(done * 100 / span);
  if (percent == bar.drawn_percent) return;
  bar.drawn_percent = percent;
  int filled = percent * kBarWidth / 100;
  std::fprintf(err_, "\r%-7s [%s%s] %3d%%", memory == Memory::Flash ? "Flash" : "EEPROM",
               std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(), percent);
  std::fflush(err_);
}

}  // namespace tolmeo::cli
