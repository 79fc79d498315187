#include "base/cp949.h"

#include <gtest/gtest.h>

namespace tolmeo {
namespace {

TEST(Cp949, KoreanRoundTripsThroughUtf8) {
  std::string cp949 = Cp949FromUtf8("끝 <ISP속도>");
  EXPECT_EQ(cp949, std::string("\xB3\xA1 <ISP\xBC\xD3\xB5\xB5>"));
  EXPECT_EQ(Utf8FromCp949(cp949), "끝 <ISP속도>");
}

TEST(Cp949, UnconvertibleInputIsReplacedNotDropped) {
  EXPECT_EQ(Cp949FromUtf8("a\xF0\x9F\x98\x80" "b"), "a?b");      // an emoji has no CP949 code
  EXPECT_EQ(Utf8FromCp949("a\xB3"), "a\xEF\xBF\xBD");           // lone lead byte at the end
  // A pair CP949 leaves undefined, last in the text: nothing may be read past it.
  EXPECT_EQ(Utf8FromCp949("\xA2\xE8"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8FromCp949("\xA2\xE8z"), "\xEF\xBF\xBDz");
}

TEST(Cp949, ExactConversionRefusesWhatItCannotKeep) {
  EXPECT_EQ(ExactCp949FromUtf8("/tmp/대한민국.hex"), Cp949FromUtf8("/tmp/대한민국.hex"));
  EXPECT_EQ(ExactCp949FromUtf8("caf\xF0\x9F\x98\x80.hex"), std::nullopt);  // an emoji
  EXPECT_EQ(ExactCp949FromUtf8("bad\xC3.hex"), std::nullopt);               // cut UTF-8
  EXPECT_EQ(ExactUtf8FromCp949(Cp949FromUtf8("끝.opt")), "끝.opt");
  EXPECT_EQ(ExactUtf8FromCp949("\xFF\xFF"), std::nullopt);
  EXPECT_EQ(ExactUtf8FromCp949("a\xB3"), std::nullopt);  // lone lead byte
  EXPECT_EQ(ExactCp949FromUtf8(""), "");
}

TEST(Cp949, CutNeverSplitsADoubleByteCharacter) {
  std::string text = Cp949FromUtf8("가나다");  // six bytes
  EXPECT_EQ(CutAtCharBoundary(text, 6), text);
  EXPECT_EQ(CutAtCharBoundary(text, 5).size(), 4u);
  EXPECT_EQ(CutAtCharBoundary("ab" + text, 3), "ab");
  EXPECT_EQ(CutAtCharBoundary("", 3), "");
}

TEST(Cp949, KtextConvertsALiteralOnce) {
  const std::string& first = Ktext(u8"확인");
  EXPECT_EQ(first, Cp949FromUtf8("확인"));
}

}  // namespace
}  // namespace tolmeo
