#include "Utf16Text.h"

namespace plugin::igraphics {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at s (not past end); advances s by what it used.
char32_t Decode(const unsigned char*& s, const unsigned char* end)
{
  const unsigned char b = *s++;
  if (b < 0x80)
    return b;
  int extra;
  char32_t cp, min;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, cp = b & 0x07, min = 0x10000;
  } else
    return kReplacement;
  for (int i = 0; i < extra; ++i) {
    if (s >= end || (*s & 0xC0) != 0x80)
      return kReplacement; // the stray byte starts the next character
    cp = (cp << 6) | (*s++ & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return kReplacement;
  return cp;
}

void Append(std::string& out, char32_t cp)
{
  if (cp < 0x80)
    out += static_cast<char>(cp);
  else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace

std::u16string Utf8ToUtf16(const char* utf8)
{
  std::u16string out;
  if (!utf8)
    return out;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  const unsigned char* end = s + std::char_traits<char>::length(utf8);
  while (s < end) {
    const char32_t cp = Decode(s, end);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else
      out += static_cast<char16_t>(cp);
  }
  return out;
}

std::string Utf16ToUtf8(const char16_t* units, size_t n)
{
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    const char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      Append(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF)
      Append(out, kReplacement);
    else
      Append(out, u);
  }
  return out;
}

char32_t FirstCodePoint(const char* utf8)
{
  if (!utf8 || !*utf8)
    return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  return Decode(s, s + std::char_traits<char>::length(utf8));
}

} // namespace plugin::igraphics
