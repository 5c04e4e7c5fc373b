// Tight bounds of cubic Bezier segments.
#include <cmath>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

bool PointInRect(float x, float y, const float* b) { return x >= b[0] && x <= b[2] && y >= b[1] && y <= b[3]; }

double EvalBezier(double t, double p0, double p1, double p2, double p3)
{
  const double it = 1.0 - t;
  return it * it * it * p0 + 3.0 * it * it * t * p1 + 3.0 * it * t * t * p2 + t * t * t * p3;
}

} // namespace

void svgCurveBounds(float* bounds, const float* curve)
{
  const float* v0 = &curve[0];
  const float* v1 = &curve[2];
  const float* v2 = &curve[4];
  const float* v3 = &curve[6];

  bounds[0] = std::fmin(v0[0], v3[0]);
  bounds[1] = std::fmin(v0[1], v3[1]);
  bounds[2] = std::fmax(v0[0], v3[0]);
  bounds[3] = std::fmax(v0[1], v3[1]);

  // Control points inside the end points' box cannot push the curve out.
  if (PointInRect(v1[0], v1[1], bounds) && PointInRect(v2[0], v2[1], bounds))
    return;

  for (int i = 0; i < 2; i++) {
    const double a = -3.0 * v0[i] + 9.0 * v1[i] - 9.0 * v2[i] + 3.0 * v3[i];
    const double b = 6.0 * v0[i] - 12.0 * v1[i] + 6.0 * v2[i];
    const double c = 3.0 * v1[i] - 3.0 * v0[i];
    double roots[2];
    int count = 0;
    if (std::fabs(a) < 1e-12) {
      if (std::fabs(b) > 1e-12)
        roots[count++] = -c / b;
    } else {
      const double b2ac = b * b - 4.0 * c * a;
      if (b2ac > 1e-12) {
        roots[count++] = (-b + std::sqrt(b2ac)) / (2.0 * a);
        roots[count++] = (-b - std::sqrt(b2ac)) / (2.0 * a);
      }
    }
    for (int j = 0; j < count; j++) {
      if (roots[j] > 1e-12 && roots[j] < 1.0 - 1e-12) {
        const double v = EvalBezier(roots[j], v0[i], v1[i], v2[i], v3[i]);
        bounds[0 + i] = std::fmin(bounds[0 + i], static_cast<float>(v));
        bounds[2 + i] = std::fmax(bounds[2 + i], static_cast<float>(v));
      }
    }
  }
}

void svgGetLocalBounds(float* bounds, const SVGShape* shape, const float* xform)
{
  bool first = true;
  for (const SVGPath* path = shape->paths; path; path = path->next) {
    float curve[8];
    AffinePoint(&curve[0], &curve[1], path->pts[0], path->pts[1], xform);
    for (int i = 0; i + 3 < path->npts; i += 3) {
      AffinePoint(&curve[2], &curve[3], path->pts[(i + 1) * 2], path->pts[(i + 1) * 2 + 1], xform);
      AffinePoint(&curve[4], &curve[5], path->pts[(i + 2) * 2], path->pts[(i + 2) * 2 + 1], xform);
      AffinePoint(&curve[6], &curve[7], path->pts[(i + 3) * 2], path->pts[(i + 3) * 2 + 1], xform);
      float cb[4];
      svgCurveBounds(cb, curve);
      if (first) {
        bounds[0] = cb[0];
        bounds[1] = cb[1];
        bounds[2] = cb[2];
        bounds[3] = cb[3];
        first = false;
      } else {
        bounds[0] = std::fmin(bounds[0], cb[0]);
        bounds[1] = std::fmin(bounds[1], cb[1]);
        bounds[2] = std::fmax(bounds[2], cb[2]);
        bounds[3] = std::fmax(bounds[3], cb[3]);
      }
      curve[0] = curve[6];
      curve[1] = curve[7];
    }
  }
  if (first)
    bounds[0] = bounds[1] = bounds[2] = bounds[3] = 0.0f;
}

} // namespace plugin::igraphics
