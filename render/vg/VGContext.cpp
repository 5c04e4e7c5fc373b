// Context life cycle, frames and the state stack.
#include "VGInternal.h"

namespace {

void vg_setSolidPaint(VGpaint* p, VGcolor color)
{
  std::memset(p, 0, sizeof(*p));
  vgTransformIdentity(p->xform);
  p->radius = 0.0f;
  p->feather = 1.0f;
  p->innerColor = color;
  p->outerColor = color;
}

} // namespace

VGcontext* vgCreateInternal(VGparams* params)
{
  VGcontext* ctx = vg_alloc<VGcontext>(1);
  if (!ctx)
    return nullptr;
  std::memset(static_cast<void*>(ctx), 0, sizeof(VGcontext));
  ctx->params = *params;

  // Everything made below is released by vgDeleteInternal alone, so a failure
  // at any step frees each piece exactly once.
  ctx->commands = vg_alloc<float>(256);
  if (!ctx->commands)
    goto error;
  ctx->ccommands = 256;
  ctx->ncommands = 0;

  ctx->cache = vg_alloc<VGpathCache>(1);
  if (!ctx->cache)
    goto error;
  std::memset(static_cast<void*>(ctx->cache), 0, sizeof(VGpathCache));
  ctx->cache->points = vg_alloc<VGpoint>(128);
  if (!ctx->cache->points)
    goto error;
  ctx->cache->cpoints = 128;
  ctx->cache->paths = vg_alloc<VGpath>(16);
  if (!ctx->cache->paths)
    goto error;
  ctx->cache->cpaths = 16;
  ctx->cache->verts = vg_alloc<VGvertex>(256);
  if (!ctx->cache->verts)
    goto error;
  ctx->cache->cverts = 256;

  ctx->nstates = 1;
  vgReset(ctx);

  ctx->tessTol = 0.25f;
  ctx->distTol = 0.01f;
  ctx->fringeWidth = 1.0f;
  ctx->devicePxRatio = 1.0f;

  if (ctx->params.renderCreate(ctx->params.userPtr) == 0)
    goto error;

  {
    FSTparams fontParams;
    std::memset(&fontParams, 0, sizeof(fontParams));
    fontParams.width = 512;
    fontParams.height = 512;
    fontParams.flags = FST_ZERO_TOPLEFT;
    ctx->fs = fstCreateInternal(&fontParams);
    if (!ctx->fs)
      goto error;
  }

  ctx->fontImages[0] = ctx->params.renderCreateTexture(ctx->params.userPtr, VG_TEXTURE_ALPHA, 512, 512, 0, nullptr);
  if (ctx->fontImages[0] == 0)
    goto error;
  ctx->fontImageIdx = 0;
  return ctx;

error:
  vgDeleteInternal(ctx);
  return nullptr;
}

VGparams* vgInternalParams(VGcontext* ctx) { return &ctx->params; }

void vgDeleteInternal(VGcontext* ctx)
{
  if (!ctx)
    return;
  vg_free(ctx->commands);
  if (ctx->cache) {
    vg_free(ctx->cache->points);
    vg_free(ctx->cache->paths);
    vg_free(ctx->cache->verts);
    vg_free(ctx->cache);
  }
  if (ctx->fs)
    fstDeleteInternal(ctx->fs);
  for (int i = 0; i < VG_MAX_FONTIMAGES; i++) {
    if (ctx->fontImages[i] != 0) {
      ctx->params.renderDeleteTexture(ctx->params.userPtr, ctx->fontImages[i]);
      ctx->fontImages[i] = 0;
    }
  }
  if (ctx->params.renderDelete)
    ctx->params.renderDelete(ctx->params.userPtr);
  vg_free(ctx);
}

void vgBeginFrame(VGcontext* ctx, float windowWidth, float windowHeight, float devicePixelRatio)
{
  ctx->nstates = 1;
  ctx->ignoredSaves = 0;
  vgReset(ctx);

  // A ratio of 0 or less, or a size that is empty, not a number or larger
  // than any target (an empty or inverted layer), draws nothing: every call of
  // the frame is dropped, and the tolerances stay finite for whatever runs.
  ctx->frameRefused =
    !(devicePixelRatio > 0.0f && windowWidth > 0.0f && windowHeight > 0.0f &&
      windowWidth * devicePixelRatio <= kMaxFramePixels && windowHeight * devicePixelRatio <= kMaxFramePixels);
  const float ratio = ctx->frameRefused ? 1.0f : devicePixelRatio;
  ctx->tessTol = 0.25f / ratio;
  ctx->distTol = 0.01f / ratio;
  ctx->fringeWidth = 1.0f / ratio;
  ctx->devicePxRatio = ratio;

  ctx->params.renderViewport(ctx->params.userPtr, windowWidth, windowHeight, devicePixelRatio);

  ctx->drawCallCount = 0;
  ctx->fillTriCount = 0;
  ctx->strokeTriCount = 0;
  ctx->textTriCount = 0;
}

void vgCancelFrame(VGcontext* ctx) { ctx->params.renderCancel(ctx->params.userPtr); }

void vgEndFrame(VGcontext* ctx)
{
  ctx->params.renderFlush(ctx->params.userPtr);
  if (ctx->fontImageIdx == 0)
    return;

  // The newest atlas image goes to entry 0. Every other image is looked at,
  // also those past the current entry (spares kept by an earlier frame): one
  // at least as large stays as a spare for the next growth, any other is
  // deleted. Nothing leaves a slot without being kept or deleted.
  const int fontImage = ctx->fontImages[ctx->fontImageIdx];
  if (fontImage == 0)
    return;
  int iw = 0, ih = 0;
  ctx->params.renderGetTextureSize(ctx->params.userPtr, fontImage, &iw, &ih);
  int kept[VG_MAX_FONTIMAGES];
  int nkept = 0;
  for (int i = 0; i < VG_MAX_FONTIMAGES; i++) {
    const int image = ctx->fontImages[i];
    ctx->fontImages[i] = 0;
    if (image == 0 || i == ctx->fontImageIdx)
      continue;
    int nw = 0, nh = 0;
    ctx->params.renderGetTextureSize(ctx->params.userPtr, image, &nw, &nh);
    if (nw < iw || nh < ih)
      ctx->params.renderDeleteTexture(ctx->params.userPtr, image);
    else
      kept[nkept++] = image;
  }
  ctx->fontImages[0] = fontImage;
  for (int i = 0; i < nkept; i++)
    ctx->fontImages[i + 1] = kept[i];
  ctx->fontImageIdx = 0;
}

void vgSave(VGcontext* ctx)
{
  if (ctx->nstates >= VG_MAX_STATES) {
    // Remembered, so that the matching restore pops nothing it did not push.
    ctx->ignoredSaves++;
    return;
  }
  if (ctx->nstates > 0)
    std::memcpy(&ctx->states[ctx->nstates], &ctx->states[ctx->nstates - 1], sizeof(VGstate));
  ctx->nstates++;
}

void vgRestore(VGcontext* ctx)
{
  if (ctx->ignoredSaves > 0) {
    ctx->ignoredSaves--;
    return;
  }
  if (ctx->nstates <= 1)
    return;
  ctx->nstates--;
}

void vgReset(VGcontext* ctx)
{
  VGstate* state = vg_getState(ctx);
  std::memset(state, 0, sizeof(*state));

  vg_setSolidPaint(&state->fill, vgRGBA(255, 255, 255, 255));
  vg_setSolidPaint(&state->stroke, vgRGBA(0, 0, 0, 255));
  state->compositeOperation = {VG_ONE, VG_ONE_MINUS_SRC_ALPHA, VG_ONE, VG_ONE_MINUS_SRC_ALPHA};
  state->shapeAntiAlias = 1;
  state->strokeWidth = 1.0f;
  state->miterLimit = 10.0f;
  state->lineCap = VG_BUTT;
  state->lineJoin = VG_MITER;
  state->alpha = 1.0f;
  vgTransformIdentity(state->xform);

  state->scissor.extent[0] = -1.0f;
  state->scissor.extent[1] = -1.0f;

  state->fontSize = 16.0f;
  state->letterSpacing = 0.0f;
  state->lineHeight = 1.0f;
  state->fontBlur = 0.0f;
  state->textAlign = 1 | 64; // left | baseline
  state->fontId = 0;
}

void vgShapeAntiAlias(VGcontext* ctx, int enabled) { vg_getState(ctx)->shapeAntiAlias = enabled; }
void vgStrokeWidth(VGcontext* ctx, float width) { vg_getState(ctx)->strokeWidth = width; }
void vgMiterLimit(VGcontext* ctx, float limit) { vg_getState(ctx)->miterLimit = limit; }
void vgLineCap(VGcontext* ctx, int cap) { vg_getState(ctx)->lineCap = cap; }
void vgLineJoin(VGcontext* ctx, int join) { vg_getState(ctx)->lineJoin = join; }
void vgGlobalAlpha(VGcontext* ctx, float alpha) { vg_getState(ctx)->alpha = alpha; }

void vgFillColor(VGcontext* ctx, VGcolor color) { vg_setSolidPaint(&vg_getState(ctx)->fill, color); }
void vgStrokeColor(VGcontext* ctx, VGcolor color) { vg_setSolidPaint(&vg_getState(ctx)->stroke, color); }
