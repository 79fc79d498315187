#include "formats/ide_options.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "formats/tagged_text.h"

namespace tolmeo {
namespace {

constexpr std::uint32_t kDarkSlateBlue = 0x008B3D48;  // 0x00BBGGRR
constexpr std::uint32_t kLargestColor = 0x00FFFFFF;
constexpr std::int32_t kDefaultBrightness = 200;
constexpr std::int32_t kDefaultOpacity = 220;  // slightly translucent once the user turns it on
constexpr std::int32_t kDefaultIspSpeed = 0x10;
constexpr std::string_view kDefaultCable = "parport0";

const std::string& ColorTag() { return Ktext(u8"<전체색>"); }
const std::string& PathTag() { return Ktext(u8"<배경그림경로>"); }
const std::string& BrightnessTag() { return Ktext(u8"<바탕밝기>"); }
const std::string& AlphaBlendOnTag() { return Ktext(u8"<알파블렌드설정>"); }
const std::string& AlphaBlendValueTag() { return Ktext(u8"<알파블렌드값>"); }
const std::string& BalloonHelpTag() { return Ktext(u8"<풍선도움말설정>"); }
const std::string& BalloonTransparentTag() { return Ktext(u8"<풍선도움말투명설정>"); }
const std::string& IspSpeedTag() { return Ktext(u8"<ISP속도>"); }
const std::string& CableTag() { return Ktext(u8"<케이블>"); }

std::int32_t ClampByte(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 255));
}
std::int32_t ClampFlag(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 1));
}
std::int32_t ClampSpeed(std::int32_t value) { return std::max(0, value); }

// A line equal to a tag is the next tag, not a value: the tag before it has lost its value.
bool IsTag(std::string_view line) {
  for (const std::string* tag :
       {&ColorTag(), &PathTag(), &BrightnessTag(), &AlphaBlendOnTag(), &AlphaBlendValueTag(),
        &BalloonHelpTag(), &BalloonTransparentTag(), &IspSpeedTag(), &CableTag(), &EndTag()}) {
    if (line == *tag) return true;
  }
  return false;
}

// A path or cable name the reader takes: short enough, on one line, and not a tag, so that
// writing it can never hide the tag after it.
bool IsUsableLine(std::string_view text) {
  return text.size() < kMaxOptionPathBytes &&
         text.find_first_of("\r\n") == std::string_view::npos && !IsTag(text);
}

class OptionsReader {
 public:
  explicit OptionsReader(std::string_view text) : lines_(SplitLines(text)) {}

  std::optional<std::uint32_t> Decimal(std::string_view tag) const {
    auto line = ValueAfterTag(lines_, tag);
    return line ? ParseDecimal(TrimBlanks(*line)) : std::nullopt;
  }
  std::optional<std::uint32_t> Hex(std::string_view tag) const {
    auto line = ValueAfterTag(lines_, tag);
    return line ? ParsePrefixedHex(TrimBlanks(*line)) : std::nullopt;
  }
  std::optional<std::string_view> Line(std::string_view tag) const {
    return ValueAfterTag(lines_, tag);
  }

 private:
  std::vector<std::string_view> lines_;
};

void ReadFlag(const OptionsReader& reader, std::string_view tag, std::int32_t& field) {
  if (auto value = reader.Decimal(tag)) field = ClampFlag(*value);
}

void ReadByte(const OptionsReader& reader, std::string_view tag, std::int32_t& field) {
  if (auto value = reader.Decimal(tag)) field = ClampByte(*value);
}

}  // namespace

IdeOptions DefaultOptions() {
  IdeOptions options;
  options.overallColor = options.savedColor = kDarkSlateBlue;
  options.backgroundPicturePath = ExeFolder() + "image/" + Ktext(u8"대한민국.jpg");
  options.brightness = kDefaultBrightness;
  options.alphaBlendOn = 0;
  options.alphaBlendValue = kDefaultOpacity;
  options.balloonHelpOn = 1;
  options.balloonTransparentOn = 0;
  options.ispSpeed = kDefaultIspSpeed;
  options.cable = kDefaultCable;
  return options;
}

IdeOptions ParseOptions(std::string_view cp949_text) {
  IdeOptions options = DefaultOptions();
  OptionsReader reader(cp949_text);
  if (auto color = reader.Hex(ColorTag()); color && *color <= kLargestColor) {
    options.overallColor = options.savedColor = *color;
  }
  if (auto path = reader.Line(PathTag()); path && IsUsableLine(*path)) {
    options.backgroundPicturePath = std::string(*path);
  }
  ReadByte(reader, BrightnessTag(), options.brightness);
  ReadFlag(reader, AlphaBlendOnTag(), options.alphaBlendOn);
  ReadByte(reader, AlphaBlendValueTag(), options.alphaBlendValue);
  ReadFlag(reader, BalloonHelpTag(), options.balloonHelpOn);
  ReadFlag(reader, BalloonTransparentTag(), options.balloonTransparentOn);
  // The speed is a signed 32-bit count: values with the top bit set are negative.
  if (auto speed = reader.Hex(IspSpeedTag())) {
    options.ispSpeed = ClampSpeed(static_cast<std::int32_t>(*speed));
  }
  if (auto cable = reader.Line(CableTag()); cable && !cable->empty() && IsUsableLine(*cable)) {
    options.cable = std::string(*cable);
  }
  return options;
}

std::string FormatOptions(const IdeOptions& options) {
  const std::string& path = options.backgroundPicturePath;
  const bool cable_usable = !options.cable.empty() && IsUsableLine(options.cable);
  std::string text;
  AppendTagged(text, ColorTag(), PrefixedHex(options.savedColor & kLargestColor));
  AppendTagged(text, PathTag(), IsUsableLine(path) ? path : std::string());
  AppendTagged(text, BrightnessTag(), FixedDecimal(ClampByte(options.brightness), 3));
  AppendTagged(text, AlphaBlendOnTag(), FixedDecimal(ClampFlag(options.alphaBlendOn), 1));
  AppendTagged(text, AlphaBlendValueTag(), FixedDecimal(ClampByte(options.alphaBlendValue), 3));
  AppendTagged(text, BalloonHelpTag(), FixedDecimal(ClampFlag(options.balloonHelpOn), 1));
  AppendTagged(text, BalloonTransparentTag(),
               FixedDecimal(ClampFlag(options.balloonTransparentOn), 1));
  AppendTagged(text, IspSpeedTag(),
               PrefixedHex(static_cast<std::uint32_t>(ClampSpeed(options.ispSpeed))));
  AppendTagged(text, CableTag(), cable_usable ? options.cable : std::string(kDefaultCable));
  AppendEndTag(text);
  return text;
}

std::string OptionsPath() { return ExeFolder() + "opt/opt.opt"; }

Status LoadOptions(const std::string& path, IdeOptions& options) {
  auto text = ReadWholeFile(path);
  if (!text) {
    options = DefaultOptions();
    return Failure{text.reason()};
  }
  options = ParseOptions(*text);
  return Success();
}

Status SaveOptions(const std::string& path, const IdeOptions& options) {
  return WriteWholeFile(path, FormatOptions(options));
}

IdeOptions& OptionsRef() {
  static IdeOptions options;
  return options;
}

Status LoadOptions() { return LoadOptions(OptionsPath(), OptionsRef()); }

Status SaveOptions() { return SaveOptions(OptionsPath(), OptionsRef()); }

}  // namespace tolmeo
