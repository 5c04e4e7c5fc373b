// A shape record from the finished paths and the attributes in force.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

uint32_t WithAlpha(uint32_t color, float opacity) { return color | (static_cast<uint32_t>(opacity * 255.0f) << 24); }

void ResolvePaint(SVGParser* p, SVGShape* shape, SVGPaint* paint, char has, uint32_t color, float opacity,
                  const char* gradientId)
{
  paint->type = kSVGPaintNone;
  if (has == 1) {
    paint->type = kSVGPaintColor;
    paint->color = WithAlpha(color, opacity);
  } else if (has == 2) {
    float inv[6], localBounds[4];
    AffineInverse(inv, svgGetAttr(p)->xform);
    svgGetLocalBounds(localBounds, shape, inv);
    char type = kSVGPaintNone;
    paint->gradient = svgCreateGradient(p, gradientId, localBounds, &type);
    if (paint->gradient) {
      paint->type = type;
      // The fill or stroke opacity scales every stop's own.
      for (int i = 0; i < paint->gradient->nstops; i++) {
        SVGGradientStop& stop = paint->gradient->stops[i];
        const float a = static_cast<float>(stop.color >> 24) * opacity;
        stop.color = (stop.color & 0xffffffu) | (static_cast<uint32_t>(a > 0.0f ? a + 0.5f : 0.0f) << 24);
      }
    }
  }
}

} // namespace

void svgCreateShape(SVGParser* p)
{
  if (!p->plist)
    return;
  SVGShape* shape = static_cast<SVGShape*>(std::calloc(1, sizeof(SVGShape)));
  if (!shape)
    return;

  const SVGAttrib* attr = svgGetAttr(p);
  std::memcpy(shape->id, attr->id, sizeof(shape->id));
  const float* t = attr->xform;
  const float scale = (std::sqrt(t[0] * t[0] + t[2] * t[2]) + std::sqrt(t[1] * t[1] + t[3] * t[3])) / 2.0f;
  shape->strokeWidth = attr->strokeWidth * scale;
  shape->strokeDashOffset = attr->strokeDashOffset * scale;
  shape->strokeDashCount = static_cast<char>(attr->strokeDashCount);
  for (int i = 0; i < attr->strokeDashCount; i++)
    shape->strokeDashArray[i] = attr->strokeDashArray[i] * scale;
  shape->strokeLineJoin = attr->strokeLineJoin;
  shape->strokeLineCap = attr->strokeLineCap;
  shape->miterLimit = attr->miterLimit;
  shape->fillRule = attr->fillRule;
  shape->opacity = attr->opacity;

  shape->paths = p->plist;
  p->plist = nullptr;
  const SVGPath* first = shape->paths;
  std::memcpy(shape->bounds, first->bounds, sizeof(shape->bounds));
  for (const SVGPath* path = first->next; path; path = path->next) {
    shape->bounds[0] = std::fmin(shape->bounds[0], path->bounds[0]);
    shape->bounds[1] = std::fmin(shape->bounds[1], path->bounds[1]);
    shape->bounds[2] = std::fmax(shape->bounds[2], path->bounds[2]);
    shape->bounds[3] = std::fmax(shape->bounds[3], path->bounds[3]);
  }
  // Holes matter only to a fill.
  if (attr->hasFill != 0)
    svgDecideHoles(shape);

  ResolvePaint(p, shape, &shape->fill, attr->hasFill, attr->fillColor, attr->fillOpacity, attr->fillGradient);
  ResolvePaint(p, shape, &shape->stroke, attr->hasStroke, attr->strokeColor, attr->strokeOpacity, attr->strokeGradient);

  shape->flags = attr->visible ? kSVGFlagsVisible : 0;

  if (p->shapesTail)
    p->shapesTail->next = shape;
  else
    p->image->shapes = shape;
  p->shapesTail = shape;
}

} // namespace plugin::igraphics
