#include "app/main_panel.h"

#include "base/cp949.h"
#include "gfx/colors.h"
#include "gfx/palette.h"
#include "isp/hex_documents.h"

namespace tolmeo {
namespace {


// The panel's texts, converted once as the panel is built.
std::string K(const char8_t* utf8) { return Cp949FromUtf8(reinterpret_cast<const char*>(utf8)); }

}  // namespace

const std::array<CommandRowEntry, kCommandRowLength>& CommandRow() {
  using C = PanelCommand;
  static const std::array<CommandRowEntry, kCommandRowLength> row = {{
      {true, u8"지우기", 8, 50, C::kErase, u8"AVR 의 Flash 와 EEprom 을 완전히 지웁니다."},
      {false, u8"Flash:", 6, 49},
      {true, u8"쓰기", 2, 30, C::kFlashWrite,
       u8"AVR 의 Flash 에 기록합니다.\r\nFlash 에 기록할 문서가 열려 있는 경우만 처리되며\r\n"
       u8"열려 있는 문서를 다시 불러들인 다음에 기록하게 됩니다."},
      {true, u8"읽기", 2, 30, C::kFlashRead,
       u8"AVR 의 Flash 로 부터  읽어들입니다.\r\n읽는 것은 Flash 전체 영역을 대상으로 처리됩니다."},
      {true, u8"확인", 2, 30, C::kFlashVerify,
       u8"기록한 내용과 Flash 내용이 일치하는지 비교 확인합니다.\r\n"
       u8"Flash 에 기록할 문서가 열려 있는 경우만 처리되며\r\n"
       u8"열려 있는 문서를 다시 불러들인 다음에 비교 확인하게 됩니다."},
      {false, u8"EEprom:", 6, 58},
      {true, u8"쓰기", 2, 30, C::kEepromWrite,
       u8"AVR 의 EEprom 에 기록합니다.\r\nEEprom 에 기록할 문서가 열려 있는 경우만 처리되며\r\n"
       u8"열려 있는 문서를 다시 불러들인 다음에 기록하게 됩니다."},
      {true, u8"읽기", 2, 30, C::kEepromRead,
       u8"AVR 의 EEprom 로 부터 읽어들입니다.\r\n읽는 것은 EEprom 전체 영역을 대상으로 처리됩니다."},
      {true, u8"확인", 2, 30, C::kEepromVerify,
       u8"기록한 내용과 EEprom 내용이 일치하는지 비교 확인합니다.\r\n"
       u8"EEprom 에 기록할 문서가 열려 있는 경우만 처리되며\r\n"
       u8"열려 있는 문서를 다시 불러들인 다음에 비교 확인하게 됩니다."},
      {false, u8"Lock/Fuse:", 6, 82},
      {true, u8"쓰기", 2, 30, C::kLockFuseWrite, u8"AVR 에 Lock/Fuse 설정 전체를 기록합니다."},
      {true, u8"읽기", 2, 30, C::kLockFuseRead, u8"AVR 로부터 Lock/Fuse 설정 전체를 읽어들입니다."},
      {true, u8"자동진행", 6, 60, C::kAutoSequence,
       u8"지우기->Flash 기록->Flash 확인->EEprom 기록->EEprom 확인->Lock/Fuse 기록\r\n"
       u8"순으로 자동 실행 합니다.\r\n"
       u8"Flash/EEprom 기록/확인은 기록할 문서가 열려 있는 경우만 처리되며\r\n"
       u8"기록/확인은 각각 열려 있는 문서를 다시 불러들인 다음에 처리하게 됩니다."},
      {true, u8"실행", 6, 30, C::kRun, u8"AVR 을 프로그램 모드에서 해제후 실행 시킵니다."},
  }};
  return row;
}

std::string CommandDoneText(PanelCommand command) {
  using C = PanelCommand;
  switch (command) {
    case C::kErase: return Ktext(u8" 지우기 완료 ");
    case C::kFlashWrite: return Ktext(u8" Flash 쓰기 완료 ");
    case C::kFlashRead: return Ktext(u8" Flash 읽기 완료 ");
    case C::kFlashVerify: return Ktext(u8" Flash 확인 완료 ");
    case C::kEepromWrite: return Ktext(u8" EEPROM 쓰기 완료 ");
    case C::kEepromRead: return Ktext(u8" EEPROM 읽기 완료 ");
    case C::kEepromVerify: return Ktext(u8" EEPROM 확인 완료 ");
    case C::kLockFuseWrite: return Ktext(u8" Lock/Fuse 쓰기 완료 ");
    case C::kLockFuseRead: return Ktext(u8" Lock/Fuse 읽기 완료 ");
    case C::kAutoSequence: return Ktext(u8" 자동진행 완료 ");
    case C::kRun: return Ktext(u8" AVR 실행 ");
  }
  return {};
}

std::array<int, kCommandRowLength> CommandRowLefts() {
  std::array<int, kCommandRowLength> lefts{};
  int right = 0;
  for (int i = 0; i < kCommandRowLength; ++i) {
    const CommandRowEntry& entry = CommandRow()[i];
    lefts[i] = i == 0 ? entry.gap_before : right + entry.gap_before;
    right = lefts[i] + entry.width;
  }
  return lefts;
}

DocumentLineLayout LayoutDocumentLine(int bar_left, int main_width) {
  DocumentLineLayout line;
  line.title_left = bar_left;
  line.label_left = bar_left + kTitleWidth + kLineGap;
  line.label_width = main_width - kTitleWidth - kDocumentWidthLoss;
  line.open_left = line.label_left + line.label_width + kLineGap;
  line.close_left = line.open_left + kDocumentButtonWidth + kLineGap;
  return line;
}

MainPanel::DocumentLine::DocumentLine(Form& main, const IdeOptions& options)
    : title(&main, options),
      document(&main, options),
      bar(&main, options),
      open(&main, options),
      close(&main, options) {}

MainPanel::MainPanel(Form& main, const IdeOptions& options, const Form::SizeLimits& main_limits,
                     PanelHandlers handlers, MenuActions menu_actions)
    : main_(main), options_(options), handlers_(std::move(handlers)) {
  caption_ = std::make_unique<Tide_caption_Form>(main, options, main_limits);
  caption_->SetParent(&main);
  caption_->SetBalloonEnabled(true);
  caption_->SetBalloonText(Ktext(u8"::: Tolmeo ::: Darimsol ::: 1.0 판 :::"));
  caption_->Show();
  menu_ = std::make_unique<Tide_menu_Form>(main, options, std::move(menu_actions));
  menu_->SetParent(&main);
  menu_->Show();
  BuildCommandRow();
  int first_line = row_.front()->top() + row_.front()->height() + kFirstLineDrop;
  BuildDocumentLine(Memory::Flash, first_line);
  BuildDocumentLine(Memory::Eeprom, first_line + kLineHeight + kLineGap);
  BringFrameToFront();
}

void MainPanel::BringFrameToFront() {
  menu_->BringToFront();
  caption_->BringToFront();
}

template <typename Control>
Control& MainPanel::Adopt(std::unique_ptr<Control> control) {
  Control& adopted = *control;
  adopted.SetParent(&main_);
  adopted.Show();
  row_.push_back(&adopted);
  row_controls_.push_back(std::move(control));
  return adopted;
}

void MainPanel::BuildCommandRow() {
  const int top = menu_->top() + menu_->height() + kCommandRowDrop;
  std::array<int, kCommandRowLength> lefts = CommandRowLefts();
  for (int i = 0; i < kCommandRowLength; ++i) {
    const CommandRowEntry& entry = CommandRow()[i];
    if (entry.is_button) {
      auto& button = Adopt(std::make_unique<Tgui_button_Form>(&main_, options_));
      button.SetBounds(Rect{lefts[i], top, entry.width, kCommandButtonHeight});
      button.SetCaption(K(entry.text));
      button.SetCentered(true);
      button.SetBalloonEnabled(true);
      button.SetBalloonText(K(entry.balloon));
      PanelCommand command = entry.command;
      button.on_click = [this, command] { handlers_.run_command(command); };
      command_buttons_[command] = &button;
    } else {
      auto& label = Adopt(std::make_unique<Tgui_Label_Form>(&main_, options_));
      label.SetBounds(Rect{lefts[i], top + kGroupLabelDrop, entry.width, kGroupLabelHeight});
      label.SetTextPosition(0, 1);
      label.SetTextColor(options_.overallColor);
      label.SetText(K(entry.text));
    }
  }
}

void MainPanel::BuildDocumentLine(Memory memory, int top) {
  auto& line = memory == Memory::Flash ? flash_ : eeprom_;
  line = std::make_unique<DocumentLine>(main_, options_);
  const bool flash = memory == Memory::Flash;
  const Palette palette = PaletteOf(options_.overallColor);
  DocumentLineLayout place = LayoutDocumentLine(menu_->left(), main_.width());

  line->title.SetBounds(Rect{place.title_left, top, kTitleWidth, kLineHeight});
  line->title.SetTextPosition(0, 2);
  line->title.SetText(flash ? " Flash " : " EEprom ");
  line->title.SetBorder(true);
  line->title.SetTextColor(kWhite);
  line->title.SetBackColor(palette.label);

  const std::string& nothing = NoDocumentText(memory);
  line->document.SetBounds(Rect{place.label_left, top, place.label_width, kLineHeight});
  line->document.SetTextPosition(0, 2);
  line->document.SetText(nothing);
  line->document.SetBorder(true);
  line->document.SetBackColor(palette.field);
  line->document.SetBalloonEnabled(true);
  line->document.SetBalloonText(nothing);

  line->bar.SetBounds(Rect{place.label_left, top, place.label_width, kLineHeight});
  line->bar.SetInset(3);
  line->bar.SetBackColor(palette.field);
  line->bar.SetBarColor(palette.highlight);

  for (Form* control : {static_cast<Form*>(&line->title), static_cast<Form*>(&line->document),
                        static_cast<Form*>(&line->bar)}) {
    control->SetParent(&main_);
  }
  line->title.Show();
  line->document.Show();
  SetUpDocumentButton(line->open, memory, place.open_left, true);
  SetUpDocumentButton(line->close, memory, place.close_left, false);
}

void MainPanel::SetUpDocumentButton(Tgui_button_Form& button, Memory memory, int left,
                                    bool opens) {
  const bool flash = memory == Memory::Flash;
  const char8_t* balloon =
      opens ? (flash ? u8"Flash 에 기록할 문서를 읽어들입니다." : u8"EEprom 에 기록할 문서를 읽어들입니다.")
            : (flash ? u8"Flash 에 기록할 문서를 닫습니다." : u8"EEprom 에 기록할 문서를 닫습니다.");
  button.SetParent(&main_);
  button.SetBounds(Rect{left, line_top(memory), kDocumentButtonWidth, kLineHeight});
  button.SetCaption(K(opens ? u8"열기" : u8"닫기"));
  button.SetCentered(true);
  button.SetBalloonEnabled(true);
  button.SetBalloonText(K(balloon));
  button.on_click = [this, memory, opens] {
    opens ? handlers_.open_document(memory) : handlers_.close_document(memory);
  };
  button.Show();
}

void MainPanel::Layout() {
  caption_->FollowMainWindow();
  menu_->Relayout();
  LayoutDocumentLineControls(*flash_);
  LayoutDocumentLineControls(*eeprom_);
}

void MainPanel::LayoutDocumentLineControls(DocumentLine& line) {
  DocumentLineLayout place = LayoutDocumentLine(line.title.left(), main_.width());
  line.document.SetWidth(place.label_width);
  line.bar.SetWidth(place.label_width);
  line.open.SetLeft(place.open_left);
  line.close.SetLeft(place.close_left);
}

void MainPanel::ShowBusy(bool busy) {
  CursorShape shape = busy ? CursorShape::Wait : CursorShape::Default;
  for (auto& [command, button] : command_buttons_) button->SetCursor(shape);
  for (DocumentLine* line : {flash_.get(), eeprom_.get()}) {
    line->open.SetCursor(shape);
    line->close.SetCursor(shape);
  }
  menu_->SetCursor(shape);
}

// Every command has its button from the start.
Tgui_button_Form& MainPanel::command_button(PanelCommand command) {
  return *command_buttons_.at(command);
}

int MainPanel::bottom() const { return eeprom_->title.top() + eeprom_->title.height(); }

}  // namespace tolmeo
