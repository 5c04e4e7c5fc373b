// The point buffer, path finishing and the grammar of path data, with
// quadratic curves and elliptical arcs turned into cubics.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

void AddPoint(SVGParser* p, float x, float y)
{
  if (p->npts + 1 > p->cpts) {
    const int cpts = p->cpts ? p->cpts * 2 : 8;
    float* pts = static_cast<float*>(std::realloc(p->pts, static_cast<size_t>(cpts) * 2 * sizeof(float)));
    if (!pts)
      return;
    p->pts = pts;
    p->cpts = cpts;
  }
  p->pts[p->npts * 2 + 0] = x;
  p->pts[p->npts * 2 + 1] = y;
  p->npts++;
}

} // namespace

void svgResetPath(SVGParser* p) { p->npts = 0; }

void svgMoveTo(SVGParser* p, float x, float y)
{
  if (p->npts > 0) {
    p->pts[(p->npts - 1) * 2 + 0] = x;
    p->pts[(p->npts - 1) * 2 + 1] = y;
  } else {
    AddPoint(p, x, y);
  }
}

void svgLineTo(SVGParser* p, float x, float y)
{
  if (p->npts > 0) {
    const float px = p->pts[(p->npts - 1) * 2 + 0];
    const float py = p->pts[(p->npts - 1) * 2 + 1];
    const float dx = x - px, dy = y - py;
    AddPoint(p, px + dx / 3.0f, py + dy / 3.0f);
    AddPoint(p, x - dx / 3.0f, y - dy / 3.0f);
    AddPoint(p, x, y);
  }
}

void svgCubicBezTo(SVGParser* p, float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  if (p->npts > 0) {
    AddPoint(p, c1x, c1y);
    AddPoint(p, c2x, c2y);
    AddPoint(p, x, y);
  }
}

void svgAddPath(SVGParser* p, char closed)
{
  if (p->npts < 4)
    return;
  if (closed)
    svgLineTo(p, p->pts[0], p->pts[1]);
  // A point lost to a failed allocation leaves a partial segment; drop it.
  const int npts = p->npts - (p->npts - 1) % 3;

  SVGPath* path = static_cast<SVGPath*>(std::calloc(1, sizeof(SVGPath)));
  if (!path)
    return;
  path->pts = static_cast<float*>(std::malloc(static_cast<size_t>(npts) * 2 * sizeof(float)));
  if (!path->pts) {
    std::free(path);
    return;
  }
  path->closed = closed;
  path->npts = npts;

  const float* t = svgGetAttr(p)->xform;
  for (int i = 0; i < npts; i++)
    AffinePoint(&path->pts[i * 2], &path->pts[i * 2 + 1], p->pts[i * 2], p->pts[i * 2 + 1], t);

  for (int i = 0; i + 3 < npts; i += 3) {
    float b[4];
    svgCurveBounds(b, &path->pts[i * 2]);
    if (i == 0) {
      std::memcpy(path->bounds, b, sizeof(b));
    } else {
      path->bounds[0] = std::fmin(path->bounds[0], b[0]);
      path->bounds[1] = std::fmin(path->bounds[1], b[1]);
      path->bounds[2] = std::fmax(path->bounds[2], b[2]);
      path->bounds[3] = std::fmax(path->bounds[3], b[3]);
    }
  }

  path->next = p->plist;
  p->plist = path;
}

int svgGetArgsPerElement(char cmd)
{
  switch (cmd) {
  case 'v':
  case 'V':
  case 'h':
  case 'H': return 1;
  case 'm':
  case 'M':
  case 'l':
  case 'L':
  case 't':
  case 'T': return 2;
  case 'q':
  case 'Q':
  case 's':
  case 'S': return 4;
  case 'c':
  case 'C': return 6;
  case 'a':
  case 'A': return 7;
  default: return 0;
  }
}

namespace {

constexpr float kTwoThirds = 0.6666667f;

struct PathState {
  float cpx = 0, cpy = 0, cpx2 = 0, cpy2 = 0;
};

// A move, a line or an arc ends at (x, y) and leaves no control point for a
// smooth curve after it to mirror.
void EndStraight(PathState& s, float x, float y)
{
  s.cpx = s.cpx2 = x;
  s.cpy = s.cpy2 = y;
}

void MoveTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  EndStraight(s, rel ? s.cpx + a[0] : a[0], rel ? s.cpy + a[1] : a[1]);
  svgMoveTo(p, s.cpx, s.cpy);
}

void LineTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  EndStraight(s, rel ? s.cpx + a[0] : a[0], rel ? s.cpy + a[1] : a[1]);
  svgLineTo(p, s.cpx, s.cpy);
}

void HLineTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  EndStraight(s, rel ? s.cpx + a[0] : a[0], s.cpy);
  svgLineTo(p, s.cpx, s.cpy);
}

void VLineTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  EndStraight(s, s.cpx, rel ? s.cpy + a[0] : a[0]);
  svgLineTo(p, s.cpx, s.cpy);
}

void CubicTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  const float ox = rel ? s.cpx : 0.0f, oy = rel ? s.cpy : 0.0f;
  const float cx1 = ox + a[0], cy1 = oy + a[1];
  const float cx2 = ox + a[2], cy2 = oy + a[3];
  const float x2 = ox + a[4], y2 = oy + a[5];
  svgCubicBezTo(p, cx1, cy1, cx2, cy2, x2, y2);
  s.cpx2 = cx2;
  s.cpy2 = cy2;
  s.cpx = x2;
  s.cpy = y2;
}

void CubicSmoothTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  const float ox = rel ? s.cpx : 0.0f, oy = rel ? s.cpy : 0.0f;
  const float cx2 = ox + a[0], cy2 = oy + a[1];
  const float x2 = ox + a[2], y2 = oy + a[3];
  const float cx1 = 2 * s.cpx - s.cpx2, cy1 = 2 * s.cpy - s.cpy2;
  svgCubicBezTo(p, cx1, cy1, cx2, cy2, x2, y2);
  s.cpx2 = cx2;
  s.cpy2 = cy2;
  s.cpx = x2;
  s.cpy = y2;
}

void QuadTo(SVGParser* p, PathState& s, float cx, float cy, float x2, float y2)
{
  const float x1 = s.cpx, y1 = s.cpy;
  const float cx1 = x1 + kTwoThirds * (cx - x1), cy1 = y1 + kTwoThirds * (cy - y1);
  const float cx2 = x2 + kTwoThirds * (cx - x2), cy2 = y2 + kTwoThirds * (cy - y2);
  svgCubicBezTo(p, cx1, cy1, cx2, cy2, x2, y2);
  s.cpx2 = cx;
  s.cpy2 = cy;
  s.cpx = x2;
  s.cpy = y2;
}

void QuadBezTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  const float ox = rel ? s.cpx : 0.0f, oy = rel ? s.cpy : 0.0f;
  QuadTo(p, s, ox + a[0], oy + a[1], ox + a[2], oy + a[3]);
}

void QuadSmoothTo(SVGParser* p, PathState& s, const float* a, bool rel)
{
  const float ox = rel ? s.cpx : 0.0f, oy = rel ? s.cpy : 0.0f;
  const float cx = 2 * s.cpx - s.cpx2, cy = 2 * s.cpy - s.cpy2;
  QuadTo(p, s, cx, cy, ox + a[0], oy + a[1]);
}

} // namespace

void svgPathArcTo(SVGParser* p, float* cpx, float* cpy, const float* args, bool rel)
{
  // In double throughout: a large arc whose ends almost meet has a sweep just
  // short of a full turn, and float loses both its size and its sign.
  constexpr double pi = std::numbers::pi;
  double rx = std::fabs(static_cast<double>(args[0]));
  double ry = std::fabs(static_cast<double>(args[1]));
  const double rot = args[2] / 180.0 * pi;
  const bool fa = std::fabs(args[3]) > 1e-6f;
  const bool fs = std::fabs(args[4]) > 1e-6f;
  const double x1 = *cpx, y1 = *cpy;
  const float x2f = rel ? *cpx + args[5] : args[5];
  const float y2f = rel ? *cpy + args[6] : args[6];
  const double x2 = x2f, y2 = y2f;
  *cpx = x2f;
  *cpy = y2f;

  const double dx = x1 - x2, dy = y1 - y2;
  const double d = std::sqrt(dx * dx + dy * dy);
  // Degenerate arcs, and any whose numbers are not finite, become a line.
  if (d < 1e-6 || rx < 1e-6 || ry < 1e-6 || !std::isfinite(d) || !std::isfinite(rx) || !std::isfinite(ry) ||
      !std::isfinite(rot)) {
    svgLineTo(p, x2f, y2f);
    return;
  }

  const double sinr = std::sin(rot), cosr = std::cos(rot);
  const double x1p = cosr * dx / 2.0 + sinr * dy / 2.0;
  const double y1p = -sinr * dx / 2.0 + cosr * dy / 2.0;
  const double grow = x1p * x1p / (rx * rx) + y1p * y1p / (ry * ry);
  if (grow > 1.0) {
    rx *= std::sqrt(grow);
    ry *= std::sqrt(grow);
  }
  const double sa = std::max(0.0, rx * rx * ry * ry - rx * rx * y1p * y1p - ry * ry * x1p * x1p);
  const double sb = rx * rx * y1p * y1p + ry * ry * x1p * x1p;
  double s = sb > 0.0 ? std::sqrt(sa / sb) : 0.0;
  if (fa == fs)
    s = -s;
  const double cxp = s * rx * y1p / ry;
  const double cyp = -s * ry * x1p / rx;
  const double cx = (x1 + x2) / 2.0 + cosr * cxp - sinr * cyp;
  const double cy = (y1 + y2) / 2.0 + sinr * cxp + cosr * cyp;

  const double ux = (x1p - cxp) / rx, uy = (y1p - cyp) / ry;
  const double vx = (-x1p - cxp) / rx, vy = (-y1p - cyp) / ry;
  const double a1 = std::atan2(uy, ux);
  double da = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  if (!fs && da > 0.0)
    da -= 2.0 * pi;
  else if (fs && da < 0.0)
    da += 2.0 * pi;
  // A large arc never sweeps less than half a turn; a tiny sweep here is one
  // whose ends nearly meet, rounded to the wrong side.
  if (fa && std::fabs(da) < pi / 2.0)
    da = (fs ? 1.0 : -1.0) * (2.0 * pi - std::fabs(da));
  if (!std::isfinite(da) || !std::isfinite(a1) || !std::isfinite(cx) || !std::isfinite(cy)) {
    svgLineTo(p, x2f, y2f);
    return;
  }

  const int ndivs = static_cast<int>(std::fabs(da) / (pi / 2.0) + 1.0);
  const double hda = da / ndivs / 2.0;
  // A zero half-angle would give 0/0; no sweep needs no handle length.
  double kappa = 0.0;
  if (std::sin(hda) != 0.0)
    kappa = std::fabs(4.0 / 3.0 * (1.0 - std::cos(hda)) / std::sin(hda));
  if (da < 0.0)
    kappa = -kappa;

  float px = 0, py = 0, ptanx = 0, ptany = 0;
  for (int i = 0; i <= ndivs; i++) {
    const double a = a1 + da * i / ndivs;
    const double ex = std::cos(a) * rx, ey = std::sin(a) * ry;
    const double tx = -std::sin(a) * rx * kappa, ty = std::cos(a) * ry * kappa;
    float x = static_cast<float>(cosr * ex - sinr * ey + cx);
    float y = static_cast<float>(sinr * ex + cosr * ey + cy);
    const float tanx = static_cast<float>(cosr * tx - sinr * ty);
    const float tany = static_cast<float>(sinr * tx + cosr * ty);
    // The arc ends exactly where the next segment starts.
    if (i == ndivs) {
      x = x2f;
      y = y2f;
    }
    if (i > 0)
      svgCubicBezTo(p, px + ptanx, py + ptany, x - tanx, y - tany, x, y);
    px = x;
    py = y;
    ptanx = tanx;
    ptany = tany;
  }
}

void svgParsePath(SVGParser* p, const char** attr)
{
  const char* s = nullptr;
  for (int i = 0; attr[i]; i += 2) {
    if (std::strcmp(attr[i], "d") == 0) {
      s = attr[i + 1];
    } else {
      const char* tmp[4] = {attr[i], attr[i + 1], nullptr, nullptr};
      svgParseAttribs(p, tmp);
    }
  }

  if (s) {
    svgResetPath(p);
    PathState st;
    char cmd = '\0';
    int nargs = 0, rargs = 0;
    float args[10];
    char item[64];

    while (*s) {
      // Tokens: numbers, or single characters.
      while (*s && (svgIsSpace(*s) || *s == ','))
        s++;
      if (!*s)
        break;
      // An arc's two flags are single digits, often written without separators
      // ("a7 7 0 100 14").
      const bool flag = (cmd == 'a' || cmd == 'A') && (nargs == 3 || nargs == 4) && (*s == '0' || *s == '1');
      if (flag) {
        item[0] = *s++;
        item[1] = '\0';
      } else if (*s == '-' || *s == '+' || *s == '.' || (*s >= '0' && *s <= '9')) {
        s = svgScanNumber(s, item);
      } else {
        item[0] = *s++;
        item[1] = '\0';
      }
      const char c0 = item[0];
      if ((c0 >= '0' && c0 <= '9') || c0 == '+' || c0 == '-' || c0 == '.' || c0 == 'e' || c0 == 'E') {
        if (nargs < 10)
          args[nargs++] = static_cast<float>(svgParseNumber(item));
        if (nargs >= rargs) {
          const bool rel = cmd >= 'a' && cmd <= 'z';
          switch (cmd) {
          case 'm':
          case 'M':
            MoveTo(p, st, args, rel);
            // Further pairs after a move are lines.
            cmd = rel ? 'l' : 'L';
            rargs = svgGetArgsPerElement(cmd);
            break;
          case 'l':
          case 'L': LineTo(p, st, args, rel); break;
          case 'h':
          case 'H': HLineTo(p, st, args, rel); break;
          case 'v':
          case 'V': VLineTo(p, st, args, rel); break;
          case 'c':
          case 'C': CubicTo(p, st, args, rel); break;
          case 's':
          case 'S': CubicSmoothTo(p, st, args, rel); break;
          case 'q':
          case 'Q': QuadBezTo(p, st, args, rel); break;
          case 't':
          case 'T': QuadSmoothTo(p, st, args, rel); break;
          case 'a':
          case 'A':
            svgPathArcTo(p, &st.cpx, &st.cpy, args, rel);
            EndStraight(st, st.cpx, st.cpy);
            break;
          default: break;
          }
          nargs = 0;
        }
      } else {
        cmd = item[0];
        rargs = svgGetArgsPerElement(cmd);
        // Numbers left over from the previous command never reach this one.
        nargs = 0;
        if (cmd == 'M' || cmd == 'm') {
          if (p->npts > 0)
            svgAddPath(p, 0);
          svgResetPath(p);
        } else if (cmd == 'Z' || cmd == 'z') {
          if (p->npts > 0) {
            st.cpx = st.cpx2 = p->pts[0];
            st.cpy = st.cpy2 = p->pts[1];
            svgAddPath(p, 1);
          }
          svgResetPath(p);
          svgMoveTo(p, st.cpx, st.cpy);
        }
      }
    }
    if (p->npts)
      svgAddPath(p, 0);
  }

  svgCreateShape(p);
}

} // namespace plugin::igraphics
