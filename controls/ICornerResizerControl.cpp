// Corner resizer.

#include "ICornerResizerControl.h"

#include "FloatToInt.h"
#include "IGraphics.h"

namespace plugin::igraphics {

namespace {
constexpr int kCursorResize = 5;
} // namespace

ICornerResizerControl::ICornerResizerControl(const IRECT& graphicsBounds, float size, const IColor& color,
                                             const IColor& mouseOverColor, const IColor& dragColor)
: IControl(IRECT(graphicsBounds.R - size, graphicsBounds.B - size, graphicsBounds.R, graphicsBounds.B)), mSize(size),
  mInitialGraphicsBounds(graphicsBounds), mColor(color), mMouseOverColor(mouseOverColor), mDragColor(dragColor)
{
}

void ICornerResizerControl::OnRescale()
{
  IGraphics* g = GetUI();
  if (!g || g->GetDrawScale() <= 0.f)
    return;
  const float side = mSize / g->GetDrawScale();
  const float w = static_cast<float>(g->Width()), h = static_cast<float>(g->Height());
  mRECT = mTargetRECT = IRECT(w - side, h - side, w, h);
  mMouseIsOver = false;
  OnResize();
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseMod&)
{
  if (IGraphics* g = GetUI())
    g->SetResizingInProcess(true);
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&)
{
  if (IGraphics* g = GetUI())
    g->Resize(FloatToInt<int>(mInitialGraphicsBounds.W()), FloatToInt<int>(mInitialGraphicsBounds.H()), 1.f, true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IGraphics* g = GetUI();
  if (!mMouseOverInternal && g) {
    mPrevCursor = g->SetMouseCursor(kCursorResize);
    mMouseOverInternal = true;
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut()
{
  if (mMouseOverInternal) {
    if (IGraphics* g = GetUI())
      g->SetMouseCursor(mPrevCursor);
    mMouseOverInternal = false;
  }
  IControl::OnMouseOut();
}

void ICornerResizerControl::Draw(IGraphics& g)
{
  const IColor& c = g.GetResizingInProcess() ? mDragColor : (mMouseIsOver ? mMouseOverColor : mColor);
  g.FillTriangle(c, mRECT.L, mRECT.B, mRECT.R, mRECT.T, mRECT.R, mRECT.B);
}

} // namespace plugin::igraphics
