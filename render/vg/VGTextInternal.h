#pragma once
// What the engine's text files share.

#include "FontStash.h"
#include "VGInternal.h"
#include "VGText.h"

// Font scale of the current state times the device pixel ratio.
float vg_textScale(VGcontext* ctx);
// Puts the current state's text settings, scaled, onto the font stash.
void vg_setFontStashState(VGcontext* ctx, float scale);
// Moves to the next, larger atlas image; 0 when there is none.
int vg_allocTextAtlas(VGcontext* ctx);
// Metrics-only glyphs need no atlas room: a glyph missing from an iterator
// step (size too small) stands as a zero-size quad at the pen.
void vg_missingGlyphQuad(const FSTtextIter* iter, FSTquad* q);
