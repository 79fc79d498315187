// A picture of the system fonts for people to look at, made only on request:
//   TOLMEO_FONT_SHEET=/tmp/font_sheet.bmp test_gfx --gtest_filter=FontSheet.*
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/colors.h"
#include "base/cp949.h"
#include "gfx/font_store.h"
#include "gfx/text_drawing.h"

namespace tolmeo {
namespace {

constexpr Color kBlue = 0xA04000;

struct SheetLine {
  const char8_t* text;
  int weight;
  Underline underline;
};

TEST(FontSheet, DrawsEveryFontInBothWeights) {
  const char* path = std::getenv("TOLMEO_FONT_SHEET");
  if (path == nullptr) GTEST_SKIP() << "set TOLMEO_FONT_SHEET=<file.bmp> to draw the sheet";
  ASSERT_TRUE(LoadFonts(TOLMEO_SOURCE_DIR "/data/font/").ok());
  TextStyle style;
  InitTextStyle(style);
  style.xOffset = 4;
  style.padTop = style.padBottom = 1;

  const SheetLine lines[] = {
      {u8"한글: 가나다라마바사아자차카타파하 똘메오 프로그래머 쓰기 읽기 검증 지우기", kRegularWeight, {}},
      {u8"한글: 가나다라마바사아자차카타파하 똘메오 프로그래머 쓰기 읽기 검증 지우기", kBoldWeight, {}},
      {u8"기호: ※☆★○●◎◇◆□■△▲▽▼→←↑↓↔〓≪≫ ㉠㉡㉢ ①②③ ⅰⅱⅲ ▒", kRegularWeight, {}},
      {u8"기호: ※☆★○●◎◇◆□■△▲▽▼→←↑↓↔〓≪≫ ㉠㉡㉢ ①②③ ⅰⅱⅲ ▒", kBoldWeight, {}},
      {u8"한자: 漢字 大韓民國 東西南北 春夏秋冬 天地玄黃 宇宙洪荒", kRegularWeight, {}},
      {u8"한자: 漢字 大韓民國 東西南北 春夏秋冬 天地玄黃 宇宙洪荒", kBoldWeight, {}},
      {u8"Latin: ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
       kRegularWeight, {}},
      {u8"Latin: ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
       kBoldWeight, {}},
      {u8"점선 밑줄 dotted underline", kRegularWeight, {kBlue, 0, 0, kDottedUnderline}},
      {u8"파선 밑줄 dashed underline", kRegularWeight, {kBlue, 0, 0, kDashedUnderline}},
      {u8"실선 밑줄 solid underline (spaces too)", kRegularWeight, {kBlue, 0, 1, kSolidUnderline}},
      {u8"00000000  0C94 0034 0C94 0051 0C94 0051 0C94 0051 FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF",
       kRegularWeight, {}},
  };
  Bitmap sheet(760, 16 * static_cast<int>(std::size(lines)) + 8, kWhite);
  int y = 4;
  for (const SheetLine& line : lines) {
    std::string text = Cp949FromUtf8(reinterpret_cast<const char*>(line.text));
    DrawTextStyled(sheet, style, 0, line.underline, text, line.weight, kTransparent, kWhite,
                   kBlack, y);
    y += 16;
  }
  EXPECT_TRUE(SaveBmp(sheet, Cp949FromUtf8(path)).ok());
  FreeFonts();
}

}  // namespace
}  // namespace tolmeo
