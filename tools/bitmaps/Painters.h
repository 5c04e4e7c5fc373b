#pragma once
// The editor's look: one painter per strip, drawing frame k of n in a frame
// of w x h points. Positions inside the background come from the shared
// layout constants, so painted buttons and captions line up with the
// controls the layout attaches.

#include "StripCanvas.h"

namespace bitmapmaker {

// The painter of a strip by its file stem; null for an unknown stem.
FramePainter PainterFor(const char* stem, const Fonts& fonts);

} // namespace bitmapmaker
