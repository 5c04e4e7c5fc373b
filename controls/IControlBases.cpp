// Button, switch, knob and slider interaction.

#include "IControlBases.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace stepping {

namespace {
// In steps: keeps a value a rounding error off the grid on its step.
constexpr double kTolerance = 1e-6;
} // namespace

double Snap(double u, double lo, double hi, double step)
{
  const double k = std::round((u - lo) / step);
  double s = lo + k * step;
  if (s > hi || std::fabs(hi - u) < std::fabs(u - s))
    s = hi;
  return std::clamp(s, lo, hi);
}

double Next(double u, double lo, double hi, double step, bool up)
{
  const double pos = (u - lo) / step;
  const double k = up ? std::floor(pos + kTolerance) + 1.0 : std::ceil(pos - kTolerance) - 1.0;
  return std::clamp(lo + k * step, lo, hi);
}

const IParam* SteppedParam(const IControl& c)
{
  const IParam* p = c.GetParam(0);
  if (!p || !p->GetStepped())
    return nullptr;
  const double step = p->GetStep(), range = p->GetMax() - p->GetMin();
  return step > 0.0 && std::isfinite(step) && range > 0.0 && std::isfinite(range) ? p : nullptr;
}

double RealOf(const IParam& p, double normalised) { return p.GetShape().NormalizedToValue(normalised, p); }

double NormalisedOf(const IParam& p, double real)
{
  const double n = p.GetShape().ValueToNormalized(real, p);
  return std::isfinite(n) ? std::clamp(n, 0.0, 1.0) : 0.0;
}

} // namespace stepping

namespace {

using stepping::NormalisedOf;
using stepping::RealOf;
using stepping::SteppedParam;

bool FineAdjust(const IMouseMod& mod) { return mod.S || mod.C; }

// A drag value (normalised) as the value to store: on the step grid for a
// stepped parameter, as it is otherwise.
double Quantised(const IControl& c, double dragValue)
{
  const IParam* p = SteppedParam(c);
  if (!p)
    return dragValue;
  const double u = RealOf(*p, dragValue);
  return NormalisedOf(*p, stepping::Snap(u, p->GetMin(), p->GetMax(), p->GetStep()));
}

// One geared relative drag step over an axis span (top minus bottom, or
// right minus left). A zero span gives no value at all rather than NaN.
bool DragBy(IControl& c, double& dragValue, double delta, double span, double gearing, const IMouseMod& mod)
{
  const double g = gearing * (FineAdjust(mod) ? 10.0 : 1.0);
  if (span == 0.0 || g == 0.0 || !std::isfinite(span) || !std::isfinite(g))
    return false;
  const double next = dragValue + delta / span / g;
  if (!std::isfinite(next))
    return false;
  dragValue = std::clamp(next, 0.0, 1.0);
  c.SetValue(Quantised(c, dragValue), 0);
  c.SetDirty(true, -1);
  return true;
}

void Wheel(IControl& c, const IMouseMod& mod, float d)
{
  double v = c.GetValue(0) + d * (FineAdjust(mod) ? 0.001 : 0.01);
  if (const IParam* p = SteppedParam(c); p && d != 0.f) {
    const double u = RealOf(*p, std::clamp(c.GetValue(0), 0.0, 1.0));
    v = NormalisedOf(*p, stepping::Next(u, p->GetMin(), p->GetMax(), p->GetStep(), d > 0.f));
  }
  if (!std::isfinite(v))
    return;
  c.SetValue(v, 0);
  c.SetDirty(true, -1);
}

void HideCursor(IControl& c, bool hide)
{
  if (IGraphics* g = c.GetUI())
    g->HideMouseCursor(hide, true);
}

} // namespace

// ---- Button ----------------------------------------------------------------

IButtonControlBase::IButtonControlBase(const IRECT& bounds, IActionFunction action)
: IControl(bounds, -1, std::move(action))
{
  mDblAsSingleClick = true;
}

void IButtonControlBase::OnMouseDown(float, float, const IMouseMod&)
{
  SetValue(1.0, 0);
  SetDirty(true, -1);
}

void IButtonControlBase::OnEndAnimation()
{
  SetValue(0.0, 0);
  IControl::OnEndAnimation();
}

// ---- Switch ----------------------------------------------------------------

ISwitchControlBase::ISwitchControlBase(const IRECT& bounds, int paramIdx, IActionFunction action, int numStates)
: IControl(bounds, paramIdx, std::move(action)), mNumStates(numStates),
  mDisabledState(static_cast<std::size_t>(std::max(numStates, 0)), false)
{
  mDblAsSingleClick = true;
}

void ISwitchControlBase::OnInit()
{
  if (const IParam* p = GetParam(0)) {
    const double range = p->GetMax() - p->GetMin();
    if (std::isfinite(range) && range >= 0.0 && range < 1e6)
      mNumStates = static_cast<int>(range) + 1;
  }
  // The number of states may have changed since construction.
  mDisabledState.resize(static_cast<std::size_t>(std::max(mNumStates, 0)), false);
}

void ISwitchControlBase::OnMouseDown(float, float, const IMouseMod&)
{
  double v = GetValue(0);
  if (mNumStates == 2)
    v = v == 0.0 ? 1.0 : 0.0;
  else if (mNumStates < 2)
    v = 0.0;
  else {
    v += 1.0 / (mNumStates - 1);
    // One unit in the last place over 1 still counts as the last state.
    if (v > 1.0000000000000002)
      v = 0.0;
  }
  SetValue(v, 0);
  mMouseDown = true;
  SetDirty(true, -1);
}

void ISwitchControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  mMouseDown = false;
  SetDirty(false, -1);
}

void ISwitchControlBase::SetAllStatesDisabled(bool disabled)
{
  for (std::size_t i = 0; i < mDisabledState.size(); ++i) {
    mDisabledState[i] = disabled;
    SetDirty(false, -1);
  }
  SetDirty(false, -1);
}

void ISwitchControlBase::SetStateDisabled(int stateIdx, bool disabled)
{
  if (stateIdx >= 0 && stateIdx < mNumStates && static_cast<std::size_t>(stateIdx) < mDisabledState.size())
    mDisabledState[static_cast<std::size_t>(stateIdx)] = disabled;
  SetDirty(false, -1);
}

bool ISwitchControlBase::GetStateDisabled(int stateIdx) const
{
  return stateIdx >= 0 && stateIdx < mNumStates && static_cast<std::size_t>(stateIdx) < mDisabledState.size() &&
         mDisabledState[static_cast<std::size_t>(stateIdx)];
}

// ---- Knob ------------------------------------------------------------------

IKnobControlBase::IKnobControlBase(const IRECT& bounds, int paramIdx, EDirection direction, double gearing)
: IControl(bounds, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  mMouseDragValue = GetValue(0);
  if (mHideCursorOnDrag)
    HideCursor(*this, true);
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IKnobControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  if (mHideCursorOnDrag)
    HideCursor(*this, false);
  mMouseDown = false;
  SetDirty(false, -1);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod)
{
  const IRECT b = GetKnobDragBounds();
  if (mDirection == kVertical)
    DragBy(*this, mMouseDragValue, dY, b.T - b.B, mGearing, mod);
  else
    DragBy(*this, mMouseDragValue, dX, b.R - b.L, mGearing, mod);
}

void IKnobControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) { Wheel(*this, mod, d); }

// ---- Slider ----------------------------------------------------------------

ISliderControlBase::ISliderControlBase(const IRECT& bounds, int paramIdx, EDirection direction, double gearing,
                                       float handleSize)
: IControl(bounds, paramIdx), mDirection(direction), mHandleSize(handleSize), mGearing(gearing)
{
}

ISliderControlBase::ISliderControlBase(const IRECT& bounds, IActionFunction action, EDirection direction,
                                       double gearing, float handleSize)
: IControl(bounds, std::move(action)), mDirection(direction), mHandleSize(handleSize), mGearing(gearing)
{
}

void ISliderControlBase::OnResize()
{
  mTargetRECT = mRECT;
  mTrackBounds = mRECT;
  mMouseIsOver = false;
  SetDirty(false, -1);
}

void ISliderControlBase::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  const IParam* p = GetParam(0);
  if (!p || !p->GetStepped())
    SnapToMouse(x, y, mDirection, mTrackBounds, -1, 0.0, 1.0);
  mMouseDragValue = GetValue(0);
  if (mHideCursorOnDrag)
    HideCursor(*this, true);
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void ISliderControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  if (mHideCursorOnDrag)
    HideCursor(*this, false);
  mMouseDown = false;
  SetDirty(false, -1);
}

void ISliderControlBase::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod)
{
  const IParam* p = GetParam(0);
  const bool relative = (mod.touchID == 0 && mHideCursorOnDrag) || (p && p->GetStepped());
  if (!relative) {
    SnapToMouse(x, y, mDirection, mTrackBounds, -1, 0.0, 1.0);
    return;
  }
  const IRECT& t = mTrackBounds;
  if (mDirection == kHorizontal)
    DragBy(*this, mMouseDragValue, dX, t.R - t.L, mGearing, mod);
  else
    DragBy(*this, mMouseDragValue, dY, t.T - t.B, mGearing, mod);
}

void ISliderControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) { Wheel(*this, mod, d); }

} // namespace plugin::igraphics
