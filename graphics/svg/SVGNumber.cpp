// Number scanning, coordinates with units, and their conversion to pixels.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number as its significant digits and a power of ten. The first 19
// significant digits fit a 64-bit integer exactly; later ones cannot change
// a double, but each still moves the decimal point, and an exponent may
// make leading fraction zeros significant.
struct Decimal {
  bool negative = false;
  bool digits = false; // any digit at all, before or after the point
  uint64_t mantissa = 0;
  long scale = 0;
};

Decimal ReadDecimal(const char* s)
{
  Decimal d;
  if (*s == '+' || *s == '-')
    d.negative = *s++ == '-';
  int kept = 0;
  auto take = [&](char c, bool fraction) {
    d.digits = true;
    if (kept < 19 && (kept > 0 || c != '0')) {
      d.mantissa = d.mantissa * 10 + static_cast<uint64_t>(c - '0');
      kept++;
      d.scale -= fraction ? 1 : 0;
    } else if (kept > 0 && !fraction) {
      d.scale++;
    } else if (kept == 0 && fraction) {
      d.scale--; // a leading zero of the fraction
    }
  };
  while (IsDigit(*s))
    take(*s++, false);
  if (*s == '.') {
    s++;
    while (IsDigit(*s))
      take(*s++, true);
  }
  if (d.digits && (*s == 'e' || *s == 'E')) {
    const char* e = s + 1;
    long esign = 1;
    if (*e == '+' || *e == '-')
      esign = *e++ == '-' ? -1 : 1;
    // Capped so the count cannot overflow; 10^±100000 is already inf or 0.
    long expPart = 0;
    for (; IsDigit(*e); e++)
      if (expPart < 100000)
        expPart = expPart * 10 + (*e - '0');
    d.scale += esign * expPart;
  }
  return d;
}

} // namespace

bool svgIsSpace(char c)
{
  // Tab, line feed, vertical tab, form feed and carriage return are 9..13.
  return c == ' ' || c == '\0' || (c >= '\t' && c <= '\r');
}

const char* svgScanNumber(const char* s, char item[64])
{
  const char* start = s;
  int i = 0;
  auto put = [&](char c) {
    if (i < 63)
      item[i++] = c;
  };
  if (*s == '-' || *s == '+')
    put(*s++);
  while (IsDigit(*s))
    put(*s++);
  if (*s == '.') {
    put(*s++);
    while (IsDigit(*s))
      put(*s++);
  }
  // "2em" and "2ex" are numbers with a unit, not exponents.
  if ((*s == 'e' || *s == 'E') && s[1] != 'm' && s[1] != 'x') {
    put(*s++);
    if (*s == '-' || *s == '+')
      put(*s++);
    while (IsDigit(*s))
      put(*s++);
  }
  item[i] = '\0';
  // Too long for the item: the same value as digits and an exponent, so
  // neither the magnitude nor the exponent is lost.
  if (s - start > 63) {
    const Decimal d = ReadDecimal(start);
    char* p = item;
    if (d.negative)
      *p++ = '-';
    p = std::to_chars(p, item + 40, d.mantissa).ptr;
    *p++ = 'e';
    p = std::to_chars(p, item + 63, d.mantissa ? d.scale : 0).ptr;
    *p = '\0';
  }
  return s;
}

double svgParseNumber(const char* s)
{
  const Decimal d = ReadDecimal(s);
  if (!d.digits)
    return 0.0;
  const double sign = d.negative ? -1.0 : 1.0;
  if (d.mantissa == 0)
    return sign * 0.0;
  // Powers of ten up to 10^22 are exact, so short numbers divide exactly;
  // below the double range the scale is applied in two steps.
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr long kLastExact = 22;
  long scale = d.scale;
  double res = static_cast<double>(d.mantissa);
  if (scale >= -kLastExact && scale <= kLastExact)
    return sign * (scale < 0 ? res / kExact[-scale] : res * kExact[scale]);
  if (scale < -300) {
    res /= 1e300;
    scale += 300;
  }
  res =
    scale < 0 ? res / std::pow(10.0, static_cast<double>(-scale)) : res * std::pow(10.0, static_cast<double>(scale));
  return sign * res;
}

SVGCoordinate svgParseCoordinate(const char* s)
{
  char item[64];
  const char* units = svgScanNumber(s, item);
  SVGCoordinate c{static_cast<float>(svgParseNumber(item)), kSVGUnitsUser};
  static const struct {
    const char* name;
    int units;
  } table[] = {{"px", kSVGUnitsPx}, {"pt", kSVGUnitsPt}, {"pc", kSVGUnitsPc}, {"mm", kSVGUnitsMm},
               {"cm", kSVGUnitsCm}, {"in", kSVGUnitsIn}, {"em", kSVGUnitsEm}, {"ex", kSVGUnitsEx}};
  if (units[0] == '%') {
    c.units = kSVGUnitsPercent;
    return c;
  }
  if (units[0] == '\0')
    return c;
  for (const auto& u : table)
    if (units[0] == u.name[0] && units[1] == u.name[1])
      c.units = u.units;
  return c;
}

float svgActualLength(const SVGParser* p)
{
  const float w = p->viewWidth, h = p->viewHeight;
  return std::sqrt(w * w + h * h) / std::sqrt(2.0f);
}

float svgConvertToPixels(const SVGParser* p, SVGCoordinate c, float orig, float length)
{
  const float fontSize = p->attr[p->attrHead].fontSize;
  switch (c.units) {
  case kSVGUnitsUser:
  case kSVGUnitsPx: return c.value;
  case kSVGUnitsPt: return c.value / 72.0f * p->dpi;
  case kSVGUnitsPc: return c.value / 6.0f * p->dpi;
  case kSVGUnitsMm: return c.value / 25.4f * p->dpi;
  case kSVGUnitsCm: return c.value / 2.54f * p->dpi;
  case kSVGUnitsIn: return c.value * p->dpi;
  case kSVGUnitsEm: return c.value * fontSize;
  case kSVGUnitsEx: return c.value * fontSize * 0.52f;
  case kSVGUnitsPercent: return orig + c.value / 100.0f * length;
  default: return c.value;
  }
}

} // namespace plugin::igraphics
