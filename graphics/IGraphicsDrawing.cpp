// The default drawing bodies: every shape is a path built on the path slots
// and stroked or filled with a one-colour paint; bitmaps go through the back
// end's slot; the bitmap cache's retain/release.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>

#include "FloatToInt.h"
#include "IGraphics.h"
#include "ResourceCaches.h"

namespace plugin::igraphics {

namespace {

const IFillOptions kFill{};

IStrokeOptions DashedStroke(float dashLen)
{
  IStrokeOptions o;
  o.mDash.mArray[0] = dashLen;
  o.mDash.mCount = 1;
  return o;
}

// A grid draws only the lines the clip can show, and at most this many in
// each direction: more would lie closer together than a screen's pixels.
constexpr int kMaxGridLines = 8192;
// The anti-aliased fringe reaches this far (points) beyond the clip.
constexpr float kGridFringe = 2.f;

// The box of path coordinates that area shows through transform m: its
// corners taken back through m. False when m squashes the plane (no area
// shows anything) or the numbers are not finite.
bool VisibleBox(const IRECT& area, const IMatrix& m, double box[4])
{
  const double det = m.mXX * m.mYY - m.mXY * m.mYX;
  if (det == 0.0 || !std::isfinite(det))
    return false;
  box[0] = box[1] = HUGE_VAL;
  box[2] = box[3] = -HUGE_VAL;
  for (const double cx : {static_cast<double>(area.L), static_cast<double>(area.R)})
    for (const double cy : {static_cast<double>(area.T), static_cast<double>(area.B)}) {
      const double dx = cx - m.mTX, dy = cy - m.mTY;
      const double x = (m.mYY * dx - m.mXY * dy) / det, y = (m.mXX * dy - m.mYX * dx) / det;
      box[0] = std::min(box[0], x);
      box[1] = std::min(box[1], y);
      box[2] = std::max(box[2], x);
      box[3] = std::max(box[3], y);
    }
  return std::isfinite(box[0]) && std::isfinite(box[1]) && std::isfinite(box[2]) && std::isfinite(box[3]);
}

// The lines lo + k step (k >= 1) short of hi, those in [from, to] only, each
// handed to emit once. They are found from lo's phase (fmod is exact), not by
// stepping from lo: a far lo plus a small step does not move in float.
template <class Emit> void GridLines(float lo, float hi, float step, double from, double to, Emit emit)
{
  const double phase = std::fmod(static_cast<double>(lo), static_cast<double>(step));
  const double first = std::ceil((std::max(from, static_cast<double>(lo)) - phase) / step);
  float last = -HUGE_VALF;
  for (int i = 0; i < kMaxGridLines; ++i) {
    const double at = phase + (first + i) * step;
    const float x = static_cast<float>(at);
    if (!(x < hi) || !(at <= to))
      return;
    if (at > lo && x > last) // no line on the edge, none drawn twice
      emit(x);
    last = std::max(last, x);
  }
}

} // namespace

// ---- Path helpers ------------------------------------------------------------

void IGraphics::PathRect(const IRECT& r)
{
  PathMoveTo(r.L, r.T);
  PathLineTo(r.R, r.T);
  PathLineTo(r.R, r.B);
  PathLineTo(r.L, r.B);
  PathClose();
}

void IGraphics::PathCircle(float cx, float cy, float r)
{
  PathMoveTo(cx, cy - r);
  PathArc(cx, cy, r, 0.f, 360.f, 0);
  PathClose();
}

void IGraphics::PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3)
{
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
}

void IGraphics::PathConvexPolygon(const float* x, const float* y, int nPoints)
{
  if (nPoints < 1)
    return;
  PathMoveTo(x[0], y[0]);
  for (int i = 1; i < nPoints; ++i)
    PathLineTo(x[i], y[i]);
  PathClose();
}

void IGraphics::PathRoundRect(const IRECT& r, float cornerRadius)
{
  PathRoundRect(r, cornerRadius, cornerRadius, cornerRadius, cornerRadius);
}

void IGraphics::PathRoundRect(const IRECT& r, float tl, float tr, float br, float bl)
{
  if (tl <= 0.f && tr <= 0.f && br <= 0.f && bl <= 0.f) {
    PathRect(r);
    return;
  }
  const float w = r.W(), h = r.H();
  const float y0 = r.B - h;
  // The back end joins successive arcs with straight edges.
  PathMoveTo(r.L, y0 + tl);
  PathArc(r.L + tl, y0 + tl, tl, 270.f, 360.f);
  PathArc(r.L + w - tr, y0 + tr, tr, 0.f, 90.f);
  PathArc(r.L + w - br, y0 + h - br, br, 90.f, 180.f);
  PathArc(r.L + bl, y0 + h - bl, bl, 180.f, 270.f);
  PathClose();
}

void IGraphics::PathEllipse(float x, float y, float r1, float r2, float angle)
{
  PathTransformSave();
  if (r1 > 0.f && r2 > 0.f) {
    // A unit circle emitted in ellipse space.
    PathTransformTranslate(x, y);
    PathTransformRotate(angle);
    PathTransformScale(r1, r2);
    PathMoveTo(0.f, -1.f);
    PathArc(0.f, 0.f, 1.f, 0.f, 360.f);
    PathClose();
  }
  PathTransformRestore();
}

void IGraphics::PathEllipse(const IRECT& r) { PathEllipse(r.MW(), r.MH(), r.W() / 2.f, r.H() / 2.f, 0.f); }

// ---- Shapes ----------------------------------------------------------------

void IGraphics::DrawPoint(const IColor& color, float x, float y, const IBlend* blend)
{
  FillRect(color, IRECT(x, y, x + 1.f, y + 1.f), blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                         float thickness)
{
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                               float thickness, float dashLen)
{
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(IPattern(color), thickness, DashedStroke(dashLen), blend);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlend* blend, float thickness)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness)
{
  PathClear();
  PathRect(bounds);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend,
                        float thickness)
{
  PathClear();
  PathArc(cx, cy, r, a1, a2, 0);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend, float thickness)
{
  PathClear();
  PathCircle(cx, cy, r);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend,
                                  float thickness)
{
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness,
                               float dashLen)
{
  PathClear();
  PathRect(bounds);
  PathStroke(IPattern(color), thickness, DashedStroke(dashLen), blend);
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlend* blend)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend)
{
  PathClear();
  PathRect(bounds);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillRectPattern(const IPattern& pattern, const IRECT& bounds, const IBlend* blend)
{
  PathClear();
  PathRect(bounds);
  PathFill(pattern, kFill, blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend)
{
  PathClear();
  PathCircle(cx, cy, r);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend)
{
  PathClear();
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2, 0);
  PathClose();
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend)
{
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius, const IBlend* blend,
                              float thickness)
{
  PathClear();
  PathRoundRect(bounds, cornerRadius);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRoundRectCorners(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBR,
                                     float cRBL, const IBlend* blend, float thickness)
{
  PathClear();
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness)
{
  PathClear();
  PathEllipse(bounds);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipseRotated(const IColor& color, float x, float y, float r1, float r2, float angle,
                                   const IBlend* blend, float thickness)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius, const IBlend* blend)
{
  PathClear();
  PathRoundRect(bounds, cornerRadius);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillRoundRectCorners(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBR,
                                     float cRBL, const IBlend* blend)
{
  PathClear();
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend)
{
  PathClear();
  PathEllipse(bounds);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::FillEllipseRotated(const IColor& color, float x, float y, float r1, float r2, float angle,
                                   const IBlend* blend)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathFill(IPattern(color), kFill, blend);
}

void IGraphics::DrawGrid(const IColor& color, const IRECT& r, float gridSizeH, float gridSizeV, const IBlend* blend,
                         float thickness)
{
  PathClear();
  // Before any control is drawn nothing limits the view but its size.
  const IRECT area = GetCurrentClip().Empty() ? GetBounds() : GetCurrentClip();
  double box[4];
  if (VisibleBox(area.GetPadded(kGridFringe), mTransform, box)) {
    // A line just outside still shows half its width.
    const double half = std::isfinite(thickness) ? std::fabs(thickness) * 0.5 : 0.0;
    box[0] -= half;
    box[1] -= half;
    box[2] += half;
    box[3] += half;
    const float top = static_cast<float>(std::max<double>(r.T, box[1]));
    const float bottom = static_cast<float>(std::min<double>(r.B, box[3]));
    const float left = static_cast<float>(std::max<double>(r.L, box[0]));
    const float right = static_cast<float>(std::min<double>(r.R, box[2]));
    if (gridSizeH > 1.f && top <= bottom)
      GridLines(r.L, r.R, gridSizeH, box[0], box[2], [&](float x) {
        PathMoveTo(x, top);
        PathLineTo(x, bottom);
      });
    if (gridSizeV > 1.f && left <= right)
      GridLines(r.T, r.B, gridSizeV, box[1], box[3], [&](float y) {
        PathMoveTo(left, y);
        PathLineTo(right, y);
      });
  }
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawData(const IColor& color, const IRECT& r, float* normYPoints, int nPoints, float* normXPoints,
                         const IBlend* blend, float thickness)
{
  if (!normYPoints || nPoints < 1)
    return;
  const float w = r.W(), h = r.H();
  PathClear();
  PathMoveTo(r.L, r.B - h * normYPoints[0]);
  for (int i = 1; i < nPoints; ++i) {
    const float x =
      normXPoints ? r.L + w * normXPoints[i] : r.L + static_cast<float>(i) * (w / static_cast<float>(nPoints - 1));
    PathLineTo(x, r.B - h * normYPoints[i]);
  }
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

// ---- Lines -------------------------------------------------------------------

void IGraphics::PathRadialLine(float cx, float cy, float angle, float rMin, float rMax)
{
  const float a = (angle - 90.f) / 180.f * std::numbers::pi_v<float>;
  const float c = std::cos(a), s = std::sin(a);
  PathMoveTo(cx + c * rMin, cy + s * rMin);
  PathLineTo(cx + c * rMax, cy + s * rMax);
}

void IGraphics::DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax,
                               const IBlend* blend, float thickness)
{
  const float a = (angle - 90.f) / 180.f * std::numbers::pi_v<float>;
  const float c = std::cos(a), s = std::sin(a);
  DrawLine(color, cx + c * rMin, cy + s * rMin, cx + c * rMax, cy + s * rMax, blend, thickness);
}

void IGraphics::DrawVerticalLine(const IColor& color, const IRECT& r, float x, const IBlend* blend, float thickness)
{
  x = std::clamp(x, 0.f, 1.f);
  const float pos = r.L + static_cast<float>(FloatToInt<int>((r.R - r.L) * x));
  DrawLine(color, pos, r.T, pos, r.B, blend, thickness);
}

void IGraphics::DrawVerticalLine(const IColor& color, float xi, float yLo, float yHi, const IBlend* blend,
                                 float thickness)
{
  DrawLine(color, xi, yLo, xi, yHi, blend, thickness);
}

void IGraphics::DrawHorizontalLine(const IColor& color, const IRECT& r, float y, const IBlend* blend, float thickness)
{
  y = std::clamp(y, 0.f, 1.f);
  const float pos = r.B - (r.B - r.T) * y;
  DrawLine(color, r.L, pos, r.R, pos, blend, thickness);
}

void IGraphics::DrawHorizontalLine(const IColor& color, float yi, float xLo, float xHi, const IBlend* blend,
                                   float thickness)
{
  DrawLine(color, xLo, yi, xHi, yi, blend, thickness);
}

// ---- Bitmap frames and bitmap-font text ----------------------------------------

void IGraphics::DrawBitmapFrame(const IBitmap& bitmap, const IRECT& bounds, int frame, const IBlend* blend)
{
  const int n = bitmap.N();
  const int i = std::max(1, std::min(frame, n));
  int srcX = 0, srcY = 0;
  if (n >= 2 && i >= 2) {
    if (bitmap.GetFramesAreHorizontal())
      srcX = (i - 1) * bitmap.W() / n;
    else
      srcY = (i - 1) * bitmap.H() / n;
  }
  DrawBitmap(bitmap, bounds, srcX, srcY, blend);
}

void IGraphics::DrawBitmapText(const IBitmap& bitmap, const IRECT& bounds, const IText& text, const IBlend* blend,
                               const char* str, bool vCenter, bool multiline, int charWidth, int charHeight,
                               int charOffset)
{
  // A character without width has no place on a line.
  if (!str || str[0] == '\0' || charWidth <= 0)
    return;
  const int len = static_cast<int>(std::strlen(str));
  const float y0 = vCenter ? bounds.T + (bounds.H() - static_cast<float>(charHeight)) * 0.5f : bounds.T;
  const float tw = static_cast<float>(static_cast<long long>(len) * charWidth);
  float x0 = 0.f;
  switch (text.mAlign) {
  case kAlignNear: x0 = bounds.L; break;
  case kAlignCenter: x0 = (bounds.W() - tw) * 0.5f + bounds.L; break;
  case kAlignFar: x0 = bounds.R - tw; break;
  default: break;
  }
  int lines = 1;
  int charsPerLine = FloatToInt<int>(bounds.W() / static_cast<float>(charWidth));
  if (multiline) {
    if (tw > bounds.W() && charsPerLine >= 1)
      lines = FloatToInt<int>(tw / bounds.W()) + 1;
    else if (tw <= bounds.W())
      charsPerLine = len;
  }
  if (charsPerLine < 1)
    return;
  int c = 0;
  for (int k = 0; k < lines; ++k)
    for (int j = 0; j < charsPerLine; ++j) {
      if (c >= len)
        return;
      const float x = x0 + static_cast<float>(j) * (static_cast<float>(charWidth) + static_cast<float>(charOffset));
      const float y = y0 + static_cast<float>(k) * static_cast<float>(charHeight);
      const int ch = static_cast<signed char>(str[c++]);
      DrawBitmapFrame(bitmap, IRECT(x, y, x + static_cast<float>(charWidth), y + static_cast<float>(charHeight)),
                      std::max(ch, 32) - 31, blend);
    }
}

// ---- Bitmaps -------------------------------------------------------------------

void IGraphics::DrawFittedBitmap(const IBitmap& bitmap, const IRECT& bounds, const IBlend* blend)
{
  if (bitmap.W() <= 0 || bitmap.H() <= 0)
    return;
  const float w = static_cast<float>(bitmap.W()), h = static_cast<float>(bitmap.H());
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / w, bounds.H() / h);
  DrawBitmap(bitmap, IRECT(0.f, 0.f, w, h), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                                  const IBlend* blend)
{
  const float drawScale = bitmap.GetDrawScale();
  if (drawScale <= 0.f)
    return;
  const float w = static_cast<float>(bitmap.W()) / drawScale;
  const float h = static_cast<float>(bitmap.H()) / drawScale;
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawBitmap(bitmap, IRECT(-w / 2.f, -h / 2.f, w / 2.f, h / 2.f), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::RetainBitmap(const IBitmap& bitmap, const char* cacheName)
{
  APIBitmap* api = bitmap.GetAPIBitmap();
  if (!api)
    return;
  StaticStorage<APIBitmap>& cache = BitmapCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  cache.Add(api, cacheName ? cacheName : "", api->GetScale());
}

void IGraphics::ReleaseBitmap(const IBitmap& bitmap)
{
  StaticStorage<APIBitmap>& cache = BitmapCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  cache.Remove(bitmap.GetAPIBitmap());
}

} // namespace plugin::igraphics
