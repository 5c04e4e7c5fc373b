#include "Base64.h"

#include <cctype>

namespace plugin {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DecodeChar(char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  return -1;
}

} // namespace

std::string Base64Encode(const uint8_t* data, size_t size)
{
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const size_t rest = size - i;
  if (rest > 0) {
    uint32_t v = uint32_t(data[i]) << 16;
    if (rest == 2)
      v |= uint32_t(data[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::vector<uint8_t> Base64Decode(const char* text)
{
  std::vector<uint8_t> out;
  uint32_t bits = 0;
  int nBits = 0;
  for (const char* p = text; p && *p; ++p) {
    if (std::isspace(static_cast<unsigned char>(*p)))
      continue;
    const int v = DecodeChar(*p);
    if (v < 0)
      break;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      out.push_back(static_cast<uint8_t>((bits >> nBits) & 0xFF));
    }
  }
  return out;
}

} // namespace plugin
