#pragma once
// The font tables the stash reads itself: the checks that let the TrueType
// parser loose only on bytes whose offsets stay inside the font, and the
// pair kerning of the `kern` table.

#include "FontStash.h"

struct FSTfontLayout {
  int offset;    // start of the chosen face
  int kernPairs; // byte offset of the first kerning pair, 0 when none
  int nkernPairs;
  int cffLength; // bytes of the CFF table; 0 for TrueType outlines
};

// Checks the face `fontIndex` of `data`; 1 and its layout when the parser may
// read it, 0 when the bytes are damaged or hold outlines it cannot read.
int fst_checkFontData(const unsigned char* data, int dataSize, int fontIndex, FSTfontLayout* layout);

// Bytes of one TrueType glyph (len 0 for an empty one) in a checked font.
struct FSTglyphData {
  const unsigned char* p;
  uint64_t len;
};
bool fst_glyphData(const FSTfont* font, int glyph, FSTglyphData* out);

// 1 when the outline of `glyph` (and of the glyphs it is built from) lies
// inside the font's glyph data and is well formed.
int fst_glyphOutlineIsSafe(const FSTfont* font, int glyph);

// Horizontal kerning of a glyph pair in font units; 0 when the font has none.
int fst_kernAdvance(const FSTfont* font, int left, int right);
