#include "SpecialControls.h"

#include "IGraphics.h"

namespace plugin::igraphics {

IPopupMenuControl* AttachPopupMenuControl(IGraphics& g, const IText& text, const IRECT& expandedBounds)
{
  if (IControl* existing = g.GetPopupMenuControl())
    return dynamic_cast<IPopupMenuControl*>(existing);
  auto* c = new IPopupMenuControl(-1, text, IRECT(), expandedBounds);
  IGraphics* graphics = &g;
  g.SetPopupMenuSlot(
    c, [c] { return c->IsWaitingForChoice(); },
    [c, graphics](IPopupMenu& menu, const IRECT& anchor) {
      // A menu still on screen: the newcomer hears "no choice" at once.
      if (!c->CreatePopupMenu(menu, anchor))
        graphics->SetControlValueAfterPopupMenu(nullptr);
    });
  return c;
}

ITextEntryControl* AttachTextEntryControl(IGraphics& g)
{
  if (IControl* existing = g.GetTextEntryControl())
    return dynamic_cast<ITextEntryControl*>(existing);
  auto* c = new ITextEntryControl();
  g.SetTextEntrySlot(
    c, [c] { return c->IsEditing(); },
    [c](int paramIdx, const IText& text, const IRECT& bounds, int length, const char* str) {
      c->CreateTextEntry(paramIdx, text, bounds, length, str);
    });
  return c;
}

} // namespace plugin::igraphics
