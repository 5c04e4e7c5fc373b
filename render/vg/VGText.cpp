// Fonts, text state, drawing and measuring of the vector engine.

#include "VGTextInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "FloatToInt.h"

namespace {

// The largest atlas image; a glyph taller than this never fits one.
constexpr int kMaxAtlasSide = 2048;

float quantize(float a, float d) { return static_cast<float>(plugin::FloatToInt<int>(a / d + 0.5f)) * d; }

void flushTextTexture(VGcontext* ctx)
{
  int dirty[4];
  if (fstValidateTexture(ctx->fs, dirty) == 0)
    return;
  const int fontImage = ctx->fontImages[ctx->fontImageIdx];
  if (fontImage == 0)
    return;
  int iw, ih;
  const unsigned char* data = fstGetTextureData(ctx->fs, &iw, &ih);
  ctx->params.renderUpdateTexture(ctx->params.userPtr, fontImage, dirty[0], dirty[1], dirty[2] - dirty[0],
                                  dirty[3] - dirty[1], data);
}

void renderText(VGcontext* ctx, VGvertex* verts, int nverts)
{
  VGstate* state = vg_getState(ctx);
  VGpaint paint = state->fill;
  paint.image = ctx->fontImages[ctx->fontImageIdx];
  paint.innerColor.a *= state->alpha;
  paint.outerColor.a *= state->alpha;
  ctx->params.renderTriangles(ctx->params.userPtr, &paint, state->compositeOperation, &state->scissor, verts, nverts,
                              ctx->fringeWidth);
  ctx->drawCallCount++;
  ctx->textTriCount += nverts / 3;
}

} // namespace

float vg_textScale(VGcontext* ctx)
{
  const float scale = std::min(quantize(vg_getAverageScale(vg_getState(ctx)->xform), 0.01f), 4.0f);
  return scale * ctx->devicePxRatio;
}

void vg_setFontStashState(VGcontext* ctx, float scale)
{
  const VGstate* state = vg_getState(ctx);
  fstSetSize(ctx->fs, state->fontSize * scale);
  fstSetSpacing(ctx->fs, state->letterSpacing * scale);
  fstSetBlur(ctx->fs, state->fontBlur * scale);
  fstSetAlign(ctx->fs, state->textAlign);
  fstSetFont(ctx->fs, state->fontId);
}

void vg_missingGlyphQuad(const FSTtextIter* iter, FSTquad* q)
{
  *q = FSTquad{iter->x, iter->y, 0.0f, 0.0f, iter->x, iter->y, 0.0f, 0.0f};
}

int vg_allocTextAtlas(VGcontext* ctx)
{
  flushTextTexture(ctx);
  if (ctx->fontImageIdx >= VG_MAX_FONTIMAGES - 1)
    return 0;
  int iw = 0, ih = 0;
  int& next = ctx->fontImages[ctx->fontImageIdx + 1];
  if (next != 0) {
    ctx->params.renderGetTextureSize(ctx->params.userPtr, next, &iw, &ih);
  } else {
    ctx->params.renderGetTextureSize(ctx->params.userPtr, ctx->fontImages[ctx->fontImageIdx], &iw, &ih);
    if (iw > ih)
      ih *= 2;
    else
      iw *= 2;
    if (iw > kMaxAtlasSide || ih > kMaxAtlasSide)
      iw = ih = kMaxAtlasSide;
    if (iw <= 0 || ih <= 0)
      return 0;
    // A texture that cannot be made ends the growth rather than drawing with image 0.
    next = ctx->params.renderCreateTexture(ctx->params.userPtr, VG_TEXTURE_ALPHA, iw, ih, 0, nullptr);
    if (next == 0)
      return 0;
  }
  if (iw <= 0 || ih <= 0 || fstResetAtlas(ctx->fs, iw, ih) == 0)
    return 0;
  ctx->fontImageIdx++;
  return 1;
}

int vgCreateFont(VGcontext* ctx, const char* name, const char* path) { return fstAddFont(ctx->fs, name, path, 0); }

int vgCreateFontAtIndex(VGcontext* ctx, const char* name, const char* path, int fontIndex)
{
  return fstAddFont(ctx->fs, name, path, fontIndex);
}

int vgCreateFontMem(VGcontext* ctx, const char* name, unsigned char* data, int ndata, int freeData)
{
  return fstAddFontMem(ctx->fs, name, data, ndata, 0, freeData);
}

int vgCreateFontMemAtIndex(VGcontext* ctx, const char* name, unsigned char* data, int ndata, int freeData,
                           int fontIndex)
{
  return fstAddFontMem(ctx->fs, name, data, ndata, fontIndex, freeData);
}

int vgFindFont(VGcontext* ctx, const char* name)
{
  if (name == nullptr)
    return -1;
  return fstGetFontByName(ctx->fs, name);
}

int vgAddFallbackFontId(VGcontext* ctx, int baseFont, int fallbackFont)
{
  if (baseFont == -1 || fallbackFont == -1)
    return 0;
  return fstAddFallbackFont(ctx->fs, baseFont, fallbackFont);
}

int vgAddFallbackFont(VGcontext* ctx, const char* baseFont, const char* fallbackFont)
{
  return vgAddFallbackFontId(ctx, vgFindFont(ctx, baseFont), vgFindFont(ctx, fallbackFont));
}

void vgFontSize(VGcontext* ctx, float size) { vg_getState(ctx)->fontSize = size; }
void vgFontBlur(VGcontext* ctx, float blur) { vg_getState(ctx)->fontBlur = blur; }
void vgTextLetterSpacing(VGcontext* ctx, float spacing) { vg_getState(ctx)->letterSpacing = spacing; }
void vgTextLineHeight(VGcontext* ctx, float lineHeight) { vg_getState(ctx)->lineHeight = lineHeight; }
void vgTextAlign(VGcontext* ctx, int align) { vg_getState(ctx)->textAlign = align; }
void vgFontFaceId(VGcontext* ctx, int font) { vg_getState(ctx)->fontId = font; }
void vgFontFace(VGcontext* ctx, const char* font) { vg_getState(ctx)->fontId = fstGetFontByName(ctx->fs, font); }

float vgText(VGcontext* ctx, float x, float y, const char* string, const char* end)
{
  VGstate* state = vg_getState(ctx);
  if (state->fontId == -1 || string == nullptr)
    return x;
  if (end == nullptr)
    end = string + std::strlen(string);
  const float scale = vg_textScale(ctx);
  // No glyph has a place at a scale of zero or with a spacing or position
  // that is not a finite number.
  if (ctx->frameRefused || !(scale > 0.0f) || !std::isfinite(state->letterSpacing * scale) ||
      !std::isfinite(x * scale) || !std::isfinite(y * scale))
    return x;
  const float invscale = 1.0f / scale;
  vg_setFontStashState(ctx, scale);

  const int cverts = static_cast<int>(std::max<ptrdiff_t>(2, end - string)) * 6;
  VGvertex* verts = vg_allocTempVerts(ctx, cverts);
  if (verts == nullptr)
    return x;
  int nverts = 0;

  FSTtextIter iter, prevIter;
  FSTquad q;
  if (fstTextIterInit(ctx->fs, &iter, x * scale, y * scale, string, end, FST_GLYPH_BITMAP_REQUIRED) == 0)
    return x;
  prevIter = iter;
  while (fstTextIterNext(ctx->fs, &iter, &q)) {
    if (iter.prevGlyphIndex == -1) {
      // Below two tenths of a pixel no glyph exists at all, and above the
      // largest atlas none fits: a larger atlas would not help, and growing
      // it for nothing would clear and upload up to three images a frame.
      if (iter.isize < 2 || iter.isize / 10 >= kMaxAtlasSide)
        continue;
      if (nverts != 0) {
        flushTextTexture(ctx);
        renderText(ctx, verts, nverts);
        nverts = 0;
      }
      if (vg_allocTextAtlas(ctx) == 0)
        break;
      iter = prevIter;
      fstTextIterNext(ctx->fs, &iter, &q);
      if (iter.prevGlyphIndex == -1)
        break;
    }
    prevIter = iter;
    float c[8];
    vgTransformPoint(&c[0], &c[1], state->xform, q.x0 * invscale, q.y0 * invscale);
    vgTransformPoint(&c[2], &c[3], state->xform, q.x1 * invscale, q.y0 * invscale);
    vgTransformPoint(&c[4], &c[5], state->xform, q.x1 * invscale, q.y1 * invscale);
    vgTransformPoint(&c[6], &c[7], state->xform, q.x0 * invscale, q.y1 * invscale);
    if (nverts + 6 <= cverts) {
      vg_vset(&verts[nverts++], c[0], c[1], q.s0, q.t0);
      vg_vset(&verts[nverts++], c[4], c[5], q.s1, q.t1);
      vg_vset(&verts[nverts++], c[2], c[3], q.s1, q.t0);
      vg_vset(&verts[nverts++], c[0], c[1], q.s0, q.t0);
      vg_vset(&verts[nverts++], c[6], c[7], q.s0, q.t1);
      vg_vset(&verts[nverts++], c[4], c[5], q.s1, q.t1);
    }
  }

  flushTextTexture(ctx);
  renderText(ctx, verts, nverts);
  return iter.nextx / scale;
}

void vgTextBox(VGcontext* ctx, float x, float y, float breakRowWidth, const char* string, const char* end)
{
  VGstate* state = vg_getState(ctx);
  if (state->fontId == -1 || string == nullptr)
    return;
  const int oldAlign = state->textAlign;
  const int halign = state->textAlign & (VG_ALIGN_LEFT | VG_ALIGN_CENTER | VG_ALIGN_RIGHT);
  const int valign = state->textAlign & (VG_ALIGN_TOP | VG_ALIGN_MIDDLE | VG_ALIGN_BOTTOM | VG_ALIGN_BASELINE);
  float lineh = 0.0f;
  vgTextMetrics(ctx, nullptr, nullptr, &lineh);
  state->textAlign = VG_ALIGN_LEFT | valign;

  VGtextRow rows[2];
  int nrows;
  while ((nrows = vgTextBreakLines(ctx, string, end, breakRowWidth, rows, 2)) > 0) {
    for (int i = 0; i < nrows; i++) {
      const VGtextRow& row = rows[i];
      if (halign & VG_ALIGN_LEFT)
        vgText(ctx, x, y, row.start, row.end);
      else if (halign & VG_ALIGN_CENTER)
        vgText(ctx, x + breakRowWidth * 0.5f - row.width * 0.5f, y, row.start, row.end);
      else if (halign & VG_ALIGN_RIGHT)
        vgText(ctx, x + breakRowWidth - row.width, y, row.start, row.end);
      y += lineh * state->lineHeight;
    }
    string = rows[nrows - 1].next;
  }
  state->textAlign = oldAlign;
}

float vgTextBounds(VGcontext* ctx, float x, float y, const char* string, const char* end, float* bounds)
{
  const VGstate* state = vg_getState(ctx);
  if (state->fontId == -1)
    return 0.0f;
  const float scale = vg_textScale(ctx);
  const float invscale = 1.0f / scale;
  vg_setFontStashState(ctx, scale);
  const float width = fstTextBounds(ctx->fs, x * scale, y * scale, string, end, bounds);
  if (bounds != nullptr) {
    // The line's own extent, so that strings of one font line up vertically.
    fstLineBounds(ctx->fs, y * scale, &bounds[1], &bounds[3]);
    for (int i = 0; i < 4; i++)
      bounds[i] *= invscale;
  }
  return width * invscale;
}

void vgTextBoxBounds(VGcontext* ctx, float x, float y, float breakRowWidth, const char* string, const char* end,
                     float* bounds)
{
  VGstate* state = vg_getState(ctx);
  if (state->fontId == -1) {
    if (bounds != nullptr)
      bounds[0] = bounds[1] = bounds[2] = bounds[3] = 0.0f;
    return;
  }
  const float scale = vg_textScale(ctx);
  const float invscale = 1.0f / scale;
  const int oldAlign = state->textAlign;
  const int halign = state->textAlign & (VG_ALIGN_LEFT | VG_ALIGN_CENTER | VG_ALIGN_RIGHT);
  const int valign = state->textAlign & (VG_ALIGN_TOP | VG_ALIGN_MIDDLE | VG_ALIGN_BOTTOM | VG_ALIGN_BASELINE);
  float lineh = 0.0f;
  vgTextMetrics(ctx, nullptr, nullptr, &lineh);
  state->textAlign = VG_ALIGN_LEFT | valign;

  float rminy = 0.0f, rmaxy = 0.0f;
  vg_setFontStashState(ctx, scale);
  fstLineBounds(ctx->fs, 0.0f, &rminy, &rmaxy);
  rminy *= invscale;
  rmaxy *= invscale;

  float minx = x, maxx = x, miny = y, maxy = y;
  VGtextRow rows[2];
  int nrows;
  while (string != nullptr && (nrows = vgTextBreakLines(ctx, string, end, breakRowWidth, rows, 2)) > 0) {
    for (int i = 0; i < nrows; i++) {
      const VGtextRow& row = rows[i];
      float dx = 0.0f;
      if (halign & VG_ALIGN_LEFT)
        dx = 0.0f;
      else if (halign & VG_ALIGN_CENTER)
        dx = breakRowWidth * 0.5f - row.width * 0.5f;
      else if (halign & VG_ALIGN_RIGHT)
        dx = breakRowWidth - row.width;
      minx = std::min(minx, x + row.minx + dx);
      maxx = std::max(maxx, x + row.maxx + dx);
      miny = std::min(miny, y + rminy);
      maxy = std::max(maxy, y + rmaxy);
      y += lineh * state->lineHeight;
    }
    string = rows[nrows - 1].next;
  }
  state->textAlign = oldAlign;
  if (bounds != nullptr) {
    bounds[0] = minx;
    bounds[1] = miny;
    bounds[2] = maxx;
    bounds[3] = maxy;
  }
}

int vgTextGlyphPositions(VGcontext* ctx, float x, float y, const char* string, const char* end,
                         VGglyphPosition* positions, int maxPositions)
{
  const VGstate* state = vg_getState(ctx);
  if (state->fontId == -1 || string == nullptr || maxPositions <= 0)
    return 0;
  if (end == nullptr)
    end = string + std::strlen(string);
  if (string == end)
    return 0;
  const float scale = vg_textScale(ctx);
  const float invscale = 1.0f / scale;
  vg_setFontStashState(ctx, scale);

  FSTtextIter iter;
  FSTquad q;
  if (fstTextIterInit(ctx->fs, &iter, x * scale, y * scale, string, end, FST_GLYPH_BITMAP_OPTIONAL) == 0)
    return 0;
  int npos = 0;
  while (fstTextIterNext(ctx->fs, &iter, &q)) {
    if (iter.prevGlyphIndex < 0)
      vg_missingGlyphQuad(&iter, &q);
    VGglyphPosition& p = positions[npos];
    p.str = iter.str;
    p.x = iter.x * invscale;
    p.minx = std::min(iter.x, q.x0) * invscale;
    p.maxx = std::max(iter.nextx, q.x1) * invscale;
    if (++npos >= maxPositions)
      break;
  }
  return npos;
}

void vgTextMetrics(VGcontext* ctx, float* ascender, float* descender, float* lineh)
{
  const VGstate* state = vg_getState(ctx);
  if (state->fontId == -1)
    return;
  const float scale = vg_textScale(ctx);
  const float invscale = 1.0f / scale;
  vg_setFontStashState(ctx, scale);
  fstVertMetrics(ctx->fs, ascender, descender, lineh);
  if (ascender != nullptr)
    *ascender *= invscale;
  if (descender != nullptr)
    *descender *= invscale;
  if (lineh != nullptr)
    *lineh *= invscale;
}
