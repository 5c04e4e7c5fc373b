// The basic shapes: rect, circle, ellipse, line, polyline and polygon.
#include <cmath>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

constexpr float kKappa = 0.5522848f;
constexpr float kOneMinusKappa = 0.44771522f;

float Coord(SVGParser* p, const char* value, float orig, float length)
{
  return svgConvertToPixels(p, svgParseCoordinate(value), orig, length);
}

float CoordX(SVGParser* p, const char* v) { return Coord(p, v, p->viewMinx, p->viewWidth); }
float CoordY(SVGParser* p, const char* v) { return Coord(p, v, p->viewMiny, p->viewHeight); }
float LengthX(SVGParser* p, const char* v) { return Coord(p, v, 0.0f, p->viewWidth); }
float LengthY(SVGParser* p, const char* v) { return Coord(p, v, 0.0f, p->viewHeight); }

// The four quarter arcs of an axis-aligned ellipse, starting at its right.
void EllipsePath(SVGParser* p, float cx, float cy, float rx, float ry)
{
  svgResetPath(p);
  svgMoveTo(p, cx + rx, cy);
  svgCubicBezTo(p, cx + rx, cy + ry * kKappa, cx + rx * kKappa, cy + ry, cx, cy + ry);
  svgCubicBezTo(p, cx - rx * kKappa, cy + ry, cx - rx, cy + ry * kKappa, cx - rx, cy);
  svgCubicBezTo(p, cx - rx, cy - ry * kKappa, cx - rx * kKappa, cy - ry, cx, cy - ry);
  svgCubicBezTo(p, cx + rx * kKappa, cy - ry, cx + rx, cy - ry * kKappa, cx + rx, cy);
  svgAddPath(p, 1);
}

// A circle or an ellipse; a circle has the one radius "r", an ellipse the
// two "rx" and "ry".
void EllipseShape(SVGParser* p, const char** attr, bool circle)
{
  float cx = 0, cy = 0, rx = 0, ry = 0;
  for (int i = 0; attr[i]; i += 2) {
    const char* n = attr[i];
    const char* v = attr[i + 1];
    if (svgParseAttr(p, n, v))
      continue;
    if (std::strcmp(n, "cx") == 0)
      cx = CoordX(p, v);
    else if (std::strcmp(n, "cy") == 0)
      cy = CoordY(p, v);
    else if (circle && std::strcmp(n, "r") == 0)
      rx = ry = std::fabs(Coord(p, v, 0.0f, svgActualLength(p)));
    else if (!circle && std::strcmp(n, "rx") == 0)
      rx = std::fabs(LengthX(p, v));
    else if (!circle && std::strcmp(n, "ry") == 0)
      ry = std::fabs(LengthY(p, v));
  }
  if (rx > 0.0f && ry > 0.0f) {
    EllipsePath(p, cx, cy, rx, ry);
    svgCreateShape(p);
  }
}

} // namespace

void svgParseRect(SVGParser* p, const char** attr)
{
  float x = 0, y = 0, w = 0, h = 0, rx = -1, ry = -1; // -1: unset
  for (int i = 0; attr[i]; i += 2) {
    const char* n = attr[i];
    const char* v = attr[i + 1];
    if (svgParseAttr(p, n, v))
      continue;
    if (std::strcmp(n, "x") == 0)
      x = CoordX(p, v);
    else if (std::strcmp(n, "y") == 0)
      y = CoordY(p, v);
    else if (std::strcmp(n, "width") == 0)
      w = LengthX(p, v);
    else if (std::strcmp(n, "height") == 0)
      h = LengthY(p, v);
    else if (std::strcmp(n, "rx") == 0)
      rx = std::fabs(LengthX(p, v));
    else if (std::strcmp(n, "ry") == 0)
      ry = std::fabs(LengthY(p, v));
  }
  if (rx < 0.0f && ry > 0.0f)
    rx = ry;
  if (ry < 0.0f && rx > 0.0f)
    ry = rx;
  if (rx < 0.0f)
    rx = 0.0f;
  if (ry < 0.0f)
    ry = 0.0f;
  if (rx > w / 2.0f)
    rx = w / 2.0f;
  if (ry > h / 2.0f)
    ry = h / 2.0f;

  if (w != 0.0f && h != 0.0f) {
    svgResetPath(p);
    if (rx < 0.00001f || ry < 0.0001f) {
      svgMoveTo(p, x, y);
      svgLineTo(p, x + w, y);
      svgLineTo(p, x + w, y + h);
      svgLineTo(p, x, y + h);
    } else {
      const float k = kOneMinusKappa;
      svgMoveTo(p, x + rx, y);
      svgLineTo(p, x + w - rx, y);
      svgCubicBezTo(p, x + w - rx * k, y, x + w, y + ry * k, x + w, y + ry);
      svgLineTo(p, x + w, y + h - ry);
      svgCubicBezTo(p, x + w, y + h - ry * k, x + w - rx * k, y + h, x + w - rx, y + h);
      svgLineTo(p, x + rx, y + h);
      svgCubicBezTo(p, x + rx * k, y + h, x, y + h - ry * k, x, y + h - ry);
      svgLineTo(p, x, y + ry);
      svgCubicBezTo(p, x, y + ry * k, x + rx * k, y, x + rx, y);
    }
    svgAddPath(p, 1);
    svgCreateShape(p);
  }
}

void svgParseCircle(SVGParser* p, const char** attr) { EllipseShape(p, attr, true); }

void svgParseEllipse(SVGParser* p, const char** attr) { EllipseShape(p, attr, false); }

void svgParseLine(SVGParser* p, const char** attr)
{
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  for (int i = 0; attr[i]; i += 2) {
    const char* n = attr[i];
    const char* v = attr[i + 1];
    if (svgParseAttr(p, n, v))
      continue;
    if (std::strcmp(n, "x1") == 0)
      x1 = CoordX(p, v);
    else if (std::strcmp(n, "y1") == 0)
      y1 = CoordY(p, v);
    else if (std::strcmp(n, "x2") == 0)
      x2 = CoordX(p, v);
    else if (std::strcmp(n, "y2") == 0)
      y2 = CoordY(p, v);
  }
  svgResetPath(p);
  svgMoveTo(p, x1, y1);
  svgLineTo(p, x2, y2);
  svgAddPath(p, 0);
  svgCreateShape(p);
}

void svgParsePoly(SVGParser* p, const char** attr, bool closed)
{
  svgResetPath(p);
  for (int i = 0; attr[i]; i += 2) {
    const char* n = attr[i];
    const char* v = attr[i + 1];
    if (svgParseAttr(p, n, v))
      continue;
    if (std::strcmp(n, "points") != 0)
      continue;
    const char* s = v;
    int npts = 0;
    float args[2];
    int nargs = 0;
    char item[64];
    while (*s) {
      while (*s && (svgIsSpace(*s) || *s == ','))
        s++;
      if (!*s)
        break;
      if (*s == '-' || *s == '+' || *s == '.' || (*s >= '0' && *s <= '9')) {
        s = svgScanNumber(s, item);
      } else {
        item[0] = *s++;
        item[1] = '\0';
      }
      args[nargs++] = static_cast<float>(svgParseNumber(item));
      if (nargs >= 2) {
        if (npts == 0)
          svgMoveTo(p, args[0], args[1]);
        else
          svgLineTo(p, args[0], args[1]);
        nargs = 0;
        npts++;
      }
    }
  }
  svgAddPath(p, closed ? 1 : 0);
  svgCreateShape(p);
}

} // namespace plugin::igraphics
