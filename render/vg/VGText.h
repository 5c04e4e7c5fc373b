#pragma once
// The vector engine's text: fonts from the font stash, strings drawn as
// textured triangles through the renderer, measuring and line breaking.
// Positions are user space; glyphs are rasterised at the state transform's
// average scale (at most 4) times the device pixel ratio. A null end means up
// to the terminating NUL. With no font selected nothing is drawn or measured.

#include "VG.h"

enum VGalign {
  VG_ALIGN_LEFT = 1,
  VG_ALIGN_CENTER = 2,
  VG_ALIGN_RIGHT = 4,
  VG_ALIGN_TOP = 8,
  VG_ALIGN_MIDDLE = 16,
  VG_ALIGN_BOTTOM = 32,
  VG_ALIGN_BASELINE = 64,
};

struct VGtextRow {
  const char* start; // first byte of the row
  const char* end;   // end of its last visible character
  const char* next;  // first byte of the following row
  float width;       // logical advance width
  float minx, maxx;  // extent of the glyph boxes, relative to the row start
};

struct VGglyphPosition {
  const char* str;  // the glyph's first byte
  float x;          // pen position
  float minx, maxx; // logical extent
};

// Fonts: ids from 0, -1 when not added or not found.
int vgCreateFont(VGcontext* ctx, const char* name, const char* path);
int vgCreateFontAtIndex(VGcontext* ctx, const char* name, const char* path, int fontIndex);
// With freeData set the engine owns `data` (a malloc block), also when it refuses it.
int vgCreateFontMem(VGcontext* ctx, const char* name, unsigned char* data, int ndata, int freeData);
int vgCreateFontMemAtIndex(VGcontext* ctx, const char* name, unsigned char* data, int ndata, int freeData,
                           int fontIndex);
int vgFindFont(VGcontext* ctx, const char* name);
int vgAddFallbackFontId(VGcontext* ctx, int baseFont, int fallbackFont);
int vgAddFallbackFont(VGcontext* ctx, const char* baseFont, const char* fallbackFont);

// Text state of the current engine state.
void vgFontSize(VGcontext* ctx, float size);
void vgFontBlur(VGcontext* ctx, float blur);
void vgTextLetterSpacing(VGcontext* ctx, float spacing);
void vgTextLineHeight(VGcontext* ctx, float lineHeight);
void vgTextAlign(VGcontext* ctx, int align);
void vgFontFaceId(VGcontext* ctx, int font);
void vgFontFace(VGcontext* ctx, const char* font);

// Draws one line; returns the pen x after it.
float vgText(VGcontext* ctx, float x, float y, const char* string, const char* end);
// Draws the text wrapped at breakRowWidth, one line height per row.
void vgTextBox(VGcontext* ctx, float x, float y, float breakRowWidth, const char* string, const char* end);
// Advance of one line; bounds (minx, miny, maxx, maxy) when not null.
float vgTextBounds(VGcontext* ctx, float x, float y, const char* string, const char* end, float* bounds);
void vgTextBoxBounds(VGcontext* ctx, float x, float y, float breakRowWidth, const char* string, const char* end,
                     float* bounds);
int vgTextGlyphPositions(VGcontext* ctx, float x, float y, const char* string, const char* end,
                         VGglyphPosition* positions, int maxPositions);
// Any output may be null.
void vgTextMetrics(VGcontext* ctx, float* ascender, float* descender, float* lineh);
int vgTextBreakLines(VGcontext* ctx, const char* string, const char* end, float breakRowWidth, VGtextRow* rows,
                     int maxRows);
