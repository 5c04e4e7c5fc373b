// Colour text: "#rgb", "#rrggbb", "rgb(...)" and the colour keywords.
#include <cmath>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

int HexValue(char c)
{
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

uint32_t ParseColorHex(const char* str)
{
  str++; // '#'
  int n = 0;
  while (!svgIsSpace(str[n]))
    n++;
  if (n != 3 && n != 6)
    return 0;
  uint32_t c = 0;
  for (int i = 0; i < n; i++) {
    const int v = HexValue(str[i]);
    if (v < 0)
      return 0; // malformed: black
    c = (c << 4) | static_cast<uint32_t>(v);
  }
  if (n == 3) {
    // 0xRGB to 0xRRGGBB: spread the digits a byte apart, then double each.
    c = ((c & 0xf00) << 8) | ((c & 0x0f0) << 4) | (c & 0x00f);
    c |= c << 4;
  }
  return Rgb((c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff);
}

// One channel of rgb(): a number, or a percentage of 255 when '%' follows,
// rounded to the nearest level and clamped to 0..255.
bool ReadChannel(const char*& s, uint32_t* v)
{
  while (*s == ',' || svgIsSpace(*s)) {
    if (!*s)
      return false;
    s++;
  }
  if (!(*s == '-' || *s == '+' || *s == '.' || (*s >= '0' && *s <= '9')))
    return false;
  char item[64];
  s = svgScanNumber(s, item);
  double x = svgParseNumber(item);
  if (*s == '%') {
    x = x * 255.0 / 100.0;
    s++;
  }
  x = std::floor(x + 0.5);
  *v = !(x > 0.0) ? 0u : (x >= 255.0 ? 255u : static_cast<uint32_t>(x));
  return true;
}

// rgb(r, g, b): a missing channel is 0.
uint32_t ParseColorRGB(const char* str)
{
  uint32_t c[3] = {0, 0, 0};
  const char* s = str + 4;
  for (uint32_t& v : c)
    if (!ReadChannel(s, &v))
      break;
  return Rgb(c[0], c[1], c[2]);
}

} // namespace

uint32_t svgParseColor(const char* str)
{
  while (*str == ' ')
    str++;
  if (str[0] == '#')
    return ParseColorHex(str);
  if (std::strncmp(str, "rgb(", 4) == 0)
    return ParseColorRGB(str);
  uint32_t named = 0;
  if (svgNamedColor(str, &named))
    return named;
  return Rgb(128, 128, 128);
}

} // namespace plugin::igraphics
