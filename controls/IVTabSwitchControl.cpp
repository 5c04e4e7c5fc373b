// Vector tab switch and radio buttons.

#include "IVTabSwitchControl.h"

#include <algorithm>

#include "IControlActions.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IVButtonControls.h"

namespace plugin::igraphics {

IVTabSwitchControl::IVTabSwitchControl(const IRECT& bounds, int paramIdx, const std::vector<const char*>& options,
                                       const char* label, const IVStyle& style, EVShape shape, EDirection direction)
: ISwitchControlBase(bounds, paramIdx, SplashClickActionFunc, static_cast<int>(options.size())), IVectorBase(style),
  mDirection(direction)
{
  AttachIControl(this, label);
  mShape = shape;
  SetUpTexts(options);
}

IVTabSwitchControl::IVTabSwitchControl(const IRECT& bounds, IActionFunction action,
                                       const std::vector<const char*>& options, const char* label, const IVStyle& style,
                                       EVShape shape, EDirection direction)
: ISwitchControlBase(bounds, -1, std::move(action), static_cast<int>(options.size())), IVectorBase(style),
  mDirection(direction)
{
  AttachIControl(this, label);
  mShape = shape;
  SetUpTexts(options);
}

void IVTabSwitchControl::SetUpTexts(const std::vector<const char*>& options)
{
  for (const char* o : options)
    mTabTexts.emplace_back(o ? o : "");
  mStyle.valueStyle.mAlign = kAlignCenter;
  mStyle.valueStyle.mVAlign = kVAlignMiddle;
  mText = mStyle.valueStyle;
}

const char* IVTabSwitchControl::TabText(int i) const
{
  return i >= 0 && i < static_cast<int>(mTabTexts.size()) ? mTabTexts[static_cast<std::size_t>(i)].c_str() : nullptr;
}

int IVTabSwitchControl::GetSelectedIdx() const { return StateForValue(GetValue(), mNumStates); }

const char* IVTabSwitchControl::GetSelectedTabText() const
{
  const char* t = TabText(GetSelectedIdx());
  return t ? t : "";
}

void IVTabSwitchControl::OnInit()
{
  ISwitchControlBase::OnInit();
  const IParam* p = GetParam(0);
  if (!p || !mTabTexts.empty())
    return;
  for (int i = 0; i < mNumStates; ++i) {
    UT_String str;
    p->GetDisplay(static_cast<double>(i), false, str, true);
    mTabTexts.emplace_back(str.Get());
  }
  SetLabelFromParamIfEmpty();
}

void IVTabSwitchControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  mTabRects.clear();
  const IRECT& w = mWidgetRect;
  const int n = mNumStates;
  for (int i = 0; i < n; ++i) {
    if (mDirection == kVertical)
      mTabRects.emplace_back(w.L, w.T + i * w.H() / n, w.R, w.T + (i + 1) * w.H() / n);
    else
      mTabRects.emplace_back(w.L + i * w.W() / n, w.T, w.L + (i + 1) * w.W() / n, w.B);
  }
  SetDirty(false, -1);
}

void IVTabSwitchControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVTabSwitchControl::DrawWidget(IGraphics& g)
{
  const int n = std::min(mNumStates, static_cast<int>(mTabRects.size()));
  const int selected = GetSelectedIdx();
  for (int i = 0; i < n; ++i) {
    const ETabPart segment = i == n - 1 ? kTabEnd : i == 0 ? kTabStart : kTabMid;
    const IRECT& r = mTabRects[static_cast<std::size_t>(i)];
    DrawTab(g, r, i == selected, i == mHoverTab, segment, mDisabled || GetStateDisabled(i));
    if (const char* t = TabText(i))
      g.DrawText(mStyle.valueStyle, t, r, &mBlend);
  }
}

void IVTabSwitchControl::DrawTab(IGraphics& g, const IRECT& r, bool pressed, bool mouseOver, ETabPart segment,
                                 bool disabled)
{
  const bool horizontal = mDirection == kHorizontal;
  switch (mShape) {
  case kVShapeEndsRounded:
    if (horizontal)
      DrawPressableRect(g, r, pressed, mouseOver, disabled, segment == kTabStart, segment == kTabEnd, false, false);
    else
      DrawPressableRect(g, r, pressed, mouseOver, disabled, false, segment == kTabStart, false, segment == kTabEnd);
    break;
  case kVShapeAllRounded:
    if (horizontal)
      DrawPressableRect(g, r, pressed, mouseOver, disabled, true, true, false, false);
    else
      DrawPressableRect(g, r, pressed, mouseOver, disabled, false, true, false, true);
    break;
  default: DrawPressableShape(g, mShape, r, pressed, mouseOver, disabled); break;
  }
}

int IVTabSwitchControl::GetTabAtPoint(float x, float y) const
{
  for (std::size_t i = 0; i < mTabRects.size(); ++i)
    if (mTabRects[i].Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

void IVTabSwitchControl::OnMouseDown(float x, float y, const IMouseMod&)
{
  const int i = GetTabAtPoint(x, y);
  // One state has no step: it stays at 0.
  if (i >= 0)
    SetValue(ValueForState(i, mNumStates));
  SetDirty(true, -1);
}

void IVTabSwitchControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  mHoverTab = GetTabAtPoint(x, y);
  IControl::OnMouseOver(x, y, mod);
  SetDirty(false, -1);
}

void IVTabSwitchControl::OnMouseOut()
{
  mHoverTab = -1;
  IControl::OnMouseOut();
  SetDirty(false, -1);
}

// ---- Radio buttons ---------------------------------------------------------

IVRadioButtonControl::IVRadioButtonControl(const IRECT& bounds, int paramIdx, const std::vector<const char*>& options,
                                           const char* label, const IVStyle& style, EVShape shape, EDirection direction,
                                           float buttonSize)
: IVTabSwitchControl(bounds, paramIdx, options, label, style, shape, direction), mRadioSize(buttonSize),
  mRadioColumnWidth(buttonSize * 3.f)
{
  AlignTextLeft();
}

IVRadioButtonControl::IVRadioButtonControl(const IRECT& bounds, IActionFunction action,
                                           const std::vector<const char*>& options, const char* label,
                                           const IVStyle& style, EVShape shape, EDirection direction, float buttonSize)
: IVTabSwitchControl(bounds, std::move(action), options, label, style, shape, direction), mRadioSize(buttonSize),
  mRadioColumnWidth(buttonSize * 3.f)
{
  AlignTextLeft();
}

void IVRadioButtonControl::AlignTextLeft()
{
  mStyle.valueStyle.mAlign = kAlignNear;
  mStyle.valueStyle.mVAlign = kVAlignMiddle;
  mText = mStyle.valueStyle;
}

void IVRadioButtonControl::DrawWidget(IGraphics& g)
{
  const int n = std::min(mNumStates, static_cast<int>(mTabRects.size()));
  const int selected = GetSelectedIdx();
  const float s = std::max(1.f, mRadioSize);
  for (int i = 0; i < n; ++i) {
    const IRECT& r = mTabRects[static_cast<std::size_t>(i)];
    const float cx = r.L + mRadioColumnWidth * 0.5f, cy = r.MH();
    const IRECT button(cx - s * 0.5f, cy - s * 0.5f, cx + s * 0.5f, cy + s * 0.5f);
    DrawTab(g, button, i == selected, i == mHoverTab, kTabMid, mDisabled || GetStateDisabled(i));
    if (const char* t = TabText(i)) {
      IText text = mStyle.valueStyle;
      text.mFGColor = GetColor(i == selected ? kPressed : kExtra1);
      g.DrawText(text, t, IRECT(r.L + mRadioColumnWidth, r.T, r.R, r.B), &mBlend);
    }
  }
}

int IVRadioButtonControl::GetTabAtPoint(float x, float y) const
{
  if (!mButtonColumnHitOnly)
    return IVTabSwitchControl::GetTabAtPoint(x, y);
  for (std::size_t i = 0; i < mTabRects.size(); ++i) {
    const IRECT& r = mTabRects[i];
    if (IRECT(r.L, r.T, r.L + mRadioColumnWidth, r.B).Contains(x, y))
      return static_cast<int>(i);
  }
  return -1;
}

} // namespace plugin::igraphics
