// Glyph cache, rasterisation into the atlas, quads, and the parser's scratch memory.

#include <cmath>
#include <cstring>

#include "FloatToInt.h"
#include "FontAtlas.h"
#include "FontComposite.h"
#include "FontStashInternal.h"
#include "FontTables.h"
#include "GlyphBlur.h"

namespace {

unsigned int hashint(unsigned int a)
{
  a += ~(a << 15);
  a ^= (a >> 10);
  a += (a << 3);
  a ^= (a >> 6);
  a += ~(a << 11);
  a ^= (a >> 16);
  return a;
}

// A cmap entry past the glyph count would send the parser outside its tables.
int findGlyphIndex(FSTfont* font, unsigned int codepoint)
{
  const int index = stbtt_FindGlyphIndex(&font->font, static_cast<int>(codepoint));
  return index > 0 && index < font->font.numGlyphs ? index : 0;
}

int allocGlyph(FSTfont* font)
{
  if (font->nglyphs + 1 > font->cglyphs) {
    const int cglyphs = font->cglyphs == 0 ? 8 : font->cglyphs * 2;
    auto* glyphs =
      static_cast<FSTglyph*>(fst_grow(font->glyphs, sizeof(FSTglyph) * font->nglyphs, sizeof(FSTglyph) * cglyphs));
    if (glyphs == nullptr)
      return -1;
    font->glyphs = glyphs;
    font->cglyphs = cglyphs;
  }
  return font->nglyphs++;
}

// Keeps cell arithmetic inside 16 bits for absurd sizes.
int clampBox(int v) { return v < -16000 ? -16000 : (v > 16000 ? 16000 : v); }

} // namespace

short fst_sizeKey(float size) { return plugin::FloatToInt<short>(size * 10.0f); }
short fst_blurKey(float blur) { return plugin::FloatToInt<short>(blur); }

void* fst_tmpalloc(size_t size, void* userdata)
{
  auto* s = static_cast<FSTcontext*>(userdata);
  if (s == nullptr)
    return fst_alloc(size);
  const size_t rounded = (size + 0xf) & ~static_cast<size_t>(0xf);
  if (rounded > static_cast<size_t>(FST_SCRATCH_BUF_SIZE - s->nscratch)) {
    if (s->handleError != nullptr)
      s->handleError(s->errorUptr, FST_SCRATCH_FULL, s->nscratch + static_cast<int>(size));
    // A glyph too large for the scratch area is drawn from the heap, not left blank.
    return fst_alloc(size);
  }
  unsigned char* ptr = s->scratch + s->nscratch;
  s->nscratch += static_cast<int>(rounded);
  return ptr;
}

void fst_tmpfree(void* ptr, void* userdata)
{
  auto* s = static_cast<FSTcontext*>(userdata);
  auto* p = static_cast<unsigned char*>(ptr);
  if (s != nullptr && p >= s->scratch && p < s->scratch + FST_SCRATCH_BUF_SIZE)
    return;
  fst_free(ptr);
}

float fst_getVertAlign(FSTcontext* s, FSTfont* font, int align, short isize)
{
  float offset = 0.0f;
  const float size = isize / 10.0f;
  if (align & FST_ALIGN_TOP)
    offset = font->ascender * size;
  else if (align & FST_ALIGN_MIDDLE)
    offset = (font->ascender + font->descender) / 2.0f * size;
  else if (align & FST_ALIGN_BASELINE)
    offset = 0.0f;
  else if (align & FST_ALIGN_BOTTOM)
    offset = font->descender * size;
  return (s->params.flags & FST_ZERO_TOPLEFT) ? offset : -offset;
}

FSTglyph* fst_getGlyph(FSTcontext* s, FSTfont* font, unsigned int codepoint, short isize, short iblur, int bitmapOption)
{
  if (isize < 2)
    return nullptr;
  if (iblur > FST_MAX_BLUR)
    iblur = FST_MAX_BLUR;
  if (iblur < 0)
    iblur = 0;
  const int pad = iblur + 2;
  s->nscratch = 0;

  const unsigned int h = hashint(codepoint) & (FST_HASH_LUT_SIZE - 1);
  int found = -1;
  for (int i = font->lut[h]; i != -1; i = font->glyphs[i].next) {
    FSTglyph& g = font->glyphs[i];
    if (g.codepoint == codepoint && g.size == isize && g.blur == iblur) {
      if (bitmapOption == FST_GLYPH_BITMAP_OPTIONAL || (g.x0 >= 0 && g.y0 >= 0))
        return &g;
      found = i; // metrics cached, bitmap still to draw
      break;
    }
  }

  FSTfont* renderFont = font;
  int index = findGlyphIndex(font, codepoint);
  if (index == 0) {
    for (int i = 0; i < font->nfallbacks; i++) {
      FSTfont* fallback = s->fonts[font->fallbacks[i]];
      const int fallbackIndex = findGlyphIndex(fallback, codepoint);
      if (fallbackIndex != 0) {
        index = fallbackIndex;
        renderFont = fallback;
        break;
      }
    }
  }

  const float size = isize / 10.0f;
  const float scale = stbtt_ScaleForPixelHeight(&renderFont->font, size);
  int advance, lsb, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  stbtt_GetGlyphHMetrics(&renderFont->font, index, &advance, &lsb);
  const bool drawable = fst_glyphOutlineIsSafe(renderFont, index) != 0;
  if (drawable)
    stbtt_GetGlyphBitmapBoxSubpixel(&renderFont->font, index, scale, scale, 0.0f, 0.0f, &x0, &y0, &x1, &y1);
  x0 = clampBox(x0);
  y0 = clampBox(y0);
  x1 = clampBox(x1 < x0 ? x0 : x1);
  y1 = clampBox(y1 < y0 ? y0 : y1);
  const int gw = x1 - x0 + pad * 2;
  const int gh = y1 - y0 + pad * 2;

  int gx = -1, gy = -1;
  if (bitmapOption == FST_GLYPH_BITMAP_REQUIRED) {
    int added = fst_atlasAddRect(s->atlas, gw, gh, &gx, &gy);
    if (added == 0 && s->handleError != nullptr) {
      s->handleError(s->errorUptr, FST_ATLAS_FULL, 0);
      added = fst_atlasAddRect(s->atlas, gw, gh, &gx, &gy);
    }
    if (added == 0)
      return nullptr;
  }

  if (found == -1) {
    found = allocGlyph(font);
    if (found == -1)
      return nullptr;
    FSTglyph& g = font->glyphs[found];
    g.codepoint = codepoint;
    g.size = isize;
    g.blur = iblur;
    g.next = font->lut[h];
    font->lut[h] = found;
  }
  FSTglyph* glyph = &font->glyphs[found];
  glyph->index = index;
  glyph->x0 = static_cast<short>(gx);
  glyph->y0 = static_cast<short>(gy);
  glyph->x1 = static_cast<short>(gx + gw);
  glyph->y1 = static_cast<short>(gy + gh);
  glyph->xadv = plugin::FloatToInt<short>(scale * advance * 10.0f);
  glyph->xoff = static_cast<short>(x0 - pad);
  glyph->yoff = static_cast<short>(y0 - pad);
  if (bitmapOption == FST_GLYPH_BITMAP_OPTIONAL)
    return glyph;

  const int stride = s->params.width;
  unsigned char* cell = s->texData + glyph->x0 + glyph->y0 * stride;
  if (drawable)
    fst_makeGlyphBitmap(renderFont, cell + pad + pad * stride, gw - pad * 2, gh - pad * 2, stride, scale, index);
  for (int y = 0; y < gh; y++) {
    cell[y * stride] = 0;
    cell[gw - 1 + y * stride] = 0;
  }
  std::memset(cell, 0, gw);
  std::memset(cell + (gh - 1) * stride, 0, gw);

  if (iblur > 0) {
    s->nscratch = 0;
    fst_blur(cell, gw, gh, stride, iblur);
  }

  s->dirtyRect[0] = glyph->x0 < s->dirtyRect[0] ? glyph->x0 : s->dirtyRect[0];
  s->dirtyRect[1] = glyph->y0 < s->dirtyRect[1] ? glyph->y0 : s->dirtyRect[1];
  s->dirtyRect[2] = glyph->x1 > s->dirtyRect[2] ? glyph->x1 : s->dirtyRect[2];
  s->dirtyRect[3] = glyph->y1 > s->dirtyRect[3] ? glyph->y1 : s->dirtyRect[3];
  return glyph;
}

void fst_getQuad(FSTcontext* s, FSTfont* font, int prevGlyphIndex, FSTglyph* glyph, float scale, float spacing,
                 float* x, float* y, FSTquad* q)
{
  if (prevGlyphIndex != -1) {
    // Kerning keeps its sign: rounded to the nearest pixel, as advances are.
    const float adv = static_cast<float>(fst_kernAdvance(font, prevGlyphIndex, glyph->index)) * scale;
    *x += std::floor(adv + spacing + 0.5f);
  }

  // The cell's outer row and column stay out of the quad, so filtering never
  // picks up a neighbour.
  const float xoff = static_cast<float>(glyph->xoff + 1);
  const float yoff = static_cast<float>(glyph->yoff + 1);
  const float x0 = static_cast<float>(glyph->x0 + 1);
  const float y0 = static_cast<float>(glyph->y0 + 1);
  const float x1 = static_cast<float>(glyph->x1 - 1);
  const float y1 = static_cast<float>(glyph->y1 - 1);

  // Whole pixels by truncation toward zero, kept in float: positions may lie
  // far outside any integer range.
  const float rx = std::trunc(*x + xoff);
  if (s->params.flags & FST_ZERO_TOPLEFT) {
    const float ry = std::trunc(*y + yoff);
    q->x0 = rx;
    q->y0 = ry;
    q->x1 = rx + x1 - x0;
    q->y1 = ry + y1 - y0;
  } else {
    const float ry = std::trunc(*y - yoff);
    q->x0 = rx;
    q->y0 = ry;
    q->x1 = rx + x1 - x0;
    q->y1 = ry - y1 + y0;
  }
  q->s0 = x0 * s->itw;
  q->t0 = y0 * s->ith;
  q->s1 = x1 * s->itw;
  q->t1 = y1 * s->ith;

  *x += std::floor(glyph->xadv / 10.0f + 0.5f);
}
