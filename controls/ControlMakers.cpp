// The control makers of the graphics context.

#include "ControlMakers.h"

#include "IBitmapControl.h"
#include "IBubbleControl.h"
#include "ICornerResizerControl.h"
#include "IFPSDisplayControl.h"
#include "IGraphics.h"
#include "IPopupMenuControl.h"
#include "ITextEntryControl.h"

namespace plugin::igraphics {

void InstallControlMakers(IGraphics& g)
{
  IGraphics::ControlMakers m = g.GetControlMakers();
  m.bitmap = [](float x, float y, const IBitmap& bitmap) -> IControl* {
    return new IBitmapControl(x, y, bitmap, -1, kBlendDefault);
  };
  m.svg = [](const IRECT& r, const ISVG& svg) -> IControl* { return new ISVGControl(r, svg); };
  m.panel = [](const IRECT& r, const IPattern& pattern) -> IControl* { return new IPanelControl(r, pattern); };
  m.popupMenu = [](const IText& text, const IRECT& expandedBounds) -> IControl* {
    return new IPopupMenuControl(-1, text, IRECT(), expandedBounds);
  };
  m.textEntry = []() -> IControl* { return new ITextEntryControl(); };
  m.cornerResizer = [](const IRECT& corner, float size, const IColor& color, const IColor& mouseOverColor,
                       const IColor& dragColor) -> IControl* {
    return new ICornerResizerControl(IRECT(0.f, 0.f, corner.R, corner.B), size, color, mouseOverColor, dragColor);
  };
  m.bubble = [](const IText& text) -> IControl* { return new IBubbleControl(text, COLOR_WHITE, COLOR_BLACK, 5.f); };
  m.fpsDisplay = [](const IRECT& r) -> IControl* { return new IFPSDisplayControl(r, 0, "Frame Time"); };
  g.SetControlMakers(std::move(m));
}

} // namespace plugin::igraphics
