// Presentation attributes, applied to the top entry of the attribute stack.
#include <cmath>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

// NaN-safe: anything not above lo is lo.
float Clamp(float v, float lo, float hi)
{
  if (!(v > lo))
    return lo;
  return v > hi ? hi : v;
}

float ParseOpacity(const char* s) { return Clamp(svgParseCoordinate(s).value, 0.0f, 1.0f); }

float ParseLength(SVGParser* p, const char* s)
{
  return svgConvertToPixels(p, svgParseCoordinate(s), 0.0f, svgActualLength(p));
}

void CopyId(char* dst, const char* src, size_t maxChars)
{
  size_t n = 0;
  while (n < maxChars && src[n]) {
    dst[n] = src[n];
    n++;
  }
  dst[n] = '\0';
}

// "url(#id)": the id after "url(" and an optional '#', up to ')'.
void ParseUrl(char* id, const char* str)
{
  str += 4;
  if (*str == '#')
    str++;
  int i = 0;
  while (i < 63 && *str && *str != ')')
    id[i++] = *str++;
  id[i] = '\0';
}

char ParseLineCap(const char* s)
{
  if (std::strcmp(s, "round") == 0)
    return 1;
  if (std::strcmp(s, "square") == 0)
    return 2;
  return 0;
}

char ParseLineJoin(const char* s)
{
  if (std::strcmp(s, "round") == 0)
    return 1;
  if (std::strcmp(s, "bevel") == 0)
    return 2;
  return 0;
}

void ParseDashArray(SVGParser* p, const char* s, SVGAttrib* attr)
{
  attr->strokeDashCount = 0;
  if (!*s || *s == 'n')
    return;
  int count = 0;
  float sum = 0.0f;
  while (*s) {
    while (*s && (svgIsSpace(*s) || *s == ','))
      s++;
    if (!*s)
      break;
    char item[64];
    int n = 0;
    while (*s && !svgIsSpace(*s) && *s != ',') {
      if (n < 63)
        item[n++] = *s;
      s++;
    }
    item[n] = '\0';
    if (count < 8) {
      const float v = std::fabs(ParseLength(p, item));
      attr->strokeDashArray[count++] = v;
      sum += v;
    }
  }
  attr->strokeDashCount = sum > 1e-6f ? count : 0;
}

void ParsePaint(const char* value, char* has, uint32_t* color, char* gradient)
{
  // A transparent paint draws nothing, like none.
  if (std::strcmp(value, "none") == 0 || svgIsTransparent(value)) {
    *has = 0;
  } else if (std::strncmp(value, "url(", 4) == 0) {
    *has = 2;
    ParseUrl(gradient, value);
  } else {
    *has = 1;
    *color = svgParseColor(value);
  }
}

void ParseStyle(SVGParser* p, const char* str)
{
  while (*str) {
    while (*str && svgIsSpace(*str))
      str++;
    const char* start = str;
    while (*str && *str != ';')
      str++;
    const char* end = str;
    // Trim the property's trailing whitespace.
    while (end > start && svgIsSpace(end[-1]))
      end--;
    if (end > start) {
      const char* colon = start;
      while (colon < end && *colon != ':')
        colon++;
      const char* nameEnd = colon;
      while (nameEnd > start && (svgIsSpace(nameEnd[-1]) || nameEnd[-1] == ':'))
        nameEnd--;
      const char* valueStart = colon;
      while (valueStart < end && (*valueStart == ':' || svgIsSpace(*valueStart)))
        valueStart++;
      char name[512], value[512];
      size_t n = static_cast<size_t>(nameEnd - start);
      if (n > 511)
        n = 511;
      std::memcpy(name, start, n);
      name[n] = '\0';
      n = static_cast<size_t>(end - valueStart);
      if (n > 511)
        n = 511;
      std::memcpy(value, valueStart, n);
      value[n] = '\0';
      svgParseAttr(p, name, value);
    }
    if (*str)
      str++;
  }
}

} // namespace

bool svgParseAttr(SVGParser* p, const char* name, const char* value)
{
  SVGAttrib* attr = svgGetAttr(p);
  if (std::strcmp(name, "style") == 0) {
    ParseStyle(p, value);
  } else if (std::strcmp(name, "display") == 0) {
    if (std::strcmp(value, "none") == 0)
      attr->visible = 0;
  } else if (std::strcmp(name, "fill") == 0) {
    ParsePaint(value, &attr->hasFill, &attr->fillColor, attr->fillGradient);
  } else if (std::strcmp(name, "opacity") == 0) {
    attr->opacity = attr->inheritedOpacity * ParseOpacity(value);
  } else if (std::strcmp(name, "fill-opacity") == 0) {
    attr->fillOpacity = ParseOpacity(value);
  } else if (std::strcmp(name, "stroke") == 0) {
    ParsePaint(value, &attr->hasStroke, &attr->strokeColor, attr->strokeGradient);
  } else if (std::strcmp(name, "stroke-width") == 0) {
    attr->strokeWidth = ParseLength(p, value);
  } else if (std::strcmp(name, "stroke-dasharray") == 0) {
    ParseDashArray(p, value, attr);
  } else if (std::strcmp(name, "stroke-dashoffset") == 0) {
    attr->strokeDashOffset = ParseLength(p, value);
  } else if (std::strcmp(name, "stroke-opacity") == 0) {
    attr->strokeOpacity = ParseOpacity(value);
  } else if (std::strcmp(name, "stroke-linecap") == 0) {
    attr->strokeLineCap = ParseLineCap(value);
  } else if (std::strcmp(name, "stroke-linejoin") == 0) {
    attr->strokeLineJoin = ParseLineJoin(value);
  } else if (std::strcmp(name, "stroke-miterlimit") == 0) {
    const float m = svgParseCoordinate(value).value;
    attr->miterLimit = m < 0.0f ? 0.0f : m;
  } else if (std::strcmp(name, "fill-rule") == 0) {
    attr->fillRule = std::strcmp(value, "evenodd") == 0 ? 1 : 0;
  } else if (std::strcmp(name, "font-size") == 0) {
    attr->fontSize = ParseLength(p, value);
  } else if (std::strcmp(name, "transform") == 0) {
    float t[6];
    svgParseTransform(t, value);
    AffinePremultiply(attr->xform, t);
  } else if (std::strcmp(name, "stop-color") == 0) {
    attr->stopColor = svgParseColor(value);
    if (svgIsTransparent(value))
      attr->stopOpacity = 0.0f;
  } else if (std::strcmp(name, "stop-opacity") == 0) {
    attr->stopOpacity = ParseOpacity(value);
  } else if (std::strcmp(name, "offset") == 0) {
    attr->stopOffset = svgConvertToPixels(p, svgParseCoordinate(value), 0.0f, 1.0f);
  } else if (std::strcmp(name, "id") == 0) {
    CopyId(attr->id, value, 63);
  } else {
    return false;
  }
  return true;
}

void svgParseAttribs(SVGParser* p, const char** attr)
{
  for (int i = 0; attr[i]; i += 2)
    svgParseAttr(p, attr[i], attr[i + 1]);
}

} // namespace plugin::igraphics
