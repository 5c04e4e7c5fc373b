// Scaling of the parsed shapes from the view box into final pixels.
#include <cmath>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

float Align(float content, float container, int type)
{
  if (type == 1)
    return (container - content) * 0.5f;
  if (type == 2)
    return container - content;
  return 0.0f;
}

void ImageBounds(const SVGImage* image, float* bounds)
{
  const SVGShape* shape = image->shapes;
  if (!shape) {
    bounds[0] = bounds[1] = bounds[2] = bounds[3] = 0.0f;
    return;
  }
  bounds[0] = shape->bounds[0];
  bounds[1] = shape->bounds[1];
  bounds[2] = shape->bounds[2];
  bounds[3] = shape->bounds[3];
  for (shape = shape->next; shape; shape = shape->next) {
    bounds[0] = std::fmin(bounds[0], shape->bounds[0]);
    bounds[1] = std::fmin(bounds[1], shape->bounds[1]);
    bounds[2] = std::fmax(bounds[2], shape->bounds[2]);
    bounds[3] = std::fmax(bounds[3], shape->bounds[3]);
  }
}

void ScaleBounds(float* b, float tx, float ty, float sx, float sy)
{
  b[0] = (b[0] + tx) * sx;
  b[1] = (b[1] + ty) * sy;
  b[2] = (b[2] + tx) * sx;
  b[3] = (b[3] + ty) * sy;
}

void ScaleGradient(SVGPaint* paint, float tx, float ty, float sx, float sy)
{
  if (paint->type != kSVGPaintLinearGradient && paint->type != kSVGPaintRadialGradient)
    return;
  SVGGradient* grad = paint->gradient;
  const float translate[6] = {1.0f, 0.0f, 0.0f, 1.0f, tx, ty};
  const float scale[6] = {sx, 0.0f, 0.0f, sy, 0.0f, 0.0f};
  AffineMultiply(grad->xform, translate);
  AffineMultiply(grad->xform, scale);
  float inv[6];
  AffineInverse(inv, grad->xform);
  for (int i = 0; i < 6; i++)
    grad->xform[i] = inv[i];
}

} // namespace

void svgScaleToViewbox(SVGParser* p, const char* units)
{
  SVGImage* image = p->image;
  float bounds[4];
  ImageBounds(image, bounds);

  if (p->viewWidth == 0.0f) {
    if (image->width > 0.0f) {
      p->viewWidth = image->width;
    } else {
      p->viewMinx = bounds[0];
      p->viewWidth = bounds[2] - bounds[0];
    }
  }
  if (p->viewHeight == 0.0f) {
    if (image->height > 0.0f) {
      p->viewHeight = image->height;
    } else {
      p->viewMiny = bounds[1];
      p->viewHeight = bounds[3] - bounds[1];
    }
  }
  if (image->width == 0.0f)
    image->width = p->viewWidth;
  if (image->height == 0.0f)
    image->height = p->viewHeight;

  float tx = -p->viewMinx;
  float ty = -p->viewMiny;
  float sx = p->viewWidth > 0.0f ? image->width / p->viewWidth : 0.0f;
  float sy = p->viewHeight > 0.0f ? image->height / p->viewHeight : 0.0f;

  // One unit of the requested units in pixels; a size that is not positive
  // (a dpi of 0 for physical units, em without a font size) leaves pixels.
  const char unitText[3] = {units ? units[0] : '\0', units && units[0] ? units[1] : '\0', '\0'};
  SVGCoordinate one{1.0f, svgParseCoordinate(unitText).units};
  if (one.units == kSVGUnitsUser)
    one.units = kSVGUnitsPx;
  const float onePixels = svgConvertToPixels(p, one, 0.0f, 1.0f);
  const float us = onePixels > 0.0f && std::isfinite(onePixels) ? 1.0f / onePixels : 1.0f;

  if (p->alignType == 1) {
    sx = sy = std::fmin(sx, sy);
  } else if (p->alignType == 2) {
    sx = sy = std::fmax(sx, sy);
  }
  if (p->alignType == 1 || p->alignType == 2) {
    if (sx != 0.0f)
      tx += Align(p->viewWidth * sx, image->width, p->alignX) / sx;
    if (sy != 0.0f)
      ty += Align(p->viewHeight * sy, image->height, p->alignY) / sy;
  }

  sx *= us;
  sy *= us;
  const float avg = (sx + sy) / 2.0f;

  for (SVGShape* shape = image->shapes; shape; shape = shape->next) {
    ScaleBounds(shape->bounds, tx, ty, sx, sy);
    for (SVGPath* path = shape->paths; path; path = path->next) {
      ScaleBounds(path->bounds, tx, ty, sx, sy);
      for (int i = 0; i < path->npts; i++) {
        path->pts[i * 2 + 0] = (path->pts[i * 2 + 0] + tx) * sx;
        path->pts[i * 2 + 1] = (path->pts[i * 2 + 1] + ty) * sy;
      }
    }
    ScaleGradient(&shape->fill, tx, ty, sx, sy);
    ScaleGradient(&shape->stroke, tx, ty, sx, sy);
    shape->strokeWidth *= avg;
    shape->strokeDashOffset *= avg;
    for (int i = 0; i < shape->strokeDashCount; i++)
      shape->strokeDashArray[i] *= avg;
  }
}

} // namespace plugin::igraphics
