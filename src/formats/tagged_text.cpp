#include "formats/tagged_text.h"

#include <algorithm>

#include "base/cp949.h"

namespace tolmeo {
namespace {

constexpr char kLowerHexDigits[] = "0123456789abcdef";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Shared by both strict readers: base and digit value are all that differ.
template <typename DigitValue>
std::optional<std::uint32_t> ParseInBase(std::string_view digits, std::uint64_t base,
                                         DigitValue digit_value) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    int digit = digit_value(c);
    if (digit < 0 || digit >= static_cast<int>(base)) return std::nullopt;
    value = value * base + static_cast<std::uint64_t>(digit);
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::optional<std::size_t> FindTagLine(std::span<const std::string_view> lines,
                                       std::string_view tag) {
  auto found = std::find(lines.begin(), lines.end(), tag);
  if (found == lines.end()) return std::nullopt;
  return static_cast<std::size_t>(found - lines.begin());
}

std::optional<std::string_view> ValueAfterTag(std::span<const std::string_view> lines,
                                              std::string_view tag) {
  auto tag_line = FindTagLine(lines, tag);
  if (!tag_line || *tag_line + 1 >= lines.size()) return std::nullopt;
  return lines[*tag_line + 1];
}

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t start = line.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    std::size_t end = line.find(' ', start);
    words.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    start = line.find_first_not_of(' ', end == std::string_view::npos ? line.size() : end);
  }
  return words;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::optional<std::uint32_t> ParseDecimal(std::string_view digits) {
  return ParseInBase(digits, 10, [](char c) { return (c >= '0' && c <= '9') ? c - '0' : -1; });
}

std::optional<std::uint32_t> ParseHex(std::string_view digits) {
  return ParseInBase(digits, 16, HexDigitValue);
}

std::optional<std::uint32_t> ParsePrefixedHex(std::string_view text) {
  if (!text.starts_with("0x") && !text.starts_with("0X")) return std::nullopt;
  return ParseHex(text.substr(2));
}

std::string FixedDecimal(std::uint32_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0 && value > 0; --i, value /= 10) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
  }
  return text;
}

std::string PrefixedHex(std::uint64_t value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kLowerHexDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + digits;
}

std::string HexByte(std::uint8_t value) {
  return {kLowerHexDigits[value >> 4], kLowerHexDigits[value & 0xF]};
}

void AppendLine(std::string& text, std::string_view line) {
  text.append(line);
  text.append("\r\n");
}

void AppendTagged(std::string& text, std::string_view tag, std::string_view value) {
  AppendLine(text, tag);
  AppendLine(text, value);
}

const std::string& EndTag() { return Ktext(u8"<끝>"); }

void AppendEndTag(std::string& text) { AppendLine(text, EndTag()); }

}  // namespace tolmeo
