#pragma once
// Hands a graphics context the makers of the controls it builds itself
// (backgrounds, corner resizer, bubble, frame-rate display), so the graphics
// core never names a control class. The editor's composition root calls it
// once per context, before the layout attaches anything.

namespace plugin::igraphics {

class IGraphics;

void InstallControlMakers(IGraphics& g);

} // namespace plugin::igraphics
