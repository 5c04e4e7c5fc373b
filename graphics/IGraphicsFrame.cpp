// Dirty check, frame drawing, and the clip and transform state.

#include <chrono>

#include "IControl.h"
#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

constexpr float kDirtyPadding = 0.75f; // keeps anti-aliased edges inside the redraw

// The process-wide start of frame-time samples, taken on first use.
double SecondsSinceStart()
{
  static const auto start = std::chrono::steady_clock::now();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start);
  return static_cast<double>(ns.count()) / 1e9;
}

} // namespace

void IGraphics::BeginFrame()
{
  // Recorded every frame, so a display attached later starts from a true
  // interval; the first frame has no interval to report.
  const double now = mClock ? mClock() / 1000.0 : SecondsSinceStart();
  if (mFrameTimeSlot && mPrevTimestamp >= 0.0)
    mFrameTimeSlot->Update(static_cast<float>(now - mPrevTimestamp));
  mPrevTimestamp = now;
}

bool IGraphics::IsDirty(IRECTList& rects)
{
  if (mDisplayTickFunc)
    mDisplayTickFunc();
  ForAllControlsFunc([](IControl* c) { c->Animate(); });
  bool dirty = false;
  ForAllControlsFunc([&](IControl* c) {
    if (c->IsDirty()) {
      rects.Add(c->GetRECT().GetPadded(kDirtyPadding));
      dirty = true;
    }
  });
  return dirty;
}

void IGraphics::DrawDirtyRects(IRECTList& rects)
{
  if (rects.Size() == 0)
    return;
  const float scale = GetTotalScale();
  BeginFrame();
  if (!mUnionDrawing) {
    rects.PixelAlign(scale);
    rects.Optimize();
    for (int i = 0; i < rects.Size(); ++i)
      Draw(rects.Get(i), scale);
  } else
    Draw(rects.Bounds().GetPixelAligned(scale), scale);
  EndFrame();
}

void IGraphics::Draw(const IRECT& bounds, float scale)
{
  for (int i = 0; i < NControls(); ++i)
    DrawControl(mControls.Get(i), bounds, scale);
  DrawControl(mPerfDisplay.get(), bounds, scale);
  DrawControl(mCornerResizer.get(), bounds, scale);
  DrawControl(mTextEntryControl.get(), bounds, scale);
  DrawControl(mPopupControl.get(), bounds, scale);
  for (int i = 0; i < mBubbleControls.GetSize(); ++i)
    DrawControl(mBubbleControls.Get(i), bounds, scale);
}

void IGraphics::DrawControl(IControl* control, const IRECT& bounds, float scale)
{
  if (!control)
    return;
  if (control->IsHidden() && control != GetControl(0))
    return;
  const IRECT clip = control->GetRECT().GetPadded(kDirtyPadding).GetPixelAligned(scale);
  if (bounds.Empty() || clip.R <= bounds.L || bounds.R < clip.L || bounds.B < clip.T || bounds.T >= clip.B)
    return;
  const IRECT area(std::max(bounds.L, clip.L), std::max(bounds.T, clip.T), std::min(bounds.R, clip.R),
                   std::min(bounds.B, clip.B));
  if (area.W() <= 0.f || area.H() <= 0.f)
    return;
  PathTransformReset(true);
  PathClear();
  SetClipRegion(area);
  mClipRECT = area;
  control->Draw(*this);
  control->DrawParamHighlight(*this);
  AfterDrawControlHook(area);
}

void IGraphics::SetUnionDrawing(bool on)
{
  mUnionDrawing = on;
  SetAllControlsDirty();
}

// ---- Transform -------------------------------------------------------------

void IGraphics::PathTransformReset(bool clearStates)
{
  // Popped one by one: the storage stays for the next control.
  if (clearStates)
    while (!mTransformStates.empty())
      mTransformStates.pop();
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformRestore()
{
  if (mTransformStates.empty())
    return;
  mTransform = mTransformStates.top();
  mTransformStates.pop();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformTranslate(float x, float y)
{
  mTransform.Translate(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformScale(float x, float y)
{
  mTransform.Scale(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformRotate(float degrees)
{
  mTransform.Rotate(degrees);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformSkew(float xDegrees, float yDegrees)
{
  mTransform.Skew(xDegrees, yDegrees);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformMatrix(const IMatrix& m)
{
  mTransform.Transform(m);
  PathTransformSetMatrix(mTransform);
}

} // namespace plugin::igraphics
