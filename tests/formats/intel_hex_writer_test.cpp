#include "formats/intel_hex_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "formats/intel_hex.h"

namespace tolmeo {
namespace {

TEST(IntelHexWriter, RecordsOfSixteenBytesWithChecksumAndEndRecord) {
  std::vector<std::uint8_t> bytes(18);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(IntelHexText(bytes),
            ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
            ":020010001011CD\r\n"
            ":00000001FF\r\n");
  EXPECT_EQ(IntelHexText({}), ":00000001FF\r\n");
}

TEST(IntelHexWriter, BeyondSixtyFourKilobytesTheReaderGetsEveryByteBack) {
  std::vector<std::uint8_t> bytes(0x10000 + 40);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  std::string text = IntelHexText(bytes);
  EXPECT_NE(text.find(":020000040001F9\r\n"), std::string::npos);
  std::vector<std::uint8_t> back(bytes.size(), 0xFF);
  auto range = ParseIntelHex(text, back);
  ASSERT_TRUE(range.ok()) << range.reason();
  EXPECT_EQ(range->high, bytes.size() - 1);
  EXPECT_EQ(back, bytes);
}

}  // namespace
}  // namespace tolmeo
