// Bitmap buttons, switches, knobs, rotating knobs, sliders and bitmap-font text.

#include "IBControls.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

IRECT FrameCentredOn(const IBitmap& bitmap, const IRECT& r)
{
  const float fw = static_cast<float>(bitmap.FW()), fh = static_cast<float>(bitmap.FH());
  const float l = (r.L + r.R) * 0.5f - fw * 0.5f, t = (r.T + r.B) * 0.5f - fh * 0.5f;
  return IRECT(l, t, l + fw, t + fh);
}

void DrawFrameWithin(IGraphics& g, const IBitmap& bitmap, const IRECT& r, int frame, const IBlend* blend)
{
  const float w = std::min(r.W(), static_cast<float>(bitmap.FW()));
  const float h = std::min(r.H(), static_cast<float>(bitmap.FH()));
  if (!bitmap.IsValid() || !(w > 0.f) || !(h > 0.f))
    return;
  g.DrawBitmapFrame(bitmap, IRECT(r.L, r.T, r.L + w, r.T + h), frame, blend);
}

void RefetchForScale(IControl& c, IBitmapBase& base)
{
  IGraphics* g = c.GetUI();
  const char* name = base.GetBitmap().GetResourceName();
  if (!g || !name || !*name)
    return;
  // A bitmap made from data or drawn by the caller has no file to reload.
  const IBitmap b = g->ReloadBitmapForScale(base.GetBitmap());
  if (b.IsValid())
    base.SetBitmap(b);
}

// ---- Button, switch, knob ----------------------------------------------------

IBButtonControl::IBButtonControl(float x, float y, const IBitmap& bitmap, IActionFunction action)
: IButtonControlBase(IRECT(x, y, x + bitmap.FW(), y + bitmap.FH()), std::move(action)), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBButtonControl::IBButtonControl(const IRECT& bounds, const IBitmap& bitmap, IActionFunction action)
: IButtonControlBase(FrameCentredOn(bitmap, bounds), std::move(action)), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBSwitchControl::IBSwitchControl(float x, float y, const IBitmap& bitmap, int paramIdx)
: ISwitchControlBase(IRECT(x, y, x + bitmap.FW(), y + bitmap.FH()), paramIdx, nullptr, 2), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBSwitchControl::IBSwitchControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx)
: ISwitchControlBase(FrameCentredOn(bitmap, bounds), paramIdx, nullptr, 2), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

void IBSwitchControl::OnMouseDown(float, float, const IMouseMod&)
{
  double v = GetValue(0) + (mNumStates < 2 ? 1.0 : 1.0 / (mNumStates - 1));
  SetValue(v, 0);
  if (!(GetValue(0) <= 1.001))
    SetValue(0.0, 0);
  SetDirty(true, -1);
}

IBKnobControl::IBKnobControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx, EDirection direction,
                             double gearing)
: IKnobControlBase(FrameCentredOn(bitmap, bounds), paramIdx, direction, gearing), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

void IBKnobRotaterControl::Draw(IGraphics& g)
{
  const double angle = GetValue(0) * 260.0 - 130.0;
  g.DrawRotatedBitmap(mBitmap, mRECT.MW(), mRECT.MH(), angle, &mBlend);
}

// ---- Slider -------------------------------------------------------------------

IBSliderControl::IBSliderControl(float x, float y, float trackLength, const IBitmap& handleBitmap,
                                 const IBitmap& trackBitmap, int paramIdx, EDirection direction, double gearing)
: IBSliderControl(direction == kVertical ? IRECT(x, y, x + static_cast<float>(handleBitmap.W()), y + trackLength)
                                         : IRECT(x, y, x + trackLength, y + static_cast<float>(handleBitmap.H())),
                  handleBitmap, trackBitmap, paramIdx, direction, gearing)
{
}

IBSliderControl::IBSliderControl(const IRECT& bounds, const IBitmap& handleBitmap, const IBitmap& trackBitmap,
                                 int paramIdx, EDirection direction, double gearing)
: ISliderControlBase(bounds, paramIdx, direction, gearing,
                     static_cast<float>(direction == kVertical ? handleBitmap.H() : handleBitmap.W())),
  IBitmapBase(handleBitmap), mTrackBitmap(trackBitmap)
{
  AttachIControl(this);
}

// Only the track: the hit area stays as it was set.
void IBSliderControl::OnResize()
{
  if (mTrackBitmap.IsValid())
    mTrackBounds = FrameCentredOn(mTrackBitmap, mRECT);
  else if (mDirection == kVertical) {
    const float cx = mRECT.MW(), hw = static_cast<float>(mBitmap.W()) * 0.5f;
    mTrackBounds = IRECT(cx - hw, mRECT.T, cx + hw, mRECT.B);
  } else {
    const float cy = mRECT.MH(), hh = static_cast<float>(mBitmap.H()) * 0.5f;
    mTrackBounds = IRECT(mRECT.L, cy - hh, mRECT.R, cy + hh);
  }
  SetDirty(false, -1);
}

IRECT IBSliderControl::GetHandleBounds(double value) const
{
  double v = value < 0.0 ? GetValue(0) : value;
  v = std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
  const IRECT& t = mTrackBounds;
  // The handle travels the track less one frame, not less the whole strip.
  const float fw = static_cast<float>(mBitmap.FW()), fh = static_cast<float>(mBitmap.FH());
  float dx = 0.f, dy = 0.f;
  if (mDirection == kVertical)
    dy = static_cast<float>((t.H() - fh) * (1.0 - v));
  else
    dx = static_cast<float>((t.W() - fw) * v);
  return IRECT(t.L + dx, t.T + dy, t.L + dx + fw, t.T + dy + fh);
}

void IBSliderControl::Draw(IGraphics& g)
{
  if (mTrackBitmap.IsValid())
    g.DrawBitmap(mTrackBitmap, FrameCentredOn(mTrackBitmap, mRECT), 0, 0, &mBlend);
  DrawFrameWithin(g, mBitmap, GetHandleBounds(), 1, &mBlend);
}

// ---- Bitmap-font text ------------------------------------------------------------

IBTextControl::IBTextControl(const IRECT& bounds, const IBitmap& bitmap, const IText& text, const char* str,
                             int charWidth, int charHeight, int charOffset, bool multiLine, bool vCentre, EBlend blend)
: ITextControl(bounds, str, text, COLOR_TRANSPARENT, false), IBitmapBase(bitmap), mCharWidth(charWidth),
  mCharHeight(charHeight), mCharOffset(charOffset), mMultiLine(multiLine), mVCentre(vCentre)
{
  mBlend = IBlend{blend, 1.f};
}

void IBTextControl::Draw(IGraphics& g)
{
  g.DrawBitmapText(mBitmap, mRECT, mText, &mBlend, mStr.Get(), mVCentre, mMultiLine, mCharWidth, mCharHeight,
                   mCharOffset);
}

} // namespace plugin::igraphics
