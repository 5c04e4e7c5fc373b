// Value bubble: placement, balloon path and fade timeline.

#include "IBubbleControl.h"

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {
constexpr int kFadeMs = 200;
constexpr int kHoldMs = 1000;
} // namespace

IBubbleControl::IBubbleControl(const IText& text, const IColor& fillColor, const IColor& strokeColor, float roundness)
: IControl(IRECT()), mRoundness(roundness), mFillColor(fillColor), mStrokeColor(strokeColor)
{
  mText = text;
  mHide = true;
  mIgnoreMouse = true;
  // Fade in (and every later 200 ms turn) on a commit.
  mActionFunc = [this](IControl*) { SetAnimation([this](IControl*) { Step(); }, kFadeMs); };
  // Hold once fully shown.
  mAnimationEndActionFunc = [this](IControl*) {
    if (mState == kShown)
      SetAnimation([this](IControl*) { Step(); }, kHoldMs);
  };
}

void IBubbleControl::Step()
{
  const double p = GetAnimationProgress();
  if (p <= 1.0) {
    if (mState == kFadingIn)
      mOpacityBlend.mWeight = static_cast<float>(p) * mMaxOpacity;
    else if (mState == kShown)
      mOpacityBlend.mWeight = mMaxOpacity;
    else if (mState == kFadingOut)
      mOpacityBlend.mWeight = static_cast<float>(1.0 - p) * mMaxOpacity;
    return;
  }
  switch (mState) {
  case kFadingIn:
    mOpacityBlend.mWeight = mMaxOpacity;
    mState = kShown;
    OnEndAnimation();
    break;
  case kShown:
    if (!(GetUI() && mCaller && GetUI()->ControlIsCaptured(mCaller))) {
      mOpacityBlend.mWeight = mMaxOpacity;
      mState = kFadingOut;
    }
    // Either way a further 200 ms turn: waiting for the release, or fading.
    SetDirty(true, -1);
    break;
  case kFadingOut:
    mOpacityBlend.mWeight = 0.f;
    Hide(true);
    mState = kHidden;
    mTouchId = 0;
    SetDirty(false, -1);
    OnEndAnimation();
    break;
  default: OnEndAnimation(); break;
  }
}

float IBubbleControl::MeasureContent(const char* str, IRECT& bounds)
{
  return GetUI() ? GetUI()->MeasureText(mText, str, bounds) : 0.f;
}

void IBubbleControl::ShowBubble(IControl* caller, const char* str, EDirection dir, std::uint64_t touchId, float x,
                                float y, IRECT minimumContentBounds)
{
  IGraphics* g = GetUI();
  if (mMaxBounds.W() == 0.f && g)
    mMaxBounds = g->GetBounds();
  mBubbleDirection = dir;
  mTouchId = touchId;
  mStr.Set(str ? str : "");

  IRECT content;
  MeasureContent(mStr.Get(), content);
  if (!minimumContentBounds.Empty()) {
    if (minimumContentBounds.W() > content.W())
      content.R = content.L + minimumContentBounds.W();
    if (minimumContentBounds.H() > content.H())
      content.B = content.T + minimumContentBounds.H();
  }
  const float w = content.W() + 2.f * (mHorizontalPadding + mDropShadowSize);
  const float h = content.H() + 2.f * mDropShadowSize;
  const IRECT callerRect = caller ? caller->GetRECT() : IRECT();

  if (dir == kHorizontal) {
    mBubbleBounds = IRECT(x, y - h * 0.5f, x + w, y + h * 0.5f);
    mArrowDir = kArrowLeft;
    if (mBubbleBounds.R > mMaxBounds.R - mHorizontalPadding - mDropShadowSize) {
      mBubbleBounds.Translate(-(mBubbleBounds.R - callerRect.L), 0.f);
      mArrowDir = kArrowRight;
    }
  } else {
    mBubbleBounds = IRECT(x - w * 0.5f, y - h, x + w * 0.5f, y);
    mArrowDir = kArrowBottom;
    if (mBubbleBounds.T < mMaxBounds.T) {
      mBubbleBounds.Translate(0.f, callerRect.H() + h);
      mArrowDir = kArrowTop;
    }
  }

  mRECT = mRECT.Empty() ? mBubbleBounds : mRECT.Union(mBubbleBounds);
  mTargetRECT = mRECT;
  mMouseIsOver = false;
  OnResize();

  if (mState == kHidden) {
    Hide(false);
    mState = kFadingIn;
    SetDirty(true, -1);
  }
  if (caller != mCaller) {
    mRECT = mTargetRECT = mBubbleBounds;
    if (g)
      g->SetAllControlsDirty();
  }
  mCaller = caller;
}

void IBubbleControl::Draw(IGraphics& g)
{
  const IRECT inner(mBubbleBounds.L + mDropShadowSize, mBubbleBounds.T + mDropShadowSize,
                    mBubbleBounds.R - mDropShadowSize, mBubbleBounds.B - mDropShadowSize);
  g.DrawFastDropShadow(inner, mBubbleBounds, 2.f, mRoundness, 10.f, &mOpacityBlend);
  DrawBubble(g, inner);
  DrawContent(g, inner);
}

void IBubbleControl::DrawContent(IGraphics& g, const IRECT& r)
{
  if (mStr.GetLength() > 0)
    g.DrawText(mText, mStr.Get(), r, &mOpacityBlend);
}

void IBubbleControl::DrawBubble(IGraphics& g, const IRECT& r)
{
  const float rr = mRoundness, a = mArrowSize, cx = r.MW(), cy = r.MH();
  auto topRight = [&] { g.PathArc(r.R - rr, r.T + rr, rr, 0.f, 90.f); };
  auto bottomRight = [&] { g.PathArc(r.R - rr, r.B - rr, rr, 90.f, 180.f); };
  auto bottomLeft = [&] { g.PathArc(r.L + rr, r.B - rr, rr, 180.f, 270.f); };
  g.PathClear();
  g.PathArc(r.L + rr, r.T + rr, rr, 270.f, 360.f);
  switch (mArrowDir) {
  case kArrowTop:
    g.PathLineTo(cx - a * 0.5f, r.T);
    g.PathLineTo(cx, r.T - a);
    g.PathLineTo(cx + a * 0.5f, r.T);
    topRight();
    bottomRight();
    bottomLeft();
    break;
  case kArrowRight:
    topRight();
    g.PathLineTo(r.R, cy - a * 0.5f);
    g.PathLineTo(r.R + a, cy);
    g.PathLineTo(r.R, cy + a * 0.5f);
    bottomRight();
    bottomLeft();
    break;
  case kArrowBottom:
    topRight();
    bottomRight();
    g.PathLineTo(cx + a * 0.5f, r.B);
    g.PathLineTo(cx, r.B + a);
    g.PathLineTo(cx - a * 0.5f, r.B);
    bottomLeft();
    break;
  default:
    topRight();
    bottomRight();
    bottomLeft();
    g.PathLineTo(r.L, cy + a * 0.5f);
    g.PathLineTo(r.L - a, cy);
    g.PathLineTo(r.L, cy - a * 0.5f);
    break;
  }
  g.PathClose();
  IFillOptions fill;
  fill.mPreserve = true;
  g.PathFill(IPattern(mFillColor), fill, &mOpacityBlend);
  IStrokeOptions stroke;
  stroke.mMiterLimit = 10.f;
  g.PathStroke(IPattern(mStrokeColor), mStrokeThickness, stroke, &mOpacityBlend);
}

} // namespace plugin::igraphics
