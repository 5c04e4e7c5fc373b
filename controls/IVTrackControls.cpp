// Vector track base and range slider.

#include "IVTrackControls.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

double Clamp01(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

// Edges included, unlike IRECT::Contains.
bool Touches(const IRECT& r, float x, float y) { return x >= r.L && x <= r.R && y >= r.T && y <= r.B; }

} // namespace

IVTrackControlBase::IVTrackControlBase(const IRECT& bounds, const char* label, const IVStyle& style,
                                       const std::vector<int>& params, int nSteps, EDirection direction,
                                       const std::vector<const char*>& trackNames)
: IControl(bounds, params), IVectorBase(style), mDirection(direction), mTrackRects(params.size()),
  mStepCount(std::max(nSteps, 0))
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  for (const char* n : trackNames)
    mTrackNameList.emplace_back(n ? n : "");
}

void IVTrackControlBase::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  MakeTrackRects(mWidgetRect);
  MakeStepRects(mWidgetRect, mStepCount);
  SetDirty(false, -1);
}

void IVTrackControlBase::MakeTrackRects(const IRECT& b)
{
  const int n = NVals();
  mTrackRects.assign(static_cast<std::size_t>(n), IRECT());
  if (n < 1)
    return;
  const float p = mTrackGap;
  for (int i = 0; i < n; ++i) {
    IRECT& r = mTrackRects[static_cast<std::size_t>(i)];
    if (mDirection == kHorizontal) {
      const float h = b.H() / n;
      r = IRECT(b.L, b.T + i * h + p, b.R, b.T + (i + 1) * h - p);
    } else {
      const float w = b.W() / n;
      r = IRECT(b.L + i * w, b.T, b.L + (i + 1) * w - p, b.B - p);
    }
  }
}

void IVTrackControlBase::MakeStepRects(const IRECT& b, int nSteps)
{
  mStepCells.clear();
  const int total = nSteps <= 0 ? 0 : mZeroStepCell ? nSteps + 1 : nSteps;
  for (int j = 0; j < total; ++j) {
    const int c = total - 1 - j;
    if (mDirection == kHorizontal)
      mStepCells.emplace_back(b.L + c * b.W() / total, b.T, b.L + (c + 1) * b.W() / total, b.B);
    else
      mStepCells.emplace_back(b.L, b.T + c * b.H() / total, b.R, b.T + (c + 1) * b.H() / total);
  }
}

void IVTrackControlBase::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVTrackControlBase::DrawBackground(IGraphics& g, const IRECT& r)
{
  g.FillRect(GetColor(kBackground), r, &mBlend);
  if (mBaseLine > 0.0) {
    const float b = static_cast<float>(Clamp01(mBaseLine));
    if (mDirection == kHorizontal) {
      const float x = r.L + static_cast<float>(static_cast<int>(r.W() * b));
      g.DrawLine(GetColor(kShadow), x, r.T, x, r.B);
    } else {
      const float y = r.B - r.H() * b;
      g.DrawLine(GetColor(kShadow), r.L, y, r.R, y);
    }
  }
}

void IVTrackControlBase::DrawAllTracks(IGraphics& g)
{
  const int n = std::min(NVals(), static_cast<int>(mTrackRects.size()));
  for (int i = 0; i < n; ++i)
    DrawTrack(g, mTrackRects[static_cast<std::size_t>(i)], i);
}

void IVTrackControlBase::DrawTrack(IGraphics& g, const IRECT& r, int i)
{
  const double v = Clamp01(GetValue(i)), b = mBaseLine;
  const float fv = static_cast<float>(v);
  DrawTrackBackground(g, r, i);
  if (HasTrackNames())
    DrawTrackName(g, r, i);

  IRECT filled;
  if (b <= 0.0)
    filled = mDirection == kVertical ? IRECT(r.L, r.B - r.H() * fv, r.R, r.B) : IRECT(r.L, r.T, r.L + r.W() * fv, r.B);
  else {
    const float lo = static_cast<float>(std::min(b, v)), hi = static_cast<float>(std::max(b, v));
    filled = mDirection == kVertical ? IRECT(r.L, r.B - r.H() * hi, r.R, r.B - r.H() * lo)
                                     : IRECT(r.L + r.W() * lo, r.T, r.L + r.W() * hi, r.B);
  }

  if (!mStepCells.empty()) {
    if (b <= 0.0 && v == 0.0 && mZeroStepCell && mDirection == kVertical)
      filled.T = mStepCells.front().T;
    for (const IRECT& cell : mStepCells)
      if (Touches(cell, filled.R, filled.T)) {
        if (mDirection == kHorizontal) {
          filled.L = cell.L;
          filled.R = cell.R;
        } else {
          filled.T = cell.T;
          filled.B = cell.B;
        }
        break;
      }
    if (mZeroStepCell || v > 0.0)
      DrawTrackHandle(g, filled, i, v > b);
  } else {
    DrawTrackHandle(g, filled, i, v > b);
    const float pk = mPeakThickness;
    IRECT strip;
    if (mDirection == kVertical)
      strip = v >= b ? IRECT(filled.L, filled.T, filled.R, filled.T + pk)
                     : IRECT(filled.L, filled.B - pk, filled.R, filled.B);
    else
      strip = v >= b ? IRECT(filled.R - pk, filled.T, filled.R, filled.B)
                     : IRECT(filled.L, filled.T, filled.L + pk, filled.B);
    DrawPeak(g, strip, i, v > b);
  }

  if (mStyle.frameOn && mFrameTracks)
    g.DrawRect(GetColor(kFrame), r, &mBlend, mStyle.frameWidth);
}

void IVTrackControlBase::DrawTrackBackground(IGraphics& g, const IRECT& r, int i)
{
  g.FillRect(i == mHighlightTrack ? GetColor(kHover) : COLOR_TRANSPARENT, r);
}

void IVTrackControlBase::DrawTrackName(IGraphics& g, const IRECT& r, int i)
{
  const bool has = i >= 0 && i < static_cast<int>(mTrackNameList.size());
  g.DrawText(mText, has ? mTrackNameList[static_cast<std::size_t>(i)].c_str() : "", r);
}

void IVTrackControlBase::DrawTrackHandle(IGraphics& g, const IRECT& r, int i, bool)
{
  g.FillRect(GetColor(i == mHighlightTrack ? kExtra1 : kForeground), r, &mBlend);
  if (i == mHoverTrack)
    g.FillRect(GetColor(kHover), r, &mBlend);
}

void IVTrackControlBase::DrawPeak(IGraphics& g, const IRECT& r, int, bool) { g.FillRect(GetColor(kFrame), r, &mBlend); }

int IVTrackControlBase::GetValIdxForPos(float x, float y) const
{
  for (std::size_t i = 0; i < mTrackRects.size(); ++i)
    if (mTrackRects[i].Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

void IVTrackControlBase::OnMouseOver(float x, float y, const IMouseMod&)
{
  mHoverTrack = GetValIdxForPos(x, y);
  SetDirty(false, -1);
}

void IVTrackControlBase::OnMouseOut()
{
  mHoverTrack = -1;
  SetDirty(false, -1);
}

// ---- Range slider ----------------------------------------------------------

IVRangeSliderControl::IVRangeSliderControl(const IRECT& bounds, const std::vector<int>& params, const char* label,
                                           const IVStyle& style, EDirection direction, float handleSize,
                                           float trackSize)
: IVTrackControlBase(bounds, label, style, params, 0, direction), mHandleHalfSize(handleSize)
{
  mTrackWidth = trackSize;
}

void IVRangeSliderControl::MakeTrackRects(const IRECT& b)
{
  const float hs = mHandleHalfSize, tw = mTrackWidth;
  const IRECT p(b.L + hs, b.T + hs, b.R - hs, b.B - hs);
  const IRECT track =
    mDirection == kHorizontal ? IRECT(p.L, p.MH() - tw, p.R, p.MH() + tw) : IRECT(p.MW() - tw, p.T, p.MW() + tw, p.B);
  mTrackRects.assign(static_cast<std::size_t>(std::max(NVals(), 0)), track);
}

IRECT IVRangeSliderControl::GetHandleBounds(int i) const
{
  if (i < 0 || i >= static_cast<int>(mTrackRects.size()))
    return IRECT();
  const IRECT& r = mTrackRects[static_cast<std::size_t>(i)];
  const float v = static_cast<float>(Clamp01(GetValue(i)));
  const float o = mStyle.shadowsOn && mShape != kVShapeEllipse ? mStyle.shadowDistance * 0.5f : 0.f;
  const float hs = mHandleHalfSize, tw = mTrackWidth;
  const bool odd = i % 2 == 1;
  if (mDirection == kHorizontal) {
    const float x = r.L + r.W() * v, cy = r.MH() + o;
    return odd ? IRECT(x - hs, cy - 2 * hs, x + hs, cy) : IRECT(x - hs, cy + tw, x + hs, cy + tw + 2 * hs);
  }
  const float y = r.B - r.H() * v, cx = r.MW() + o;
  return odd ? IRECT(cx + tw, y - hs, cx + tw + 2 * hs, y + hs) : IRECT(cx - 2 * hs, y - hs, cx, y + hs);
}

int IVRangeSliderControl::HandleAt(float x, float y) const
{
  for (int i = 0; i < NVals(); ++i)
    if (GetHandleBounds(i).Contains(x, y))
      return i;
  return -1;
}

void IVRangeSliderControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVRangeSliderControl::DrawWidget(IGraphics& g)
{
  if (mTrackRects.empty())
    return;
  const IRECT& r = mTrackRects.front();
  DrawTrackBackground(g, r, 0);
  for (int i = 0; i + 1 < NVals(); ++i) {
    const float a = static_cast<float>(Clamp01(GetValue(i))), b = static_cast<float>(Clamp01(GetValue(i + 1)));
    const float lo = std::min(a, b), hi = std::max(a, b);
    const IRECT span = mDirection == kHorizontal ? IRECT(r.L + r.W() * lo, r.T, r.L + r.W() * hi, r.B)
                                                 : IRECT(r.L, r.B - r.H() * hi, r.R, r.B - r.H() * lo);
    g.FillRect(GetColor(kExtra1), span, &mBlend);
  }
  if (mStyle.frameOn && mFrameTracks)
    g.DrawRect(GetColor(kFrame), r, &mBlend, mStyle.frameWidth);
  for (int i = 0; i < NVals(); ++i)
    DrawTrack(g, r, i);
}

void IVRangeSliderControl::DrawTrack(IGraphics& g, const IRECT&, int i)
{
  const bool odd = i % 2 == 1;
  const float angle = mDirection == kHorizontal ? (odd ? 180.f : 0.f) : (odd ? 270.f : 90.f);
  DrawPressableTriangle(g, GetHandleBounds(i), i == mHoverHandle && mHandleHeld, i == mHoverHandle, mDisabled, angle);
}

void IVRangeSliderControl::OnMouseOver(float x, float y, const IMouseMod&)
{
  mHoverHandle = HandleAt(x, y);
  mHoverTrack = GetValIdxForPos(x, y);
  SetDirty(false, -1);
}

void IVRangeSliderControl::OnMouseOut()
{
  mHoverHandle = -1;
  mHoverTrack = -1;
  SetDirty(false, -1);
}

void IVRangeSliderControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  // Without pointer-over events (touch) the press itself picks the handle.
  if (const int i = HandleAt(x, y); i >= 0)
    mHoverHandle = i;
  mHandleHeld = true;
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void IVRangeSliderControl::OnMouseUp(float, float, const IMouseMod&) { mHandleHeld = false; }

void IVRangeSliderControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  const int i = mHoverHandle;
  if (i < 0 || i >= NVals())
    return;
  // The neighbours bound the handle; values set out of order elsewhere
  // never let it leave [0, 1] or pass them.
  double lo = 0.0, hi = 1.0;
  for (int j = 0; j < i; ++j)
    lo = std::max(lo, Clamp01(GetValue(j)));
  for (int j = i + 1; j < NVals(); ++j)
    hi = std::min(hi, Clamp01(GetValue(j)));
  hi = std::max(hi, lo);
  // Along the track the handles are drawn on, so a press does not move one.
  if (!mTrackRects.empty())
    SnapToMouse(x, y, mDirection, mTrackRects.front(), i, lo, hi);
}

} // namespace plugin::igraphics
