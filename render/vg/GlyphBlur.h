#pragma once
// Integer blur of a glyph cell in place: two vertical and two horizontal
// passes of a recursive filter whose ends are forced to zero.

// w x h pixels with row stride `stride`; blur > 0 in pixels.
void fst_blur(unsigned char* dst, int w, int h, int stride, int blur);
