#pragma once
// Every text inside Tolmeo is CP949. Source literals, file-system paths and the terminal are
// UTF-8; these two conversions are the only crossing between the two.
#include <optional>
#include <string>
#include <string_view>

namespace tolmeo {

// UTF-8 to CP949. Characters CP949 cannot hold become '?'.
std::string Cp949FromUtf8(std::string_view utf8);

// CP949 to UTF-8. Bytes that are not valid CP949 become U+FFFD.
std::string Utf8FromCp949(std::string_view cp949);

// The same conversions for names that must reach the file system exactly as given (paths):
// nullopt unless every character converts and converting back gives the very same bytes.
std::optional<std::string> ExactCp949FromUtf8(std::string_view utf8);
std::optional<std::string> ExactUtf8FromCp949(std::string_view cp949);

// A Korean literal of the source, converted once per call site:
//   static const std::string& text = Ktext(u8"...");
// Use for the system's fixed texts.
#define Ktext(utf8_literal) \
  ([]() -> const std::string& { \
    static const std::string converted = ::tolmeo::Cp949FromUtf8(reinterpret_cast<const char*>(utf8_literal)); \
    return converted; \
  }())

// True when byte starts a double-byte CP949 character.
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte != 0xFF; }

// The longest prefix of text of at most max_bytes bytes that does not cut a double-byte
// character in half.
std::string_view CutAtCharBoundary(std::string_view text, std::size_t max_bytes);

}  // namespace tolmeo
