#pragma once
// UTF-8 <-> UTF-16 for the text entry. Malformed UTF-8 bytes and lone
// surrogates each become U+FFFD, so nothing after them is lost.

#include <string>

namespace plugin::igraphics {

std::u16string Utf8ToUtf16(const char* utf8);
std::string Utf16ToUtf8(const char16_t* units, size_t n);
inline std::string Utf16ToUtf8(const std::u16string& s) { return Utf16ToUtf8(s.data(), s.size()); }
// Code point of the first character of utf8; 0 for null or empty text.
char32_t FirstCodePoint(const char* utf8);

} // namespace plugin::igraphics
