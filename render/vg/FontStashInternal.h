#pragma once
// What the font stash's own files share: glyph cache, quads, scratch memory.

#include <cstddef>

#include "FontStash.h"

// The stash's own heap blocks go through operator new, so allocation
// counters see them; null on failure. Font bytes handed over with freeData
// are the caller's malloc blocks and are released with free.
void* fst_alloc(size_t size);
void* fst_allocZeroed(size_t size);
// A block of `size` bytes holding the first `used` bytes of p; p is released
// on success and kept on failure.
void* fst_grow(void* p, size_t used, size_t size);
void fst_free(void* p);

// The top of the state stack.
FSTstate* fst_getState(FSTcontext* s);
// The font of the current state when it can be drawn with, else null.
FSTfont* fst_currentFont(FSTcontext* s);

// Cached glyph of (codepoint, isize, iblur), made (and drawn into the atlas
// when bitmapOption is FST_GLYPH_BITMAP_REQUIRED) on first use; null when
// isize < 2 or the atlas has no room.
FSTglyph* fst_getGlyph(FSTcontext* s, FSTfont* font, unsigned int codepoint, short isize, short iblur,
                       int bitmapOption);
// Quad of `glyph` at the pen (*x, *y), kerned against the previous glyph; advances *x.
void fst_getQuad(FSTcontext* s, FSTfont* font, int prevGlyphIndex, FSTglyph* glyph, float scale, float spacing,
                 float* x, float* y, FSTquad* q);
float fst_getVertAlign(FSTcontext* s, FSTfont* font, int align, short isize);
// size x 10 and blur as the glyph cache keys them.
short fst_sizeKey(float size);
short fst_blurKey(float blur);

// Empties the dirty region and pending vertices into the render callbacks.
void fst_flush(FSTcontext* s);
// Adds the 2 x 2 white spot the renderer samples for untextured drawing.
void fst_addWhiteRect(FSTcontext* s, int w, int h);

// Allocation hooks of the TrueType parser; `userdata` is the context or null.
void* fst_tmpalloc(size_t size, void* userdata);
void fst_tmpfree(void* ptr, void* userdata);
