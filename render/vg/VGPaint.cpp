// Colours, paints, composite operations and the scissor.
#include <algorithm>
#include <cmath>

#include "VGInternal.h"

namespace {

float vg_clampf(float a, float mn, float mx) { return a < mn ? mn : (a > mx ? mx : a); }

float vg_hue(float h, float m1, float m2)
{
  if (h < 0)
    h += 1;
  if (h > 1)
    h -= 1;
  if (h < 1.0f / 6.0f)
    return m1 + (m2 - m1) * h * 6.0f;
  if (h < 3.0f / 6.0f)
    return m2;
  if (h < 4.0f / 6.0f)
    return m1 + (m2 - m1) * (2.0f / 3.0f - h) * 6.0f;
  return m1;
}

VGcompositeOperationState vg_compositeOperationState(int op)
{
  int sfactor, dfactor;
  switch (op) {
  case VG_SOURCE_OVER:
    sfactor = VG_ONE;
    dfactor = VG_ONE_MINUS_SRC_ALPHA;
    break;
  case VG_SOURCE_IN:
    sfactor = VG_DST_ALPHA;
    dfactor = VG_ZERO;
    break;
  case VG_SOURCE_OUT:
    sfactor = VG_ONE_MINUS_DST_ALPHA;
    dfactor = VG_ZERO;
    break;
  case VG_ATOP:
    sfactor = VG_DST_ALPHA;
    dfactor = VG_ONE_MINUS_SRC_ALPHA;
    break;
  case VG_DESTINATION_OVER:
    sfactor = VG_ONE_MINUS_DST_ALPHA;
    dfactor = VG_ONE;
    break;
  case VG_DESTINATION_IN:
    sfactor = VG_ZERO;
    dfactor = VG_SRC_ALPHA;
    break;
  case VG_DESTINATION_OUT:
    sfactor = VG_ZERO;
    dfactor = VG_ONE_MINUS_SRC_ALPHA;
    break;
  case VG_DESTINATION_ATOP:
    sfactor = VG_ONE_MINUS_DST_ALPHA;
    dfactor = VG_SRC_ALPHA;
    break;
  case VG_LIGHTER:
    sfactor = VG_ONE;
    dfactor = VG_ONE;
    break;
  case VG_XOR:
    sfactor = VG_ONE_MINUS_DST_ALPHA;
    dfactor = VG_ONE_MINUS_SRC_ALPHA;
    break;
  default:
    sfactor = VG_ONE;
    dfactor = VG_ZERO;
    break; // copy
  }
  return {sfactor, dfactor, sfactor, dfactor};
}

} // namespace

VGcolor vgRGB(unsigned char r, unsigned char g, unsigned char b) { return vgRGBA(r, g, b, 255); }

VGcolor vgRGBf(float r, float g, float b) { return vgRGBAf(r, g, b, 1.0f); }

VGcolor vgRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
  VGcolor color;
  color.r = r / 255.0f;
  color.g = g / 255.0f;
  color.b = b / 255.0f;
  color.a = a / 255.0f;
  return color;
}

VGcolor vgRGBAf(float r, float g, float b, float a)
{
  VGcolor color;
  color.r = r;
  color.g = g;
  color.b = b;
  color.a = a;
  return color;
}

VGcolor vgTransRGBA(VGcolor c, unsigned char a)
{
  c.a = a / 255.0f;
  return c;
}

VGcolor vgTransRGBAf(VGcolor c, float a)
{
  c.a = a;
  return c;
}

VGcolor vgLerpRGBA(VGcolor c0, VGcolor c1, float u)
{
  VGcolor cint;
  u = vg_clampf(u, 0.0f, 1.0f);
  const float oneminu = 1.0f - u;
  for (int i = 0; i < 4; i++)
    cint[i] = c0[i] * oneminu + c1[i] * u;
  return cint;
}

VGcolor vgHSL(float h, float s, float l) { return vgHSLA(h, s, l, 255); }

VGcolor vgHSLA(float h, float s, float l, unsigned char a)
{
  h = std::fmod(h, 1.0f);
  if (h < 0.0f)
    h += 1.0f;
  s = vg_clampf(s, 0.0f, 1.0f);
  l = vg_clampf(l, 0.0f, 1.0f);
  const float m2 = l <= 0.5f ? (l * (1 + s)) : (l + s - l * s);
  const float m1 = 2 * l - m2;
  VGcolor col;
  col.r = vg_clampf(vg_hue(h + 1.0f / 3.0f, m1, m2), 0.0f, 1.0f);
  col.g = vg_clampf(vg_hue(h, m1, m2), 0.0f, 1.0f);
  col.b = vg_clampf(vg_hue(h - 1.0f / 3.0f, m1, m2), 0.0f, 1.0f);
  col.a = a / 255.0f;
  return col;
}

void vgFillPaint(VGcontext* ctx, VGpaint paint)
{
  VGstate* state = vg_getState(ctx);
  state->fill = paint;
  vgTransformMultiply(state->fill.xform, state->xform);
}

void vgStrokePaint(VGcontext* ctx, VGpaint paint)
{
  VGstate* state = vg_getState(ctx);
  state->stroke = paint;
  vgTransformMultiply(state->stroke.xform, state->xform);
}

VGpaint vgLinearGradient(VGcontext*, float sx, float sy, float ex, float ey, VGcolor icol, VGcolor ocol)
{
  VGpaint p;
  std::memset(&p, 0, sizeof(p));
  const float large = 1e5f;
  float dx = ex - sx;
  float dy = ey - sy;
  const float d = std::sqrt(dx * dx + dy * dy);
  if (d > 0.0001f) {
    dx /= d;
    dy /= d;
  } else {
    dx = 0;
    dy = 1;
  }
  p.xform[0] = dy;
  p.xform[1] = -dx;
  p.xform[2] = dx;
  p.xform[3] = dy;
  p.xform[4] = sx - dx * large;
  p.xform[5] = sy - dy * large;
  p.extent[0] = large;
  p.extent[1] = large + d * 0.5f;
  p.radius = 0.0f;
  p.feather = std::max(1.0f, d);
  p.innerColor = icol;
  p.outerColor = ocol;
  return p;
}

VGpaint vgBoxGradient(VGcontext*, float x, float y, float w, float h, float r, float f, VGcolor icol, VGcolor ocol)
{
  VGpaint p;
  std::memset(&p, 0, sizeof(p));
  vgTransformIdentity(p.xform);
  p.xform[4] = x + w * 0.5f;
  p.xform[5] = y + h * 0.5f;
  p.extent[0] = w * 0.5f;
  p.extent[1] = h * 0.5f;
  p.radius = r;
  p.feather = std::max(1.0f, f);
  p.innerColor = icol;
  p.outerColor = ocol;
  return p;
}

VGpaint vgRadialGradient(VGcontext*, float cx, float cy, float inr, float outr, VGcolor icol, VGcolor ocol)
{
  VGpaint p;
  std::memset(&p, 0, sizeof(p));
  const float r = (inr + outr) * 0.5f;
  const float f = outr - inr;
  vgTransformIdentity(p.xform);
  p.xform[4] = cx;
  p.xform[5] = cy;
  p.extent[0] = r;
  p.extent[1] = r;
  p.radius = r;
  p.feather = std::max(1.0f, f);
  p.innerColor = icol;
  p.outerColor = ocol;
  return p;
}

VGpaint vgImagePattern(VGcontext*, float cx, float cy, float w, float h, float angle, int image, float alpha)
{
  VGpaint p;
  std::memset(&p, 0, sizeof(p));
  vgTransformRotate(p.xform, angle);
  p.xform[4] = cx;
  p.xform[5] = cy;
  p.extent[0] = w;
  p.extent[1] = h;
  p.image = image;
  p.innerColor = p.outerColor = vgRGBAf(1, 1, 1, alpha);
  return p;
}

void vgGlobalCompositeOperation(VGcontext* ctx, int op)
{
  vg_getState(ctx)->compositeOperation = vg_compositeOperationState(op);
}

void vgGlobalCompositeBlendFunc(VGcontext* ctx, int sfactor, int dfactor)
{
  vgGlobalCompositeBlendFuncSeparate(ctx, sfactor, dfactor, sfactor, dfactor);
}

void vgGlobalCompositeBlendFuncSeparate(VGcontext* ctx, int srcRGB, int dstRGB, int srcAlpha, int dstAlpha)
{
  vg_getState(ctx)->compositeOperation = {srcRGB, dstRGB, srcAlpha, dstAlpha};
}

void vgScissor(VGcontext* ctx, float x, float y, float w, float h)
{
  VGstate* state = vg_getState(ctx);
  w = std::max(0.0f, w);
  h = std::max(0.0f, h);
  vgTransformIdentity(state->scissor.xform);
  state->scissor.xform[4] = x + w * 0.5f;
  state->scissor.xform[5] = y + h * 0.5f;
  vgTransformMultiply(state->scissor.xform, state->xform);
  state->scissor.extent[0] = w * 0.5f;
  state->scissor.extent[1] = h * 0.5f;
}

void vgIntersectScissor(VGcontext* ctx, float x, float y, float w, float h)
{
  VGstate* state = vg_getState(ctx);
  if (state->scissor.extent[0] < 0) {
    vgScissor(ctx, x, y, w, h);
    return;
  }
  // The old scissor, in the current user space, widened to its bounding box.
  float pxform[6], invxorm[6];
  std::memcpy(pxform, state->scissor.xform, sizeof(float) * 6);
  const float ex = state->scissor.extent[0];
  const float ey = state->scissor.extent[1];
  vgTransformInverse(invxorm, state->xform);
  vgTransformMultiply(pxform, invxorm);
  const float tex = ex * std::fabs(pxform[0]) + ey * std::fabs(pxform[2]);
  const float tey = ex * std::fabs(pxform[1]) + ey * std::fabs(pxform[3]);

  const float ax = pxform[4] - tex, ay = pxform[5] - tey, aw = tex * 2, ah = tey * 2;
  const float minx = std::max(ax, x);
  const float miny = std::max(ay, y);
  const float maxx = std::min(ax + aw, x + w);
  const float maxy = std::min(ay + ah, y + h);
  vgScissor(ctx, minx, miny, std::max(0.0f, maxx - minx), std::max(0.0f, maxy - miny));
}

void vgResetScissor(VGcontext* ctx)
{
  VGstate* state = vg_getState(ctx);
  std::memset(state->scissor.xform, 0, sizeof(state->scissor.xform));
  state->scissor.extent[0] = -1.0f;
  state->scissor.extent[1] = -1.0f;
}
