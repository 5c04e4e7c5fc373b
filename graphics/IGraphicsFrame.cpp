// Dirty check, frame drawing, clip and transform state, and the stroke and
// fill bodies of the drawing interface built on the path slots.

#include <chrono>

#include "IControl.h"
#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

constexpr float kDirtyPadding = 0.75f; // keeps anti-aliased edges inside the redraw

// The process-wide start of frame-time samples, taken on first use.
double SecondsSinceStart()
{
  static const auto start = std::chrono::steady_clock::now();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start);
  return static_cast<double>(ns.count()) / 1e9;
}

const IFillOptions kFill{};

IStrokeOptions DashedStroke(float dashLen)
{
  IStrokeOptions o;
  o.mDash.mArray[0] = dashLen;
  o.mDash.mCount = 1;
  return o;
}

} // namespace

void IGraphics::BeginFrame()
{
  if (!mPerfDisplay || !mFrameTimeUpdate)
    return;
  const double now = mClock ? mClock() / 1000.0 : SecondsSinceStart();
  mFrameTimeUpdate(static_cast<float>(now - mPrevTimestamp));
  mPrevTimestamp = now;
}

bool IGraphics::IsDirty(IRECTList& rects)
{
  if (mDisplayTickFunc)
    mDisplayTickFunc();
  ForAllControlsFunc([](IControl* c) { c->Animate(); });
  bool dirty = false;
  ForAllControlsFunc([&](IControl* c) {
    if (c->IsDirty())
    {
      rects.Add(c->GetRECT().GetPadded(kDirtyPadding));
      dirty = true;
    }
  });
  return dirty;
}

void IGraphics::DrawDirtyRects(IRECTList& rects)
{
  if (rects.Size() == 0)
    return;
  const float scale = GetTotalScale();
  BeginFrame();
  if (!mUnionDrawing)
  {
    rects.PixelAlign(scale);
    rects.Optimize();
    for (int i = 0; i < rects.Size(); ++i)
      Draw(rects.Get(i), scale);
  }
  else
    Draw(rects.Bounds().GetPixelAligned(scale), scale);
  EndFrame();
}

void IGraphics::Draw(const IRECT& bounds, float scale)
{
  for (int i = 0; i < NControls(); ++i)
    DrawControl(mControls.Get(i), bounds, scale);
  DrawControl(mPerfDisplay.get(), bounds, scale);
  DrawControl(mCornerResizer.get(), bounds, scale);
  DrawControl(mTextEntryControl.get(), bounds, scale);
  DrawControl(mPopupControl.get(), bounds, scale);
  for (int i = 0; i < mBubbleControls.GetSize(); ++i)
    DrawControl(mBubbleControls.Get(i), bounds, scale);
}

void IGraphics::DrawControl(IControl* control, const IRECT& bounds, float scale)
{
  if (!control)
    return;
  if (control->IsHidden() && control != GetControl(0))
    return;
  const IRECT clip = control->GetRECT().GetPadded(kDirtyPadding).GetPixelAligned(scale);
  if (bounds.Empty() || clip.R <= bounds.L || bounds.R < clip.L || bounds.B < clip.T || bounds.T >= clip.B)
    return;
  const IRECT area(std::max(bounds.L, clip.L), std::max(bounds.T, clip.T),
                   std::min(bounds.R, clip.R), std::min(bounds.B, clip.B));
  if (area.W() <= 0.f || area.H() <= 0.f)
    return;
  PathTransformReset(true);
  PathClear();
  SetClipRegion(area);
  mClipRECT = area;
  control->Draw(*this);
  control->DrawParamHighlight(*this);
  AfterDrawControlHook(area);
}

void IGraphics::SetUnionDrawing(bool on)
{
  mUnionDrawing = on;
  SetAllControlsDirty();
}

// ---- Transform -------------------------------------------------------------

void IGraphics::PathTransformReset(bool clearStates)
{
  if (clearStates)
    mTransformStates = {};
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformRestore()
{
  if (mTransformStates.empty())
    return;
  mTransform = mTransformStates.top();
  mTransformStates.pop();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformTranslate(float x, float y)
{
  mTransform.Translate(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformScale(float x, float y)
{
  mTransform.Scale(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformRotate(float degrees)
{
  mTransform.Rotate(degrees);
  PathTransformSetMatrix(mTransform);
}

// ---- Path helpers and drawing bodies ------------------------------------

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

} // namespace plugin::igraphics
