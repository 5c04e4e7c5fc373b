// Colour text: "#rgb", "#rrggbb", "rgb(...)" and the named colours.
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

bool InRun(char c) { return c == '%' || c == ',' || c == ' ' || c == '\t'; }

// One integer, as "%d" reads it, saturated far above any channel value.
bool ReadInt(const char*& s, int* v)
{
  const char* t = s;
  while (*t == ' ' || *t == '\t' || *t == '\n' || *t == '\v' || *t == '\f' || *t == '\r')
    t++;
  int sign = 1;
  if (*t == '+' || *t == '-')
    sign = *t++ == '-' ? -1 : 1;
  if (*t < '0' || *t > '9')
    return false;
  int n = 0;
  for (; *t >= '0' && *t <= '9'; t++)
    if (n < 100000)
      n = n * 10 + (*t - '0');
  *v = sign * n;
  s = t;
  return true;
}

// rgb(r, g, b): each channel clamped to 0..255 on its own, a missing one 0.
uint32_t ParseColorRGB(const char* str)
{
  int c[3] = {0, 0, 0};
  bool percent = false;
  const char* s = str + 4;
  for (int i = 0; i < 3; i++) {
    if (!ReadInt(s, &c[i]))
      break;
    if (i == 2)
      break;
    const char* run = s;
    while (InRun(*s))
      s++;
    if (s == run)
      break;
    if (i == 0)
      percent = std::memchr(run, '%', static_cast<size_t>(s - run)) != nullptr;
  }
  for (int& v : c) {
    if (percent)
      v = v * 255 / 100;
    v = v < 0 ? 0 : (v > 255 ? 255 : v);
  }
  return Rgb(static_cast<uint32_t>(c[0]), static_cast<uint32_t>(c[1]), static_cast<uint32_t>(c[2]));
}

struct NamedColor {
  const char* name;
  uint32_t color;
};

const NamedColor kColors[] = {
  {"red", Rgb(255, 0, 0)},      {"green", Rgb(0, 128, 0)},     {"blue", Rgb(0, 0, 255)}, {"yellow", Rgb(255, 255, 0)},
  {"cyan", Rgb(0, 255, 255)},   {"magenta", Rgb(255, 0, 255)}, {"black", Rgb(0, 0, 0)},  {"grey", Rgb(128, 128, 128)},
  {"gray", Rgb(128, 128, 128)}, {"white", Rgb(255, 255, 255)},
};

} // namespace

uint32_t svgParseColor(const char* str)
{
  while (*str == ' ')
    str++;
  if (str[0] == '#')
    return ParseColorHex(str);
  if (std::strncmp(str, "rgb(", 4) == 0)
    return ParseColorRGB(str);
  for (const NamedColor& c : kColors)
    if (std::strcmp(c.name, str) == 0)
      return c.color;
  return Rgb(128, 128, 128);
}

} // namespace plugin::igraphics
