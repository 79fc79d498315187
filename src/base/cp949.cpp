#include "base/cp949.h"

#include <iconv.h>


namespace tolmeo {
namespace {

// Length of the character that starts text, in the input's own encoding, never past its end.
using CharLength = std::size_t (*)(std::string_view text);

std::size_t Utf8CharLength(std::string_view text) {
  std::size_t length = 1;
  while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
  return length;
}

std::size_t Cp949CharLength(std::string_view text) {
  return IsLeadByte(static_cast<unsigned char>(text[0])) && text.size() >= 2 ? 2 : 1;
}

// Converts with iconv one character at a time, so an unconvertible character becomes
// replacement and the rest goes on: a damaged text never stops a drawing, and no converter's
// idea of how far to skip can take us past the end. Without a replacement the first
// unconvertible character gives nullopt.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input,
                                   CharLength char_length,
                                   std::optional<std::string_view> replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (replacement) return std::string(input);
    return std::nullopt;
  }
  std::string output;
  output.reserve(input.size() * 3 / 2 + 8);
  while (!input.empty()) {
    std::size_t length = char_length(input);
    char buffer[16];
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = length;
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
      if (!replacement) {
        iconv_close(cd);
        return std::nullopt;
      }
      output.append(*replacement);
    } else {
      output.append(buffer, static_cast<std::size_t>(out - buffer));
    }
    input.remove_prefix(length);
  }
  iconv_close(cd);
  return output;
}

std::optional<std::string> ToCp949(std::string_view utf8, std::optional<std::string_view> replacement) {
  return Convert("CP949", "UTF-8", utf8, Utf8CharLength, replacement);
}

std::optional<std::string> ToUtf8(std::string_view cp949, std::optional<std::string_view> replacement) {
  return Convert("UTF-8", "CP949", cp949, Cp949CharLength, replacement);
}

}  // namespace

std::string Cp949FromUtf8(std::string_view utf8) { return *ToCp949(utf8, "?"); }

std::string Utf8FromCp949(std::string_view cp949) { return *ToUtf8(cp949, "\xEF\xBF\xBD"); }

// The round trip catches the few characters two encodings map onto one, which would
// otherwise name a different file.
std::optional<std::string> ExactCp949FromUtf8(std::string_view utf8) {
  std::optional<std::string> cp949 = ToCp949(utf8, std::nullopt);
  if (!cp949 || ToUtf8(*cp949, std::nullopt) != utf8) return std::nullopt;
  return cp949;
}

std::optional<std::string> ExactUtf8FromCp949(std::string_view cp949) {
  std::optional<std::string> utf8 = ToUtf8(cp949, std::nullopt);
  if (!utf8 || ToCp949(*utf8, std::nullopt) != cp949) return std::nullopt;
  return utf8;
}

std::string_view CutAtCharBoundary(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = 0;
  while (end < max_bytes) {
    std::size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > max_bytes) break;
    end += width;
  }
  return text.substr(0, end);
}

}  // namespace tolmeo
