#pragma once
// One or more functions of x over [0, 1] drawn on a grid, optionally
// through a cached layer.

#include <functional>
#include <vector>

#include "IControl.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVPlotControl : public IControl, public IVectorBase {
public:
  struct Plot {
    IColor color;
    std::function<double(double)> func;
  };

  // Values from min to max span the plot's height.
  IVPlotControl(const IRECT& bounds, const std::vector<Plot>& plots, int numPoints, const char* label = "",
                const IVStyle& style = DEFAULT_STYLE, float min = -1.f, float max = 1.f, bool useLayer = false);

  void Draw(IGraphics& g) override;
  void OnResize() override;
  // func must be set.
  void AddPlotFunc(const IColor& color, const std::function<double(double)>& func);

  // The normalised samples of the plot drawn last.
  const std::vector<float>& GetPoints() const { return mPoints; }
  // Sample j of n over [0, 1], normalised to [min, max]; the middle for a
  // range of zero or a value that is no finite float (NaN, infinities, and
  // values past the float range).
  static float Sample(const std::function<double(double)>& f, int j, int n, float min, float max);

protected:
  void DrawContents(IGraphics& g);

  ILayerPtr mLayer;
  std::vector<Plot> mPlots;
  float mMin;
  float mMax;
  bool mUseLayer;
  int mHorizontalDivisions = 10;
  int mVerticalDivisions = 10;
  std::vector<float> mPoints;
};

} // namespace plugin::igraphics
