// Bitmap, SVG and panel controls.

#include "IBitmapControl.h"

#include <algorithm>
#include <cmath>

#include "FloatToInt.h"
#include "IGraphics.h"
#include "IGraphicsConstants.h"

namespace plugin::igraphics {

int IBitmapBase::FrameForValue(double v, int n)
{
  if (n < 2)
    return 1;
  if (!std::isfinite(v))
    v = 0.0;
  v = std::clamp(v, 0.0, 1.0);
  return std::clamp(static_cast<int>(v * (n - 1) + 0.5) + 1, 1, n);
}

void IBitmapBase::DrawBitmap(IGraphics& g)
{
  if (!mControl)
    return;
  const int n = std::max(mBitmap.N(), 1);
  const int i = FrameForValue(mControl->GetValue(0), n);
  const bool horizontal = mBitmap.GetFramesAreHorizontal();
  const int fw = horizontal ? mBitmap.W() / n : mBitmap.W();
  const int fh = horizontal ? mBitmap.H() : mBitmap.H() / n;
  const IRECT& r = mControl->GetRECT();
  const IRECT dest(r.MW() - fw * 0.5f, r.MH() - fh * 0.5f, r.MW() + fw * 0.5f, r.MH() + fh * 0.5f);
  const int srcX = horizontal && i >= 2 ? (i - 1) * mBitmap.W() / n : 0;
  const int srcY = !horizontal && i >= 2 ? (i - 1) * mBitmap.H() / n : 0;
  g.DrawBitmap(mBitmap, dest, srcX, srcY, &mControl->GetBlend());
}

IBitmapControl::IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx, EBlend blend)
: IControl(IRECT(x, y, x + bitmap.FW(), y + bitmap.FH()), paramIdx), IBitmapBase(bitmap)
{
  AttachIControl(this);
  mBlend = IBlend{blend, 1.f};
}

void IBitmapControl::OnRescale()
{
  IGraphics* g = GetUI();
  const char* name = mBitmap.GetResourceName();
  if (!g || !name || !*name)
    return;
  IBitmap b = g->LoadBitmap(name, mBitmap.N(), mBitmap.GetFramesAreHorizontal(), FloatToInt<int>(g->GetScreenScale()));
  if (b.IsValid())
    mBitmap = b;
}

ISVGControl::ISVGControl(const IRECT& bounds, const ISVG& svg, bool useLayer)
: IControl(bounds), mUseLayer(useLayer), mSVG(svg)
{
}

void ISVGControl::SetSVG(const ISVG& svg)
{
  mSVG = svg;
  mLayer.reset();
  SetDirty(false, -1);
}

void ISVGControl::Draw(IGraphics& g)
{
  if (!mUseLayer) {
    g.DrawSVG(mSVG, mRECT, &mBlend);
    return;
  }
  if (!g.CheckLayer(mLayer)) {
    g.StartLayer(this, mRECT);
    g.DrawSVG(mSVG, mRECT, &mBlend);
    mLayer = g.EndLayer();
  }
  g.DrawLayer(mLayer, &mBlend);
}

IPanelControl::IPanelControl(const IRECT& bounds, const IPattern& pattern, bool drawFrame)
: IControl(bounds), mPattern(pattern), mDrawFrame(drawFrame)
{
}

void IPanelControl::Draw(IGraphics& g)
{
  g.PathClear();
  g.PathMoveTo(mRECT.L, mRECT.T);
  g.PathLineTo(mRECT.R, mRECT.T);
  g.PathLineTo(mRECT.R, mRECT.B);
  g.PathLineTo(mRECT.L, mRECT.B);
  g.PathClose();
  g.PathFill(mPattern, IFillOptions(), nullptr);
  if (mDrawFrame)
    g.DrawRect(COLOR_LIGHT_GRAY, mRECT, nullptr, 1.f);
}

} // namespace plugin::igraphics
