#include "Utf8Text.h"

namespace plugin {

bool IsWellFormedUtf8(const char* text, size_t length)
{
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < length) {
    const unsigned c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int need = 0;
    unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      need = 2;
      if (c == 0xE0)
        lo = 0xA0; // shortest form
      else if (c == 0xED)
        hi = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3;
      if (c == 0xF0)
        lo = 0x90;
      else if (c == 0xF4)
        hi = 0x8F; // nothing above U+10FFFF
    } else {
      return false;
    }
    if (length - i <= size_t(need))
      return false;
    if (s[i + 1] < lo || s[i + 1] > hi)
      return false;
    for (int k = 2; k <= need; ++k) {
      if ((s[i + size_t(k)] & 0xC0) != 0x80)
        return false;
    }
    i += size_t(need) + 1;
  }
  return true;
}

std::string AsUtf8(const char* text, size_t length)
{
  if (!text)
    return std::string();
  if (IsWellFormedUtf8(text, length))
    return std::string(text, length);
  std::string out;
  out.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

} // namespace plugin
