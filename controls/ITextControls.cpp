// Text, link, text toggle, caption and place-holder controls.

#include "ITextControls.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "IGraphics.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace {

constexpr int kCursorDefault = 0;
constexpr int kCursorHand = 11;

IRECT MovedBy(const IRECT& r, float x, float y) { return IRECT(r.L + x, r.T + y, r.R + x, r.B + y); }

IBlend Weight(float w) { return IBlend{kBlendDefault, w}; }

} // namespace

// ---- Text ------------------------------------------------------------------

ITextControl::ITextControl(const IRECT& bounds, const char* str, const IText& text, const IColor& bg,
                           bool setBoundsBasedOnStr)
: IControl(bounds), mStr(str ? str : ""), mBGColor(bg), mSetBoundsBasedOnStr(setBoundsBasedOnStr)
{
  mText = text;
  mIgnoreMouse = true;
}

void ITextControl::OnInit()
{
  if (mSetBoundsBasedOnStr)
    SetBoundsBasedOnStr();
}

void ITextControl::SetBoundsBasedOnStr()
{
  IGraphics* g = GetUI();
  if (!g)
    return;
  IRECT m;
  g->MeasureText(mText, mStr.Get(), m);
  const float cx = mRECT.MW(), cy = mRECT.MH(), hw = m.W() * 0.5f, hh = m.H() * 0.5f;
  mRECT = mTargetRECT = IRECT(cx - hw, cy - hh, cx + hw, cy + hh);
  mMouseIsOver = false;
  OnResize();
}

void ITextControl::SetStr(const char* str)
{
  if (!str)
    str = "";
  if (std::strcmp(str, mStr.Get()) == 0)
    return;
  mStr.Set(str);
  if (mSetBoundsBasedOnStr)
    SetBoundsBasedOnStr();
}

void ITextControl::SetStrFmt(int maxLength, const char* fmt, ...)
{
  if (maxLength < 0)
    maxLength = 0;
  if (!fmt) {
    mStr.Set("");
    return;
  }
  std::vector<char> buf(static_cast<std::size_t>(maxLength) + 1, '\0');
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf.data(), buf.size(), fmt, args);
  va_end(args);
  mStr.Set(buf.data());
}

void ITextControl::Draw(IGraphics& g)
{
  g.FillRect(mBGColor, mRECT, &mBlend);
  if (mStr.GetLength() > 0 && g.GetControlInTextEntry() != this)
    g.DrawText(mText, mStr.Get(), mRECT, &mBlend);
}

// ---- Link ------------------------------------------------------------------

IURLControl::IURLControl(const IRECT& bounds, const char* str, const char* url, const IText& text, const IColor& bg,
                         const IColor& mouseOverColor, const IColor& visitedColor)
: ITextControl(bounds, str, text, bg), mURL(url ? url : ""), mNormalColor(text.mFGColor),
  mMouseOverColor(mouseOverColor), mVisitedColor(visitedColor)
{
  mIgnoreMouse = false;
}

void IURLControl::Draw(IGraphics& g)
{
  g.FillRect(mBGColor, mRECT, &mBlend);
  mText.mFGColor = mMouseIsOver ? mMouseOverColor : (mVisited ? mVisitedColor : mNormalColor);
  if (mStr.GetLength() == 0)
    return;
  IRECT t;
  g.MeasureText(mText, mStr.Get(), t);
  float y = mRECT.B;
  if (mText.mVAlign == kVAlignTop)
    y = mRECT.T + (t.B - t.T);
  else if (mText.mVAlign == kVAlignMiddle)
    y = mRECT.MH() + t.B;
  float x1 = mRECT.R - (t.R - t.L), x2 = mRECT.R;
  if (mText.mAlign == kAlignNear) {
    x1 = mRECT.L;
    x2 = mRECT.L + (t.R - t.L);
  } else if (mText.mAlign == kAlignCenter) {
    x1 = mRECT.MW() + t.L;
    x2 = mRECT.MW() + t.R;
  }
  g.DrawLine(mText.mFGColor, x1, y, x2, y, &mBlend, 1.f);
  g.DrawText(mText, mStr.Get(), mRECT, &mBlend);
}

void IURLControl::OnMouseDown(float, float, const IMouseMod&)
{
  if (IGraphics* g = GetUI()) {
    g->OpenURL(mURL.Get());
    g->ReleaseMouseCapture();
  }
  mVisited = true;
  SetDirty(false, -1);
}

void IURLControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (IGraphics* g = GetUI())
    g->SetMouseCursor(kCursorHand);
  IControl::OnMouseOver(x, y, mod);
}

void IURLControl::OnMouseOut()
{
  if (IGraphics* g = GetUI())
    g->SetMouseCursor(kCursorDefault);
  IControl::OnMouseOut();
}

// ---- Text toggle -----------------------------------------------------------

ITextToggleControl::ITextToggleControl(const IRECT& bounds, int paramIdx, const char* offText, const char* onText,
                                       const IText& text, const IColor& bg)
: ITextToggleControl(bounds, IActionFunction(), offText, onText, text, bg)
{
  SetParamIdx(paramIdx, 0);
}

ITextToggleControl::ITextToggleControl(const IRECT& bounds, IActionFunction action, const char* offText,
                                       const char* onText, const IText& text, const IColor& bg)
: ITextControl(bounds, offText, text, bg), mOffText(offText ? offText : ""), mOnText(onText ? onText : "")
{
  SetActionFunction(std::move(action));
  mIgnoreMouse = false;
  mDblAsSingleClick = true;
}

void ITextToggleControl::OnMouseDown(float, float, const IMouseMod&)
{
  SetValue(GetValue(0) < 0.5 ? 1.0 : 0.0, 0);
  SetDirty(true, 0);
}

void ITextToggleControl::SetDirty(bool triggerAction, int)
{
  SetStr(GetValue(0) > 0.5 ? mOnText.Get() : mOffText.Get());
  IControl::SetDirty(triggerAction, -1);
}

// ---- Caption ---------------------------------------------------------------

ICaptionControl::ICaptionControl(const IRECT& bounds, int paramIdx, const IText& text, const IColor& bg,
                                 bool showParamLabel)
: ITextControl(bounds, "", text, bg), mShowParamLabel(showParamLabel)
{
  SetParamIdx(paramIdx, 0);
  mDisablePrompt = false;
  mDblAsSingleClick = true;
  mIgnoreMouse = false;
}

void ICaptionControl::OnMouseDown(float, float, const IMouseMod& mod)
{
  if ((mod.L || mod.R) && GetParam(0) && !mDisablePrompt)
    if (IGraphics* g = GetUI())
      g->PromptUserInput(*this, mRECT, 0);
}

void ICaptionControl::OnResize()
{
  const IParam* p = GetParam(0);
  if (p && p->Type() == IParam::kTypeEnum) {
    const float cx = mRECT.R - 0.1f * mRECT.W(), cy = mRECT.MH();
    mTriangleRECT = IRECT(cx - 4.f, cy - 2.5f, cx + 4.f, cy + 2.5f);
  }
}

void ICaptionControl::Draw(IGraphics& g)
{
  if (const IParam* p = GetParam(0)) {
    UT_String s;
    p->GetDisplay(p->Value(), false, s, true);
    if (mShowParamLabel) {
      s.Append(" ");
      s.Append(p->GetLabel());
    }
    mStr.Set(s.Get());
  }
  ITextControl::Draw(g);
  if (mTriangleRECT.W() > 0.f) {
    const IRECT& t = mTriangleRECT;
    if (mMouseIsOver)
      g.FillTriangle(mTriangleMouseOverColor, t.L, t.T, t.R, t.T, t.MW(), t.B);
    else {
      const IBlend half = Weight(0.5f);
      g.FillTriangle(mTriangleColor, t.L, t.T, t.R, t.T, t.MW(), t.B, &half);
    }
  }
}

// ---- Place holder ----------------------------------------------------------

PlaceHolder::PlaceHolder(const IRECT& bounds, const char* str)
: ITextControl(bounds, str, IText(20.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"), COLOR_WHITE),
  mPositionText(DEFAULT_TEXT), mWidthText(DEFAULT_TEXT), mHeightText(DEFAULT_TEXT)
{
  mPositionText.mAlign = kAlignNear;
  mHeightText.mAngle = 270.f;
  mDisablePrompt = false;
  mDblAsSingleClick = false;
  mIgnoreMouse = false;
}

void PlaceHolder::OnResize()
{
  mPositionStr.SetFormatted(32, "%0.1f, %0.1f", mRECT.L, mRECT.T);
  mWidthStr.SetFormatted(32, "%0.1f", mRECT.W());
  mHeightStr.SetFormatted(32, "%0.1f", mRECT.H());
}

void PlaceHolder::Draw(IGraphics& g)
{
  g.FillRect(mBGColor, mRECT);
  const IBlend half = Weight(0.5f), threeQuarters = Weight(0.75f);
  g.DrawLine(COLOR_RED, mRECT.L, mRECT.T, mRECT.R, mRECT.B, &half, 2.f);
  g.DrawLine(COLOR_RED, mRECT.L, mRECT.B, mRECT.R, mRECT.T, &half, 2.f);

  struct Label {
    const IText& text;
    const UT_String& str;
    float x, y;
    const IBlend* backing;
  } labels[] = {
    {mHeightText, mHeightStr, mRECT.L + 10.f, mRECT.MH(), &half},
    {mWidthText, mWidthStr, mRECT.MW(), mRECT.T + 10.f, &threeQuarters},
    {mPositionText, mPositionStr, mRECT.L + 10.f, mRECT.T + 10.f, &half},
  };
  for (const Label& l : labels) {
    IRECT m;
    g.MeasureText(l.text, l.str.Get(), m);
    g.FillRect(mBGColor, MovedBy(m, l.x, l.y), l.backing);
    g.DrawTextAt(l.text, l.str.Get(), l.x, l.y);
  }

  if (mStr.GetLength() > 0) {
    IRECT r = mRECT;
    g.MeasureText(mText, mStr.Get(), r);
    g.FillRect(mBGColor, r, &threeQuarters);
    g.DrawText(mText, mStr.Get(), r);
    mCentreLabelRECT = r;
  }
}

void PlaceHolder::OnMouseDblClick(float, float, const IMouseMod&)
{
  if (IGraphics* g = GetUI())
    g->CreateTextEntry(*this, mText, mRECT, mStr.Get(), 0);
}

void PlaceHolder::OnTextEntryCompletion(const char* str, int)
{
  SetStr(str);
  SetDirty(false, -1);
}

} // namespace plugin::igraphics
