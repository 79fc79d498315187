#include "formats/tagged_text.h"

#include <gtest/gtest.h>

namespace tolmeo {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TaggedText, CrLfAndLoneLfBothEndLines) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines("a\rb"), (Lines{"a\rb"}));  // a lone CR is part of the line
  EXPECT_EQ(SplitLines(""), (Lines{""}));
}

TEST(TaggedText, TagsMatchWholeLinesFirstMatchAndNeverFallBack) {
  Lines lines = {"0x10", "<A>", "1", "<A> ", "<A>", "2", "<B>"};
  EXPECT_EQ(FindTagLine(lines, "<A>"), 1u);
  EXPECT_EQ(ValueAfterTag(lines, "<A>"), "1");
  EXPECT_EQ(FindTagLine(lines, "<C>"), std::nullopt);
  EXPECT_EQ(ValueAfterTag(lines, "<C>"), std::nullopt);  // not the first line "0x10"
  EXPECT_EQ(ValueAfterTag(lines, "<B>"), std::nullopt);  // the tag ends the text
  EXPECT_EQ(FindTagLine(lines, "<A"), std::nullopt);
}

TEST(TaggedText, StrictNumbersSayWhenTextIsNotANumber) {
  EXPECT_EQ(ParseDecimal("0064"), 64u);
  EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
  for (std::string_view bad : {"", "12a", "-1", "+1", " 1", "4294967296", "0x10"}) {
    EXPECT_EQ(ParseDecimal(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseHex("fF"), 0xFFu);
  EXPECT_EQ(ParseHex("00000000ffffffff"), 0xFFFFFFFFu);
  for (std::string_view bad : {"", "1g", "0x1", "100000000"}) {
    EXPECT_EQ(ParseHex(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParsePrefixedHex("0XfF"), 0xFFu);
  EXPECT_EQ(ParsePrefixedHex("0x0"), 0u);
  for (std::string_view bad : {"0x", "ff", "1xff", "0x-1"}) {
    EXPECT_EQ(ParsePrefixedHex(bad), std::nullopt) << bad;
  }
}

TEST(TaggedText, FixedWidthDecimalsKeepTheLastDigits) {
  EXPECT_EQ(FixedDecimal(64, 4), "0064");
  EXPECT_EQ(FixedDecimal(1234, 2), "34");
  EXPECT_EQ(PrefixedHex(0), "0x0");
}

}  // namespace
}  // namespace tolmeo
