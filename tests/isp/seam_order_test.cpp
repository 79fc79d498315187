// The exact order in which the commands talk to the windows: the progress bar shown over its
// range, moved and hidden, one pending-message run per item, the documents and the image told
// as they change. The windows rely on this order (a bar hidden after the message would stand
// over it), so it is checked call by call.
#include <gtest/gtest.h>

#include "sim_bench.h"

namespace tolmeo {
namespace {

using testing::SimBench;
using Calls = std::vector<std::string>;

// Records each pending-message run among the other seam calls.
void RecordPendingRuns(SimBench& b) {
  b.seam.on_pending_messages = [&b] { b.seam.calls.push_back("pending"); };
}

// A loop over items: for each, one pending run, then (when position_each is set) its position.
void AppendItems(Calls& calls, const std::string& bar, std::int64_t first, std::int64_t last,
                 bool position_each = true) {
  for (std::int64_t at = first; at <= last; ++at) {
    calls.push_back("pending");
    if (position_each) calls.push_back("progress " + bar + " pos " + std::to_string(at));
  }
}

void AppendBarStart(Calls& calls, const std::string& bar, std::int64_t min, std::int64_t max) {
  calls.push_back("progress " + bar + " show " + std::to_string(min) + ".." + std::to_string(max));
}

// Flash write over pages of 64 words: all words of a page, each after a pending run, then the
// page's position.
void AppendFlashWrite(Calls& calls, std::int64_t first_page, std::int64_t last_page) {
  AppendBarStart(calls, "flash", first_page, last_page);
  for (std::int64_t page = first_page; page <= last_page; page += 64) {
    AppendItems(calls, "flash", 0, 63, false);
    calls.push_back("progress flash pos " + std::to_string(page));
  }
  calls.push_back("progress flash hide");
}

void AppendVerify(Calls& calls, const std::string& bar, std::int64_t first, std::int64_t last) {
  AppendBarStart(calls, bar, first, last);
  AppendItems(calls, bar, first, last);
  calls.push_back("progress " + bar + " hide");
}

TEST(SeamOrder, FlashWriteReadsTheDocumentThenMovesTheBarOncePerPage) {
  SimBench b(128);
  RecordPendingRuns(b);
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x100, {0x11, 0x22, 0x33}));
  ASSERT_EQ(b.programmer().FlashWrite(), CommandOutcome::kDone);
  Calls expected = {"document flash", "image"};
  AppendFlashWrite(expected, 128, 128);  // the one page that holds the document's words
  EXPECT_EQ(b.seam.calls, expected);
}

TEST(SeamOrder, VerifyMovesTheBarOncePerItemAndHidesItBeforeTheMessage) {
  SimBench b(128);
  RecordPendingRuns(b);
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x20, {0x00}));  // chip holds 0xFF
  ASSERT_EQ(b.programmer().FlashVerify(), CommandOutcome::kChipFailed);
  Calls expected = {"document flash", "image"};
  AppendBarStart(expected, "flash", 0x10, 0x10);  // the one word the document defines
  expected.insert(expected.end(), {"pending", "progress flash hide", "notice 3"});
  EXPECT_EQ(b.seam.calls, expected);
}

TEST(SeamOrder, ReadsCoverTheWholeChipThenRefreshTheViewer) {
  SimBench b;
  RecordPendingRuns(b);
  ASSERT_EQ(b.programmer().EepromRead(), CommandOutcome::kDone);
  Calls expected;
  AppendBarStart(expected, "eeprom", 0, 512);
  AppendItems(expected, "eeprom", 0, 511);
  expected.insert(expected.end(), {"progress eeprom hide", "image"});
  EXPECT_EQ(b.seam.calls, expected);

  b.seam.calls.clear();
  ASSERT_EQ(b.programmer().FlashRead(), CommandOutcome::kDone);
  expected.clear();
  AppendBarStart(expected, "flash", 0, 4096);
  AppendItems(expected, "flash", 0, 4095);
  expected.insert(expected.end(), {"progress flash hide", "image"});
  EXPECT_EQ(b.seam.calls, expected);
}

// The second byte of each instruction that writes or reads a fuse or the lock bits, in order.
std::vector<std::uint8_t> FuseInstructions(SimBench& b, std::uint8_t first) {
  std::vector<std::uint8_t> seen;
  for (const Instruction& instruction : b.chip().instructions()) {
    if (instruction[0] == first && instruction[1] != 0x53) seen.push_back(instruction[1]);
  }
  return seen;
}

TEST(SeamOrder, LockAndFuseCommandsTakeExtendedHighLowThenLockAndShowTheBitsOnce) {
  SimBench b;
  ASSERT_EQ(b.programmer().LockFuseWrite(), CommandOutcome::kDone);
  EXPECT_EQ(FuseInstructions(b, 0xAC), (std::vector<std::uint8_t>{0xA4, 0xA8, 0xA0, 0xE0}));
  EXPECT_TRUE(b.seam.calls.empty());
  ASSERT_EQ(b.programmer().LockFuseRead(), CommandOutcome::kDone);
  EXPECT_EQ(b.seam.calls, (Calls{"bits"}));
}

TEST(SeamOrder, AutomaticSequenceWritesAndVerifiesEachMemoryThenTheFuses) {
  SimBench b(128);
  RecordPendingRuns(b);
  b.OpenDocument(Memory::Flash, "f.hex", SimBench::HexText(0x80, {1, 2}));
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x10, 0x20, 0x30}));
  ASSERT_EQ(b.programmer().AutoSequence(), CommandOutcome::kDone);
  // Both documents are read before the erase, so a bad one stops with the chip untouched.
  Calls expected = {"document flash", "image", "document eeprom", "image"};
  AppendFlashWrite(expected, 64, 64);
  // The EEPROM write has the shape of a verify; the verifies after the writes read nothing
  // the writes' read-backs have not (the chip's signature is the description's).
  AppendVerify(expected, "eeprom", 0, 2);
  EXPECT_EQ(b.seam.calls, expected);
  EXPECT_TRUE(b.seam.notices.empty());
}

TEST(SeamOrder, AutomaticSequenceStopsAtAFailedEepromVerify) {
  SimBench b;
  // Let through with another signature, so the verify reads the EEPROM again.
  b.chip().faults.signature = std::array<std::uint8_t, 3>{0x1E, 0x94, 0x03};
  b.OpenDocument(Memory::Eeprom, "e.hex", SimBench::HexText(0, {0x10}));
  b.seam.on_pending_messages = [&b] {
    b.seam.calls.push_back("pending");
    // After the write, the byte drops a bit before the verify reads it.
    if (b.seam.calls.size() >= 2 && b.seam.calls[b.seam.calls.size() - 2] == "progress eeprom show 0..0" &&
        b.chip().memories().ReadEeprom(0) == 0x10) {
      b.chip().memories().WriteEeprom(0, 0x00);
    }
  };
  b.SetBoxes(FuseGroup::Low, 0x00);
  EXPECT_EQ(b.programmer().AutoSequence(), CommandOutcome::kChipFailed);
  Calls tail(b.seam.calls.end() - 3, b.seam.calls.end());
  EXPECT_EQ(tail, (Calls{"pending", "progress eeprom hide", "notice 3"}));
  EXPECT_EQ(b.chip().memories().fuses().low, 0xE1);  // lock and fuses not written
}

}  // namespace
}  // namespace tolmeo
