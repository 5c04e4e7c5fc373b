// The maker's bitmap display, switch, push and update indicator.

#include "IBControlsZV.h"

#include "IGraphics.h"
#include "IVHiddenControlsZV.h"

namespace plugin::igraphics {

namespace {
constexpr const char* kTipCheck = "Click to check for updates";
constexpr const char* kTipAvailable = "Update available";
} // namespace

IRECT FrameAt(const IBitmap& bitmap, float x, float y)
{
  return IRECT(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH()));
}

IBBitmapControlZV::IBBitmapControlZV(int x, int y, const IBitmap& bitmap)
: IControl(FrameAt(bitmap, static_cast<float>(x), static_cast<float>(y)), -1), IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBSwitchControlZV::IBSwitchControlZV(float x, float y, const IBitmap& bitmap, int paramIdx)
: IBSwitchControl(x, y, bitmap, paramIdx)
{
}

void IBSwitchControlZV::OnMouseOver(float, float, const IMouseMod&)
{
  mMouseOver = true;
  SetDirty(false, -1);
}

void IBSwitchControlZV::OnMouseOut()
{
  mMouseOver = false;
  SetDirty(false, -1);
}

void IBSwitchControlZV::Draw(IGraphics& g)
{
  if (!mShowBitmap)
    return;
  if (mHoverHighlight && mMouseOver)
    g.FillRoundRect(mHighlightColor, FrameCentredOn(mBitmap, mRECT), 2.f, &mBlend);
  DrawBitmap(g);
}

void IBPushControlZV::OnMouseDown(float, float, const IMouseMod&)
{
  mMouseDown = true;
  SetValue(1.0, 0);
  SetDirty(true, -1);
}

void IBPushControlZV::OnMouseUp(float, float, const IMouseMod&)
{
  mMouseDown = false;
  SetValue(0.0, 0);
  SetDirty(true, -1);
}

IBUpdateControlZV::IBUpdateControlZV(int x, int y, const IBitmap& bitmap, int msgTag)
: IControl(FrameAt(bitmap, static_cast<float>(x), static_cast<float>(y)), -1), IBitmapBase(bitmap), mMsgTag(msgTag)
{
  AttachIControl(this);
  SetTooltip(kTipCheck);
  SetValue(0.0, 0);
}

void IBUpdateControlZV::OnMouseDown(float, float, const IMouseMod&)
{
  if (mMsgTag != -1)
    SendMessageToPlugin(*this, mMsgTag);
}

void IBUpdateControlZV::Draw(IGraphics& g)
{
  const bool available = GetValue(0) > 0.0;
  const IRECT frame = FrameCentredOn(mBitmap, mRECT);
  DrawFrameWithin(g, mBitmap, frame, available ? 2 : 1, &mBlend);
  SetTooltip(available ? kTipAvailable : kTipCheck);
}

} // namespace plugin::igraphics
