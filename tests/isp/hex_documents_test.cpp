#include "isp/hex_documents.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/cp949.h"
#include "formats/formats_testing.h"
#include "support/recording_seam.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::HexData;
using testing::HexRecord;
using testing::HexEnd;
using testing::K;

// A chip of 4096 Flash words and 512 EEPROM bytes with no document open, and a folder for files.
class HexDocuments : public ::testing::Test {
 protected:
  HexDocuments() {
    image->flashSize = 8192;
    image->flashPageSize = 64;
    image->eepromSize = 512;
    image->InitFlashImage();
    image->InitEepromImage();
  }

  std::string WriteHex(std::string_view name, std::initializer_list<std::string> records) {
    std::string text;
    for (const std::string& record : records) text += record + "\r\n";
    return folder.Write(name, text);
  }

  std::unique_ptr<ChipImage> image = std::make_unique<ChipImage>();
  testing::RecordingSeam seam;
  testing::TempFolder folder;
};

TEST_F(HexDocuments, OpeningAFlashDocumentFillsTheErasedImageAndSetsTheWordRange) {
  image->flashWords[0x90] = 0x1234;  // left over from a chip read
  std::string path = WriteHex("a.hex", {HexData(0x0100, {0x11, 0x22, 0x33}), HexEnd()});
  DocumentReadiness readiness = OpenFlashDocument(path, *image, seam);
  EXPECT_EQ(readiness.state, DocumentState::Ready);
  EXPECT_EQ(image->documents.flash, path);
  EXPECT_EQ(image->flashWords[0x80], 0x2211);
  EXPECT_EQ(image->flashWords[0x81], 0xFF33);  // a half word still counts its word
  EXPECT_EQ(image->flashWords[0x7F], 0xFFFF);
  EXPECT_EQ(image->flashWords[0x90], 0xFFFF);
  EXPECT_EQ(image->flashStart, 0x80u);  // the first word the document defines
  EXPECT_EQ(image->flashEnd, 0x81u);
  EXPECT_EQ(seam.calls, (std::vector<std::string>{"document flash", "image"}));
}

// The words and bytes a document defines: gaps, extended addresses and explicit 0xFFFF words
// are told apart; the EEPROM range still starts at 0 (its gaps are written 0xFF).
TEST_F(HexDocuments, TheImageKeepsWhichWordsTheDocumentDefines) {
  std::string path = WriteHex("a.hex", {HexData(0x0002, {0x11, 0x22}), HexData(0x0010, {0xFF, 0xFF, 0xFF}),
                                        HexRecord(0, 2, {0x01, 0x00}), HexData(0x0000, {0x44, 0x55}), HexEnd()});
  ASSERT_EQ(OpenFlashDocument(path, *image, seam).state, DocumentState::Ready);
  std::vector<std::uint32_t> defined;
  for (std::uint32_t w = 0; w < image->FlashWordCount(); ++w) {
    if (image->flashDefined.test(w)) defined.push_back(w);
  }
  EXPECT_EQ(defined, (std::vector<std::uint32_t>{1, 8, 9, 0x800}));
  EXPECT_EQ(image->flashStart, 1u);
  EXPECT_EQ(image->flashEnd, 0x800u);
  EXPECT_EQ(image->flashWords[9], 0xFFFF);  // defined, as the file wrote it

  std::string eeprom = WriteHex("e.hex", {HexData(0x0010, {0x01}), HexData(0x0020, {0x02}), HexEnd()});
  ASSERT_EQ(OpenEepromDocument(eeprom, *image, seam).state, DocumentState::Ready);
  EXPECT_EQ(image->eepromStart, 0u);
  EXPECT_EQ(image->eepromEnd, 0x20u);
  EXPECT_TRUE(image->eepromDefined.test(0x10));
  EXPECT_FALSE(image->eepromDefined.test(0x11));
  EXPECT_TRUE(image->eepromDefined.test(0x20));
}

TEST_F(HexDocuments, AFailedReadOrAClosedDocumentLeavesEveryWordDefined) {
  std::string path = WriteHex("a.hex", {HexData(0x0100, {0x11}), ":zz", HexEnd()});
  EXPECT_EQ(OpenFlashDocument(path, *image, seam).state, DocumentState::Failed);
  EXPECT_TRUE(image->flashDefined.test(0));
  CloseFlashDocument(*image, seam);
  EXPECT_EQ(image->flashDefined.count(), image->flashDefined.size());
}

TEST_F(HexDocuments, OpeningAnEepromDocumentSetsTheByteRange) {
  std::string path = WriteHex("e.hex", {HexData(0x10, {1, 2}), HexData(0, {9}), HexEnd()});
  EXPECT_EQ(OpenEepromDocument(path, *image, seam).state, DocumentState::Ready);
  EXPECT_EQ(image->documents.eeprom, path);
  EXPECT_EQ(image->eepromBytes[0], 9);
  EXPECT_EQ(image->eepromBytes[0x11], 2);
  EXPECT_EQ(image->eepromStart, 0u);
  EXPECT_EQ(image->eepromEnd, 0x11u);
}

TEST_F(HexDocuments, AFailedReadLeavesTheWholeChipAndSaysWhy) {
  std::string path = folder.Cp949Path() + "missing.hex";
  DocumentReadiness readiness = OpenFlashDocument(path, *image, seam);
  EXPECT_EQ(readiness.state, DocumentState::Failed);
  EXPECT_NE(readiness.reason.find(path), std::string::npos);
  EXPECT_EQ(image->documents.flash, path);  // the next ready query reports it again
  EXPECT_EQ(image->flashEnd, 4095u);
  EXPECT_EQ(FlashDocumentReady(*image, seam).state, DocumentState::Failed);
}

TEST_F(HexDocuments, DataBeyondTheChipFailsInsteadOfBeingClamped) {
  std::string flash = WriteHex("f.hex", {HexData(0x1FFE, {1, 2, 3}), HexEnd()});  // one byte past 8192
  DocumentReadiness readiness = OpenFlashDocument(flash, *image, seam);
  EXPECT_EQ(readiness.state, DocumentState::Failed);
  EXPECT_NE(readiness.reason.find(K("1번째 줄: 주소 0x2000")), std::string::npos);
  EXPECT_EQ(image->flashEnd, 4095u);

  std::string eeprom = WriteHex("e.hex", {HexData(0x01FF, {1, 2}), HexEnd()});
  EXPECT_EQ(OpenEepromDocument(eeprom, *image, seam).state, DocumentState::Failed);
  EXPECT_EQ(image->eepromEnd, 511u);
  std::string last = WriteHex("l.hex", {HexData(0x01FF, {1}), HexEnd()});
  EXPECT_EQ(OpenEepromDocument(last, *image, seam).state, DocumentState::Ready);
  EXPECT_EQ(image->eepromEnd, 511u);
}

TEST_F(HexDocuments, ReadyQueriesReadTheFileAgain) {
  EXPECT_EQ(FlashDocumentReady(*image, seam).state, DocumentState::None);
  EXPECT_EQ(EepromDocumentReady(*image, seam).state, DocumentState::None);
  EXPECT_TRUE(seam.calls.empty());

  std::string path = WriteHex("a.hex", {HexData(0, {0x01, 0x02}), HexEnd()});
  OpenFlashDocument(path, *image, seam);
  image->flashWords[0] = 0xABCD;  // a chip read in between
  WriteHex("a.hex", {HexData(0, {0x03, 0x04, 0x05, 0x06}), HexEnd()});
  EXPECT_EQ(FlashDocumentReady(*image, seam).state, DocumentState::Ready);
  EXPECT_EQ(image->flashWords[0], 0x0403);
  EXPECT_EQ(image->flashEnd, 1u);

  WriteHex("a.hex", {HexData(0, {0x03}), ":0100000003FB"});
  DocumentReadiness damaged = FlashDocumentReady(*image, seam);
  EXPECT_EQ(damaged.state, DocumentState::Failed);
  EXPECT_NE(damaged.reason.find(path + ": " + K("2번째 줄: 검사합")), std::string::npos);
}

TEST_F(HexDocuments, ChoosingOpensThePickedFileAndCancellingChangesNothing) {
  image->eepromBytes[3] = 0x42;
  ChooseEepromDocument(*image, seam);
  EXPECT_EQ(seam.calls, (std::vector<std::string>{"dialog open"}));
  EXPECT_EQ(image->eepromBytes[3], 0x42);
  EXPECT_TRUE(image->documents.eeprom.empty());

  std::string path = WriteHex("e.hex", {HexData(3, {7}), HexEnd()});
  seam.dialog_answers.push_back(path);
  ChooseEepromDocument(*image, seam);
  EXPECT_EQ(image->documents.eeprom, path);
  EXPECT_EQ(image->eepromBytes[3], 7);
  EXPECT_TRUE(seam.notices.empty());
}

TEST_F(HexDocuments, ChoosingADamagedFileSaysWhy) {
  std::string path = WriteHex("bad.hex", {"junk"});
  seam.dialog_answers.push_back(path);
  ChooseFlashDocument(*image, seam);
  ASSERT_EQ(seam.notices.size(), 1u);
  EXPECT_EQ(seam.notices[0].kind, kNoticeFailure);
  EXPECT_NE(seam.notices[0].text.find(path), std::string::npos);
}

TEST_F(HexDocuments, ClosingErasesTheImageAndRestoresTheNoDocumentText) {
  std::string path = WriteHex("a.hex", {HexData(0, {1, 2, 3, 4}), HexEnd()});
  OpenFlashDocument(path, *image, seam);
  OpenEepromDocument(path, *image, seam);
  seam.calls.clear();
  CloseFlashDocument(*image, seam);
  EXPECT_TRUE(image->documents.flash.empty());
  EXPECT_EQ(image->flashWords[0], 0xFFFF);
  EXPECT_EQ(image->flashEnd, 4095u);
  EXPECT_EQ(image->eepromBytes[0], 1);  // the other document stays
  CloseEepromDocument(*image, seam);
  EXPECT_TRUE(image->documents.eeprom.empty());
  EXPECT_EQ(image->eepromEnd, 511u);
  EXPECT_EQ(seam.calls, (std::vector<std::string>{"document flash", "image", "document eeprom",
                                                  "image"}));
  EXPECT_EQ(FlashDocumentReady(*image, seam).state, DocumentState::None);
}

}  // namespace
}  // namespace tolmeo
