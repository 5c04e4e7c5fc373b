// Vector slider.

#include "IVSliderControl.h"

#include <algorithm>

#include "IGraphics.h"
#include "IVKnobControl.h"

namespace plugin::igraphics {

IVSliderControl::IVSliderControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 bool valueIsEditable, EDirection direction, bool handleInsideTrack, double gearing,
                                 float handleSize, float trackSize)
: ISliderControlBase(bounds, paramIdx, direction, gearing, handleSize), IVectorBase(style),
  mTrackCoversHandle(handleInsideTrack)
{
  AttachIControl(this, label);
  SetUp(style, valueIsEditable, trackSize);
}

IVSliderControl::IVSliderControl(const IRECT& bounds, IActionFunction action, const char* label, const IVStyle& style,
                                 bool valueIsEditable, EDirection direction, bool handleInsideTrack, double gearing,
                                 float handleSize, float trackSize)
: ISliderControlBase(bounds, std::move(action), direction, gearing, handleSize), IVectorBase(style),
  mTrackCoversHandle(handleInsideTrack)
{
  AttachIControl(this, label);
  SetUp(style, valueIsEditable, trackSize);
}

void IVSliderControl::SetUp(const IVStyle& style, bool valueIsEditable, float trackSize)
{
  mText = style.valueStyle;
  mShape = kVShapeEllipse;
  mTrackWidth = trackSize;
  mHideCursorOnDrag = style.hideCursorOnDrag;
  mDisablePrompt = !valueIsEditable;
}

void IVSliderControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  const float hs = mHandleSize;
  const IRECT r(mWidgetRect.L + hs, mWidgetRect.T + hs, mWidgetRect.R - hs, mWidgetRect.B - hs);
  if (mDirection == kHorizontal)
    mTrackBounds = IRECT(r.L, r.MH() - mTrackWidth, r.R, r.MH() + mTrackWidth);
  else
    mTrackBounds = IRECT(r.MW() - mTrackWidth, r.T, r.MW() + mTrackWidth, r.B);
  SetDirty(false, -1);
}

IRECT IVSliderControl::FilledArea() const
{
  const IRECT& t = mTrackBounds;
  const float v = static_cast<float>(GetValue());
  if (mDirection == kVertical)
    return IRECT(t.L, t.B - t.H() * v, t.R, t.B);
  return IRECT(t.L, t.T, t.L + t.W() * v, t.B);
}

IRECT IVSliderControl::HandleBounds() const
{
  const float hs = mHandleSize;
  if (!(hs > 0.f))
    return IRECT();
  const IRECT filled = FilledArea();
  const float o = mStyle.shadowsOn && mShape != kVShapeEllipse ? mStyle.shadowDistance * 0.5f : 0.f;
  const float x = mDirection == kVertical ? filled.MW() + o : filled.R;
  const float y = mDirection == kVertical ? filled.T : filled.MH() + o;
  return IRECT(x - hs, y - hs, x + hs, y + hs);
}

void IVSliderControl::DrawWidget(IGraphics& g)
{
  if (mTrackWidth > 0.f)
    DrawTrack(g, FilledArea());
  if (mHandleSize > 0.f)
    DrawHandle(g, HandleBounds());
}

void IVSliderControl::DrawTrack(IGraphics& g, const IRECT& filledArea)
{
  const float e = mTrackCoversHandle ? mHandleSize : 0.f;
  IRECT track = mTrackBounds, filled = filledArea;
  if (mDirection == kHorizontal) {
    track.L -= e;
    track.R += e;
    filled.L -= e;
    filled.R += e;
  } else {
    track.T -= e;
    track.B += e;
    filled.T -= e;
    filled.B += e;
  }
  const float radius = std::min(track.W(), track.H()) * 0.5f * mStyle.cornerRoundness;
  g.FillRoundRect(GetColor(kShadow), track, radius, &mBlend);
  g.FillRoundRect(GetColor(kExtra1), filled, radius, &mBlend);
  if (mStyle.frameOn)
    g.DrawRoundRect(GetColor(kFrame), track, radius, &mBlend, mStyle.frameWidth);
}

void IVSliderControl::DrawHandle(IGraphics& g, const IRECT& bounds)
{
  DrawPressableShape(g, mShape, bounds, mMouseDown, mMouseIsOver, mDisabled);
}

void IVSliderControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, mMouseOverValue);
}

void IVSliderControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (ValueTextTakesClick(*this, *this, x, y))
    PromptUserInput(mValueRect, 0);
  else
    ISliderControlBase::OnMouseDown(x, y, mod);
}

void IVSliderControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  ISliderControlBase::OnMouseUp(x, y, mod);
  SetDirty(true, -1);
}

void IVSliderControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (mStyle.valueVisible && !mDisablePrompt)
    mMouseOverValue = mValueRect.Contains(x, y);
  IControl::OnMouseOver(x, y, mod);
  SetDirty(false, -1);
}

void IVSliderControl::OnMouseOut()
{
  mMouseOverValue = false;
  IControl::OnMouseOut();
}

bool IVSliderControl::IsHit(float x, float y) const
{
  return (!mDisablePrompt && mValueRect.Contains(x, y)) || mWidgetRect.Contains(x, y);
}

void IVSliderControl::OnInit()
{
  SetValueStrFromParam(true);
  SetLabelFromParamIfEmpty();
}

void IVSliderControl::SetDirty(bool triggerAction, int valIdx)
{
  IControl::SetDirty(triggerAction, valIdx);
  SetValueStrFromParam(true);
}

} // namespace plugin::igraphics
