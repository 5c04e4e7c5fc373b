#pragma once
// The triangle in the editor's bottom-right corner: a press starts the
// graphics context's drag resize, a double click restores the initial size
// at scale 1, and the pointer shows the resize cursor over it.

#include "IControl.h"
#include "IGraphicsConstants.h"

namespace plugin::igraphics {

class ICornerResizerControl : public IControl {
public:
  // graphicsBounds: the editor's bounds now, the size a double click restores.
  ICornerResizerControl(const IRECT& graphicsBounds, float size, const IColor& color = COLOR_TRANSLUCENT,
                        const IColor& mouseOverColor = COLOR_BLACK, const IColor& dragColor = COLOR_BLACK);

  void Draw(IGraphics& g) override;
  void OnRescale() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;

protected:
  float mSize;
  bool mMouseOverInternal = false;
  int mPrevCursor = 0;
  IRECT mInitialGraphicsBounds;
  IColor mColor;
  IColor mMouseOverColor;
  IColor mDragColor;
};

} // namespace plugin::igraphics
