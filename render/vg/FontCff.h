#pragma once
// Compact Font Format outlines. The TrueType parser reads them through a
// buffer it believes is 512 MB long and trusts every offset and count in
// the table, so the stash checks what the parser will read before it sees
// the font, bounds its buffers to the table afterwards, and walks each
// glyph's charstring as the parser will before letting it draw one.

#include <cstdint>

#include "FontStash.h"

// 1 when the parser may read the table `cff` (`length` bytes) of a face:
// every index, dictionary and FD selection it follows lies inside it.
int fst_checkCff(const unsigned char* cff, uint64_t length);

// Narrows the parser's buffers to the `length` bytes of the table, once it
// accepted a face whose table passed fst_checkCff.
void fst_boundCff(stbtt_fontinfo* info, uint64_t length);

// 1 when the parser can draw `glyph` with coordinates that fit its 16-bit
// vertices: the glyph exists, and its charstring, run as the parser runs it,
// ends in a bounded number of steps without overflowing its conversions.
int fst_cffOutlineIsSafe(const stbtt_fontinfo* info, int glyph);
