// The whole programming job through the windows, with the virtual AVR as the cable: documents
// opened through the file dialog, the automatic sequence clicked, its progress bars moving and
// hiding, the chip holding the documents; a verify of a changed document showing the exact
// mismatch; and what a click during a running command may not change.
#include <cstdio>

#include "formats/intel_hex.h"
#include "isp/hex_documents.h"
#include "main_window_fixture.h"

namespace tolmeo::testing {
namespace {

constexpr std::uint32_t kFlashBytes = 32768;
constexpr std::uint32_t kEepromBytes = 1024;

std::string Firmware(const char* name) {
  return Cp949FromUtf8(std::string(TOLMEO_SOURCE_DIR) + "/tools/firmware/" + name);
}

// The memory a chip holds after programming the file: its bytes, erased elsewhere.
std::vector<std::uint8_t> MemoryOf(const std::string& cp949_path, std::uint32_t size) {
  std::vector<std::uint8_t> memory(size, 0xFF);
  EXPECT_TRUE(ReadIntelHex(cp949_path, memory).ok()) << cp949_path;
  return memory;
}

// One data record and the end record.
std::string HexOf(const std::vector<std::uint8_t>& bytes) {
  char text[8];
  std::snprintf(text, sizeof text, ":%02X0000", static_cast<unsigned>(bytes.size()));
  std::string line = std::string(text) + "00";
  unsigned sum = static_cast<unsigned>(bytes.size());
  for (std::uint8_t byte : bytes) {
    std::snprintf(text, sizeof text, "%02X", byte);
    line += text;
    sum += byte;
  }
  std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + text + "\r\n:00000001FF\r\n";
}

class ProgrammingJobTest : public MainWindowTest {
 protected:
  ProgrammingJobTest() {
    AddDescription("ATmega328P");
    Start();
  }
  VirtualAvr& chip() { return main->session().rig().sim->chip(); }
  bool Notified(const std::string& text) const {
    return std::find(notices.begin(), notices.end(), text) != notices.end();
  }
};

TEST_F(ProgrammingJobTest, TheAutomaticSequenceProgramsBothDocumentsWithItsBarsMoving) {
  std::string flash = Firmware("blink.hex");
  std::string eeprom = Firmware("blink_eeprom.hex");
  OpenDocument(Memory::Flash, flash);
  OpenDocument(Memory::Eeprom, eeprom);
  ASSERT_EQ(desktop().open_requests.size(), 2u);
  EXPECT_EQ(desktop().open_requests[0].title, Ktext(u8"::: 열기 ::: Darimsol :::"));
  EXPECT_EQ(desktop().open_requests[0].filter, "*.hex|*.hex");
  EXPECT_EQ(main->panel().document_label(Memory::Flash).text(), flash);
  EXPECT_EQ(main->panel().document_label(Memory::Eeprom).balloon_text(), eeprom);

  std::vector<int> flash_positions, eeprom_positions;
  bool looked_busy = false;
  watching().on_poll = [&] {
    for (Memory memory : {Memory::Flash, Memory::Eeprom}) {
      const Tgui_Progress_Form& bar = main->panel().progress_bar(memory);
      auto& seen = memory == Memory::Flash ? flash_positions : eeprom_positions;
      if (bar.visible() && (seen.empty() || seen.back() != bar.position())) {
        seen.push_back(bar.position());
      }
    }
    looked_busy |= main->panel().command_button(PanelCommand::kErase).cursor() == CursorShape::Wait;
  };
  ClickCommand(PanelCommand::kAutoSequence);
  watching().on_poll = nullptr;

  // The Flash bar moves once a page (the verify after the write has nothing left to read), the
  // EEPROM bar once a byte.
  EXPECT_FALSE(flash_positions.empty());
  EXPECT_GT(eeprom_positions.size(), 10u);
  EXPECT_TRUE(looked_busy);
  EXPECT_FALSE(main->panel().progress_bar(Memory::Flash).visible());
  EXPECT_FALSE(main->panel().progress_bar(Memory::Eeprom).visible());
  EXPECT_EQ(main->panel().command_button(PanelCommand::kErase).cursor(), CursorShape::Default);
  EXPECT_EQ(chip().memories().flash(), MemoryOf(flash, kFlashBytes));
  EXPECT_EQ(chip().memories().eeprom(), MemoryOf(eeprom, kEepromBytes));
  // A sequence that went through says nothing.
  EXPECT_TRUE(notices.empty());
}

TEST_F(ProgrammingJobTest, VerifyingAChangedDocumentShowsTheExactMismatch) {
  std::string path = folder.Write("program.hex", HexOf({0x0C, 0x94, 0x34, 0x00}));
  OpenDocument(Memory::Flash, path);
  ClickCommand(PanelCommand::kFlashWrite);
  EXPECT_TRUE(notices.empty());
  folder.Write("program.hex", HexOf({0x0C, 0x94, 0x35, 0x00}));
  ClickCommand(PanelCommand::kFlashVerify);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], Ktext(u8"오류가 발견 되었습니다!\r\n\r\n주소 : 00000001\r\n쓰기 : 0035\r\n"
                              u8"읽기 : 0034\r\n\r\n"
                              u8"와 같이 기록한 값과 읽은 값이 서로 일치하지 않습니다."));
}

// A command that went through says so in the caption for a few seconds with no box to click;
// a failure says why in the box and leaves the caption as it is.
TEST_F(ProgrammingJobTest, ACommandThatWentThroughSaysSoBrieflyInTheCaption) {
  const Tide_caption_Form& caption = main->panel().caption();
  const std::string plain = caption.shown_text();
  OpenDocument(Memory::Flash, Firmware("blink.hex"));
  ClickCommand(PanelCommand::kAutoSequence);
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(caption.shown_text(), Ktext(u8" 자동진행 완료 "));
  ClickCommand(PanelCommand::kFlashRead);
  EXPECT_EQ(caption.shown_text(), Ktext(u8" Flash 읽기 완료 "));
  screen->AdvanceClock(Tide_caption_Form::kBriefMs - 100);
  Pump();
  EXPECT_EQ(caption.shown_text(), Ktext(u8" Flash 읽기 완료 ")) << "the newer word counts anew";
  screen->AdvanceClock(200);
  Pump();
  EXPECT_EQ(caption.shown_text(), plain);

  ClickCommand(PanelCommand::kEepromWrite);  // no EEPROM document open
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_EQ(caption.shown_text(), plain);
  ClickCommand(PanelCommand::kEepromRead);
  EXPECT_EQ(caption.shown_text(), Ktext(u8" EEPROM 읽기 완료 "));
}

TEST_F(ProgrammingJobTest, WhileACommandRunsDocumentsCommandsAndTheDeviceStayAsTheyAre) {
  std::string flash = Firmware("blink.hex");
  std::string eeprom = Firmware("blink_eeprom.hex");
  OpenDocument(Memory::Flash, flash);
  OpenDocument(Memory::Eeprom, eeprom);
  Tide_menu_Form& menu = main->panel().menu();
  int step = 0;
  // Clicks queued from inside the running loop are taken by its next pass; each waits for the
  // refusal of the one before to be answered, so none lands on the message box's modal loop.
  auto click = [this](const Form& control, int x, int y) {
    Point at = control.ClientToScreen(Point{x, y});
    screen->Click(at.x, at.y);
  };
  watching().on_poll = [&] {
    if (!main->session().programmer().busy() || msgbox->visible()) return;
    if (step < 4 && static_cast<int>(notices.size()) != step) return;
    switch (step) {
      case 0: click(main->panel().close_button(Memory::Eeprom), 5, 5); break;
      case 1: click(main->panel().open_button(Memory::Flash), 5, 5); break;
      case 2: click(main->panel().command_button(PanelCommand::kErase), 5, 5); break;
      case 3: click(menu, menu.slot(kDeviceSlot).left + 5, 8); break;
      case 4:
        if (!submenu->visible()) return;
        click(*submenu, 10, submenu->layout().line_height / 2);
        break;
      default: return;
    }
    ++step;
  };
  ClickCommand(PanelCommand::kAutoSequence);
  watching().on_poll = nullptr;

  ASSERT_GE(step, 5);
  int refusals = static_cast<int>(std::count(notices.begin(), notices.end(), BusyRefusalText()));
  EXPECT_EQ(refusals, 4);
  EXPECT_EQ(desktop().open_requests.size(), 2u);  // the open click asked nothing
  EXPECT_EQ(main->panel().document_label(Memory::Eeprom).text(), eeprom);
  EXPECT_EQ(menu.DeviceName(), "ATmega328P");
  EXPECT_EQ(chip().memories().flash(), MemoryOf(flash, kFlashBytes));
  EXPECT_EQ(chip().memories().eeprom(), MemoryOf(eeprom, kEepromBytes));
}

TEST_F(ProgrammingJobTest, ClosingADocumentPutsTheNoDocumentTextBackAndCancellingChangesNothing) {
  OpenDocument(Memory::Eeprom, Firmware("blink_eeprom.hex"));
  ClickOn(main->panel().close_button(Memory::Eeprom));
  EXPECT_EQ(main->panel().document_label(Memory::Eeprom).text(), NoDocumentText(Memory::Eeprom));
  ClickOn(main->panel().open_button(Memory::Flash));  // the fake dialog answers "cancelled"
  EXPECT_EQ(main->panel().document_label(Memory::Flash).text(), NoDocumentText(Memory::Flash));
  ClickCommand(PanelCommand::kEepromWrite);
  ASSERT_EQ(notices.size(), 1u);  // no document to write
}

}  // namespace
}  // namespace tolmeo::testing
