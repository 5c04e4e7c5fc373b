#pragma once
// Font stash: the fonts the vector engine draws with, a one-byte-a-pixel glyph
// atlas packed as a skyline, and UTF-8 text turned into textured quads.
// Free functions over plain records; one context per engine context, used by
// one thread at a time. Glyphs are rasterised once per (codepoint, size x 10,
// blur) and stay cached until the atlas is reset.

#include <cstdint>

#include <stb/stb_truetype.h>

enum FSTflags { FST_ZERO_TOPLEFT = 1 };

enum FSTalign {
  FST_ALIGN_LEFT = 1,
  FST_ALIGN_CENTER = 2,
  FST_ALIGN_RIGHT = 4,
  FST_ALIGN_TOP = 8,
  FST_ALIGN_MIDDLE = 16,
  FST_ALIGN_BOTTOM = 32,
  FST_ALIGN_BASELINE = 64,
};

enum FSTglyphBitmap { FST_GLYPH_BITMAP_OPTIONAL = 1, FST_GLYPH_BITMAP_REQUIRED = 2 };

enum FSTerrorCode {
  FST_ATLAS_FULL = 1,
  FST_SCRATCH_FULL = 2,
  FST_STATES_OVERFLOW = 3,
  FST_STATES_UNDERFLOW = 4,
};

constexpr int FST_SCRATCH_BUF_SIZE = 96000;
constexpr int FST_MAX_FALLBACKS = 20;
constexpr int FST_MAX_STATES = 20;
constexpr int FST_HASH_LUT_SIZE = 256;
constexpr int FST_VERTEX_COUNT = 1024;
constexpr int FST_INIT_GLYPHS = 256;
constexpr int FST_INIT_ATLAS_NODES = 256;
constexpr int FST_INIT_FONTS = 4;
constexpr int FST_MAX_BLUR = 20;

struct FSTparams {
  int width, height;
  uint8_t flags;
  void* userPtr;
  int (*renderCreate)(void* uptr, int width, int height);
  int (*renderResize)(void* uptr, int width, int height);
  void (*renderUpdate)(void* uptr, int* rect, const uint8_t* data);
  void (*renderDraw)(void* uptr, const float* verts, const float* tcoords, const uint32_t* colors, int nverts);
  void (*renderDelete)(void* uptr);
};

struct FSTquad {
  float x0, y0, s0, t0;
  float x1, y1, s1, t1;
};

struct FSTtextIter {
  float x, y, nextx, nexty, scale, spacing;
  unsigned int codepoint;
  short isize, iblur;
  struct FSTfont* font;
  int prevGlyphIndex;
  const char* str;
  const char* next;
  const char* end;
  unsigned int utf8state;
  int bitmapOption;
};

struct FSTglyph {
  unsigned int codepoint;
  int index;
  int next;
  short size, blur;
  short x0, y0, x1, y1;
  short xadv, xoff, yoff;
};

struct FSTfont {
  stbtt_fontinfo font;
  char name[64];
  unsigned char* data;
  int dataSize;
  unsigned char freeData;
  float ascender;
  float descender;
  float lineh;
  FSTglyph* glyphs;
  int cglyphs;
  int nglyphs;
  int lut[FST_HASH_LUT_SIZE];
  int fallbacks[FST_MAX_FALLBACKS];
  int nfallbacks;
  int kernPairs; // byte offset of the kerning pairs in data
  int nkernPairs;
};

struct FSTstate {
  int font;
  int align;
  float size;
  unsigned int color;
  float blur;
  float spacing;
};

struct FSTatlasNode {
  short x, y, width;
};

struct FSTatlas {
  int width, height;
  FSTatlasNode* nodes;
  int nnodes;
  int cnodes;
};

struct FSTcontext {
  FSTparams params;
  float itw, ith;
  unsigned char* texData;
  int dirtyRect[4];
  FSTfont** fonts;
  FSTatlas* atlas;
  int cfonts;
  int nfonts;
  float verts[FST_VERTEX_COUNT * 2];
  float tcoords[FST_VERTEX_COUNT * 2];
  unsigned int colors[FST_VERTEX_COUNT];
  int nverts;
  unsigned char* scratch;
  int nscratch;
  FSTstate states[FST_MAX_STATES];
  int nstates;
  void (*handleError)(void* uptr, int error, int val);
  void* errorUptr;
};

// Context. Creation returns null on any failure, having released what it made.
FSTcontext* fstCreateInternal(FSTparams* params);
void fstDeleteInternal(FSTcontext* s);
void fstSetErrorCallback(FSTcontext* s, void (*callback)(void* uptr, int error, int val), void* uptr);
void fstGetAtlasSize(FSTcontext* s, int* width, int* height);
int fstExpandAtlas(FSTcontext* s, int width, int height);
// Drops every cached glyph; the atlas becomes width x height, zeroed.
int fstResetAtlas(FSTcontext* s, int width, int height);

// Fonts: ids count from 0; -1 means the font was not added. Font bytes are
// checked before the parser sees them: damaged or unsupported data is refused.
int fstAddFont(FSTcontext* s, const char* name, const char* path, int fontIndex);
// With freeData set the stash owns `data` (a malloc block) from this call on,
// also when it fails.
int fstAddFontMem(FSTcontext* s, const char* name, unsigned char* data, int dataSize, int fontIndex, int freeData);
int fstGetFontByName(FSTcontext* s, const char* name);
int fstAddFallbackFont(FSTcontext* s, int base, int fallback);

// State stack of FST_MAX_STATES entries.
void fstPushState(FSTcontext* s);
void fstPopState(FSTcontext* s);
void fstClearState(FSTcontext* s);
void fstSetSize(FSTcontext* s, float size);
void fstSetColor(FSTcontext* s, unsigned int color);
void fstSetSpacing(FSTcontext* s, float spacing);
void fstSetBlur(FSTcontext* s, float blur);
void fstSetAlign(FSTcontext* s, int align);
void fstSetFont(FSTcontext* s, int font);

// Measuring. A null end means up to the terminating NUL.
float fstTextBounds(FSTcontext* s, float x, float y, const char* str, const char* end, float* bounds);
void fstLineBounds(FSTcontext* s, float y, float* miny, float* maxy);
void fstVertMetrics(FSTcontext* s, float* ascender, float* descender, float* lineh);

// Iteration: one step per code point, a bad UTF-8 sequence counting as one
// U+FFFD. After a step prevGlyphIndex is -1 when no glyph could be had (size
// under 0.2 pixels, or no atlas room for a required bitmap) and the quad is
// then left as it was.
int fstTextIterInit(FSTcontext* s, FSTtextIter* iter, float x, float y, const char* str, const char* end,
                    int bitmapOption);
int fstTextIterNext(FSTcontext* s, FSTtextIter* iter, FSTquad* quad);

// Atlas pixels (width x height bytes) and the region changed since the last call.
const unsigned char* fstGetTextureData(FSTcontext* s, int* width, int* height);
int fstValidateTexture(FSTcontext* s, int* dirty);

// Drawing through renderDraw; the engine draws through its own text layer.
float fstDrawText(FSTcontext* s, float x, float y, const char* str, const char* end);
void fstDrawDebug(FSTcontext* s, float x, float y);
