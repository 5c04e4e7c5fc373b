// Vector function plot.

#include "IVPlotControl.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IGraphics.h"

namespace plugin::igraphics {

IVPlotControl::IVPlotControl(const IRECT& bounds, const std::vector<Plot>& plots, int numPoints, const char* label,
                             const IVStyle& style, float min, float max, bool useLayer)
: IControl(bounds), IVectorBase(style), mMin(min), mMax(max), mUseLayer(useLayer),
  mPoints(static_cast<std::size_t>(std::max(numPoints, 0)), 0.f)
{
  AttachIControl(this, label);
  mText = style.valueStyle;
  for (const Plot& p : plots)
    AddPlotFunc(p.color, p.func);
}

void IVPlotControl::AddPlotFunc(const IColor& color, const std::function<double(double)>& func)
{
  mPlots.push_back({color, func});
  if (mLayer)
    mLayer->mInvalid = true;
  SetDirty(false, -1);
}

void IVPlotControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, false);
  mMouseIsOver = false;
  SetDirty(false, -1);
}

float IVPlotControl::Sample(const std::function<double(double)>& f, int j, int n, float min, float max)
{
  const double x = n > 1 ? static_cast<double>(j) / (n - 1) : 0.0;
  const double range = static_cast<double>(max) - min;
  const double v = f ? (f(x) - min) / range : 0.5;
  // The renderer gets a float: 1e39 is finite only as a double.
  const bool drawable = std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max() && range != 0.0;
  return drawable ? static_cast<float>(v) : 0.5f;
}

void IVPlotControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  if (!mUseLayer) {
    DrawContents(g);
    return;
  }
  if (!g.CheckLayer(mLayer)) {
    g.StartLayer(this, mRECT);
    DrawContents(g);
    mLayer = g.EndLayer();
  }
  g.DrawLayer(mLayer, &mBlend);
}

void IVPlotControl::DrawContents(IGraphics& g)
{
  const IRECT& w = mWidgetRect;
  const float hs = mHorizontalDivisions > 0 ? w.W() / mHorizontalDivisions : 0.f;
  const float vs = w.H() / (std::max(mVerticalDivisions, 0) + 2);
  const IRECT p(w.L, w.T + vs, w.R, w.B - vs);
  g.DrawGrid(GetColor(kShadow), w, hs, vs, &mBlend, 1.f);
  const int n = static_cast<int>(mPoints.size());
  for (const Plot& plot : mPlots) {
    for (int j = 0; j < n; ++j)
      mPoints[static_cast<std::size_t>(j)] = Sample(plot.func, j, n, mMin, mMax);
    g.DrawData(plot.color, p, mPoints.data(), n, nullptr, &mBlend, mTrackWidth);
  }
  if (mStyle.frameOn)
    g.DrawRect(GetColor(kFrame), w, &mBlend, mStyle.frameWidth);
}

} // namespace plugin::igraphics
