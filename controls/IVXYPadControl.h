#pragma once
// Two values edited with one handle on a plane: value 0 left to right,
// value 1 bottom to top.

#include <vector>

#include "IControl.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVXYPadControl : public IControl, public IVectorBase {
public:
  // params: the x parameter, then the y parameter (-1 for unlinked).
  IVXYPadControl(const IRECT& bounds, const std::vector<int>& params = {-1, -1}, const char* label = "",
                 const IVStyle& style = DEFAULT_STYLE, float handleRadius = 10.f);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  virtual void DrawHandle(IGraphics& g, const IRECT& trackBounds, const IRECT& handleBounds);
  virtual void DrawTrack(IGraphics& g);
  void OnResize() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;

  // When false the handle stays inside the widget by its radius.
  void SetTrackClipsHandle(bool clips)
  {
    mTrackClipsHandle = clips;
    SetDirty(false, -1);
  }
  IRECT HandleBounds() const;

protected:
  IRECT TravelBounds() const;

  float mHandleRadius;
  bool mMouseDown = false;
  bool mTrackClipsHandle = true;
};

} // namespace plugin::igraphics
