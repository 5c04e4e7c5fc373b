// Vector group frame.

#include "IVGroupControl.h"

#include <algorithm>

#include "IGraphics.h"

namespace plugin::igraphics {

IVGroupControl::IVGroupControl(const IRECT& bounds, const char* label, float labelOffset, const IVStyle& style)
: IControl(bounds), IVectorBase(style), mLabelOffset(labelOffset)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  mIgnoreMouse = true;
}

IVGroupControl::IVGroupControl(const char* label, const char* groupName, float padL, float padT, float padR, float padB,
                               const IVStyle& style)
: IControl(IRECT()), IVectorBase(style), mGroupName(groupName ? groupName : ""), mPadL(padL), mPadT(padT), mPadR(padR),
  mPadB(padB)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  mIgnoreMouse = true;
}

void IVGroupControl::OnInit()
{
  if (mGroupName.GetLength() > 0)
    SetBoundsBasedOnGroup(mGroupName.Get(), mPadL, mPadT, mPadR, mPadB);
}

void IVGroupControl::SetBoundsBasedOnGroup(const char* groupName, float padL, float padT, float padR, float padB)
{
  mGroupName.Set(groupName ? groupName : "");
  IRECT u;
  if (mGraphics)
    mGraphics->ForControlInGroup(mGroupName.Get(), [&](IControl* c) {
      if (c == this)
        return;
      if (u.Empty())
        u = c->GetRECT();
      else if (!c->GetRECT().Empty())
        u = u.Union(c->GetRECT());
    });
  mRECT = IRECT(u.L - padL, u.T - padT, u.R + padR, u.B + padB);
  OnResize();
}

void IVGroupControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  const float fw = mStyle.frameWidth;
  mWidgetRect.T -= mLabelRect.H() * 0.5f + fw * 0.5f;
  const float cr = std::min(mWidgetRect.W(), mWidgetRect.H()) * 0.5f * mStyle.cornerRoundness;
  if (mLabelRect.H() != 0.f) {
    const float w = mLabelRect.W() + 2.f * mLabelPadding;
    mLabelRect.L = mRECT.L + fw + mLabelOffset + cr;
    mLabelRect.R = mLabelRect.L + w;
  }
  SetDirty(false, -1);
}

void IVGroupControl::Draw(IGraphics& g)
{
  DrawLabel(g);
  DrawWidget(g);
}

void IVGroupControl::DrawWidget(IGraphics& g)
{
  const IRECT& w = mWidgetRect;
  const float r = std::min(w.W(), w.H()) * 0.5f * mStyle.cornerRoundness;
  const float h = mStyle.frameWidth * 0.5f;
  const bool gap = mLabelRect.H() != 0.f;
  const float gapL = gap ? mLabelRect.L : mRECT.MW(), gapR = gap ? mLabelRect.R : mRECT.MW();
  g.PathClear();
  g.PathMoveTo(gapR, w.T + h);
  g.PathArc(w.R - r - h, w.T + r + h, r, 0.f, 90.f);
  g.PathArc(w.R - r - h, w.B - r - h, r, 90.f, 180.f);
  g.PathArc(w.L + r + h, w.B - r - h, r, 180.f, 270.f);
  g.PathArc(w.L + r + h, w.T + r + h, r, 270.f, 360.f);
  g.PathLineTo(gapL, w.T + h);
  IStrokeOptions options;
  options.mMiterLimit = 10.f;
  g.PathStroke(IPattern(GetColor(mStyle.shadowsOn ? kShadow : kFrame)), mStyle.frameWidth, options, nullptr);
}

} // namespace plugin::igraphics
