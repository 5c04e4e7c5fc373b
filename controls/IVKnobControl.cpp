// Vector knob.

#include "IVKnobControl.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

bool ValueTextTakesClick(const IControl& c, const IVectorBase& v, float x, float y)
{
  return v.GetStyle().valueVisible && !c.GetPromptDisabled() && v.GetValueBounds().Contains(x, y);
}

IVKnobControl::IVKnobControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                             bool valueIsEditable, bool valueInWidget, float a1, float a2, float aAnchor,
                             EDirection direction, double gearing, float trackSize)
: IKnobControlBase(bounds, paramIdx, direction, gearing), IVectorBase(style, false, valueInWidget), mStartAngle(a1),
  mEndAngle(a2), mArcAnchor(aAnchor)
{
  AttachIControl(this, label);
  SetUp(style, valueIsEditable, trackSize);
}

IVKnobControl::IVKnobControl(const IRECT& bounds, IActionFunction action, const char* label, const IVStyle& style,
                             bool valueIsEditable, bool valueInWidget, float a1, float a2, float aAnchor,
                             EDirection direction, double gearing, float trackSize)
: IKnobControlBase(bounds, -1, direction, gearing), IVectorBase(style, false, valueInWidget), mStartAngle(a1),
  mEndAngle(a2), mArcAnchor(aAnchor)
{
  mActionFunc = std::move(action);
  AttachIControl(this, label);
  SetUp(style, valueIsEditable, trackSize);
}

void IVKnobControl::SetUp(const IVStyle& style, bool valueIsEditable, float trackSize)
{
  mText = style.valueStyle;
  mShape = kVShapeEllipse;
  mTrackWidth = trackSize;
  mHideCursorOnDrag = style.hideCursorOnDrag;
  mDisablePrompt = !valueIsEditable;
}

IRECT IVKnobControl::GetKnobDragBounds()
{
  const IRECT& r = mWidgetRect;
  const float w = r.W(), h = r.H();
  float dw, dh;
  if (w > h) {
    dw = std::max(1.f, h * 0.5f);
    dh = h;
  } else {
    dw = std::max(1.f, w);
    dh = w * 0.5f > 0.f ? w * 0.5f : dw;
  }
  return IRECT(r.MW() - dw * 0.5f, r.MH() - dh * 0.5f, r.MW() + dw * 0.5f, r.MH() + dh * 0.5f);
}

void IVKnobControl::DrawWidget(IGraphics& g)
{
  const IRECT& w = mWidgetRect;
  const float cx = w.MW(), cy = w.MH();
  const float radius = std::min(w.W(), w.H()) * 0.5f - mTrackWidth * 0.5f;
  const float d = std::max(1.f, 2.f * (radius - mHandleGap));
  const IRECT handle(cx - d * 0.5f, cy - d * 0.5f, cx + d * 0.5f, cy + d * 0.5f);
  const float angle = GetAngle();
  DrawValueArc(g, angle, cx, cy, radius);
  DrawPressableShape(g, kVShapeEllipse, handle, mMouseDown, mMouseIsOver, mDisabled);
  DrawPointerLine(g, angle, cx, cy, d * 0.5f);
}

void IVKnobControl::DrawValueArc(IGraphics& g, float angle, float cx, float cy, float radius)
{
  if (mTrackWidth > 0.f)
    g.DrawArc(GetColor(kExtra1), cx, cy, radius, std::min(angle, mArcAnchor), std::max(angle, mArcAnchor), &mBlend,
              mTrackWidth);
}

void IVKnobControl::DrawPointerLine(IGraphics& g, float angle, float cx, float cy, float radius)
{
  const double t = (angle - 90.0) * M_PI / 180.0;
  const float c = static_cast<float>(std::cos(t)), s = static_cast<float>(std::sin(t));
  g.DrawLine(GetColor(kFrame), cx + c * radius * mPointerStartFrac, cy + s * radius * mPointerStartFrac,
             cx + c * radius * mPointerEndFrac, cy + s * radius * mPointerEndFrac, &mBlend, mPointerWidth);
}

void IVKnobControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, mMouseOverValue);
}

void IVKnobControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (ValueTextTakesClick(*this, *this, x, y))
    PromptUserInput(mValueRect, 0);
  else
    IKnobControlBase::OnMouseDown(x, y, mod);
  SetDirty(false, -1);
}

void IVKnobControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  IKnobControlBase::OnMouseUp(x, y, mod);
  SetDirty(true, -1);
}

void IVKnobControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (mStyle.valueVisible && !mDisablePrompt)
    mMouseOverValue = mValueRect.Contains(x, y);
  IControl::OnMouseOver(x, y, mod);
  SetDirty(false, -1);
}

void IVKnobControl::OnMouseOut()
{
  mMouseOverValue = false;
  IControl::OnMouseOut();
}

bool IVKnobControl::IsHit(float x, float y) const
{
  return (!mDisablePrompt && mValueRect.Contains(x, y)) || mWidgetRect.Contains(x, y);
}

void IVKnobControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  SetDirty(false, -1);
}

void IVKnobControl::OnInit()
{
  SetValueStrFromParam(true);
  SetLabelFromParamIfEmpty();
}

void IVKnobControl::SetDirty(bool triggerAction, int valIdx)
{
  IControl::SetDirty(triggerAction, valIdx);
  SetValueStrFromParam(true);
}

} // namespace plugin::igraphics
