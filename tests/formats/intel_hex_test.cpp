#include "formats/intel_hex.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>

#include "base/cp949.h"
#include "formats/formats_testing.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::HexData;
using testing::HexEnd;
using testing::HexRecord;
using testing::K;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

std::string Lines(std::initializer_list<std::string> lines, std::string_view end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(end);
  return text;
}

class IntelHex : public ::testing::Test {
 protected:
  // An erased 64 KB memory, as a chip's EEPROM or Flash bytes would be.
  std::vector<std::uint8_t> area = std::vector<std::uint8_t>(0x10000, 0xFF);

  Result<HexRange> Parse(std::string_view text) { return ParseIntelHex(text, area); }

  void ExpectRange(std::string_view text, std::uint32_t high) {
    auto range = Parse(text);
    ASSERT_TRUE(range.ok()) << Utf8FromCp949(range.reason());
    EXPECT_EQ(range->high, high);
  }

  void ExpectSpans(std::string_view text, std::uint32_t low, const std::vector<HexSpan>& spans) {
    auto range = Parse(text);
    ASSERT_TRUE(range.ok()) << Utf8FromCp949(range.reason());
    EXPECT_EQ(range->low, low);
    EXPECT_EQ(range->spans, spans);
  }

  void ExpectFailure(std::string_view text, std::string_view line_and_reason) {
    auto range = Parse(text);
    ASSERT_FALSE(range.ok());
    EXPECT_NE(range.reason().find(K(line_and_reason)), std::string::npos)
        << Utf8FromCp949(range.reason());
  }
};

TEST_F(IntelHex, SixteenBytesAtZeroThenTheEndRecord) {
  std::vector<std::uint8_t> data;
  for (int i = 0; i < 16; ++i) data.push_back(static_cast<std::uint8_t>(i * 3));
  ExpectRange(Lines({HexData(0, data), HexEnd()}), 15);
  EXPECT_EQ(std::vector<std::uint8_t>(area.begin(), area.begin() + 16), data);
  EXPECT_EQ(area[16], 0xFF);
}

TEST_F(IntelHex, RecordsLandAtTheirAddressesInAnyOrder) {
  ExpectRange(Lines({HexData(0x0200, Bytes({1, 2})), HexData(0x0100, Bytes({3, 4, 5})), HexEnd()}),
              0x201);
  EXPECT_EQ(area[0x100], 3);
  EXPECT_EQ(area[0x102], 5);
  EXPECT_EQ(area[0x201], 2);
  EXPECT_EQ(area[0x0FF], 0xFF);
}

TEST_F(IntelHex, LineEndsAndTrailingBlanksAreTolerated) {
  std::string records[] = {HexData(0, Bytes({0xAA})), HexData(0x10, Bytes({0xBB}))};
  ExpectRange(Lines({records[0], records[1], HexEnd()}, "\n"), 0x10);  // LF only
  ExpectRange(Lines({records[0], records[1], HexEnd()}, " \t\r\n"), 0x10);
  ExpectRange(Lines({records[0], records[1]}) + HexEnd(), 0x10);        // no final line end
  ExpectRange(Lines({records[0], records[1], HexEnd()}) + "\r\n\r\n  \n", 0x10);  // blank lines after
  EXPECT_EQ(area[0x10], 0xBB);
}

TEST_F(IntelHex, AFileCutBeforeItsEndRecordIsRefusedWithTheLine) {
  std::string records[] = {HexData(0, Bytes({0xAA})), HexData(0x10, Bytes({0xBB}))};
  const char* why = "번째 줄: 이 줄 뒤에 끝 레코드(:00000001FF)가 없습니다";
  ExpectFailure(Lines({records[0], records[1]}), std::string("2") + why);
  ExpectFailure(Lines({records[0], records[1]}) + "\r\n\r\n  \n", std::string("2") + why);
  ExpectFailure(records[0], std::string("1") + why);  // no line end either
  ExpectFailure(Lines({HexRecord(0, 4, Bytes({0, 0}))}), std::string("1") + why);
}

TEST_F(IntelHex, LowerCaseDigitsReadLikeUpperCase) {
  std::string record = HexData(0x0ABC, Bytes({0xDE, 0xF0}));
  for (char& c : record) c = static_cast<char>(std::tolower(c));
  ExpectRange(Lines({record, HexEnd()}), 0xABD);
  EXPECT_EQ(area[0xABC], 0xDE);
}

TEST_F(IntelHex, NoDataRecordsGiveTheRangeZeroToZero) {
  ExpectRange(Lines({HexEnd()}), 0);
  EXPECT_EQ(area[0], 0xFF);
}

TEST_F(IntelHex, AFileWithoutAnyRecordIsRefused) {
  ExpectFailure("", "레코드가 하나도 없는 빈 파일");
  ExpectFailure("\r\n \n", "레코드가 하나도 없는 빈 파일");
}

TEST_F(IntelHex, LinesAfterTheEndRecordAreNotLookedAt) {
  ExpectRange(Lines({HexData(4, Bytes({1})), HexEnd(), "garbage", HexData(8, Bytes({2}))}), 4);
  EXPECT_EQ(area[8], 0xFF);
}

TEST_F(IntelHex, DamagedRecordsFailWithTheLineAndTheReason) {
  std::string good = HexData(0, Bytes({1, 2, 3}));
  ExpectFailure(Lines({good, "00000001FF"}), "2번째 줄: ':'로 시작하지 않습니다");
  ExpectFailure(Lines({"", good}), "1번째 줄: ':'로 시작하지 않습니다");  // an empty first line
  ExpectFailure(Lines({good, good, ":0300000001G203F7"}), "3번째 줄: 16진수가 아닌");
  ExpectFailure(Lines({":G3000000010203F7"}), "1번째 줄: 16진수가 아닌");
  ExpectFailure(Lines({":0400000001020304"}), "1번째 줄: 바이트 수가 줄의 길이와");  // too short
  ExpectFailure(Lines({good + "00"}), "1번째 줄: 바이트 수가 줄의 길이와");     // too long
  ExpectFailure(Lines({":00000001F"}), "1번째 줄: 레코드가 너무 짧거나");
  ExpectFailure(Lines({":"}), "1번째 줄: 레코드가 너무 짧거나");
  std::string bad_sum = good;
  bad_sum.back() = bad_sum.back() == '0' ? '1' : '0';
  ExpectFailure(Lines({good, good, bad_sum}), "3번째 줄: 검사합이 맞지 않습니다");
}

TEST_F(IntelHex, BytesOfTheLinesBeforeAFailureStay) {
  ASSERT_FALSE(Parse(Lines({HexData(0, Bytes({7})), "junk", HexData(1, Bytes({8}))})).ok());
  EXPECT_EQ(area[0], 7);
  EXPECT_EQ(area[1], 0xFF);
}

TEST_F(IntelHex, ExtendedLinearAddressesGiveTheUpperSixteenBits) {
  area.assign(0x30000, 0xFF);
  ExpectRange(Lines({HexRecord(0, 4, Bytes({0x00, 0x02})), HexData(0x0010, Bytes({9})),
                     HexRecord(0, 4, Bytes({0, 0})), HexData(0x0020, Bytes({6})), HexEnd()}),
              0x20010);
  EXPECT_EQ(area[0x20010], 9);
  EXPECT_EQ(area[0x0020], 6);
}

TEST_F(IntelHex, ExtendedSegmentAddressesAreSixteenTimesTheSegmentAndWrapInside) {
  area.assign(0x30000, 0xFF);
  ExpectRange(Lines({HexRecord(0, 2, Bytes({0x10, 0x00})), HexData(0xFFFF, Bytes({1, 2})),
                     HexEnd()}),
              0x1FFFF);
  EXPECT_EQ(area[0x1FFFF], 1);
  EXPECT_EQ(area[0x10000], 2);  // the offset wraps inside the segment
}

TEST_F(IntelHex, StartAddressesAndUnknownTypesAreSkipped) {
  ExpectRange(Lines({HexRecord(0, 3, Bytes({0, 0, 0x12, 0x34})),
                     HexRecord(0, 5, Bytes({0, 0, 0x12, 0x34})), HexRecord(0x40, 6, Bytes({1})),
                     HexData(2, Bytes({5})), HexEnd()}),
              2);
  EXPECT_EQ(area[0x40], 0xFF);
}

// What the file defines, byte by byte: gaps stay out, records that go on where the one before
// ended join it, extended addresses count, and bytes written as 0xFF are defined all the same.
TEST_F(IntelHex, TheRunsOfDefinedBytesLeaveTheGapsOut) {
  ExpectSpans(Lines({HexData(0x0200, Bytes({1, 2})), HexData(0x0100, Bytes({3, 4, 5})), HexEnd()}), 0x100,
              {{0x200, 2}, {0x100, 3}});
  ExpectSpans(Lines({HexData(0x10, Bytes({1, 2})), HexData(0x12, Bytes({0xFF, 0xFF})), HexEnd()}), 0x10,
              {{0x10, 4}});
  ExpectSpans(Lines({HexEnd()}), 0, {});
  area.assign(0x30000, 0xFF);
  ExpectSpans(Lines({HexRecord(0, 4, Bytes({0x00, 0x02})), HexData(0x0010, Bytes({9})), HexEnd()}), 0x20010,
              {{0x20010, 1}});
  // A segment's offset wraps inside it: the run breaks where the address does.
  ExpectSpans(Lines({HexRecord(0, 2, Bytes({0x10, 0x00})), HexData(0xFFFF, Bytes({1, 2})), HexEnd()}), 0x10000,
              {{0x1FFFF, 1}, {0x10000, 1}});
}

TEST_F(IntelHex, AnExtendedAddressRecordMustHoldTwoBytes) {
  ExpectFailure(Lines({HexRecord(0, 4, Bytes({1}))}), "1번째 줄: 확장 주소");
}

TEST_F(IntelHex, DataBeyondTheMemoryIsRefusedNotClamped) {
  area.assign(512, 0xFF);
  ExpectRange(Lines({HexData(0x1F0, std::vector<std::uint8_t>(16, 0x11)), HexEnd()}), 0x1FF);
  ExpectFailure(Lines({HexData(0, Bytes({1})), HexData(0x1F8, std::vector<std::uint8_t>(9, 0))}),
                "2번째 줄: 주소 0x200");
  ExpectFailure(Lines({HexRecord(0, 4, Bytes({0xFF, 0xFF})), HexData(0xFFFF, Bytes({1}))}),
                "2번째 줄: 주소");
  EXPECT_EQ(area.size(), 512u);
}

TEST(IntelHexFile, AMissingFileIsReported) {
  std::vector<std::uint8_t> area(16);
  testing::TempFolder folder;
  auto range = ReadIntelHex(folder.Cp949Path() + "none.hex", area);
  ASSERT_FALSE(range.ok());
  EXPECT_EQ(range.reason(), K("파일이 없습니다"));
  std::string path = folder.Write("a.hex", Lines({HexData(3, Bytes({4})), HexEnd()}));
  ASSERT_TRUE(ReadIntelHex(path, area).ok());
  EXPECT_EQ(area[3], 4);
}

// Something that is not a file is named for what it is, never called missing.
TEST(IntelHexFile, APathThatIsNoFileSaysWhatItIs) {
  std::vector<std::uint8_t> area(16);
  testing::TempFolder folder;
  const std::string base = folder.Cp949Path();
  std::filesystem::create_directory(folder.path() / "folder.hex");
  ASSERT_EQ(::mkfifo((folder.path() / "fifo.hex").c_str(), 0600), 0);
  std::filesystem::create_symlink(folder.path() / "loop.hex", folder.path() / "loop.hex");
  const std::pair<const char*, std::string> cases[] = {
      {"folder.hex", K("폴더입니다")}, {"fifo.hex", K("FIFO 입니다")}, {"loop.hex", K("심볼릭 링크")}};
  for (const auto& [name, said] : cases) {
    auto range = ReadIntelHex(base + name, area);
    ASSERT_FALSE(range.ok()) << name;
    EXPECT_NE(range.reason().find(said), std::string::npos) << name << Utf8FromCp949(range.reason());
  }
  EXPECT_EQ(ReadIntelHex("/dev/null", area).reason(), K("문자 장치입니다"));
}

}  // namespace
}  // namespace tolmeo
