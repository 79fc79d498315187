#include "base/cp949.h"

#include <iconv.h>

#include <cerrno>

namespace tolmeo {
namespace {

// Converts with iconv, replacing every unconvertible sequence of one input byte by
// replacement and going on, so a damaged text never stops a drawing or a path.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string output;
  output.reserve(input.size() * 3 / 2 + 8);
  char buffer[1024];
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  while (in_left > 0) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t rc = iconv(cd, &in, &in_left, &out, &out_left);
    output.append(buffer, out - buffer);
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip one byte (a whole character for UTF-8 input).
    std::size_t skip = 1;
    if (std::string_view(from) == "UTF-8") {
      while (skip < in_left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
    }
    output.append(replacement);
    in += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return output;
}

}  // namespace

std::string Cp949FromUtf8(std::string_view utf8) { return Convert("CP949", "UTF-8", utf8, "?"); }

std::string Utf8FromCp949(std::string_view cp949) {
  return Convert("UTF-8", "CP949", cp949, "\xEF\xBF\xBD");
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
