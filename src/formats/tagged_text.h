#pragma once
// Tagged text files (device descriptions, options): CP949 lines where a tag line stands alone
// and its value is on the line or lines after it. These helpers are shared by both readers and
// writers so both files follow the same rules for line ends, numbers and the end tag.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolmeo {

// The lines of text. CR LF and a lone LF both end a line; the line ends are not part of the
// lines. A text ending in a line end has an empty last line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Index of the first line that equals tag as a whole, or nullopt when no line does.
std::optional<std::size_t> FindTagLine(std::span<const std::string_view> lines,
                                       std::string_view tag);

// The line after the first tag line; nullopt when the tag is missing or is the last line.
std::optional<std::string_view> ValueAfterTag(std::span<const std::string_view> lines,
                                              std::string_view tag);

// Words separated by one or more blanks (only ' '); leading and trailing blanks give no words.
std::vector<std::string_view> SplitWords(std::string_view line);

// The text without leading and trailing blanks (only ' ').
std::string_view TrimBlanks(std::string_view text);

// Strict number readers: nullopt unless the whole text is a number that fits 32 bits.
std::optional<std::uint32_t> ParseDecimal(std::string_view digits);
// Hexadecimal digits 0-9, a-f, A-F without prefix.
std::optional<std::uint32_t> ParseHex(std::string_view digits);
// "0x" or "0X" followed by hexadecimal digits.
std::optional<std::uint32_t> ParsePrefixedHex(std::string_view text);

// The last `digits` decimal digits of value, zero-padded. Callers check that the value fits
// when cutting it would write a wrong number.
std::string FixedDecimal(std::uint32_t value, int digits);
// "0x" and lower-case digits without leading zeros ("0x0" for zero).
std::string PrefixedHex(std::uint64_t value);
// Exactly two lower-case digits, as signature bytes are written.
std::string HexByte(std::uint8_t value);

// "<끝>", the tag that ends every file the writers produce.
const std::string& EndTag();

// Writers build the text with these: every line ends in CR LF, the text ends with "<끝>".
void AppendLine(std::string& text, std::string_view line);
void AppendTagged(std::string& text, std::string_view tag, std::string_view value);
void AppendEndTag(std::string& text);

}  // namespace tolmeo
