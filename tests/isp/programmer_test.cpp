#include "isp/programmer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/cp949.h"
#include "formats/formats_testing.h"
#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;

bool Called(const SimBench& b, const std::string& call) {
  return std::find(b.seam.calls.begin(), b.seam.calls.end(), call) != b.seam.calls.end();
}

// Enter programming mode, three signature reads and the probe after them.
constexpr std::size_t kEntryInstructions = 5;

TEST(ProgrammerCommands, EraseEntersChecksAndErases) {
  SimBench b;
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().chip_erases(), 1);
  ASSERT_EQ(b.instruction_count(), kEntryInstructions + 1);
  EXPECT_EQ(b.chip().instructions()[0], (Instruction{0xAC, 0x53, 0x00, 0x00}));
  EXPECT_TRUE(b.seam.notices.empty());
}

// Only pages that hold words of the document are written, each whole.
TEST(ProgrammerCommands, FlashWriteCoversWholePagesOfTheDocumentsWords) {
  SimBench b(128);  // 64-word pages
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x100, {0x11, 0x22, 0x33}));
  EXPECT_EQ(b.programmer().FlashWrite(), CommandOutcome::kDone);
  EXPECT_EQ(b.image->flashStart, 0x80u);
  EXPECT_EQ(b.image->flashEnd, 0x81u);
  EXPECT_EQ(b.chip().page_writes(), 1);
  EXPECT_TRUE(Called(b, "progress flash show 128..128"));
  EXPECT_TRUE(Called(b, "progress flash pos 128"));
  EXPECT_EQ(b.seam.calls.back(), "progress flash hide");
  EXPECT_EQ(b.chip().memories().FlashWord(0x80), 0x2211);
  EXPECT_EQ(b.chip().memories().FlashWord(0x81), 0xFF33);
  EXPECT_EQ(b.seam.pending_message_runs, 64);
  EXPECT_TRUE(b.seam.notices.empty());
}

// A firmware at 0 and a bootloader at the chip's last page: the pages between are neither
// loaded nor written nor read, explicit 0xFFFF words are read back but not written, and the
// chip ends up holding exactly the file.
TEST(ProgrammerAuto, ASparseFileTouchesOnlyItsPagesAndLeavesTheChipExactlyTheFile) {
  SimBench b;  // 32-word pages, 4096 words
  std::string text = testing::HexData(0, std::vector<std::uint8_t>(70, 0x12)) + "\r\n";
  for (std::uint16_t at = 0x400; at < 0x440; at += 16) text += testing::HexData(at, std::vector<std::uint8_t>(16, 0xFF)) + "\r\n";
  text += SimBench::HexText(0x1FC0, std::vector<std::uint8_t>(64, 0x34));
  b.OpenDocument(Memory::Flash, "f.hex", text);
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().page_writes(), 3);  // 70 bytes are two pages, the bootloader one
  const std::vector<std::uint8_t>& flash = b.chip().memories().flash();
  for (std::size_t i = 0; i < flash.size(); ++i) {
    const std::uint8_t file = i < 70 ? 0x12 : (i >= 0x1FC0 ? 0x34 : 0xFF);
    ASSERT_EQ(flash[i], file) << "byte " << i;
  }
  for (const Instruction& instruction : b.chip().instructions()) {
    const std::uint32_t word = std::uint32_t{instruction[1]} << 8 | instruction[2];
    if (instruction[0] == 0x4C) {
      EXPECT_TRUE(word == 0 || word == 32 || word == 0xFE0) << word;
    }
    if (instruction[0] == 0x20 || instruction[0] == 0x28) {
      EXPECT_TRUE(word < 35 || (word >= 0x200 && word < 0x220) || word >= 0xFE0) << word;
    }
  }
}

// However early the cable comes out, around the pages left alone as anywhere else, the
// sequence never says it succeeded unless the chip holds the file.
TEST(ProgrammerAuto, APulledCableNeverEndsInSuccessWithAWrongChip) {
  std::vector<std::uint8_t> firmware(64, 0x5A);
  std::vector<std::uint8_t> boot(64, 0xA5);
  const std::string text = testing::HexData(0, firmware) + "\r\n" + SimBench::HexText(0x1FC0, boot);
  std::int64_t changes = 0;
  {
    SimBench whole;
    whole.OpenDocument(Memory::Flash, "f.hex", text);
    ASSERT_EQ(whole.programmer().AutoSequence(), CommandOutcome::kDone);
    changes = whole.chip().line_changes();
  }
  int failures = 0, runs = 0;
  for (std::int64_t after = 0; after < changes; after += std::max<std::int64_t>(changes / 300, 1)) {
    SimBench b;
    b.chip().faults.pull_cable_after_changes = after;
    b.OpenDocument(Memory::Flash, "f.hex", text);
    const CommandOutcome outcome = b.programmer().AutoSequence();
    ++runs;
    const std::vector<std::uint8_t>& flash = b.chip().memories().flash();
    const bool exact = std::equal(firmware.begin(), firmware.end(), flash.begin()) &&
                       std::equal(boot.begin(), boot.end(), flash.begin() + 0x1FC0);
    if (outcome == CommandOutcome::kDone) {
      EXPECT_TRUE(exact) << "pulled after " << after;
    } else {
      ++failures;
    }
  }
  EXPECT_EQ(failures, runs);  // every pull came before the sequence's last read-back
}

// A chip let through with another signature may have a smaller Flash that wraps: a later page
// lands on one checked before, which only the verify's second reading finds.
TEST(ProgrammerAuto, TheVerifyReadsAgainWhereASmallerChipCouldWrap) {
  SimBench b;  // the chip has 4096 words
  b.image->flashSize = 16384;  // the description says 8192 words
  b.image->InitFlashImage();
  b.chip().faults.signature = std::array<std::uint8_t, 3>{0x1E, 0x94, 0x03};
  std::string text;
  for (std::uint16_t at = 0; at < 0x40; at += 16) text += testing::HexData(at, std::vector<std::uint8_t>(16, 0x7F)) + "\r\n";
  b.OpenDocument(Memory::Flash, "f.hex", text + SimBench::HexText(0x2000, std::vector<std::uint8_t>(64, 0x00)));
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ASSERT_EQ(b.seam.notices.size(), 2u);  // the signature question, then the mismatch
  EXPECT_NE(b.seam.notices[1].text.find(Ktext(u8"주소 : 00000000\r\n쓰기 : 7F7F")), std::string::npos)
      << Utf8FromCp949(b.seam.notices[1].text);
}

TEST(ProgrammerAuto, ADeadPageIsFoundByItsReadBack) {
  SimBench b;
  b.chip().faults.dead_flash_page = 40;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, std::vector<std::uint8_t>(128, 0x00)));
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_NE(b.seam.notices[0].text.find("00000020"), std::string::npos);
}

TEST(ProgrammerCommands, WritesAndVerifiesWithoutADocumentSayWhatIsMissing) {
  const std::pair<CommandOutcome (Programmer::*)(), const char8_t*> cases[] = {
      {&Programmer::FlashWrite, u8"Flash 에 기록할 문서가 없습니다."},
      {&Programmer::FlashVerify, u8"Flash 의 내용을 비교할 문서가 없습니다."},
      {&Programmer::EepromWrite, u8"EEprom 에 기록할 문서가 없습니다."},
      {&Programmer::EepromVerify, u8"EEprom 의 내용을 비교할 문서가 없습니다."}};
  for (auto [command, text] : cases) {
    SimBench b;
    EXPECT_EQ((b.programmer().*command)(), CommandOutcome::kNoDocument);
    ASSERT_EQ(b.seam.notices.size(), 1u);
    EXPECT_EQ(b.seam.notices[0].kind, kNoticeWarning);
    EXPECT_EQ(b.seam.notices[0].text, Cp949FromUtf8(reinterpret_cast<const char*>(text)));
    EXPECT_EQ(b.instruction_count(), kEntryInstructions);
  }
}

TEST(ProgrammerCommands, AnUnreadableDocumentIsNeverProgrammedAsAnErasedImage) {
  const std::pair<const char*, std::string> documents[] = {
      {"missing.hex", ""},
      {"bad.hex", ":10000000FFFF\r\n:00000001FF\r\n"},
      {"large.hex", SimBench::HexText(0x3000, {0x01, 0x02})}};  // beyond the 8 KB chip
  for (auto [name, text] : documents) {
    for (Memory memory : {Memory::Flash, Memory::Eeprom}) {
      for (auto command : {&Programmer::FlashWrite, &Programmer::FlashVerify, &Programmer::EepromWrite,
                           &Programmer::EepromVerify, &Programmer::AutoSequence}) {
        bool flash_command = command == &Programmer::FlashWrite || command == &Programmer::FlashVerify;
        bool eeprom_command = command == &Programmer::EepromWrite || command == &Programmer::EepromVerify;
        if ((memory == Memory::Flash && eeprom_command) || (memory == Memory::Eeprom && flash_command)) continue;
        SimBench b;
        std::string path = b.folder.Cp949Path() + name;
        if (!text.empty()) b.folder.Write(name, text);
        b.image->documents.Of(memory) = path;
        EXPECT_EQ((b.programmer().*command)(), CommandOutcome::kDocumentFailed) << name;
        ASSERT_EQ(b.seam.notices.size(), 1u) << name;
        EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
        EXPECT_NE(b.seam.notices[0].text.find(path), std::string::npos) << name;
        EXPECT_EQ(b.instruction_count(), kEntryInstructions) << name;
        EXPECT_EQ(b.chip().chip_erases(), 0);
      }
    }
  }
}

TEST(ProgrammerCommands, FlashVerifyNamesTheFirstDifference) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x24, {0x12, 0x00}));
  b.chip().memories().LoadPageByte(0x12, true, 0x00);  // the chip holds 0x00FF at word 0x12
  b.chip().memories().WritePage(0x12);
  EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kChipFailed);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
  EXPECT_EQ(b.seam.notices[0].text,
            Ktext(u8"오류가 발견 되었습니다!\r\n\r\n주소 : 00000012\r\n쓰기 : 0012\r\n읽기 : "
                  u8"00FF\r\n\r\n와 같이 기록한 값과 읽은 값이 서로 일치하지 않습니다."));
  EXPECT_EQ(b.seam.pending_message_runs, 3);  // words 0x10 to 0x12, those of its one record
  EXPECT_TRUE(Called(b, "progress flash hide"));
}

TEST(ProgrammerCommands, WrittenMemoriesVerifyWithTheSuccessMessage) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, {1, 2, 3, 4, 5}));
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0x10, {0xAA, 0x55}));
  EXPECT_EQ(b.programmer().FlashWrite(), CommandOutcome::kDone);
  EXPECT_EQ(b.programmer().EepromWrite(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().memories().ReadEeprom(0x11), 0x55);
  EXPECT_EQ(b.chip().memories().ReadEeprom(0x12), 0xFF);
  EXPECT_EQ(b.programmer().FlashVerify(), CommandOutcome::kDone);
  EXPECT_EQ(b.programmer().EepromVerify(), CommandOutcome::kDone);
  ASSERT_EQ(b.seam.notices.size(), 2u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeInfo);
  EXPECT_EQ(b.seam.notices[0].text, Ktext(u8"Flash 에 기록한 내용과 읽은 내용이 전부 일치합니다."));
  EXPECT_EQ(b.seam.notices[1].text, Ktext(u8"EEprom 에 기록한 내용과 읽은 내용이 전부 일치합니다."));
}

TEST(ProgrammerCommands, EepromMismatchShowsTwoDigitValues) {
  SimBench b;
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0xFF, 0x12}));
  b.chip().memories().WriteEeprom(1, 0x02);
  EXPECT_EQ(b.programmer().EepromVerify(), CommandOutcome::kChipFailed);
  EXPECT_NE(b.seam.notices[0].text.find(Ktext(u8"주소 : 00000001\r\n쓰기 : 12\r\n읽기 : 02\r\n")),
            std::string::npos);
}

TEST(ProgrammerCommands, ReadsTakeTheWholeChipAndKeepTheRange) {
  SimBench b;
  b.chip().memories().LoadPageByte(5, false, 0x42);
  b.chip().memories().WritePage(4095);
  b.chip().memories().WriteEeprom(511, 0x24);
  b.image->flashEnd = 100;
  b.image->eepromEnd = 7;
  EXPECT_EQ(b.programmer().FlashRead(), CommandOutcome::kDone);
  EXPECT_EQ(b.programmer().EepromRead(), CommandOutcome::kDone);
  EXPECT_EQ(b.image->flashWords[4069], 0xFF42);  // word 5 of the last 32-word page
  EXPECT_EQ(b.image->eepromBytes[511], 0x24);
  EXPECT_EQ(b.image->flashStart, 0u);
  EXPECT_EQ(b.image->flashEnd, 100u);
  EXPECT_EQ(b.image->eepromEnd, 7u);
  EXPECT_TRUE(Called(b, "progress flash show 0..4096"));
  EXPECT_TRUE(Called(b, "progress eeprom show 0..512"));
  EXPECT_EQ(std::count(b.seam.calls.begin(), b.seam.calls.end(), "image"), 2);
  EXPECT_EQ(b.seam.pending_message_runs, 4096 + 512);
}

TEST(ProgrammerCommands, LockAndFuseBytesTravelBetweenBoxesAndChip) {
  SimBench b;
  b.SetBoxes(FuseGroup::Extended, 0xFD);
  b.SetBoxes(FuseGroup::High, 0xDE);
  b.SetBoxes(FuseGroup::Low, 0x62);
  b.SetBoxes(FuseGroup::Lock, 0xFC);
  EXPECT_EQ(b.programmer().LockFuseWrite(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().memories().fuses(), (FuseBytes{0xFC, 0xFD, 0xDE, 0x62}));

  for (FuseGroup group : kFuseGroups) b.SetBoxes(group, 0x00);
  EXPECT_EQ(b.programmer().LockFuseRead(), CommandOutcome::kDone);
  EXPECT_EQ(b.image->bits.Collect(FuseGroup::High), 0xDE);
  EXPECT_EQ(b.image->bits.Collect(FuseGroup::Lock), 0xFC);
  EXPECT_EQ(b.image->lowFuse, 0x62);
  EXPECT_TRUE(b.seam.notices.empty());
}

// A cable pulled part of the way through: whatever bits the read changed, the windows hear of.
TEST(ProgrammerCommands, AFuseReadCutShortStillTellsTheWindowsOfTheBitsItChanged) {
  std::int64_t changes = 0;
  {
    SimBench whole;
    ASSERT_EQ(whole.programmer().LockFuseRead(), CommandOutcome::kDone);
    changes = whole.chip().line_changes();
  }
  int cut_after_a_group = 0;
  for (std::int64_t after = 0; after < changes; after += std::max<std::int64_t>(changes / 200, 1)) {
    SimBench b;
    for (FuseGroup group : kFuseGroups) b.SetBoxes(group, 0x00);
    const FuseBoxes before = b.image->bits;
    b.chip().faults.pull_cable_after_changes = after;
    if (b.programmer().LockFuseRead() == CommandOutcome::kDone) continue;
    bool changed = false;
    for (FuseGroup group : kFuseGroups) changed |= b.image->bits.Collect(group) != before.Collect(group);
    if (!changed) continue;
    ++cut_after_a_group;
    EXPECT_TRUE(Called(b, "bits")) << "pulled after " << after;
  }
  EXPECT_GT(cut_after_a_group, 0);
}

TEST(ProgrammerCommands, SingleByteCommandsTouchOnlyTheirByte) {
  SimBench b;
  b.SetBoxes(FuseGroup::Low, 0x3F);
  b.SetBoxes(FuseGroup::High, 0x00);
  EXPECT_EQ(b.programmer().FuseByteWrite(FuseGroup::Low), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().memories().fuses(), (FuseBytes{0xFF, 0xFF, 0xD9, 0x3F}));
  EXPECT_EQ(b.programmer().FuseByteRead(FuseGroup::High), CommandOutcome::kDone);
  EXPECT_EQ(b.image->bits.Collect(FuseGroup::High), 0xD9);
  // The write is read back, and each read made sure of with a probe.
  EXPECT_EQ(b.instruction_count(), 2 * kEntryInstructions + 5);
}

TEST(ProgrammerAuto, WithoutDocumentsErasesAndWritesLockAndFuses) {
  SimBench b;
  b.SetBoxes(FuseGroup::Low, 0xE4);
  b.chip().memories().WriteEeprom(3, 0x00);
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().chip_erases(), 1);
  EXPECT_EQ(b.chip().memories().ReadEeprom(3), 0xFF);
  EXPECT_EQ(b.chip().memories().fuses().low, 0xE4);
  EXPECT_EQ(b.chip().page_writes(), 0);
  EXPECT_TRUE(b.seam.notices.empty());
}

TEST(ProgrammerAuto, WithBothDocumentsProgramsEverything) {
  SimBench b;
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x40, {9, 8, 7}));
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x10, 0x20}));
  b.SetBoxes(FuseGroup::Lock, 0xFC);
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  EXPECT_EQ(b.chip().memories().FlashWord(0x20), 0x0809);
  EXPECT_EQ(b.chip().memories().ReadEeprom(1), 0x20);
  EXPECT_EQ(b.chip().memories().fuses().lock, 0xFC);
  EXPECT_TRUE(b.seam.notices.empty());
}

TEST(ProgrammerAuto, AFailedFlashVerifyLeavesEepromAndFusesAlone) {
  SimBench b;
  // Let through with another signature, so the verify reads the Flash again.
  b.chip().faults.signature = std::array<std::uint8_t, 3>{0x1E, 0x94, 0x03};
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0, {1, 2, 3, 4}));
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x10}));
  b.SetBoxes(FuseGroup::Low, 0x00);
  bool spoiled = false;
  b.seam.on_pending_messages = [&] {
    // Once the write is done, a bit of word 0 drops before the verify reads it.
    if (spoiled || b.seam.calls.back().rfind("progress flash show", 0) != 0 || b.chip().page_writes() == 0) return;
    b.chip().memories().LoadPageByte(0, false, 0x00);
    b.chip().memories().WritePage(0);
    spoiled = true;
  };
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  ASSERT_TRUE(spoiled);
  ASSERT_EQ(b.seam.notices.size(), 2u);
  EXPECT_NE(b.seam.notices[1].text.find(Ktext(u8"쓰기 : 0201\r\n읽기 : 0200")), std::string::npos);
  EXPECT_EQ(b.chip().memories().ReadEeprom(0), 0xFF);
  EXPECT_EQ(b.chip().memories().fuses().low, 0xE1);
}

std::size_t EepromWritesHeard(SimBench& b) {
  return static_cast<std::size_t>(std::count_if(b.chip().instructions().begin(), b.chip().instructions().end(),
                                                [](const Instruction& i) { return i[0] == 0xC0; }));
}

TEST(ProgrammerEeprom, AByteTheChipHoldsIsOnlyReadAndAWrittenOneIsPolledUntilItReadsBack) {
  SimBench b;
  b.image->eepromWriteDelay = 30;  // the chip (9 ms) is quicker than its description promises
  b.chip().memories().WriteEeprom(1, 0x00);
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x5A, 0xFF, 0x5A}));
  const double before = b.session->WaitedSeconds();
  ASSERT_EQ(b.programmer().EepromWrite(), CommandOutcome::kDone);
  const double waited = b.session->WaitedSeconds() - before;
  // The entry's 87 ms of sleeps; each 0x5A polled for about the chip's 9 ms; 0xFF, which a busy
  // chip also reads as, the whole 30 ms.
  EXPECT_GT(waited, 0.087 + 0.030 + 2 * 0.009);
  EXPECT_LT(waited, 0.150);
  EXPECT_EQ(b.chip().memories().ReadEeprom(0), 0x5A);
  EXPECT_EQ(b.chip().memories().ReadEeprom(1), 0xFF);
  EXPECT_EQ(b.chip().memories().ReadEeprom(2), 0x5A);
  const std::size_t writes = EepromWritesHeard(b);
  EXPECT_EQ(writes, 3u);
  // The same image again: only read.
  ASSERT_EQ(b.programmer().EepromWrite(), CommandOutcome::kDone);
  EXPECT_EQ(EepromWritesHeard(b), writes);
}

TEST(ProgrammerEeprom, AByteThatNeverReadsBackIsWrittenAFewTimesThenReported) {
  SimBench b;
  b.chip().faults.dead_eeprom_address = 1;
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x11, 0x22}));
  EXPECT_EQ(b.programmer().EepromWrite(), CommandOutcome::kChipFailed);
  EXPECT_EQ(EepromWritesHeard(b), 1u + kWriteAttempts);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_NE(b.seam.notices[0].text.find("00000001"), std::string::npos);
}

TEST(ProgrammerGuards, ACommandStartedWhileAnotherRunsIsRefused) {
  SimBench b;
  CommandOutcome inner = CommandOutcome::kDone;
  b.seam.on_pending_messages = [&] {
    if (b.seam.pending_message_runs == 10) inner = b.programmer().Erase();
  };
  EXPECT_EQ(b.programmer().FlashRead(), CommandOutcome::kDone);
  EXPECT_EQ(inner, CommandOutcome::kRefused);
  ASSERT_EQ(b.seam.notices.size(), 1u);
  EXPECT_EQ(b.seam.notices[0].kind, kNoticeWarning);
  EXPECT_EQ(b.chip().chip_erases(), 0);
  EXPECT_EQ(b.seam.pending_message_runs, 4096);
  EXPECT_FALSE(b.programmer().busy());
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kDone);
}

TEST(ProgrammerGuards, NoUsableDescriptionNoCommand) {
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{0, 64}, {8192, 0}, {8192, 48}, {262144, 256}};
  for (auto [flash, page] : sizes) {
    SimBench b;
    b.image->flashSize = flash;
    b.image->flashPageSize = page;
    EXPECT_EQ(b.programmer().FlashRead(), CommandOutcome::kRefused) << flash << " " << page;
    ASSERT_EQ(b.seam.notices.size(), 1u);
    EXPECT_EQ(b.seam.notices[0].kind, kNoticeFailure);
    EXPECT_EQ(b.instruction_count(), 0u);
  }
  SimBench b;
  b.image->eepromSize = 0;
  EXPECT_EQ(b.programmer().Erase(), CommandOutcome::kRefused);
  EXPECT_EQ(b.programmer().Run(), CommandOutcome::kDone);  // releasing needs no description
}

TEST(ProgrammerGuards, RunOnlyReleasesTheTarget) {
  SimBench b;
  EXPECT_EQ(b.programmer().Run(), CommandOutcome::kDone);
  EXPECT_EQ(b.instruction_count(), 0u);
  EXPECT_EQ(b.session->rig().sim->data(), 0x81);  // mode line 1, RESET high
  EXPECT_TRUE(b.seam.notices.empty());
}

}  // namespace
}  // namespace tolmeo
