#include "formats/ide_options.h"

#include <gtest/gtest.h>

#include "base/cp949.h"
#include "base/file_system.h"
#include "formats/formats_testing.h"
#include "support/temp_folder.h"

namespace tolmeo {
namespace {

using testing::K;
using testing::TempFolder;

// The text the writer produces for these values, line by line.
std::string OptionsText(std::string_view color, std::string_view path, std::string_view brightness,
                        std::string_view blend_on, std::string_view blend_value,
                        std::string_view balloon, std::string_view balloon_transparent,
                        std::string_view speed, std::string_view cable) {
  std::string text;
  auto add = [&text](std::string_view tag, std::string_view value) {
    text += K(tag) + "\r\n" + std::string(value) + "\r\n";
  };
  add("<전체색>", color);
  add("<배경그림경로>", path);
  add("<바탕밝기>", brightness);
  add("<알파블렌드설정>", blend_on);
  add("<알파블렌드값>", blend_value);
  add("<풍선도움말설정>", balloon);
  add("<풍선도움말투명설정>", balloon_transparent);
  add("<ISP속도>", speed);
  add("<케이블>", cable);
  add("<명세문서>", "");
  return text + K("<끝>") + "\r\n";
}

std::string DefaultPicture() { return ExeFolder() + "image/" + K("대한민국.jpg"); }

TEST(IdeOptions, DefaultsAreCalmAndUsable) {
  IdeOptions defaults = DefaultOptions();
  EXPECT_EQ(defaults.savedColor, defaults.overallColor);
  EXPECT_EQ(defaults.backgroundPicturePath, DefaultPicture());
  EXPECT_EQ(defaults.cable, "parport0");
  EXPECT_EQ(ParseOptions(""), defaults);
}

TEST(IdeOptions, WriterProducesTheExactLayout) {
  IdeOptions options = DefaultOptions();
  options.savedColor = 0xFF;
  options.overallColor = 0x123456;  // the colour in effect is not what is saved
  options.backgroundPicturePath = K("/그림/바다.jpg");
  options.brightness = 50;
  options.alphaBlendOn = 1;
  options.alphaBlendValue = 7;
  options.ispSpeed = 0;
  options.cable = "sim:/tmp/chip.mem";
  EXPECT_EQ(FormatOptions(options), OptionsText("0xff", K("/그림/바다.jpg"), "050", "1", "007",
                                                "1", "0", "0x0", "sim:/tmp/chip.mem"));
}

TEST(IdeOptions, ReadsWhatTheWriterWroteAndWritesItBackByteForByte) {
  std::string text = OptionsText("0xff", "/p.jpg", "050", "1", "128", "0", "1", "0x3f", "sim");
  IdeOptions options = ParseOptions(text);
  EXPECT_EQ(options.overallColor, 0xFFu);
  EXPECT_EQ(options.savedColor, 0xFFu);
  EXPECT_EQ(options.backgroundPicturePath, "/p.jpg");
  EXPECT_EQ(options.brightness, 50);
  EXPECT_EQ(options.alphaBlendOn, 1);
  EXPECT_EQ(options.alphaBlendValue, 128);
  EXPECT_EQ(options.balloonHelpOn, 0);
  EXPECT_EQ(options.balloonTransparentOn, 1);
  EXPECT_EQ(options.ispSpeed, 0x3f);
  EXPECT_EQ(options.cable, "sim");
  EXPECT_EQ(FormatOptions(options), text);

  // Upper-case hex reads the same and is written back in lower case.
  std::string upper = OptionsText("0XFF", "", "200", "0", "255", "1", "0", "0x1A", "parport0");
  std::string lower = OptionsText("0xff", "", "200", "0", "255", "1", "0", "0x1a", "parport0");
  EXPECT_EQ(FormatOptions(ParseOptions(upper)), lower);
}

TEST(IdeOptions, TagsMayStandInAnyOrderAndMissingTagsKeepTheirDefault) {
  std::string text = K("<ISP속도>\r\n0x2\r\n<바탕밝기>\r\n017\r\n");
  IdeOptions options = ParseOptions(text);
  EXPECT_EQ(options.ispSpeed, 2);
  EXPECT_EQ(options.brightness, 17);
  // The first line is not taken for the missing colour.
  EXPECT_EQ(options.overallColor, DefaultOptions().overallColor);
  EXPECT_EQ(options.cable, "parport0");
  EXPECT_EQ(options.backgroundPicturePath, DefaultPicture());
}

TEST(IdeOptions, AFileWithoutTheCableTagLoadsTheDefaultCable) {
  std::string text = OptionsText("0x1", "", "200", "0", "255", "1", "0", "0x10", "sim");
  text.erase(text.find(K("<케이블>")), K("<케이블>\r\nsim\r\n").size());
  EXPECT_EQ(ParseOptions(text).cable, "parport0");
  EXPECT_EQ(ParseOptions(text).overallColor, 1u);
}

TEST(IdeOptions, OutOfRangeValuesAreClamped) {
  IdeOptions options =
      ParseOptions(OptionsText("0x0", "", "999", "7", "300", "2", "9", "0xffffffff", "sim"));
  EXPECT_EQ(options.brightness, 255);
  EXPECT_EQ(options.alphaBlendOn, 1);
  EXPECT_EQ(options.alphaBlendValue, 255);
  EXPECT_EQ(options.balloonHelpOn, 1);
  EXPECT_EQ(options.balloonTransparentOn, 1);
  EXPECT_EQ(options.ispSpeed, 0);  // a negative speed
  EXPECT_EQ(ParseOptions(OptionsText("0x0", "", "0", "0", "0", "0", "0", "0x7fffffff", "sim"))
                .ispSpeed,
            0x7fffffff);
}

TEST(IdeOptions, ValuesThatAreNotNumbersKeepTheDefault) {
  IdeOptions defaults = DefaultOptions();
  IdeOptions options =
      ParseOptions(OptionsText("0x12g", "", "5O", "x", "-1", "1 ", " 0", "10", "sim"));
  EXPECT_EQ(options.overallColor, defaults.overallColor);
  EXPECT_EQ(options.brightness, defaults.brightness);
  EXPECT_EQ(options.alphaBlendOn, defaults.alphaBlendOn);
  EXPECT_EQ(options.alphaBlendValue, defaults.alphaBlendValue);
  EXPECT_EQ(options.balloonHelpOn, 1);  // surrounding blanks are tolerated
  EXPECT_EQ(options.balloonTransparentOn, 0);
  EXPECT_EQ(options.ispSpeed, defaults.ispSpeed);  // no "0x"
  EXPECT_EQ(options.cable, "sim");
  // A colour beyond 24 bits is no colour.
  EXPECT_EQ(ParseOptions(OptionsText("0x1000000", "", "0", "0", "0", "0", "0", "0x0", "sim"))
                .overallColor,
            defaults.overallColor);
}

TEST(IdeOptions, ABlankLineBetweenATagAndItsValueMakesTheValueEmpty) {
  IdeOptions options = ParseOptions(OptionsText("", "", "", " ", "", "", "", "", "sim"));
  EXPECT_EQ(options.overallColor, 0u);
  EXPECT_EQ(options.savedColor, 0u);
  EXPECT_EQ(options.backgroundPicturePath, "");
  EXPECT_EQ(options.brightness, 0);
  EXPECT_EQ(options.alphaBlendOn, 0);
  EXPECT_EQ(options.alphaBlendValue, 0);
  EXPECT_EQ(options.balloonHelpOn, 0);  // the default is 1
  EXPECT_EQ(options.balloonTransparentOn, 0);
  EXPECT_EQ(options.ispSpeed, 0);  // the default is 0x10
  // The blank line is the value; the real value after it is not looked at.
  EXPECT_EQ(ParseOptions(K("<바탕밝기>\r\n\r\n077\r\n<끝>\r\n")).brightness, 0);
}

TEST(IdeOptions, AFileSavedAsUtf8IsReadAndCp949StaysTheFormatWritten) {
  std::string cp949 = OptionsText("0xff", K("/그림/바다.jpg"), "050", "1", "200", "1", "0", "0x3", "sim");
  std::string utf8 = Utf8FromCp949(cp949);
  for (const std::string& file : {utf8, "\xEF\xBB\xBF" + utf8}) {
    Result<std::string> text = OptionsTextInCp949(file);
    ASSERT_TRUE(text.ok()) << Utf8FromCp949(text.reason());
    EXPECT_EQ(ParseOptions(*text), ParseOptions(cp949));
    EXPECT_EQ(FormatOptions(ParseOptions(*text)), cp949);
  }
  // LF line ends, as such editors often write, read the same.
  std::string lf_only;
  for (char c : utf8) if (c != '\r') lf_only += c;
  EXPECT_EQ(ParseOptions(*OptionsTextInCp949(lf_only)), ParseOptions(cp949));
  // A CP949 file, Korean path and all, is taken as it is.
  EXPECT_EQ(*OptionsTextInCp949(cp949), cp949);
}

TEST(IdeOptions, AUtf8FileWithACharacterCp949CannotHoldIsRefusedWithTheLine) {
  TempFolder folder;
  std::string utf8 = Utf8FromCp949(OptionsText("0xff", "", "050", "1", "200", "1", "0", "0x3", "sim"));
  utf8.replace(utf8.find("\r\n\r\n") + 2, 0, "/pictures/\xF0\x9F\x98\x80.jpg");  // the path line
  folder.Write("opt.opt", utf8);
  IdeOptions options;
  Status loaded = LoadOptions(folder.Cp949Path() + "opt.opt", options);
  ASSERT_FALSE(loaded.ok());
  EXPECT_NE(loaded.reason().find(K("4번째 줄에 CP949 로 나타낼 수 없는 글자가 있습니다")), std::string::npos)
      << Utf8FromCp949(loaded.reason());
  EXPECT_EQ(options, DefaultOptions());
}

TEST(IdeOptions, PathsOfFourHundredBytesOrMoreAreRefused) {
  std::string longest(kMaxOptionPathBytes - 1, 'p');
  std::string too_long(kMaxOptionPathBytes, 'p');
  auto with_path = [](const std::string& path) {
    return ParseOptions(OptionsText("0x0", path, "0", "0", "0", "0", "0", "0x0", path));
  };
  EXPECT_EQ(with_path(longest).backgroundPicturePath, longest);
  EXPECT_EQ(with_path(longest).cable, longest);
  EXPECT_EQ(with_path(too_long).backgroundPicturePath, DefaultPicture());
  EXPECT_EQ(with_path(too_long).cable, "parport0");
  // An empty path line is an empty path (the viewer then shows its own default picture).
  EXPECT_EQ(with_path("").backgroundPicturePath, "");
  EXPECT_EQ(with_path("").cable, "parport0");
}

TEST(IdeOptions, AValueLineThatIsATagIsAMissingValue) {
  std::string text = K("<배경그림경로>\r\n<ISP속도>\r\n0x3\r\n<케이블>\r\n<끝>\r\n");
  IdeOptions options = ParseOptions(text);
  EXPECT_EQ(options.backgroundPicturePath, DefaultPicture());
  EXPECT_EQ(options.ispSpeed, 3);
  EXPECT_EQ(options.cable, "parport0");
  options.backgroundPicturePath = K("<바탕밝기>");
  options.brightness = 9;
  EXPECT_EQ(ParseOptions(FormatOptions(options)).brightness, 9);
}

TEST(IdeOptions, TheWriterWritesOnlyWhatTheReaderTakes) {
  IdeOptions options = DefaultOptions();
  options.ispSpeed = -5;
  options.brightness = 1000;
  options.alphaBlendOn = -1;
  options.backgroundPicturePath = "a\r\n<ISP속도>";
  options.cable = "";
  options.savedColor = 0xFF123456;
  std::string text = FormatOptions(options);
  EXPECT_EQ(text, OptionsText("0x123456", "", "255", "0", "220", "1", "0", "0x0", "parport0"));
  EXPECT_EQ(FormatOptions(ParseOptions(text)), text);
}

TEST(IdeOptions, LoadAndSaveThroughFiles) {
  TempFolder folder;
  std::string path = folder.Cp949Path() + "opt.opt";
  IdeOptions options;
  EXPECT_FALSE(LoadOptions(path, options).ok());  // missing: defaults and a reason
  EXPECT_EQ(options, DefaultOptions());

  options.savedColor = 0x00FF00;
  options.cable = "sim:chip.mem";
  ASSERT_TRUE(SaveOptions(path, options).ok());
  std::string written = folder.Read("opt.opt");
  IdeOptions loaded;
  ASSERT_TRUE(LoadOptions(path, loaded).ok());
  EXPECT_EQ(loaded.overallColor, 0x00FF00u);
  EXPECT_EQ(loaded.cable, "sim:chip.mem");
  ASSERT_TRUE(SaveOptions(path, loaded).ok());
  EXPECT_EQ(folder.Read("opt.opt"), written);

  EXPECT_FALSE(SaveOptions(folder.Cp949Path() + "missing/opt.opt", options).ok());
}

// Whatever ends before the end tag may be anything: the file is not trusted, and its values do
// not go over the defaults.
TEST(IdeOptions, AnEmptyCutShortOrForeignFileIsRefused) {
  TempFolder folder;
  const std::string whole = OptionsText("0xff", "", "050", "1", "200", "1", "0", "0x3", "sim");
  for (const std::string& bytes : {std::string(), whole.substr(0, whole.size() / 2),
                                   std::string("\x89PNG\r\n\x1A\n garbage \x01\x02")}) {
    folder.Write("opt.opt", bytes);
    IdeOptions options;
    Status loaded = LoadOptions(folder.Cp949Path() + "opt.opt", options);
    EXPECT_FALSE(loaded.ok()) << bytes.size();
    EXPECT_NE(loaded.reason().find(folder.Cp949Path() + "opt.opt"), std::string::npos);
    EXPECT_EQ(options, DefaultOptions());
  }
}

TEST(IdeOptions, TheChosenDeviceIsKeptAndAnOlderFileWithoutItStillLoads) {
  IdeOptions options = DefaultOptions();
  options.deviceName = "ATmega328P";
  std::string text = FormatOptions(options);
  EXPECT_EQ(ParseOptions(text).deviceName, "ATmega328P");
  EXPECT_LT(text.find(K("<케이블>")), text.find(K("<명세문서>")));  // the new tag comes last

  TempFolder folder;
  std::string older = OptionsText("0x1", "", "200", "0", "255", "1", "0", "0x10", "sim");
  older.erase(older.find(K("<명세문서>")), K("<명세문서>\r\n\r\n").size());
  folder.Write("opt.opt", older);
  IdeOptions loaded;
  ASSERT_TRUE(LoadOptions(folder.Cp949Path() + "opt.opt", loaded).ok());
  EXPECT_EQ(loaded.cable, "sim");
  EXPECT_EQ(loaded.deviceName, "");
}

TEST(IdeOptions, AnUnreadableFileIsCopiedAsideByteForByte) {
  TempFolder folder;
  const std::string bytes("\xFF\x00 not options", 14);
  folder.Write("opt.opt", bytes);
  Result<std::string> kept = KeepUnreadableOptions(folder.Cp949Path() + "opt.opt");
  ASSERT_TRUE(kept.ok()) << kept.reason();
  EXPECT_EQ(*kept, folder.Cp949Path() + "opt.opt.bak");
  EXPECT_EQ(folder.Read("opt.opt.bak"), bytes);
  EXPECT_FALSE(KeepUnreadableOptions(folder.Cp949Path() + "missing.opt").ok());
}

TEST(IdeOptions, TheRunRecordLivesInTheRunFolder) {
  TempFolder folder;
  folder.Write("opt/opt.opt", OptionsText("0xabc", "", "001", "0", "255", "1", "0", "0x3", "sim"));
  SetExeFolderForTesting(folder.Cp949Path());
  EXPECT_EQ(OptionsPath(), folder.Cp949Path() + "opt/opt.opt");
  ASSERT_TRUE(LoadOptions().ok());
  EXPECT_EQ(OptionsRef().overallColor, 0xABCu);
  OptionsRef().savedColor = 0xDEF;
  ASSERT_TRUE(SaveOptions().ok());
  EXPECT_EQ(ParseOptions(folder.Read("opt/opt.opt")).overallColor, 0xDEFu);
  SetExeFolderForTesting("");
}

}  // namespace
}  // namespace tolmeo
