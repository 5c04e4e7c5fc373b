#pragma once
// Installs the drawn popup menu and the drawn text entry in a graphics
// context's special-control slots; a second call finds the slot taken and
// returns the control already there (or null when another kind holds it).

#include "IPopupMenuControl.h"
#include "ITextEntryControl.h"

namespace plugin::igraphics {

IPopupMenuControl* AttachPopupMenuControl(IGraphics& g, const IText& text = DEFAULT_TEXT,
                                          const IRECT& expandedBounds = IRECT());
ITextEntryControl* AttachTextEntryControl(IGraphics& g);

} // namespace plugin::igraphics
