#include "formats/description_text.h"

#include <gtest/gtest.h>

#include "base/cp949.h"
#include "formats/formats_testing.h"

namespace tolmeo {
namespace {

using testing::K;

// A description as the writer lays it out, written here with LF and turned into CP949 CR LF.
constexpr std::string_view kSample = R"(<Flash페이지크기>
0064
<Flash크기>
00016384
<EEprom크기>
00000512
<고유번호>
1e 94 03
<보안설정>
7 - - 고정
6 - - 고정
5 BLB12 - 
4 BLB11 - 
3 BLB02 * 
2 BLB01 - 
1 LB2 - 
0 LB1 - 
<확장설정>
7 - - 고정
6 - - 고정
5 - - 고정
4 - - 고정
3 - - 고정
2 - - 고정
1 - - 고정
0 - - 고정
<상위설정>
7 RSTDISBL - 고정
6 WDTON - 
5 SPIEN * 고정
4 CKOPT - 
3 EESAVE - 
2 BOOTSZ1 * 
1 BOOTSZ0 * 
0 BOOTRST - 
<하위설정>
7 BODLEVEL - 
6 BODEN - 
5 SUT1 * 
4 SUT0 - 
3 CKSEL3 * 
2 CKSEL2 * 
1 CKSEL1 * 
0 CKSEL0 - 
<Flash기록시간>
05
<EEprom기록시간>
10
<끝>
)";

std::string FileText(std::string_view utf8_with_lf) {
  std::string text;
  for (char c : utf8_with_lf) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return K(text);
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The sample with one piece of it replaced, in UTF-8 with LF.
std::string SampleWith(std::string_view from, std::string_view to) {
  return Replace(std::string(kSample), from, to);
}

void ExpectRefused(std::string_view utf8_with_lf, std::string_view reason_part) {
  auto description = ParseDescription(FileText(utf8_with_lf));
  ASSERT_FALSE(description.ok()) << reason_part;
  EXPECT_NE(description.reason().find(K(reason_part)), std::string::npos)
      << Utf8FromCp949(description.reason());
}

TEST(DescriptionText, ReadsTheSample) {
  auto d = ParseDescription(FileText(kSample));
  ASSERT_TRUE(d.ok()) << Utf8FromCp949(d.reason());
  EXPECT_EQ(d->flashPageSize, 64u);
  EXPECT_EQ(d->flashSize, 16384u);
  EXPECT_EQ(d->eepromSize, 512u);
  EXPECT_EQ(d->signature, (std::array<std::uint8_t, 3>{0x1E, 0x94, 0x03}));
  EXPECT_EQ(d->flashWriteDelay, 5);
  EXPECT_EQ(d->eepromWriteDelay, 10);
  EXPECT_EQ(d->bits.Collect(FuseGroup::Lock), 0xF7);
  EXPECT_EQ(d->bits.Collect(FuseGroup::Extended), 0xFF);
  EXPECT_EQ(d->bits.Collect(FuseGroup::High), 0xD9);
  EXPECT_EQ(d->bits.Collect(FuseGroup::Low), 0xD1);
  const BitBox& spien = d->bits.Box(FuseGroup::High, 5);
  EXPECT_EQ(spien.name, "SPIEN");
  EXPECT_TRUE(spien.checked);
  EXPECT_TRUE(spien.fixed);
  EXPECT_FALSE(d->bits.Box(FuseGroup::High, 4).fixed);
  EXPECT_EQ(d->bits.Box(FuseGroup::Lock, 7).name, "-");  // a bit the chip lacks
}

TEST(DescriptionText, WritesTheSampleByteForByte) {
  auto d = ParseDescription(FileText(kSample));
  ASSERT_TRUE(d.ok());
  auto text = FormatDescription(*d);
  ASSERT_TRUE(text.ok()) << Utf8FromCp949(text.reason());
  EXPECT_EQ(*text, FileText(kSample));
}

TEST(DescriptionText, BitLinesInAnyOrderAndWithSeveralBlanksReadTheSame) {
  std::string reordered = SampleWith("7 BODLEVEL - \n6 BODEN - \n5 SUT1 * \n4 SUT0 - \n3 CKSEL3 * \n"
                         "2 CKSEL2 * \n1 CKSEL1 * \n0 CKSEL0 - \n",
                         "0   CKSEL0  -\n1 CKSEL1 *\n  2 CKSEL2 *   \n3 CKSEL3 *\n4 SUT0 -\n"
                         "5 SUT1 *\n6 BODEN -\n7 BODLEVEL -\n");
  auto original = ParseDescription(FileText(kSample));
  auto shuffled = ParseDescription(FileText(reordered));
  ASSERT_TRUE(shuffled.ok()) << Utf8FromCp949(shuffled.reason());
  EXPECT_EQ(shuffled->bits.Collect(FuseGroup::Low), original->bits.Collect(FuseGroup::Low));
  for (int bit = 0; bit < 8; ++bit) {
    EXPECT_EQ(shuffled->bits.Box(FuseGroup::Low, bit).name,
              original->bits.Box(FuseGroup::Low, bit).name);
  }
  EXPECT_EQ(*FormatDescription(*shuffled), FileText(kSample));
}

TEST(DescriptionText, AnythingButAStarIsUnprogrammedAndOnlyTheFixedMarkFixes) {
  auto d = ParseDescription(FileText(SampleWith("4 CKOPT - \n", "4 CKOPT ** fixed\n")));
  ASSERT_TRUE(d.ok());
  EXPECT_FALSE(d->bits.Box(FuseGroup::High, 4).checked);
  EXPECT_FALSE(d->bits.Box(FuseGroup::High, 4).fixed);
}

TEST(DescriptionText, MissingTagsAreRefusedNotTakenFromTheFirstLine) {
  for (std::string_view tag : {"<Flash페이지크기>", "<Flash크기>", "<EEprom크기>", "<고유번호>",
                               "<보안설정>", "<확장설정>", "<상위설정>", "<하위설정>",
                               "<Flash기록시간>", "<EEprom기록시간>"}) {
    ExpectRefused(SampleWith(tag, "<other>"), tag);
  }
  ExpectRefused("", "<Flash페이지크기>");
}

TEST(DescriptionText, DamagedBitSectionsAreRefused) {
  ExpectRefused(SampleWith("0 LB1 - \n", "8 LB1 - \n"), "<보안설정>");
  ExpectRefused(SampleWith("0 LB1 - \n", "1 LB1 - \n"), "<보안설정>");    // bit 1 twice
  ExpectRefused(SampleWith("0 LB1 - \n", "x LB1 - \n"), "<보안설정>");
  ExpectRefused(SampleWith("0 LB1 - \n", "0 LB1\n"), "<보안설정>");       // no state
  ExpectRefused(SampleWith("0 LB1 - \n", "\n"), "<보안설정>");
  std::string cut(kSample.substr(0, kSample.find("0 CKSEL0")));  // 7 lines after the last tag
  ExpectRefused(cut, "<하위설정>");
}

TEST(DescriptionText, NumbersThatAreNotNumbersAreRefused) {
  ExpectRefused(SampleWith("0064", "0O64"), "<Flash페이지크기>");
  ExpectRefused(SampleWith("00016384", "16k"), "<Flash크기>");
  ExpectRefused(SampleWith("00000512", ""), "<EEprom크기>");
  ExpectRefused(SampleWith("1e 94 03", "1e 94"), "<고유번호>");
  ExpectRefused(SampleWith("1e 94 03", "1e 194 03"), "<고유번호>");  // not cut to 0x94
  ExpectRefused(SampleWith("1e 94 03", "0x1e 94 03"), "<고유번호>");
  ExpectRefused(SampleWith("05\n", "5 ms\n"), "<Flash기록시간>");
  ExpectRefused(SampleWith("10\n", "-1\n"), "<EEprom기록시간>");
  // The first word is what counts on size lines; blanks around delays are tolerated.
  EXPECT_TRUE(ParseDescription(FileText(SampleWith("00016384", "16384 bytes"))).ok());
  EXPECT_TRUE(ParseDescription(FileText(SampleWith("05\n", " 5 \n"))).ok());
}

TEST(DescriptionText, SizesTheImageOrTheIspInstructionsCannotHoldAreRefused) {
  ExpectRefused(SampleWith("00016384", "00000000"), "<Flash크기>");
  ExpectRefused(SampleWith("00016384", "00016385"), "<Flash크기>");
  ExpectRefused(SampleWith("00016384", "00131074"), "<Flash크기>");
  ExpectRefused(SampleWith("00016384", "02048002"), "<Flash크기>");
  ExpectRefused(SampleWith("00000512", "00000000"), "<EEprom크기>");
  ExpectRefused(SampleWith("00000512", "00065537"), "<EEprom크기>");
  ExpectRefused(SampleWith("0064", "0096"), "<Flash페이지크기>");  // 48 words
  ExpectRefused(SampleWith("0064", "0000"), "<Flash페이지크기>");
  ExpectRefused(SampleWith("0064", "0001"), "<Flash페이지크기>");
  ExpectRefused(SampleWith("0064", "0065"), "<Flash페이지크기>");
  ExpectRefused(SampleWith("00016384", "00000032"), "<Flash페이지크기>");  // page beyond flash
  EXPECT_TRUE(ParseDescription(FileText(SampleWith("00016384", "00131072"))).ok());
  std::string at_limits = SampleWith("00000512", "00065536");
  at_limits = Replace(at_limits, "0064", "0002");
  EXPECT_TRUE(ParseDescription(FileText(at_limits)).ok());
}

TEST(DescriptionText, TheWriterRefusesWhatItCannotWriteBack) {
  auto d = ParseDescription(FileText(kSample));
  ASSERT_TRUE(d.ok());
  auto refused = [](DeviceDescription copy, std::string_view reason_part) {
    auto text = FormatDescription(copy);
    ASSERT_FALSE(text.ok()) << reason_part;
    EXPECT_NE(text.reason().find(K(reason_part)), std::string::npos)
        << Utf8FromCp949(text.reason());
  };
  DeviceDescription copy = *d;
  copy.flashPageSize = 10'000;
  refused(copy, "<Flash페이지크기>");
  copy = *d;
  copy.eepromSize = 100'000'000;
  refused(copy, "<EEprom크기>");
  copy = *d;
  copy.flashWriteDelay = 100;
  refused(copy, "<Flash기록시간>");
  copy = *d;
  copy.eepromWriteDelay = -1;
  refused(copy, "<EEprom기록시간>");
  copy = *d;
  copy.bits.Box(FuseGroup::Low, 3).name = "CK SEL3";
  refused(copy, "<하위설정>");
  copy = *d;
  copy.bits.Box(FuseGroup::Lock, 0).name = "LB1\r\n<끝>";
  refused(copy, "<보안설정>");
  copy = *d;
  copy.flashWriteDelay = 99;
  copy.bits.Box(FuseGroup::Low, 3).name = K("클럭3");
  EXPECT_TRUE(FormatDescription(copy).ok());
}

TEST(DescriptionText, AnEmptyNameIsWrittenAsTheNameOfAMissingBit) {
  auto d = ParseDescription(FileText(kSample));
  ASSERT_TRUE(d.ok());
  d->bits.Box(FuseGroup::Extended, 1).name.clear();
  auto again = ParseDescription(*FormatDescription(*d));
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again->bits.Box(FuseGroup::Extended, 1).name, "-");
}

TEST(DescriptionText, SaveThenLoadKeepsEverything) {
  auto d = ParseDescription(FileText(kSample));
  ASSERT_TRUE(d.ok());
  d->bits.Box(FuseGroup::Extended, 2) = BitBox{true, K("비트이름"), false};
  d->bits.Box(FuseGroup::Extended, 1) = BitBox{false, "-", true};
  auto again = ParseDescription(*FormatDescription(*d));
  ASSERT_TRUE(again.ok());
  for (FuseGroup group : kFuseGroups) {
    for (int bit = 0; bit < 8; ++bit) {
      const BitBox& a = d->bits.Box(group, bit);
      const BitBox& b = again->bits.Box(group, bit);
      EXPECT_EQ(a.checked, b.checked);
      EXPECT_EQ(a.name, b.name);
      EXPECT_EQ(a.fixed, b.fixed);
    }
  }
}

}  // namespace
}  // namespace tolmeo
