#include "IControl.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IGraphicsConstants.h"
#include "IParam.h"

namespace plugin::igraphics {

IControl::IControl(const IRECT& bounds, int paramIdx, IActionFunction action)
: mRECT(bounds), mTargetRECT(bounds), mText(DEFAULT_TEXT), mHighlightColor(COLOR_RED), mActionFunc(std::move(action))
{
  mVals.push_back({paramIdx, 0.0});
}

IControl::IControl(const IRECT& bounds, const std::vector<int>& paramIdcs, IActionFunction action)
: mRECT(bounds), mTargetRECT(bounds), mText(DEFAULT_TEXT), mHighlightColor(COLOR_RED), mActionFunc(std::move(action))
{
  for (int p : paramIdcs)
    mVals.push_back({p, 0.0});
}

IControl::IControl(const IRECT& bounds, IActionFunction action) : IControl(bounds, -1, std::move(action)) {}

IControl::~IControl() = default;

// ---- Events ----------------------------------------------------------------

void IControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IControl::OnMouseDblClick(float x, float y, const IMouseMod&) { SetValueToDefault(GetValIdxForPos(x, y)); }

void IControl::OnMouseOver(float, float, const IMouseMod&)
{
  const bool was = mMouseIsOver;
  mMouseIsOver = true;
  if (!was)
    SetDirty(false, -1);
}

void IControl::OnMouseOut()
{
  const bool was = mMouseIsOver;
  mMouseIsOver = false;
  if (was)
    SetDirty(false, -1);
}

bool IControl::OnGesture(const IGestureInfo& info)
{
  const auto it = mGestureFuncs.find(info.type);
  if (it == mGestureFuncs.end())
    return false;
  mLastGesture = info.type;
  it->second(this, info);
  return true;
}

void IControl::OnPopupMenuSelection(IPopupMenu* menu, int valIdx)
{
  if (!menu || !ValidValIdx(valIdx) || mDisablePrompt)
    return;
  const IParam* p = GetParam(valIdx);
  if (!p)
    return;
  SetValueFromUserInput(NormalisedForParam(*p, static_cast<double>(menu->GetChosenItemIdx())), valIdx);
}

void IControl::DrawParamHighlight(IGraphics& g)
{
  if (mHighlightOn)
    g.FillCircle(mHighlightColor, mTargetRECT.R - 5.f, mTargetRECT.T + 5.f, 2.f);
}

// ---- Values ----------------------------------------------------------------

void IControl::SetParamIdx(int paramIdx, int valIdx)
{
  if (ValidValIdx(valIdx))
    mVals[valIdx].idx = paramIdx;
}

int IControl::GetValIdxForPos(float, float) const { return NVals() == 1 ? 0 : -1; }

void IControl::SetValueFromDelegate(double value, int valIdx)
{
  // The user's drag wins over the host.
  if (mGraphics && mGraphics->ControlIsCaptured(this))
    return;
  if (!ValidValIdx(valIdx))
    return;
  if (GetValue(valIdx) != value) {
    SetValue(value, valIdx);
    SetDirty(false, -1);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx)
{
  if (!ValidValIdx(valIdx))
    return;
  if (GetValue(valIdx) != value) {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

double IControl::NormalisedForParam(const IParam& p, double v) const
{
  const double step = p.GetStep();
  if (p.GetStepped() && step != 0.0 && std::isfinite(step))
    v = std::round(v / step) * step;
  v = std::clamp(v, p.GetMin(), std::max(p.GetMin(), p.GetMax()));
  const double n = p.GetShape().ValueToNormalized(v, p);
  return std::isfinite(n) ? std::clamp(n, 0.0, 1.0) : 0.0;
}

void IControl::SetValueToDefault(int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;
  for (int i = 0; i < NVals(); ++i) {
    if (valIdx >= 0 && i != valIdx)
      continue;
    if (const IParam* p = GetParam(i))
      SetValue(NormalisedForParam(*p, p->GetDefault()), i);
  }
  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx)
{
  if (ValidValIdx(valIdx))
    mVals[valIdx].value = value;
}

double IControl::GetValue(int valIdx) const { return ValidValIdx(valIdx) ? mVals[valIdx].value : 0.0; }

int IControl::GetParamIdx(int valIdx) const { return ValidValIdx(valIdx) ? mVals[valIdx].idx : -1; }

int IControl::GetValIdxForParamIdx(int paramIdx) const
{
  for (int i = 0; i < NVals(); ++i)
    if (mVals[i].idx == paramIdx)
      return i;
  return -1;
}

const IParam* IControl::GetParam(int valIdx) const
{
  const int p = GetParamIdx(valIdx);
  return (p >= 0 && mDelegate) ? mDelegate->GetParam(p) : nullptr;
}

// ---- Geometry and state ----------------------------------------------------

void IControl::SetPosition(float x, float y)
{
  x = std::max(x, 0.f);
  y = std::max(y, 0.f);
  const float offX = mTargetRECT.L - mRECT.L, offY = mTargetRECT.T - mRECT.T;
  const float tw = mTargetRECT.W(), th = mTargetRECT.H();
  mRECT = mRECT.GetMovedTo(x, y);
  mMouseIsOver = false;
  OnResize();
  mTargetRECT = IRECT(mRECT.L + offX, mRECT.T + offY, mRECT.L + offX + tw, mRECT.T + offY + th);
  mMouseIsOver = false;
}

void IControl::SetSize(float w, float h)
{
  w = std::max(w, 0.f);
  h = std::max(h, 0.f);
  mTargetRECT = IRECT(mRECT.L, mRECT.T, mRECT.L + w, mRECT.T + h);
  mRECT.R = mTargetRECT.R;
  mRECT.B = mTargetRECT.B;
  mMouseIsOver = false;
  OnResize();
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  SetDirty(false, -1);
}

void IControl::SetDisabled(bool disable)
{
  mBlend.mWeight = disable ? 0.25f : 1.f;
  mDisabled = disable;
  SetDirty(false, -1);
}

bool IControl::IsHit(float x, float y) const
{
  return x >= mTargetRECT.L && x < mTargetRECT.R && y >= mTargetRECT.T && y < mTargetRECT.B;
}

void IControl::SetDirty(bool triggerAction, int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;
  if (valIdx >= NVals())
    valIdx = NVals(); // out of range: touches no record

  for (int i = 0; i < NVals(); ++i)
    if (valIdx < 0 || i == valIdx)
      SetValue(std::clamp(GetValue(i), 0.0, 1.0), i);

  mDirty = true;
  if (!triggerAction)
    return;

  for (int i = 0; i < NVals(); ++i) {
    if ((valIdx >= 0 && i != valIdx) || GetParamIdx(i) < 0)
      continue;
    if (mDelegate)
      mDelegate->SendParameterValueFromUI(GetParamIdx(i), GetValue(i), true);
    if (mGraphics)
      mGraphics->UpdatePeers(this, i);
  }
  if (mActionFunc)
    mActionFunc(this);
}

void IControl::SnapToMouse(float x, float y, EDirection direction, const IRECT& bounds, int valIdx, double minClip,
                           double maxClip)
{
  x = std::clamp(x, bounds.L, std::max(bounds.L, bounds.R));
  y = std::clamp(y, bounds.T, std::max(bounds.T, bounds.B));
  double v;
  if (direction == kHorizontal)
    v = bounds.W() > 0.f ? (x - bounds.L) / bounds.W() : 0.0;
  else
    v = bounds.H() > 0.f ? 1.0 - (y - bounds.T) / bounds.H() : 0.0;
  v = std::round(v / 0.001) * 0.001;
  v = std::clamp(v, minClip, std::max(minClip, maxClip));
  if (valIdx < 0)
    for (int i = 0; i < NVals(); ++i)
      SetValue(v, i);
  else
    SetValue(v, valIdx);
  SetDirty(true, valIdx);
}

// ---- Animation -------------------------------------------------------------

double IControl::NowMs() const
{
  if (mGraphics)
    return mGraphics->GetTimeMs();
  const auto ns =
    std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return static_cast<double>(ns) / 1e6;
}

void IControl::Animate()
{
  if (mAnimationFunc)
    mAnimationFunc(this);
}

double IControl::GetAnimationProgress() const
{
  if (!mAnimationFunc)
    return 0.0;
  const double p = mAnimationDuration > 0.0 ? (NowMs() - mAnimationStartTime) / mAnimationDuration : 1.0;
  return mAnimationForward ? p : 1.0 - p;
}

void IControl::StartAnimation(int durationMs, bool forward)
{
  mAnimationStartTime = NowMs();
  mAnimationDuration = durationMs;
  mAnimationForward = forward;
}

void IControl::OnEndAnimation()
{
  mAnimationFunc = nullptr;
  SetDirty(false, -1);
  if (mAnimationEndActionFunc)
    mAnimationEndActionFunc(this);
}

// ---- Prompts, gestures, highlight -------------------------------------------

void IControl::PromptUserInput(int valIdx)
{
  if (!ValidValIdx(valIdx) || mDisablePrompt)
    return;
  const IParam* p = GetParam(valIdx);
  if (!p || !mGraphics)
    return;
  const IRECT bounds =
    p->NDisplayTexts() > 0 ? mRECT : IRECT(mRECT.MW() - 20.f, mRECT.MH() - 8.f, mRECT.MW() + 20.f, mRECT.MH() + 8.f);
  mGraphics->PromptUserInput(*this, bounds, valIdx);
  SetDirty(false, -1);
}

void IControl::PromptUserInput(const IRECT& bounds, int valIdx)
{
  if (ValidValIdx(valIdx) && GetParamIdx(valIdx) >= 0 && !mDisablePrompt && mGraphics)
    mGraphics->PromptUserInput(*this, bounds, valIdx);
}

IControl* IControl::AttachGestureRecognizer(EGestureType type, IGestureFunc func)
{
  mGestureFuncs.emplace(type, std::move(func));
  if (mGraphics)
    mGraphics->RegisterGestureType(type);
  return this;
}

void IControl::SetParamHighlight(bool on, int colourIdx)
{
  switch (colourIdx) {
  case 0: mHighlightColor = COLOR_RED; break;
  case 1: mHighlightColor = COLOR_BLUE; break;
  case 2: mHighlightColor = COLOR_GREEN; break;
  case 3: mHighlightColor = COLOR_YELLOW; break;
  default: break;
  }
  mHighlightOn = on;
  SetDirty(false, -1);
}

} // namespace plugin::igraphics
