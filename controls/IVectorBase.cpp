// Vector-control style and the shared drawing of the vector controls.

#include "IVectorBase.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"
#include "IMatrix.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace {

IRECT ScaledAboutCentre(const IRECT& r, float s)
{
  const float hw = r.W() * 0.5f * s, hh = r.H() * 0.5f * s;
  return IRECT(r.MW() - hw, r.MH() - hh, r.MW() + hw, r.MH() + hh);
}

IRECT Inset(const IRECT& r, float d) { return IRECT(r.L + d, r.T + d, r.R - d, r.B - d); }

IRECT Moved(const IRECT& r, float dx, float dy) { return IRECT(r.L + dx, r.T + dy, r.R + dx, r.B + dy); }

} // namespace

IVColorSpec::IVColorSpec(std::initializer_list<IColor> colors)
{
  int i = 0;
  for (const IColor& c : colors) {
    if (i < kNumVColors)
      mColors[i] = c;
    else
      mMoreColors.push_back(c);
    ++i;
  }
}

const IColor& IVColorSpec::GetColor(int idx) const
{
  static constexpr IColor kNone = COLOR_TRANSPARENT;
  if (idx >= 0 && idx < kNumVColors)
    return mColors[idx];
  if (idx >= kNumVColors && idx < NColors())
    return mMoreColors[static_cast<std::size_t>(idx - kNumVColors)];
  return kNone;
}

void IVColorSpec::SetColor(int idx, const IColor& c)
{
  if (idx >= 0 && idx < kNumVColors)
    mColors[idx] = c;
  else if (idx >= kNumVColors && idx < NColors())
    mMoreColors[static_cast<std::size_t>(idx - kNumVColors)] = c;
}

IVectorBase::IVectorBase(const IVStyle& style, bool labelInWidget, bool valueInWidget)
: mStyle(DEFAULT_STYLE), mLabelInside(labelInWidget), mValueInside(valueInWidget)
{
  SetStyle(style);
}

void IVectorBase::AttachIControl(IControl* control, const char* label)
{
  mOwner = control;
  SetLabelStr(label);
}

IColor IVectorBase::GetAdjustedColor(EVColorRole role, bool disabled) const
{
  IColor c = GetColor(role);
  if (!disabled)
    return c;
  constexpr int kShift = static_cast<int>(-0.25 * 255); // -63
  c.R = std::clamp(c.R + kShift, 0, 255);
  c.G = std::clamp(c.G + kShift, 0, 255);
  c.B = std::clamp(c.B + kShift, 0, 255);
  return c;
}

void IVectorBase::DrawBackground(IGraphics& g, const IRECT& r) { g.FillRect(GetColor(kBackground), r, ControlBlend()); }

void IVectorBase::DrawLabel(IGraphics& g)
{
  if (mLabelRect.H() != 0.f && mStyle.labelVisible && mLabelString.GetLength() > 0)
    g.DrawText(mStyle.labelStyle, mLabelString.Get(), mLabelRect, ControlBlend());
}

void IVectorBase::DrawValue(IGraphics& g, bool mouseOver)
{
  if (mouseOver)
    g.FillRect(COLOR_TRANSLUCENT, mValueRect);
  if (mStyle.valueVisible && mValueString.GetLength() > 0)
    g.DrawText(mStyle.valueStyle, mValueString.Get(), mValueRect, ControlBlend());
}

void IVectorBase::DrawPressableShape(IGraphics& g, EVShape shape, const IRECT& bounds, bool pressed, bool mouseOver,
                                     bool disabled)
{
  switch (shape) {
  case kVShapeEllipse: DrawPressableEllipse(g, bounds, pressed, mouseOver, disabled); break;
  case kVShapeTriangle: DrawPressableTriangle(g, bounds, pressed, mouseOver, disabled, mStyle.triangleAngle); break;
  case kVShapeEndsRounded: DrawPressableRect(g, bounds, pressed, mouseOver, disabled, true, true, false, false); break;
  case kVShapeRectangle:
  case kVShapeAllRounded: DrawPressableRect(g, bounds, pressed, mouseOver, disabled); break;
  default: break;
  }
}

void IVectorBase::SetValueStrFromParam(bool withLabel)
{
  const IParam* p = mOwner ? mOwner->GetParam(0) : nullptr;
  if (!p)
    return;
  UT_String str;
  p->GetDisplay(mOwner->GetValue(0), true, str, true);
  if (withLabel && p->GetLabel()[0]) {
    str.Append(" ");
    str.Append(p->GetLabel());
  }
  mValueString.Set(str.Get());
}

void IVectorBase::SetLabelFromParamIfEmpty()
{
  const IParam* p = mOwner ? mOwner->GetParam(0) : nullptr;
  if (p && mLabelString.GetLength() == 0)
    mLabelString.Set(p->GetName());
}

IRECT IVectorBase::MakeRects(const IRECT& parent, bool hasHandle)
{
  IRECT clipped = parent;
  if (!mLabelInside) {
    if (mStyle.labelVisible && mLabelString.GetLength() > 0 && mOwner && mOwner->GetUI()) {
      IRECT m;
      float w = mOwner->GetUI()->MeasureText(mStyle.labelStyle, mLabelString.Get(), m);
      w = std::max(w, 1.f);
      const float h = m.H() > 0.f ? m.H() : w;
      mLabelRect = IRECT(parent.MW() - w * 0.5f, parent.T, parent.MW() + w * 0.5f, parent.T + h);
    } else
      mLabelRect = IRECT();
    if (mLabelRect.H() != 0.f)
      clipped.T = parent.T + mLabelRect.H();
  }

  const float ws = mStyle.widgetScale;
  if (!mStyle.valueVisible || mValueInside)
    mWidgetRect = ScaledAboutCentre(clipped, ws);
  else {
    IRECT m;
    if (mValueString.GetLength() > 0 && mOwner && mOwner->GetUI())
      mOwner->GetUI()->MeasureText(mStyle.valueStyle, mValueString.Get(), m);
    const float hw = m.W() * mValueWidthFrac, vh = m.H(), cx = clipped.MW();
    switch (mStyle.valueStyle.mVAlign) {
    case kVAlignTop:
      mValueRect = IRECT(cx - hw, clipped.T, cx + hw, clipped.T + vh);
      mWidgetRect = ScaledAboutCentre(IRECT(clipped.L, clipped.T + vh, clipped.R, clipped.B), ws);
      break;
    case kVAlignBottom:
      mValueRect = IRECT(cx - hw, clipped.B - vh, cx + hw, clipped.B);
      mWidgetRect = ScaledAboutCentre(IRECT(clipped.L, clipped.T, clipped.R, clipped.B - vh), ws);
      break;
    case kVAlignMiddle:
      mValueRect = IRECT(cx - hw, clipped.MH() - vh * 0.5f, cx + hw, clipped.MH() + vh * 0.5f);
      mWidgetRect = ScaledAboutCentre(clipped, ws);
      break;
    default: break;
    }
  }

  if (hasHandle) {
    mWidgetRect = ScaledAboutCentre(HandleRect(clipped), ws);
  }
  if (mLabelInside)
    mLabelRect = mWidgetRect;
  if (mValueInside)
    mValueRect = mWidgetRect;
  return clipped;
}

IRECT IVectorBase::HandleRect(const IRECT& bounds) const
{
  IRECT h = bounds;
  if (mStyle.frameOn)
    h = Inset(h, mStyle.frameWidth * 0.5f);
  // The shadow falls right and down; the top stays.
  if (mStyle.shadowsOn) {
    h.L += mStyle.shadowDistance;
    h.R -= mStyle.shadowDistance;
    h.B -= mStyle.shadowDistance;
  }
  return h;
}

void IVectorBase::DrawPressableRect(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                                    bool roundTopLeft, bool roundTopRight, bool roundBottomRight, bool roundBottomLeft)
{
  const float sd = mStyle.shadowDistance;
  const IRECT handle = HandleRect(bounds);
  const IRECT shadowRect = Moved(handle, sd, sd);
  const IRECT inner = Inset(handle, sd);
  const float radius = std::min(handle.W(), handle.H()) * 0.5f * mStyle.cornerRoundness;
  const float tl = roundTopLeft ? radius : 0.f, tr = roundTopRight ? radius : 0.f;
  const float br = roundBottomRight ? radius : 0.f, bl = roundBottomLeft ? radius : 0.f;
  const IBlend* blend = ControlBlend();
  auto fill = [&](const IColor& c, const IRECT& r, const IBlend* b) {
    g.FillRoundRectCorners(c, r, tl, tr, br, bl, b);
  };

  if (pressed) {
    if (!mStyle.embossed)
      fill(GetAdjustedColor(kPressed, disabled), handle, nullptr);
    else {
      fill(GetColor(kPressed), handle, blend);
      fill(GetColor(kShadow), handle, blend);
      fill(GetAdjustedColor(kForeground, disabled),
           IRECT(shadowRect.L, shadowRect.T, shadowRect.R - sd, shadowRect.B - sd), nullptr);
      fill(GetColor(kPressed), inner, blend);
    }
    if (mOwner && mOwner->GetAnimationFunction())
      DrawClickSplash(g, handle);
  } else {
    if (mStyle.shadowsOn)
      fill(GetColor(kShadow), shadowRect, blend);
    if (!mStyle.embossed) {
      fill(GetAdjustedColor(kForeground, disabled), handle, nullptr);
      if (mouseOver)
        fill(GetColor(kHover), handle, blend);
    } else {
      fill(GetAdjustedColor(kPressed, disabled), handle, nullptr);
      fill(GetAdjustedColor(kShadow, disabled), shadowRect, nullptr);
      fill(GetAdjustedColor(kForeground, disabled), inner, nullptr);
      if (mouseOver)
        fill(GetColor(kHover), inner, blend);
    }
  }
  if (mStyle.frameOn)
    g.DrawRoundRectCorners(GetColor(kFrame), handle, tl, tr, br, bl, blend, mStyle.frameWidth);
}

void IVectorBase::DrawPressableEllipse(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled)
{
  const float sd = mStyle.shadowDistance;
  const IRECT shadowRect = Moved(bounds, sd, sd);
  const IRECT inner = Inset(bounds, sd);
  const IBlend* blend = ControlBlend();

  if (!pressed && !disabled && mStyle.shadowsOn)
    g.FillEllipse(GetColor(kShadow), shadowRect);
  if (pressed) {
    if (!mStyle.embossed)
      g.FillEllipse(GetAdjustedColor(kPressed, disabled), bounds);
    else {
      g.FillEllipse(GetColor(kPressed), bounds, blend);
      g.FillEllipse(GetColor(kShadow), bounds, blend);
      g.FillEllipse(GetAdjustedColor(kForeground, disabled),
                    IRECT(shadowRect.L, shadowRect.T, shadowRect.R - sd, shadowRect.B - sd));
      g.FillEllipse(GetAdjustedColor(kPressed, disabled), inner);
    }
    if (mOwner && mOwner->GetAnimationFunction())
      DrawClickSplash(g, bounds);
  } else if (!mStyle.embossed) {
    g.FillEllipse(GetAdjustedColor(kForeground, disabled), bounds);
    if (mouseOver)
      g.FillEllipse(GetColor(kHover), bounds, blend);
  } else {
    g.FillEllipse(GetAdjustedColor(kPressed, disabled), bounds);
    g.FillEllipse(GetAdjustedColor(kShadow, disabled), shadowRect);
    g.FillEllipse(GetAdjustedColor(kForeground, disabled), inner);
    if (mouseOver)
      g.FillEllipse(GetColor(kHover), inner, blend);
  }
  if (mStyle.frameOn)
    g.DrawEllipse(GetColor(kFrame), bounds, blend, mStyle.frameWidth);
}

void IVectorBase::DrawPressableTriangle(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                                        float angle)
{
  const float sd = mStyle.shadowDistance;
  const IRECT handle = HandleRect(bounds);
  const float cx = handle.MW(), cy = handle.MH();
  const double a = angle * M_PI / 180.0;
  const float cs = static_cast<float>(std::cos(a)), sn = static_cast<float>(std::sin(a));
  float x[3] = {handle.L, handle.MW(), handle.R};
  float y[3] = {handle.B, handle.T, handle.B};
  for (int i = 0; i < 3; ++i) {
    const float dx = x[i] - cx, dy = y[i] - cy;
    x[i] = cx + cs * dx - sn * dy;
    y[i] = cy + sn * dx + cs * dy;
  }
  const IBlend* blend = ControlBlend();
  if (!pressed && mStyle.shadowsOn)
    g.FillTriangle(GetColor(kShadow), x[0] + sd, y[0] + sd, x[1] + sd, y[1] + sd, x[2] + sd, y[2] + sd, blend);
  g.FillTriangle(GetAdjustedColor(pressed ? kPressed : kForeground, disabled), x[0], y[0], x[1], y[1], x[2], y[2]);
  if (mouseOver)
    g.FillTriangle(GetColor(kHover), x[0], y[0], x[1], y[1], x[2], y[2], blend);
  if (pressed && mOwner && mOwner->GetAnimationFunction())
    DrawClickSplash(g);
  if (mStyle.frameOn)
    g.DrawTriangle(GetColor(kFrame), x[0], y[0], x[1], y[1], x[2], y[2], blend, mStyle.frameWidth);
}

void IVectorBase::DrawClickSplash(IGraphics& g, const IRECT& clip)
{
  const IRECT current = g.GetCurrentClip();
  const IRECT r = clip.Empty() ? current : clip.Intersect(current);
  // Clip rectangles are given untransformed.
  g.PathTransformSetMatrix(IMatrix());
  g.SetClipRegion(r);
  g.PathTransformSetMatrix(g.GetTransform());
  g.FillCircle(GetColor(kHover), mSplashCentreX, mSplashCentreY, mSplashRadius);
  g.PathTransformSetMatrix(IMatrix());
  g.SetClipRegion(g.GetCurrentClip());
  g.PathTransformSetMatrix(g.GetTransform());
}

} // namespace plugin::igraphics
