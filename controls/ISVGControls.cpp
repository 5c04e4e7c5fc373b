// SVG button, knob, switch and slider.

#include "ISVGControls.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

// a / b, or 0 where an image of no size would divide by zero.
float SafeRatio(float a, float b)
{
  const float r = b > 0.f ? a / b : 0.f;
  return std::isfinite(r) ? r : 0.f;
}

// A w x h rectangle centred in r: w at least 1, h = w when not positive.
IRECT CentredIn(const IRECT& r, float w, float h)
{
  w = std::max(w, 1.f);
  if (!(h > 0.f))
    h = w;
  return IRECT(r.MW() - w * 0.5f, r.MH() - h * 0.5f, r.MW() + w * 0.5f, r.MH() + h * 0.5f);
}

} // namespace

// ---- Button ----------------------------------------------------------------

ISVGButtonControl::ISVGButtonControl(const IRECT& bounds, IActionFunction action, const ISVG& offImage,
                                     const ISVG& onImage)
: IButtonControlBase(bounds, std::move(action)), mOffSVG(offImage), mOnSVG(onImage)
{
}

void ISVGButtonControl::Draw(IGraphics& g) { g.DrawSVG(GetValue() > 0.5 ? mOnSVG : mOffSVG, mRECT, &mBlend); }

// ---- Knob ------------------------------------------------------------------

ISVGKnobControl::ISVGKnobControl(const IRECT& bounds, const ISVG& svg, int paramIdx)
: IKnobControlBase(bounds, paramIdx, kVertical, 4.0), mSVG(svg)
{
  mHideCursorOnDrag = true;
}

void ISVGKnobControl::Draw(IGraphics& g)
{
  g.DrawRotatedSVG(mSVG, mRECT.MW(), mRECT.MH(), mRECT.W(), mRECT.H(), GetAngle(), &mBlend);
}

void ISVGKnobControl::SetSVG(const ISVG& svg)
{
  mSVG = svg;
  SetDirty(false, -1);
}

// ---- Switch ----------------------------------------------------------------

ISVGSwitchControl::ISVGSwitchControl(const IRECT& bounds, const std::vector<ISVG>& images, int paramIdx,
                                     IActionFunction action)
: ISwitchControlBase(bounds, paramIdx, std::move(action), static_cast<int>(images.size())), mSVGs(images)
{
}

int ISVGSwitchControl::ImageIndex() const
{
  if (mSVGs.empty())
    return -1;
  const double v = std::isfinite(GetValue()) ? std::clamp(GetValue(), 0.0, 1.0) : 0.0;
  const int i = static_cast<int>((std::max(mNumStates, 1) - 1) * v + 0.5);
  return std::clamp(i, 0, static_cast<int>(mSVGs.size()) - 1);
}

void ISVGSwitchControl::Draw(IGraphics& g)
{
  if (const int i = ImageIndex(); i >= 0)
    g.DrawSVG(mSVGs[static_cast<std::size_t>(i)], mRECT, &mBlend);
}

// ---- Slider ----------------------------------------------------------------

ISVGSliderControl::ISVGSliderControl(const IRECT& bounds, const ISVG& handleImage, const ISVG& trackImage, int paramIdx,
                                     EDirection direction, double gearing)
: ISliderControlBase(bounds, paramIdx, direction, gearing, 0.f), mHandleSVG(handleImage), mTrackSVG(trackImage)
{
}

void ISVGSliderControl::OnResize()
{
  const float trackAspect = SafeRatio(mTrackSVG.W(), mTrackSVG.H());
  const float handleAspect = SafeRatio(mHandleSVG.W(), mHandleSVG.H());
  const float ratio = SafeRatio(mHandleSVG.H(), mTrackSVG.H());
  if (mDirection == kVertical) {
    const float h = mRECT.H();
    mTrackSVGBounds = CentredIn(mRECT, trackAspect * h, h);
    const float hh = h * ratio, hw = handleAspect * hh, cx = mRECT.MW();
    mHandleBoundsAtMax = IRECT(cx - hw * 0.5f, mTrackSVGBounds.T, cx + hw * 0.5f, mTrackSVGBounds.T + hh);
    mTrackBounds = mTrackSVGBounds;
    mTrackBounds.T += hh;
  } else {
    const float w = mRECT.W();
    mTrackSVGBounds = CentredIn(mRECT, w, SafeRatio(w, trackAspect));
    const float hh = ratio * mTrackSVGBounds.H(), hw = handleAspect * hh, cy = mTrackSVGBounds.MH();
    mHandleBoundsAtMax = IRECT(mTrackSVGBounds.R - hw, cy - hh * 0.5f, mTrackSVGBounds.R, cy + hh * 0.5f);
    mTrackBounds = mTrackSVGBounds;
    mTrackBounds.L += hw;
  }
  SetDirty(false, -1);
}

IRECT ISVGSliderControl::GetHandleBounds(double value) const
{
  if (value < 0.0)
    value = GetValue();
  const float back = static_cast<float>(1.0 - std::clamp(value, 0.0, 1.0));
  IRECT r = mHandleBoundsAtMax;
  if (mDirection == kVertical)
    r.Translate(0.f, back * mTrackBounds.H());
  else
    r.Translate(-back * mTrackBounds.W(), 0.f);
  return r;
}

void ISVGSliderControl::Draw(IGraphics& g)
{
  g.DrawSVG(mTrackSVG, mTrackSVGBounds, &mBlend);
  g.DrawSVG(mHandleSVG, GetHandleBounds(), &mBlend);
}

} // namespace plugin::igraphics
