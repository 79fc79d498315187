#pragma once
// The main window's command panel: under the caption window and the menu bar, one row of
// command buttons grouped by memory, then the Flash and the EEprom document lines, each with a
// title, the label naming the open document, the progress bar that covers that label while a
// command runs, and open and close buttons. Built once with the main window; relaid on every
// size change (only the document lines and the bars follow the width).
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "isp/engine_seam.h"
#include "shell/ide_caption.h"
#include "shell/ide_menu.h"
#include "widgets/gui_button.h"
#include "widgets/gui_label.h"
#include "widgets/gui_progress.h"

namespace tolmeo {

enum class PanelCommand {
  kErase,
  kFlashWrite,
  kFlashRead,
  kFlashVerify,
  kEepromWrite,
  kEepromRead,
  kEepromVerify,
  kLockFuseWrite,
  kLockFuseRead,
  kAutoSequence,
  kRun,
};

// One control of the command row, left to right.
struct CommandRowEntry {
  bool is_button = false;
  const char8_t* text = u8"";
  int gap_before = 0;  // from the previous control's right edge; the first one's left instead
  int width = 0;
  PanelCommand command = PanelCommand::kErase;  // buttons only
  const char8_t* balloon = u8"";                // buttons only
};
inline constexpr int kCommandRowLength = 14;
const std::array<CommandRowEntry, kCommandRowLength>& CommandRow();

// Fixed measures of the panel.
inline constexpr int kCommandButtonHeight = 24;
inline constexpr int kGroupLabelHeight = 14;
inline constexpr int kGroupLabelDrop = 4;
inline constexpr int kCommandRowDrop = 4;
inline constexpr int kFirstLineDrop = 8;
inline constexpr int kLineGap = 2;
inline constexpr int kLineHeight = 18;
inline constexpr int kTitleWidth = 70;
inline constexpr int kDocumentButtonWidth = 30;
inline constexpr int kDocumentWidthLoss = 75;

// What the caption shows for a while after the command went through (CP949).
std::string CommandDoneText(PanelCommand command);

// The left edges of the command row's controls.
std::array<int, kCommandRowLength> CommandRowLefts();

// Where the controls of one document line go for a main window main_width wide.
struct DocumentLineLayout {
  int title_left = 0;
  int label_left = 0;
  int label_width = 0;
  int open_left = 0;
  int close_left = 0;
};
DocumentLineLayout LayoutDocumentLine(int bar_left, int main_width);

// What the panel's buttons do; set by the main window.
struct PanelHandlers {
  std::function<void(PanelCommand)> run_command;
  std::function<void(Memory)> open_document;
  std::function<void(Memory)> close_document;
};

class MainPanel {
 public:
  // Builds the caption window, the menu bar, the command row and the two document lines on
  // main, in this order, and brings the menu bar and then the caption to the front.
  MainPanel(Form& main, const IdeOptions& options, const Form::SizeLimits& main_limits,
            PanelHandlers handlers, MenuActions menu_actions);

  void Layout();
  // The menu bar and then the caption window over every other child of the main window,
  // the programmer window below the panel included.
  void BringFrameToFront();
  // While a command runs every button shows the waiting pointer.
  void ShowBusy(bool busy);

  Tide_caption_Form& caption() { return *caption_; }
  Tide_menu_Form& menu() { return *menu_; }
  Tgui_Label_Form& document_label(Memory memory) { return Line(memory).document; }
  const Tgui_Label_Form& document_label(Memory memory) const { return Line(memory).document; }
  Tgui_Progress_Form& progress_bar(Memory memory) { return Line(memory).bar; }
  Tgui_button_Form& open_button(Memory memory) { return Line(memory).open; }
  Tgui_button_Form& close_button(Memory memory) { return Line(memory).close; }
  Tgui_Label_Form& title_label(Memory memory) { return Line(memory).title; }
  // The command row's controls, left to right, buttons and group labels alike.
  const std::vector<WidgetBase*>& command_row() const { return row_; }
  Tgui_button_Form& command_button(PanelCommand command);
  // The first row below the panel: where the programmer window goes.
  int bottom() const;

 private:
  struct DocumentLine {
    DocumentLine(Form& main, const IdeOptions& options);
    Tgui_Label_Form title;
    Tgui_Label_Form document;
    Tgui_Progress_Form bar;
    Tgui_button_Form open;
    Tgui_button_Form close;
  };

  DocumentLine& Line(Memory memory) { return memory == Memory::Flash ? *flash_ : *eeprom_; }
  const DocumentLine& Line(Memory memory) const {
    return memory == Memory::Flash ? *flash_ : *eeprom_;
  }
  void BuildCommandRow();
  void BuildDocumentLine(Memory memory, int top);
  template <typename Control>
  Control& Adopt(std::unique_ptr<Control> control);
  void SetUpDocumentButton(Tgui_button_Form& button, Memory memory, int left, bool opens);
  int line_top(Memory memory) { return Line(memory).title.top(); }
  void LayoutDocumentLineControls(DocumentLine& line);

  Form& main_;
  const IdeOptions& options_;
  PanelHandlers handlers_;
  std::unique_ptr<Tide_caption_Form> caption_;
  std::unique_ptr<Tide_menu_Form> menu_;
  std::vector<std::unique_ptr<WidgetBase>> row_controls_;
  std::vector<WidgetBase*> row_;
  std::map<PanelCommand, Tgui_button_Form*> command_buttons_;
  std::unique_ptr<DocumentLine> flash_;
  std::unique_ptr<DocumentLine> eeprom_;
};

}  // namespace tolmeo
