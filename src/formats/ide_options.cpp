#include "formats/ide_options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "base/cp949.h"
#include "base/file_system.h"
#include "base/run_folders.h"
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
const std::string& DeviceTag() { return Ktext(u8"<명세문서>"); }

std::int32_t ClampByte(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 255));
}
std::int32_t ClampFlag(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 1));
}
std::int32_t ClampSpeed(std::int32_t value) { return std::max(0, value); }

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

const std::array<const std::string*, 11>& AllTags() {
  static const std::array<const std::string*, 11> tags = {
      &ColorTag(),      &PathTag(),           &BrightnessTag(),         &AlphaBlendOnTag(),
      &AlphaBlendValueTag(), &BalloonHelpTag(), &BalloonTransparentTag(), &IspSpeedTag(),
      &CableTag(),      &DeviceTag(),         &EndTag()};
  return tags;
}

// A line equal to a tag is the next tag, not a value: the tag before it has lost its value.
bool IsTag(std::string_view line) {
  return std::any_of(AllTags().begin(), AllTags().end(),
                     [line](const std::string* tag) { return line == *tag; });
}

bool HasTagLine(std::span<const std::string_view> lines, bool in_utf8) {
  return std::any_of(AllTags().begin(), AllTags().end(), [&](const std::string* tag) {
    return FindTagLine(lines, in_utf8 ? Utf8FromCp949(*tag) : *tag).has_value();
  });
}

// A modern editor saves the file as UTF-8: its lines in CP949, or the line that CP949 cannot
// hold.
Result<std::string> Utf8LinesInCp949(std::span<const std::string_view> lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::optional<std::string> line = ExactCp949FromUtf8(lines[i]);
    if (!line) {
      return Failure{Ktext(u8"UTF-8 로 저장된 설정 파일의 ") + std::to_string(i + 1) +
                     Ktext(u8"번째 줄에 CP949 로 나타낼 수 없는 글자가 있습니다")};
    }
    if (i > 0) text += "\r\n";
    text += *line;
  }
  return text;
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

  // A blank value line is an empty value, which is 0.
  std::optional<std::uint32_t> Decimal(std::string_view tag) const {
    auto line = Value(tag);
    if (!line) return std::nullopt;
    return line->empty() ? 0 : ParseDecimal(*line);
  }
  std::optional<std::uint32_t> Hex(std::string_view tag) const {
    auto line = Value(tag);
    if (!line) return std::nullopt;
    return line->empty() ? 0 : ParsePrefixedHex(*line);
  }
  std::optional<std::string_view> Line(std::string_view tag) const {
    return ValueAfterTag(lines_, tag);
  }

 private:
  // The value line without blanks; nullopt when the tag has no value line of its own.
  std::optional<std::string_view> Value(std::string_view tag) const {
    auto line = ValueAfterTag(lines_, tag);
    if (!line || IsTag(*line)) return std::nullopt;
    return TrimBlanks(*line);
  }

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
  options.backgroundPicturePath = DataFolder() + "image/" + Ktext(u8"대한민국.jpg");
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
  if (auto device = reader.Line(DeviceTag()); device && IsUsableLine(*device)) {
    options.deviceName = std::string(*device);
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
  AppendTagged(text, DeviceTag(), IsUsableLine(options.deviceName) ? options.deviceName : std::string());
  AppendEndTag(text);
  return text;
}

std::string OptionsPath() { return StateFile("opt/opt.opt"); }

Result<std::string> OptionsTextInCp949(std::string_view file_text) {
  if (file_text.starts_with(kUtf8ByteOrderMark)) {
    file_text.remove_prefix(kUtf8ByteOrderMark.size());
    return Utf8LinesInCp949(SplitLines(file_text));
  }
  std::vector<std::string_view> lines = SplitLines(file_text);
  if (!HasTagLine(lines, false) && HasTagLine(lines, true)) return Utf8LinesInCp949(lines);
  return std::string(file_text);
}

Status LoadOptions(const std::string& path, IdeOptions& options) {
  options = DefaultOptions();
  auto text = ReadWholeFile(path);
  if (!text) return Failure{text.reason()};
  Result<std::string> cp949 = OptionsTextInCp949(*text);
  if (!cp949) return Failure{path + ": " + cp949.reason()};
  // Every file the writer makes ends with the end tag; without it the values may be anything.
  if (!FindTagLine(SplitLines(*cp949), EndTag())) {
    return Failure{path + (cp949->empty() ? Ktext(u8": 설정 파일이 비어 있습니다")
                                          : Ktext(u8": 설정 파일이 잘렸거나 설정 파일의 형식이 아닙니다"))};
  }
  options = ParseOptions(*cp949);
  return Success();
}

Result<std::string> KeepUnreadableOptions(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return Failure{bytes.reason()};
  const std::string backup = path + ".bak";
  if (Status kept = WriteWholeFile(backup, *bytes); !kept) return Failure{kept.reason()};
  return backup;
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
