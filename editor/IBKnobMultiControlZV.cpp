// The maker's multi-frame bitmap knob.

#include "IBKnobMultiControlZV.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "IGraphics.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace {

using stepping::NormalisedOf;
using stepping::RealOf;
using stepping::SteppedParam;

// A whole step from the minimum, written as the decimal the step counts in
// when the step is a unit fraction (0.1, 0.01, 0.5) and the minimum lies on
// that decimal grid, so -12 stays -12.
double OnStep(const IParam& p, double u)
{
  const double step = p.GetStep(), lo = p.GetMin();
  double s = stepping::Snap(u, lo, p.GetMax(), step);
  const double perUnit = std::round(1.0 / step);
  const bool decimal = perUnit >= 1.0 && std::fabs(perUnit * step - 1.0) < 1e-9 &&
                       std::fabs(lo * perUnit - std::round(lo * perUnit)) < 1e-9;
  if (decimal)
    s = std::clamp(std::round(s * perUnit) / perUnit, lo, p.GetMax());
  return s;
}

} // namespace

IBKnobMultiControlZV::IBKnobMultiControlZV(int x, int y, int paramIdx, const IBitmap& bitmap, const IText& text,
                                           const IColor& valueBoxColor, int textEntryLength, EDirection direction,
                                           bool disablePrompt, bool showValueOnHover, bool showLabel,
                                           int valuePlacement, bool showValueAlways, bool fillValueBox, double gearing,
                                           float farAlignOffset)
: IBKnobControl(IRECT(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + bitmap.FW()),
                      static_cast<float>(y + bitmap.FH())),
                bitmap, paramIdx, direction, gearing),
  mShowLabel(showLabel), mShowValueOnHover(showValueOnHover), mShowValueAlways(showValueAlways),
  mFillValueBox(fillValueBox), mValueBoxColor(valueBoxColor), mValuePlacement(valuePlacement),
  mFarAlignOffset(farAlignOffset)
{
  mText = text;
  mDisablePrompt = disablePrompt;
  if (textEntryLength > 0)
    mWidthTemplate.Set(std::string(static_cast<std::size_t>(textEntryLength), '0').c_str());
  mTextEntryLength = textEntryLength;
}

void IBKnobMultiControlZV::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  mMouseDragValue = GetValue(0);
  if (mHideCursorOnDrag && GetUI())
    GetUI()->HideMouseCursor(true, true);
  if (mod.C) {
    SetValueToDefault(GetValIdxForPos(x, y));
    // A drag that follows starts from the default, not from the old value.
    mMouseDragValue = GetValue(0);
  }
}

void IBKnobMultiControlZV::OnMouseUp(float, float, const IMouseMod&)
{
  mMouseDown = false;
  if (mHideCursorOnDrag && GetUI())
    GetUI()->HideMouseCursor(false, true);
}

void IBKnobMultiControlZV::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod)
{
  if (mod.C)
    return;
  const double g = mGearing * (mod.S ? 10.0 : 1.0);
  const IRECT b = GetKnobDragBounds();
  const int dir = static_cast<int>(mDirection);
  const bool vertical = dir == kVertical || dir == kReversedVertical;
  const double span = vertical ? b.T - b.B : b.R - b.L;
  // A drag area without height (or width) gives no value, not infinity.
  if (span == 0.0 || g == 0.0 || !std::isfinite(span) || !std::isfinite(g))
    return;
  double d = (vertical ? dY : dX) / span / g;
  if (dir == kReversedVertical)
    d = -d;
  const double next = mMouseDragValue + d;
  if (!std::isfinite(next))
    return;
  mMouseDragValue = std::clamp(next, 0.0, 1.0);
  double v = mMouseDragValue;
  if (const IParam* p = SteppedParam(*this))
    v = NormalisedOf(*p, OnStep(*p, RealOf(*p, v)));
  SetValue(v, 0);
  SetDirty(true, -1);
}

void IBKnobMultiControlZV::OnMouseWheel(float, float, const IMouseMod& mod, float d)
{
  const double factor = mod.C ? 0.1 : (mod.S ? 0.001 : 0.01);
  double v = GetValue(0) + d * factor;
  if (const IParam* p = SteppedParam(*this); p && d != 0.f) {
    const double u = RealOf(*p, std::clamp(GetValue(0), 0.0, 1.0));
    const double next = stepping::Next(u, p->GetMin(), p->GetMax(), p->GetStep(), d > 0.f);
    v = NormalisedOf(*p, OnStep(*p, next));
  }
  if (!std::isfinite(v))
    return;
  SetValue(std::clamp(v, 0.0, 1.0), 0);
  SetDirty(true, -1);
}

void IBKnobMultiControlZV::OnMouseDblClick(float x, float y, const IMouseMod&)
{
  IGraphics* g = GetUI();
  if (mDisablePrompt || !g)
    return;
  mSavedMouseOverIdx = g->GetMouseOverIdx();
  IRECT r = GetValueTextRect();
  if (mText.mAlign == kAlignFar)
    r.B += mFarAlignOffset;
  g->PromptUserInput(*this, r, GetValIdxForPos(x, y));
}

void IBKnobMultiControlZV::SetValueFromUserInput(double value, int valIdx)
{
  IGraphics* g = GetUI();
  if (!g) {
    IControl::SetValueFromUserInput(value, valIdx);
    return;
  }
  const int previous = g->GetMouseOverIdx();
  g->SetMouseOverIdx(mSavedMouseOverIdx);
  IControl::SetValueFromUserInput(value, valIdx);
  g->SetMouseOverIdx(previous);
}

void IBKnobMultiControlZV::OnMouseOver(float, float, const IMouseMod&)
{
  mMouseOver = true;
  SetDirty(false, -1);
}

void IBKnobMultiControlZV::OnMouseOut()
{
  mMouseOver = false;
  SetDirty(false, -1);
}

IRECT IBKnobMultiControlZV::GetValueTextRect() const
{
  IRECT m(mRECT.MW(), mRECT.MH(), mRECT.MW(), mRECT.MH());
  if (IGraphics* g = GetUI(); g && mWidthTemplate.GetLength() > 0) {
    m = mRECT;
    g->MeasureText(mText, mWidthTemplate.Get(), m);
  }
  const float cx = mRECT.MW(), w = m.W(), h = m.H();
  IRECT r(cx - w * 0.5f, m.T, cx + w * 0.5f, m.B);
  switch (mValuePlacement) {
  case kPlaceTop:
    r.T = mRECT.T;
    r.B = mRECT.T + h;
    break;
  case kPlaceMiddle:
    r.T = mRECT.MH() - h * 0.5f;
    r.B = mRECT.MH() + h * 0.5f;
    break;
  case kPlaceBottom:
    r.B = mRECT.B;
    r.T = mRECT.B - h;
    break;
  default: break;
  }
  return r;
}

void IBKnobMultiControlZV::Draw(IGraphics& g)
{
  DrawBitmap(g);
  const IParam* p = GetParam(0);
  if (!p || !((mMouseOver && mShowValueOnHover) || mShowValueAlways))
    return;
  UT_String text;
  p->GetDisplay(p->Value(), false, text, true);
  if (mShowLabel && p->GetLabel() && *p->GetLabel()) {
    text.Append(" ");
    text.Append(p->GetLabel());
  }
  IText style = mText;
  if (mDisabled)
    style.mFGColor.A /= 2;
  IRECT r = GetValueTextRect();
  if (mFillValueBox)
    g.FillRect(mValueBoxColor, r);
  if (style.mAlign == kAlignFar)
    r.B += mFarAlignOffset;
  g.DrawText(style, text.Get(), r);
}

} // namespace plugin::igraphics
