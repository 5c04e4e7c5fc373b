// Vector label, button, switch, toggle and slide switch.

#include "IVButtonControls.h"

#include <algorithm>
#include <cmath>

#include "IControlActions.h"
#include "IGraphics.h"

namespace plugin::igraphics {

int StateForValue(double v, int n)
{
  if (n < 2 || !std::isfinite(v))
    return 0;
  const double s = (n - 1) * std::clamp(v, 0.0, 1.0) + 0.5;
  return std::clamp(static_cast<int>(s), 0, n - 1);
}

double ValueForState(int i, int n) { return n < 2 ? 0.0 : static_cast<double>(std::clamp(i, 0, n - 1)) / (n - 1); }

// ---- Label -----------------------------------------------------------------

IVLabelControl::IVLabelControl(const IRECT& bounds, const char* label, const IVStyle& style)
: ITextControl(bounds, label, DEFAULT_TEXT, DEFAULT_COLOR_SPEC.GetColor(kBackground)), IVectorBase(style)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
}

void IVLabelControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  if (mStr.GetLength() > 0) {
    if (mStyle.shadowsOn && !mDisabled) {
      IText shadow = mStyle.valueStyle;
      shadow.mFGColor = GetColor(kShadow);
      const float d = mStyle.shadowDistance;
      g.DrawText(shadow, mStr.Get(), IRECT(mRECT.L + d, mRECT.T + d, mRECT.R + d, mRECT.B + d), &mBlend);
    }
    g.DrawText(mStyle.valueStyle, mStr.Get(), mRECT, &mBlend);
  }
  if (mStyle.frameOn)
    g.DrawRect(GetColor(kFrame), mRECT, &mBlend, mStyle.frameWidth);
}

// ---- Button ----------------------------------------------------------------

IVButtonControl::IVButtonControl(const IRECT& bounds, IActionFunction action, const char* label, const IVStyle& style,
                                 bool labelInButton, bool valueInButton, EVShape shape)
: IButtonControlBase(bounds, action ? std::move(action) : IActionFunction(SplashClickActionFunc)),
  IVectorBase(style, labelInButton, valueInButton)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  mShape = shape;
}

void IVButtonControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawWidget(g);
  DrawLabel(g);
  DrawValue(g, false);
}

void IVButtonControl::DrawWidget(IGraphics& g)
{
  DrawPressableShape(g, mShape, mWidgetRect, GetValue() != 0.0, mMouseIsOver, mDisabled);
}

void IVButtonControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, true);
  mMouseIsOver = false;
  IControl::SetDirty(false, -1);
}

// ---- Switch ----------------------------------------------------------------

IVSwitchControl::IVSwitchControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 bool valueInButton)
: ISwitchControlBase(bounds, paramIdx, SplashClickActionFunc, 2), IVectorBase(style, false, valueInButton)
{
  AttachIControl(this, label);
  CentreValueText(valueInButton);
}

IVSwitchControl::IVSwitchControl(const IRECT& bounds, IActionFunction action, const char* label, const IVStyle& style,
                                 int numStates, bool valueInButton)
: ISwitchControlBase(bounds, -1, std::move(action), numStates), IVectorBase(style, false, valueInButton)
{
  AttachIControl(this, label);
  CentreValueText(valueInButton);
}

void IVSwitchControl::CentreValueText(bool valueInButton)
{
  if (valueInButton)
    mStyle.valueStyle.mVAlign = kVAlignMiddle;
  mText = mStyle.valueStyle;
}

void IVSwitchControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, false);
}

void IVSwitchControl::DrawWidget(IGraphics& g)
{
  DrawPressableShape(g, mShape, mWidgetRect, mMouseDown, mMouseIsOver, mDisabled);
}

void IVSwitchControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, true);
  mMouseIsOver = false;
  IControl::SetDirty(false, -1);
}

void IVSwitchControl::OnInit()
{
  ISwitchControlBase::OnInit();
  SetValueStrFromParam(true);
  SetLabelFromParamIfEmpty();
}

void IVSwitchControl::OnMouseOut()
{
  IControl::OnMouseOut();
  SetDirty(false, -1);
}

void IVSwitchControl::SetDirty(bool triggerAction, int valIdx)
{
  IControl::SetDirty(triggerAction, valIdx);
  SetValueStrFromParam(false);
}

// ---- Toggle ----------------------------------------------------------------

IVToggleControl::IVToggleControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 const char* offText, const char* onText)
: IVSwitchControl(bounds, paramIdx, label, style, true), mOffText(offText ? offText : ""), mOnText(onText ? onText : "")
{
}

IVToggleControl::IVToggleControl(const IRECT& bounds, IActionFunction action, const char* label, const IVStyle& style,
                                 const char* offText, const char* onText, bool initialState)
: IVSwitchControl(bounds, std::move(action), label, style, 2, true), mOffText(offText ? offText : ""),
  mOnText(onText ? onText : "")
{
  SetValue(initialState ? 1.0 : 0.0);
}

void IVToggleControl::DrawWidget(IGraphics& g)
{
  DrawPressableShape(g, mShape, mWidgetRect, GetValue() > 0.5, mMouseIsOver, mDisabled);
}

void IVToggleControl::DrawValue(IGraphics& g, bool mouseOver)
{
  if (mouseOver)
    g.FillRect(GetColor(kHover), mValueRect, &mBlend);
  g.DrawText(mStyle.valueStyle, GetValue() > 0.5 ? mOnText.Get() : mOffText.Get(), mValueRect, &mBlend);
}

// ---- Slide switch ----------------------------------------------------------

IVSlideSwitchControl::IVSlideSwitchControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                           bool valueInButton, EDirection direction)
: IVSwitchControl(bounds, paramIdx, label, style, valueInButton), mDirection(direction)
{
  mActionFunc = [](IControl* c) { c->SetAnimation(SlideAnimation, 100); };
}

IVSlideSwitchControl::IVSlideSwitchControl(const IRECT& bounds, IActionFunction action, const char* label,
                                           const IVStyle& style, bool valueInButton, EDirection direction,
                                           int numStates, int initialState)
: IVSwitchControl(
    bounds, [](IControl* c) { c->SetAnimation(SlideAnimation, 100); }, label, style, numStates, valueInButton),
  mDirection(direction)
{
  mAnimationEndActionFunc = std::move(action);
  // The state itself, not the state number taken as a value.
  SetValue(ValueForState(initialState, numStates));
}

void IVSlideSwitchControl::SlideAnimation(IControl* caller)
{
  auto* s = dynamic_cast<IVSlideSwitchControl*>(caller);
  if (!s)
    return;
  const double p = s->GetAnimationProgress();
  if (p > 1.0) {
    s->OnEndAnimation();
    return;
  }
  const float t = static_cast<float>(p);
  const IRECT& a = s->mSlideFrom;
  const IRECT& b = s->mSlideTo;
  s->mHandleRect = IRECT(a.L + (b.L - a.L) * t, a.T + (b.T - a.T) * t, a.R + (b.R - a.R) * t, a.B + (b.B - a.B) * t);
  if (s->mValueInside)
    s->mValueRect = s->mHandleRect;
}

void IVSlideSwitchControl::UpdateRects()
{
  const int n = std::max(mNumStates, 1);
  const int s = StateForValue(GetValue(), n);
  const IRECT& w = mWidgetRect;
  auto cell = [&](int k) {
    if (mDirection == kHorizontal) {
      const float cw = w.W() / n;
      return IRECT(w.L + k * cw, w.T, w.L + k * cw + cw, w.B);
    }
    const float ch = w.H() / n;
    return IRECT(w.L, w.T + k * ch, w.R, w.T + k * ch + ch);
  };
  mSlideFrom = mHandleRect = cell(s);
  mSlideTo = cell((s + 1) % n);
  if (mValueInside)
    mValueRect = mHandleRect;
}

void IVSlideSwitchControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawWidget(g);
  DrawLabel(g);
  if (!GetAnimationFunction())
    DrawValue(g, false);
}

void IVSlideSwitchControl::DrawWidget(IGraphics& g)
{
  DrawTrack(g, mWidgetRect);
  DrawPressableShape(g, mShape, mHandleRect, mMouseDown, mMouseIsOver, mDisabled);
}

void IVSlideSwitchControl::DrawTrack(IGraphics& g, const IRECT& bounds)
{
  const float radius = std::min(mHandleRect.W(), mHandleRect.H()) * 0.5f * mStyle.cornerRoundness;
  g.FillRoundRect(GetColor(kShadow), bounds, radius);
}

void IVSlideSwitchControl::OnResize()
{
  IVSwitchControl::OnResize();
  UpdateRects();
}

void IVSlideSwitchControl::SetDirty(bool triggerAction, int valIdx)
{
  IVSwitchControl::SetDirty(triggerAction, valIdx);
  if (!GetAnimationFunction())
    UpdateRects();
}

void IVSlideSwitchControl::OnEndAnimation()
{
  UpdateRects();
  IControl::OnEndAnimation();
}

} // namespace plugin::igraphics
