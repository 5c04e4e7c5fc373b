// Text through the font stash: the glyph iterator, measuring and the
// stand-alone drawing through renderDraw.

#include <cstring>

#include "FontStashInternal.h"
#include "Utf8Decoder.h"

float fstTextBounds(FSTcontext* s, float x, float y, const char* str, const char* end, float* bounds)
{
  FSTfont* font = fst_currentFont(s);
  if (font == nullptr || str == nullptr)
    return 0.0f;
  const FSTstate* state = fst_getState(s);
  const short isize = fst_sizeKey(state->size);
  const short iblur = fst_blurKey(state->blur);
  const float scale = stbtt_ScaleForPixelHeight(&font->font, isize / 10.0f);

  y += fst_getVertAlign(s, font, state->align, isize);
  float minx = x, maxx = x, miny = y, maxy = y;
  const float startx = x;
  if (end == nullptr)
    end = str + std::strlen(str);

  int prevGlyphIndex = -1;
  unsigned int codepoint;
  while (fstNextCodepoint(&str, end, &codepoint)) {
    FSTglyph* glyph = fst_getGlyph(s, font, codepoint, isize, iblur, FST_GLYPH_BITMAP_OPTIONAL);
    if (glyph != nullptr) {
      FSTquad q;
      fst_getQuad(s, font, prevGlyphIndex, glyph, scale, state->spacing, &x, &y, &q);
      if (q.x0 < minx)
        minx = q.x0;
      if (q.x1 > maxx)
        maxx = q.x1;
      if (s->params.flags & FST_ZERO_TOPLEFT) {
        if (q.y0 < miny)
          miny = q.y0;
        if (q.y1 > maxy)
          maxy = q.y1;
      } else {
        if (q.y1 < miny)
          miny = q.y1;
        if (q.y0 > maxy)
          maxy = q.y0;
      }
    }
    prevGlyphIndex = glyph != nullptr ? glyph->index : -1;
  }

  const float advance = x - startx;
  if (state->align & FST_ALIGN_LEFT) {
    // already in place
  } else if (state->align & FST_ALIGN_RIGHT) {
    minx -= advance;
    maxx -= advance;
  } else if (state->align & FST_ALIGN_CENTER) {
    minx -= advance * 0.5f;
    maxx -= advance * 0.5f;
  }
  if (bounds != nullptr) {
    bounds[0] = minx;
    bounds[1] = miny;
    bounds[2] = maxx;
    bounds[3] = maxy;
  }
  return advance;
}

void fstLineBounds(FSTcontext* s, float y, float* miny, float* maxy)
{
  FSTfont* font = fst_currentFont(s);
  if (font == nullptr)
    return;
  const FSTstate* state = fst_getState(s);
  const short isize = fst_sizeKey(state->size);
  const float size = isize / 10.0f;
  y += fst_getVertAlign(s, font, state->align, isize);
  float lo, hi;
  if (s->params.flags & FST_ZERO_TOPLEFT) {
    lo = y - font->ascender * size;
    hi = lo + font->lineh * size;
  } else {
    hi = y + font->descender * size;
    lo = hi - font->lineh * size;
  }
  if (miny != nullptr)
    *miny = lo;
  if (maxy != nullptr)
    *maxy = hi;
}

void fstVertMetrics(FSTcontext* s, float* ascender, float* descender, float* lineh)
{
  FSTfont* font = fst_currentFont(s);
  if (font == nullptr)
    return;
  const float size = fst_sizeKey(fst_getState(s)->size) / 10.0f;
  if (ascender != nullptr)
    *ascender = font->ascender * size;
  if (descender != nullptr)
    *descender = font->descender * size;
  if (lineh != nullptr)
    *lineh = font->lineh * size;
}

int fstTextIterInit(FSTcontext* s, FSTtextIter* iter, float x, float y, const char* str, const char* end,
                    int bitmapOption)
{
  std::memset(iter, 0, sizeof(*iter));
  FSTfont* font = fst_currentFont(s);
  if (font == nullptr || str == nullptr)
    return 0;
  const FSTstate* state = fst_getState(s);
  iter->font = font;
  iter->isize = fst_sizeKey(state->size);
  iter->iblur = fst_blurKey(state->blur);
  iter->scale = stbtt_ScaleForPixelHeight(&font->font, iter->isize / 10.0f);

  if (state->align & FST_ALIGN_LEFT) {
    // already in place
  } else if (state->align & FST_ALIGN_RIGHT) {
    x -= fstTextBounds(s, x, y, str, end, nullptr);
  } else if (state->align & FST_ALIGN_CENTER) {
    x -= fstTextBounds(s, x, y, str, end, nullptr) * 0.5f;
  }
  y += fst_getVertAlign(s, font, state->align, iter->isize);
  if (end == nullptr)
    end = str + std::strlen(str);

  iter->x = iter->nextx = x;
  iter->y = iter->nexty = y;
  iter->spacing = state->spacing;
  iter->str = str;
  iter->next = str;
  iter->end = end;
  iter->codepoint = 0;
  iter->prevGlyphIndex = -1;
  iter->utf8state = 0;
  iter->bitmapOption = bitmapOption;
  return 1;
}

int fstTextIterNext(FSTcontext* s, FSTtextIter* iter, FSTquad* quad)
{
  const char* str = iter->next;
  iter->str = iter->next;
  unsigned int codepoint;
  if (!fstNextCodepoint(&str, iter->end, &codepoint))
    return 0;
  iter->next = str;
  iter->codepoint = codepoint;
  iter->x = iter->nextx;
  iter->y = iter->nexty;
  FSTglyph* glyph = fst_getGlyph(s, iter->font, codepoint, iter->isize, iter->iblur, iter->bitmapOption);
  if (glyph != nullptr)
    fst_getQuad(s, iter->font, iter->prevGlyphIndex, glyph, iter->scale, iter->spacing, &iter->nextx, &iter->nexty,
                quad);
  iter->prevGlyphIndex = glyph != nullptr ? glyph->index : -1;
  return 1;
}

namespace {

void vertex(FSTcontext* s, float x, float y, float u, float v, unsigned int c)
{
  s->verts[s->nverts * 2 + 0] = x;
  s->verts[s->nverts * 2 + 1] = y;
  s->tcoords[s->nverts * 2 + 0] = u;
  s->tcoords[s->nverts * 2 + 1] = v;
  s->colors[s->nverts] = c;
  s->nverts++;
}

void quadVertices(FSTcontext* s, const FSTquad& q, unsigned int color)
{
  if (s->nverts + 6 > FST_VERTEX_COUNT)
    fst_flush(s);
  vertex(s, q.x0, q.y0, q.s0, q.t0, color);
  vertex(s, q.x1, q.y1, q.s1, q.t1, color);
  vertex(s, q.x1, q.y0, q.s1, q.t0, color);
  vertex(s, q.x0, q.y0, q.s0, q.t0, color);
  vertex(s, q.x0, q.y1, q.s0, q.t1, color);
  vertex(s, q.x1, q.y1, q.s1, q.t1, color);
}

} // namespace

float fstDrawText(FSTcontext* s, float x, float y, const char* str, const char* end)
{
  FSTtextIter iter;
  FSTquad q;
  if (fstTextIterInit(s, &iter, x, y, str, end, FST_GLYPH_BITMAP_REQUIRED) == 0)
    return x;
  const unsigned int color = fst_getState(s)->color;
  while (fstTextIterNext(s, &iter, &q))
    if (iter.prevGlyphIndex != -1)
      quadVertices(s, q, color);
  fst_flush(s);
  return iter.nextx;
}

void fstDrawDebug(FSTcontext* s, float x, float y)
{
  // The whole atlas as one quad.
  const FSTquad q{x, y, 0.0f, 0.0f, x + s->params.width, y + s->params.height, 1.0f, 1.0f};
  quadVertices(s, q, 0xffffffff);
  fst_flush(s);
}
