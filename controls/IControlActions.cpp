// Standard click actions and animations.

#include "IControlActions.h"

#include "IControl.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

namespace {

constexpr int kClickAnimationMs = 100;

void ShowBubble(IControl* caller, bool horizontal)
{
  IGraphics* g = caller ? caller->GetUI() : nullptr;
  if (!g)
    return;
  UT_String str;
  if (const IParam* p = caller->GetParam(0))
    p->GetDisplayWithLabel(str, true);
  const IRECT& r = caller->GetRECT();
  const float x = horizontal ? r.R : r.MW();
  const float y = horizontal ? r.MH() : r.T;
  g->ShowBubbleControl(caller, x, y, str.Get(), horizontal ? kHorizontal : kVertical, IRECT(0.f, 0.f, 50.f, 30.f));
}

} // namespace

void EmptyClickActionFunc(IControl*) {}

void DefaultClickActionFunc(IControl* caller)
{
  if (caller)
    caller->SetAnimation(DefaultAnimationFunc, kClickAnimationMs);
}

void SplashClickActionFunc(IControl* caller)
{
  auto* vb = dynamic_cast<IVectorBase*>(caller);
  if (!vb)
    return;
  if (IGraphics* g = caller->GetUI()) {
    float x, y;
    g->GetMouseDownPoint(x, y);
    vb->SetSplashPoint(x, y);
  }
  caller->SetAnimation(SplashAnimationFunc, kClickAnimationMs);
}

void DefaultAnimationFunc(IControl* caller)
{
  if (caller && caller->GetAnimationProgress() > 1.0)
    caller->OnEndAnimation();
}

void SplashAnimationFunc(IControl* caller)
{
  if (!caller)
    return;
  const double p = caller->GetAnimationProgress();
  if (p > 1.0) {
    caller->OnEndAnimation();
    return;
  }
  if (auto* vb = dynamic_cast<IVectorBase*>(caller))
    vb->SetSplashRadius(static_cast<float>(p) * vb->GetSplashMaxRadius());
  caller->SetDirty(false, -1);
}

void ShowBubbleHorizontalActionFunc(IControl* caller) { ShowBubble(caller, true); }

void ShowBubbleVerticalActionFunc(IControl* caller) { ShowBubble(caller, false); }

} // namespace plugin::igraphics
