// Drawing a parsed SVG document through the path slots: each shape's cubic
// paths, holes as the parser decided them, filled and stroked with its
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

} // namespace

IPattern IGraphics::GetPatternFromSVGPaint(const SVGPaint& paint, float opacity)
{
  // The shape's opacity times an alpha of 0..255; NaN and below 0 give 0.
  const auto scaled = [opacity](std::uint32_t a) {
    const float v = opacity * static_cast<float>(a);
    return !(v > 0.f) ? 0 : (v >= 255.f ? 255 : static_cast<int>(std::round(v)));
  };
  const bool gradient = paint.type == kSVGPaintLinearGradient || paint.type == kSVGPaintRadialGradient;
  // A colour carries its fill or stroke opacity in its top byte.
  if (paint.type == kSVGPaintColor)
    return IPattern(ColorFromPacked(paint.color, scaled(paint.color >> 24)));
  if (!gradient || !paint.gradient)
    return IPattern(IColor(scaled(255), 0, 0, 0));

  const SVGGradient& g = *paint.gradient;
  IPattern pattern(paint.type == kSVGPaintLinearGradient ? kLinearPattern : kRadialPattern);
  pattern.mExtend = (static_cast<unsigned>(g.spread) < 3u) ? static_cast<EPatternExtend>(g.spread + 1) : kExtendPad;
  pattern.mNStops = std::clamp(g.nstops, 0, IPattern::kMaxStops);
  for (int i = 0; i < pattern.mNStops; ++i) {
    pattern.mStops[i].mColor = ColorFromPacked(g.stops[i].color, scaled(g.stops[i].color >> 24));
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
      PathSetWinding(path->hole ? 1 : 0);
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
