#pragma once
// Composite glyphs with a part placed by matching two points, which the
// TrueType parser cannot place: their outline is assembled here and drawn
// with the parser's own rasteriser.

#include "FontStash.h"

// Draws `glyph` of a font whose outline passed fst_glyphOutlineIsSafe into
// `out` as stbtt_MakeGlyphBitmapSubpixel does (no shift, equal scales).
void fst_makeGlyphBitmap(const FSTfont* font, unsigned char* out, int w, int h, int stride, float scale, int glyph);
