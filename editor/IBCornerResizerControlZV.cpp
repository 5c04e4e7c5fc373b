// The maker's bitmap corner resizer.

#include "IBCornerResizerControlZV.h"

#include "IBControls.h"
#include "IGraphics.h"
#include "IVHiddenControlsZV.h"

namespace plugin::igraphics {

IBCornerResizerControlZV::IBCornerResizerControlZV(const IBitmap& bitmap, int sizeRescaleMsg, int sizeResetMsg,
                                                   int scaleRescaleMsg, int scaleResetMsg, const IRECT& graphicsBounds,
                                                   float offsetX, float offsetY)
: ICornerResizerControl(graphicsBounds, static_cast<float>(bitmap.W())), IBitmapBase(bitmap),
  mSizeRescaleMsg(sizeRescaleMsg), mSizeResetMsg(sizeResetMsg), mScaleRescaleMsg(scaleRescaleMsg),
  mScaleResetMsg(scaleResetMsg), mMode(ModeFor(sizeRescaleMsg, sizeResetMsg, scaleRescaleMsg, scaleResetMsg)),
  mDrawOffsetX(offsetX), mDrawOffsetY(offsetY)
{
  AttachIControl(this);
}

int IBCornerResizerControlZV::ModeFor(int sizeRescaleMsg, int sizeResetMsg, int scaleRescaleMsg, int scaleResetMsg)
{
  const bool size = sizeRescaleMsg != -1 && sizeResetMsg != -1;
  const bool noSize = sizeRescaleMsg == -1 && sizeResetMsg == -1;
  const bool scale = scaleRescaleMsg != -1 && scaleResetMsg != -1;
  const bool noScale = scaleRescaleMsg == -1 && scaleResetMsg == -1;
  if (size && scale)
    return kByControlKey;
  if (size && noScale)
    return kAlwaysSize;
  if (noSize && scale)
    return kAlwaysScale;
  return kInert;
}

void IBCornerResizerControlZV::OnMouseDown(float, float, const IMouseMod& mod)
{
  IGraphics* g = GetUI();
  if (!g)
    return;
  switch (mMode) {
  case kByControlKey: g->SetGUISizeMode(mod.C ? kResizeScale : kResizeSize); break;
  case kAlwaysSize: g->SetGUISizeMode(kResizeSize); break;
  case kAlwaysScale: g->SetGUISizeMode(kResizeScale); break;
  default: break;
  }
  g->SetResizingInProcess(true);
}

void IBCornerResizerControlZV::OnMouseDblClick(float, float, const IMouseMod& mod)
{
  IGraphics* g = GetUI();
  if (!g || mMode == kInert)
    return;
  const bool scale = mMode == kAlwaysScale || (mMode == kByControlKey && mod.C);
  g->SetGUISizeMode(scale ? kResizeScale : kResizeSize);
  SendMessageToPlugin(*this, scale ? mScaleResetMsg : mSizeResetMsg);
}

void IBCornerResizerControlZV::OnRescale()
{
  IGraphics* g = GetUI();
  if (!g)
    return;
  const bool scaleMode = g->GetGUISizeMode() == kResizeScale;
  const bool changed = scaleMode ? g->GetDrawScale() != mSeenScale : (g->Width() != mSeenW || g->Height() != mSeenH);
  mSeenScale = g->GetDrawScale();
  mSeenW = g->Width();
  mSeenH = g->Height();
  // Only a user's drag: the rescale at opening, or one the plug-in or host
  // asked for, must not write the scale back as a change nobody made.
  if (mMode == kInert || !g->GetResizingInProcess() || !changed)
    return;
  SendMessageToPlugin(*this, scaleMode ? mScaleRescaleMsg : mSizeRescaleMsg);
}

void IBCornerResizerControlZV::OnResize()
{
  IGraphics* g = GetUI();
  if (!g)
    return;
  const float w = static_cast<float>(g->Width()), h = static_cast<float>(g->Height());
  const float s = static_cast<float>(mBitmap.W());
  mRECT = mTargetRECT = IRECT(w - s, h - s, w, h);
}

void IBCornerResizerControlZV::Draw(IGraphics& g)
{
  IRECT r = mRECT;
  r.Translate(mDrawOffsetX, mDrawOffsetY);
  const bool lit = mMouseIsOver || g.GetResizingInProcess();
  DrawFrameWithin(g, mBitmap, r, lit ? 2 : 1, &mBlend);
}

} // namespace plugin::igraphics
