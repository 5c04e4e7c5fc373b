#pragma once
// Entry points of the SVG parser. No errors are reported: malformed input is
// skipped. Calls share no state; the text given to svgParse is cut in place.

#include "SVGImage.h"

namespace plugin::igraphics {

// Parses NUL-terminated text, which is modified in place. units names the unit
// of the result ("px", "mm", ...), dpi the pixels per inch for physical units.
// Returns an image the caller frees with svgDelete, or null when memory runs out.
SVGImage* svgParse(char* text, const char* units, float dpi);

// Reads the whole file (mode "rb") and parses it; null when it cannot be read.
SVGImage* svgParseFromFile(const char* path, const char* units, float dpi);

// Frees the image with all its shapes, paths and gradients; null is allowed.
void svgDelete(SVGImage* image);

// A copy of one path with its own points; next is null. Null for null input or
// when memory runs out.
SVGPath* svgDuplicatePath(const SVGPath* path);

} // namespace plugin::igraphics
