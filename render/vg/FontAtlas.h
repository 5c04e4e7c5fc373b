#pragma once
// Skyline bottom-left packing of glyph cells into the font atlas. The nodes
// always cover [0, width) from left to right without gaps.

#include "FontStash.h"

FSTatlas* fst_allocAtlas(int width, int height, int nnodes);
void fst_deleteAtlas(FSTatlas* atlas);
// Back to one empty level of the given size.
void fst_atlasReset(FSTatlas* atlas, int width, int height);
// Widens or heightens the atlas; a wider atlas gets a new empty level on the right.
void fst_atlasExpand(FSTatlas* atlas, int width, int height);
// Places a w x h rectangle; 1 with its top-left in *rx, *ry, or 0 when it does not fit.
int fst_atlasAddRect(FSTatlas* atlas, int rw, int rh, int* rx, int* ry);
