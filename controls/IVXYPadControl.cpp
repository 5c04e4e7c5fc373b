// Vector XY pad.

#include "IVXYPadControl.h"

#include <algorithm>

#include "IGraphics.h"

namespace plugin::igraphics {

IVXYPadControl::IVXYPadControl(const IRECT& bounds, const std::vector<int>& params, const char* label,
                               const IVStyle& style, float handleRadius)
: IControl(bounds, params), IVectorBase(style), mHandleRadius(handleRadius)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  mShape = kVShapeEllipse;
}

void IVXYPadControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  SetDirty(false, -1);
}

void IVXYPadControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  if (mStyle.frameOn)
    g.DrawRect(GetColor(kFrame), mWidgetRect, &mBlend, mStyle.frameWidth);
  DrawWidget(g);
}

IRECT IVXYPadControl::TravelBounds() const
{
  const float r = mTrackClipsHandle ? 0.f : mHandleRadius;
  return IRECT(mWidgetRect.L + r, mWidgetRect.T + r, mWidgetRect.R - r, mWidgetRect.B - r);
}

IRECT IVXYPadControl::HandleBounds() const
{
  const IRECT t = TravelBounds();
  const float x = t.L + t.W() * static_cast<float>(GetValue(0));
  const float y = t.B - t.H() * static_cast<float>(NVals() > 1 ? GetValue(1) : 0.0);
  const float r = mHandleRadius;
  return IRECT(x - r, y - r, x + r, y + r);
}

void IVXYPadControl::DrawWidget(IGraphics& g)
{
  DrawTrack(g);
  DrawHandle(g, TravelBounds(), HandleBounds());
}

void IVXYPadControl::DrawTrack(IGraphics& g)
{
  g.DrawVerticalLine(GetColor(kShadow), mWidgetRect, 0.5f, nullptr, 1.f);
  g.DrawHorizontalLine(GetColor(kShadow), mWidgetRect, 0.5f, nullptr, 1.f);
}

void IVXYPadControl::DrawHandle(IGraphics& g, const IRECT& trackBounds, const IRECT& handleBounds)
{
  const float h = mStyle.frameWidth * 0.5f;
  if (mTrackClipsHandle)
    g.PathClipRegion(IRECT(trackBounds.L + h, trackBounds.T + h, trackBounds.R - h, trackBounds.B - h));
  DrawPressableShape(g, mShape, handleBounds, mMouseDown, mMouseIsOver, mDisabled);
  // Later drawing is not cut to the pad.
  if (mTrackClipsHandle)
    g.PathClipRegion();
}

void IVXYPadControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  if (mStyle.hideCursorOnDrag && mGraphics)
    mGraphics->HideMouseCursor(true, false);
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void IVXYPadControl::OnMouseUp(float, float, const IMouseMod&)
{
  if (mStyle.hideCursorOnDrag && mGraphics)
    mGraphics->HideMouseCursor(false, true);
  mMouseDown = false;
  SetDirty(true, -1);
}

void IVXYPadControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  const IRECT& r = mRECT;
  x = std::clamp(x, r.L, std::max(r.L, r.R));
  y = std::clamp(y, r.T, std::max(r.T, r.B));
  // An empty pad has no position to read: the value stays at its low end.
  SetValue(r.W() > 0.f ? (x - r.L) / r.W() : 0.0, 0);
  if (NVals() > 1)
    SetValue(r.H() > 0.f ? 1.0 - (y - r.T) / r.H() : 0.0, 1);
  SetDirty(true, -1);
}

} // namespace plugin::igraphics
