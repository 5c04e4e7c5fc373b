// Drawing a parsed SVG document through the path slots: each shape's cubic
// paths, with holes found by crossing parity, filled and stroked with its
// paints converted to patterns.

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

IColor ColorFromPacked(std::uint32_t c, int alpha)
{
  return IColor(alpha, static_cast<int>(c & 0xff), static_cast<int>((c >> 8) & 0xff),
                static_cast<int>((c >> 16) & 0xff));
}

// Crossings of the ray from (x0, y0) along (dx, dy) with the closed polygon
// of a path's on-curve points.
int RayCrossings(double x0, double y0, double dx, double dy, const SVGPath& path)
{
  int crossings = 0;
  const float* p = path.pts;
  for (int i = 0; i < path.npts; i += 3) {
    const int j = (i + 3 < path.npts) ? i + 3 : 0;
    const double ax = p[2 * i], ay = p[2 * i + 1];
    const double ex = p[2 * j] - ax, ey = p[2 * j + 1] - ay;
    // Solve (x0, y0) + t (dx, dy) = a + u e.
    const double det = ex * dy - dx * ey;
    if (std::fabs(det) < 1e-8)
      continue;
    const double rx = ax - x0, ry = ay - y0;
    const double t = (ex * ry - ey * rx) / det;
    const double u = (dx * ry - dy * rx) / det;
    if (t >= 0.0 && u >= 0.0 && u < 1.0)
      ++crossings;
    if (j == 0)
      break;
  }
  return crossings;
}

// A sub-path inside an odd number of the shape's other paths is a hole.
bool IsHole(const SVGShape& shape, const SVGPath& path)
{
  if (path.npts < 1)
    return false;
  const double x0 = path.pts[0], y0 = path.pts[1];
  const double dx = (path.bounds[0] - 1.0) - x0, dy = (path.bounds[1] - 1.0) - y0;
  int crossings = 0;
  for (const SVGPath* other = shape.paths; other; other = other->next)
    if (other != &path && other->npts >= 4)
      crossings += RayCrossings(x0, y0, dx, dy, *other);
  return (crossings & 1) != 0;
}

} // namespace

IPattern IGraphics::GetPatternFromSVGPaint(const SVGPaint& paint, float opacity)
{
  const float a = opacity * 255.f;
  const int alpha = !(a > 0.f) ? 0 : (a >= 255.f ? 255 : static_cast<int>(std::round(a)));
  const bool gradient = paint.type == kSVGPaintLinearGradient || paint.type == kSVGPaintRadialGradient;
  if (paint.type == kSVGPaintColor)
    return IPattern(ColorFromPacked(paint.color, alpha));
  if (!gradient || !paint.gradient)
    return IPattern(IColor(alpha, 0, 0, 0));

  const SVGGradient& g = *paint.gradient;
  IPattern pattern(paint.type == kSVGPaintLinearGradient ? kLinearPattern : kRadialPattern);
  pattern.mExtend = (static_cast<unsigned>(g.spread) < 3u) ? static_cast<EPatternExtend>(g.spread + 1) : kExtendPad;
  pattern.mNStops = std::clamp(g.nstops, 0, IPattern::kMaxStops);
  for (int i = 0; i < pattern.mNStops; ++i) {
    pattern.mStops[i].mColor = ColorFromPacked(g.stops[i].color, 255);
    pattern.mStops[i].mOffset = g.stops[i].offset;
  }
  pattern.mTransform = IMatrix(g.xform[0], g.xform[1], g.xform[2], g.xform[3], g.xform[4], g.xform[5]);
  return pattern;
}

void IGraphics::DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend)
{
  // A document without size has no scale to draw at.
  if (!svg.mImage || !(svg.W() > 0.f) || !(svg.H() > 0.f))
    return;
  const float scale = std::min(bounds.W() / svg.W(), bounds.H() / svg.H());
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(scale, scale);

  for (const SVGShape* shape = svg.mImage->shapes; shape; shape = shape->next) {
    if (!(shape->flags & kSVGFlagsVisible))
      continue;
    PathClear();
    for (const SVGPath* path = shape->paths; path; path = path->next) {
      if (path->npts < 1)
        continue;
      const float* p = path->pts;
      PathMoveTo(p[0], p[1]);
      for (int i = 1; i + 2 < path->npts; i += 3)
        PathCubicBezierTo(p[2 * i], p[2 * i + 1], p[2 * i + 2], p[2 * i + 3], p[2 * i + 4], p[2 * i + 5]);
      if (path->closed)
        PathClose();
      PathSetWinding(IsHole(*shape, *path) ? 1 : 0);
    }

    const bool hasStroke = shape->stroke.type != kSVGPaintNone;
    if (shape->fill.type != kSVGPaintNone) {
      IFillOptions options;
      options.mFillRule = kFillPreserveWinding;
      options.mPreserve = hasStroke;
      PathFill(GetPatternFromSVGPaint(shape->fill, shape->opacity), options, blend);
    }
    if (hasStroke) {
      IStrokeOptions options;
      options.mMiterLimit = shape->miterLimit;
      options.mPreserve = false;
      options.mCapOption =
        (static_cast<unsigned>(shape->strokeLineCap) < 3u) ? static_cast<ELineCap>(shape->strokeLineCap) : kCapButt;
      options.mJoinOption = (static_cast<unsigned>(shape->strokeLineJoin) < 3u)
                              ? static_cast<ELineJoin>(shape->strokeLineJoin)
                              : kJoinMiter;
      options.mDash.mOffset = shape->strokeDashOffset;
      options.mDash.mCount = std::clamp(static_cast<int>(shape->strokeDashCount), 0, 8);
      for (int i = 0; i < options.mDash.mCount; ++i)
        options.mDash.mArray[i] = shape->strokeDashArray[i];
      PathStroke(GetPatternFromSVGPaint(shape->stroke, shape->opacity), shape->strokeWidth, options, blend);
    }
  }
  PathTransformRestore();
}

void IGraphics::DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                               double angle, const IBlend* blend)
{
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawSVG(svg, IRECT(-width / 2.f, -height / 2.f, width / 2.f, height / 2.f), blend);
  PathTransformRestore();
}

} // namespace plugin::igraphics
