#include "FontStash.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "FontAtlas.h"
#include "FontStashInternal.h"
#include "FontCff.h"
#include "FontTables.h"

void* fst_alloc(size_t size) { return ::operator new(size, std::nothrow); }

void* fst_allocZeroed(size_t size)
{
  void* p = fst_alloc(size);
  if (p != nullptr)
    std::memset(p, 0, size);
  return p;
}

void* fst_grow(void* p, size_t used, size_t size)
{
  void* q = fst_alloc(size);
  if (q == nullptr)
    return nullptr;
  if (p != nullptr && used > 0)
    std::memcpy(q, p, used < size ? used : size);
  fst_free(p);
  return q;
}

void fst_free(void* p) { ::operator delete(p); }

namespace {

void freeFont(FSTfont* font)
{
  if (font == nullptr)
    return;
  fst_free(font->glyphs);
  if (font->freeData)
    std::free(font->data);
  fst_free(font);
}

// Appends an empty font record; its index, or -1.
int allocFont(FSTcontext* s)
{
  if (s->nfonts + 1 > s->cfonts) {
    const int cfonts = s->cfonts == 0 ? 8 : s->cfonts * 2;
    auto* fonts = static_cast<FSTfont**>(fst_grow(s->fonts, sizeof(FSTfont*) * s->nfonts, sizeof(FSTfont*) * cfonts));
    if (fonts == nullptr)
      return -1;
    s->fonts = fonts;
    s->cfonts = cfonts;
  }
  auto* font = static_cast<FSTfont*>(fst_allocZeroed(sizeof(FSTfont)));
  if (font == nullptr)
    return -1;
  font->glyphs = static_cast<FSTglyph*>(fst_allocZeroed(sizeof(FSTglyph) * FST_INIT_GLYPHS));
  if (font->glyphs == nullptr) {
    fst_free(font);
    return -1;
  }
  font->cglyphs = FST_INIT_GLYPHS;
  s->fonts[s->nfonts++] = font;
  return s->nfonts - 1;
}

void emptyDirtyRect(FSTcontext* s)
{
  s->dirtyRect[0] = s->params.width;
  s->dirtyRect[1] = s->params.height;
  s->dirtyRect[2] = 0;
  s->dirtyRect[3] = 0;
}

} // namespace

FSTstate* fst_getState(FSTcontext* s) { return &s->states[s->nstates - 1]; }

FSTfont* fst_currentFont(FSTcontext* s)
{
  if (s == nullptr || s->nstates < 1)
    return nullptr;
  const int id = fst_getState(s)->font;
  if (id < 0 || id >= s->nfonts)
    return nullptr;
  FSTfont* font = s->fonts[id];
  return font->data != nullptr ? font : nullptr;
}

void fst_flush(FSTcontext* s)
{
  if (s->dirtyRect[0] < s->dirtyRect[2] && s->dirtyRect[1] < s->dirtyRect[3]) {
    if (s->params.renderUpdate != nullptr)
      s->params.renderUpdate(s->params.userPtr, s->dirtyRect, s->texData);
    emptyDirtyRect(s);
  }
  if (s->nverts > 0) {
    if (s->params.renderDraw != nullptr)
      s->params.renderDraw(s->params.userPtr, s->verts, s->tcoords, s->colors, s->nverts);
    s->nverts = 0;
  }
}

void fst_addWhiteRect(FSTcontext* s, int w, int h)
{
  int gx, gy;
  if (fst_atlasAddRect(s->atlas, w, h, &gx, &gy) == 0)
    return;
  for (int y = 0; y < h; y++)
    std::memset(s->texData + gx + (gy + y) * s->params.width, 0xff, w);
  s->dirtyRect[0] = gx < s->dirtyRect[0] ? gx : s->dirtyRect[0];
  s->dirtyRect[1] = gy < s->dirtyRect[1] ? gy : s->dirtyRect[1];
  s->dirtyRect[2] = gx + w > s->dirtyRect[2] ? gx + w : s->dirtyRect[2];
  s->dirtyRect[3] = gy + h > s->dirtyRect[3] ? gy + h : s->dirtyRect[3];
}

FSTcontext* fstCreateInternal(FSTparams* params)
{
  if (params == nullptr || params->width <= 0 || params->height <= 0 || params->width > SHRT_MAX ||
      params->height > SHRT_MAX)
    return nullptr;
  auto* s = static_cast<FSTcontext*>(fst_allocZeroed(sizeof(FSTcontext)));
  if (s == nullptr)
    return nullptr;
  s->params = *params;
  s->scratch = static_cast<unsigned char*>(fst_alloc(FST_SCRATCH_BUF_SIZE));
  if (s->scratch == nullptr)
    goto error;
  if (s->params.renderCreate != nullptr &&
      s->params.renderCreate(s->params.userPtr, s->params.width, s->params.height) == 0)
    goto error;
  s->atlas = fst_allocAtlas(s->params.width, s->params.height, FST_INIT_ATLAS_NODES);
  if (s->atlas == nullptr)
    goto error;
  s->fonts = static_cast<FSTfont**>(fst_allocZeroed(sizeof(FSTfont*) * FST_INIT_FONTS));
  if (s->fonts == nullptr)
    goto error;
  s->cfonts = FST_INIT_FONTS;
  s->itw = 1.0f / s->params.width;
  s->ith = 1.0f / s->params.height;
  s->texData = static_cast<unsigned char*>(fst_allocZeroed(static_cast<size_t>(s->params.width) * s->params.height));
  if (s->texData == nullptr)
    goto error;
  emptyDirtyRect(s);
  fst_addWhiteRect(s, 2, 2);
  fstPushState(s);
  fstClearState(s);
  return s;

error:
  fstDeleteInternal(s);
  return nullptr;
}

void fstDeleteInternal(FSTcontext* s)
{
  if (s == nullptr)
    return;
  if (s->params.renderDelete != nullptr)
    s->params.renderDelete(s->params.userPtr);
  for (int i = 0; i < s->nfonts; i++)
    freeFont(s->fonts[i]);
  fst_deleteAtlas(s->atlas);
  fst_free(s->fonts);
  fst_free(s->texData);
  fst_free(s->scratch);
  fst_free(s);
}

void fstSetErrorCallback(FSTcontext* s, void (*callback)(void* uptr, int error, int val), void* uptr)
{
  if (s == nullptr)
    return;
  s->handleError = callback;
  s->errorUptr = uptr;
}

int fstAddFont(FSTcontext* s, const char* name, const char* path, int fontIndex)
{
  if (s == nullptr || path == nullptr)
    return -1;
  FILE* fp = std::fopen(path, "rb");
  if (fp == nullptr)
    return -1;
  unsigned char* data = nullptr;
  long size = -1;
  if (std::fseek(fp, 0, SEEK_END) == 0)
    size = std::ftell(fp);
  if (size <= 0 || size > INT_MAX || std::fseek(fp, 0, SEEK_SET) != 0) {
    std::fclose(fp);
    return -1;
  }
  data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size)));
  if (data == nullptr || std::fread(data, 1, static_cast<size_t>(size), fp) != static_cast<size_t>(size)) {
    std::fclose(fp);
    std::free(data);
    return -1;
  }
  std::fclose(fp);
  // The stash owns the bytes from here on and frees them itself when it refuses them.
  return fstAddFontMem(s, name, data, static_cast<int>(size), fontIndex, 1);
}

int fstAddFontMem(FSTcontext* s, const char* name, unsigned char* data, int dataSize, int fontIndex, int freeData)
{
  const int idx = s != nullptr ? allocFont(s) : -1;
  if (idx == -1) {
    if (freeData)
      std::free(data);
    return -1;
  }
  FSTfont* font = s->fonts[idx];
  std::strncpy(font->name, name != nullptr ? name : "", sizeof(font->name) - 1);
  font->name[sizeof(font->name) - 1] = '\0';
  std::memset(font->lut, -1, sizeof(font->lut));
  font->data = data;
  font->dataSize = dataSize;
  font->freeData = static_cast<unsigned char>(freeData != 0);
  s->nscratch = 0;

  FSTfontLayout layout;
  font->font.userdata = s;
  if (fst_checkFontData(data, dataSize, fontIndex, &layout) == 0 ||
      stbtt_InitFont(&font->font, data, layout.offset) == 0) {
    freeFont(font);
    s->nfonts--;
    return -1;
  }
  font->font.userdata = s;
  if (layout.cffLength > 0)
    fst_boundCff(&font->font, static_cast<uint64_t>(layout.cffLength));
  font->kernPairs = layout.kernPairs;
  font->nkernPairs = layout.nkernPairs;

  int ascent, descent, lineGap;
  stbtt_GetFontVMetrics(&font->font, &ascent, &descent, &lineGap);
  const float fh = static_cast<float>(ascent - descent);
  font->ascender = static_cast<float>(ascent) / fh;
  font->descender = static_cast<float>(descent) / fh;
  font->lineh = static_cast<float>(ascent - descent + lineGap) / fh;
  return idx;
}

int fstGetFontByName(FSTcontext* s, const char* name)
{
  if (s == nullptr || name == nullptr)
    return -1;
  for (int i = 0; i < s->nfonts; i++)
    if (std::strcmp(s->fonts[i]->name, name) == 0)
      return i;
  return -1;
}

int fstAddFallbackFont(FSTcontext* s, int base, int fallback)
{
  if (s == nullptr || base < 0 || base >= s->nfonts || fallback < 0 || fallback >= s->nfonts)
    return 0;
  FSTfont* font = s->fonts[base];
  if (font->nfallbacks >= FST_MAX_FALLBACKS)
    return 0;
  font->fallbacks[font->nfallbacks++] = fallback;
  return 1;
}

void fstPushState(FSTcontext* s)
{
  if (s->nstates >= FST_MAX_STATES) {
    if (s->handleError != nullptr)
      s->handleError(s->errorUptr, FST_STATES_OVERFLOW, 0);
    return;
  }
  if (s->nstates > 0)
    s->states[s->nstates] = s->states[s->nstates - 1];
  s->nstates++;
}

void fstPopState(FSTcontext* s)
{
  if (s->nstates <= 1) {
    if (s->handleError != nullptr)
      s->handleError(s->errorUptr, FST_STATES_UNDERFLOW, 0);
    return;
  }
  s->nstates--;
}

void fstClearState(FSTcontext* s)
{
  FSTstate* state = fst_getState(s);
  state->size = 12.0f;
  state->color = 0xffffffff;
  state->font = 0;
  state->blur = 0;
  state->spacing = 0;
  state->align = FST_ALIGN_LEFT | FST_ALIGN_BASELINE;
}

void fstSetSize(FSTcontext* s, float size) { fst_getState(s)->size = size; }
void fstSetColor(FSTcontext* s, unsigned int color) { fst_getState(s)->color = color; }
void fstSetSpacing(FSTcontext* s, float spacing) { fst_getState(s)->spacing = spacing; }
void fstSetBlur(FSTcontext* s, float blur) { fst_getState(s)->blur = blur; }
void fstSetAlign(FSTcontext* s, int align) { fst_getState(s)->align = align; }
void fstSetFont(FSTcontext* s, int font) { fst_getState(s)->font = font; }

const unsigned char* fstGetTextureData(FSTcontext* s, int* width, int* height)
{
  if (width != nullptr)
    *width = s->params.width;
  if (height != nullptr)
    *height = s->params.height;
  return s->texData;
}

int fstValidateTexture(FSTcontext* s, int* dirty)
{
  if (s->dirtyRect[0] < s->dirtyRect[2] && s->dirtyRect[1] < s->dirtyRect[3]) {
    std::memcpy(dirty, s->dirtyRect, sizeof(s->dirtyRect));
    emptyDirtyRect(s);
    return 1;
  }
  return 0;
}

void fstGetAtlasSize(FSTcontext* s, int* width, int* height)
{
  if (s == nullptr)
    return;
  if (width != nullptr)
    *width = s->params.width;
  if (height != nullptr)
    *height = s->params.height;
}

int fstExpandAtlas(FSTcontext* s, int width, int height)
{
  if (s == nullptr)
    return 0;
  width = width > s->params.width ? width : s->params.width;
  height = height > s->params.height ? height : s->params.height;
  if (width == s->params.width && height == s->params.height)
    return 1;
  if (width > SHRT_MAX || height > SHRT_MAX)
    return 0;

  fst_flush(s);
  if (s->params.renderResize != nullptr && s->params.renderResize(s->params.userPtr, width, height) == 0)
    return 0;
  auto* data = static_cast<unsigned char*>(fst_allocZeroed(static_cast<size_t>(width) * height));
  if (data == nullptr)
    return 0;
  for (int y = 0; y < s->params.height; y++)
    std::memcpy(data + y * width, s->texData + y * s->params.width, s->params.width);
  fst_free(s->texData);
  s->texData = data;

  fst_atlasExpand(s->atlas, width, height);
  short maxy = 0;
  for (int i = 0; i < s->atlas->nnodes; i++)
    maxy = s->atlas->nodes[i].y > maxy ? s->atlas->nodes[i].y : maxy;
  s->dirtyRect[0] = 0;
  s->dirtyRect[1] = 0;
  s->dirtyRect[2] = width;
  s->dirtyRect[3] = maxy;
  s->params.width = width;
  s->params.height = height;
  s->itw = 1.0f / width;
  s->ith = 1.0f / height;
  return 1;
}

int fstResetAtlas(FSTcontext* s, int width, int height)
{
  if (s == nullptr || width <= 0 || height <= 0 || width > SHRT_MAX || height > SHRT_MAX)
    return 0;
  fst_flush(s);
  if (s->params.renderResize != nullptr && s->params.renderResize(s->params.userPtr, width, height) == 0)
    return 0;
  // The new pixels come first, so a failure leaves the old atlas whole.
  auto* data = static_cast<unsigned char*>(fst_allocZeroed(static_cast<size_t>(width) * height));
  if (data == nullptr)
    return 0;
  fst_free(s->texData);
  s->texData = data;
  fst_atlasReset(s->atlas, width, height);

  for (int i = 0; i < s->nfonts; i++) {
    s->fonts[i]->nglyphs = 0;
    std::memset(s->fonts[i]->lut, -1, sizeof(s->fonts[i]->lut));
  }
  s->params.width = width;
  s->params.height = height;
  s->itw = 1.0f / width;
  s->ith = 1.0f / height;
  emptyDirtyRect(s);
  fst_addWhiteRect(s, 2, 2);
  return 1;
}
