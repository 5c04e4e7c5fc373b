// 2x3 affine matrices and the state transform.
#include <cmath>

#include "Affine2D.h"
#include "VGInternal.h"

void vgTransformIdentity(float* t) { plugin::AffineIdentity(t); }

void vgTransformTranslate(float* t, float tx, float ty)
{
  t[0] = 1.0f;
  t[1] = 0.0f;
  t[2] = 0.0f;
  t[3] = 1.0f;
  t[4] = tx;
  t[5] = ty;
}

void vgTransformScale(float* t, float sx, float sy)
{
  t[0] = sx;
  t[1] = 0.0f;
  t[2] = 0.0f;
  t[3] = sy;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void vgTransformRotate(float* t, float a)
{
  const float cs = std::cos(a), sn = std::sin(a);
  t[0] = cs;
  t[1] = sn;
  t[2] = -sn;
  t[3] = cs;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void vgTransformSkewX(float* t, float a)
{
  t[0] = 1.0f;
  t[1] = 0.0f;
  t[2] = std::tan(a);
  t[3] = 1.0f;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void vgTransformSkewY(float* t, float a)
{
  t[0] = 1.0f;
  t[1] = std::tan(a);
  t[2] = 0.0f;
  t[3] = 1.0f;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void vgTransformMultiply(float* t, const float* s) { plugin::AffineMultiply(t, s); }

void vgTransformPremultiply(float* t, const float* s) { plugin::AffinePremultiply(t, s); }

int vgTransformInverse(float* inv, const float* t) { return plugin::AffineInverse(inv, t) ? 1 : 0; }

void vgTransformPoint(float* dx, float* dy, const float* t, float x, float y) { plugin::AffinePoint(dx, dy, x, y, t); }

float vgDegToRad(float deg) { return deg / 180.0f * VG_PI; }
float vgRadToDeg(float rad) { return rad / VG_PI * 180.0f; }

float vg_getAverageScale(const float* t)
{
  const float sx = std::sqrt(t[0] * t[0] + t[1] * t[1]);
  const float sy = std::sqrt(t[2] * t[2] + t[3] * t[3]);
  return (sx + sy) * 0.5f;
}

void vgResetTransform(VGcontext* ctx) { vgTransformIdentity(vg_getState(ctx)->xform); }

void vgTransform(VGcontext* ctx, float a, float b, float c, float d, float e, float f)
{
  const float t[6] = {a, b, c, d, e, f};
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgTranslate(VGcontext* ctx, float x, float y)
{
  float t[6];
  vgTransformTranslate(t, x, y);
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgRotate(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformRotate(t, angle);
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgSkewX(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformSkewX(t, angle);
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgSkewY(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformSkewY(t, angle);
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgScale(VGcontext* ctx, float x, float y)
{
  float t[6];
  vgTransformScale(t, x, y);
  vgTransformPremultiply(vg_getState(ctx)->xform, t);
}

void vgCurrentTransform(VGcontext* ctx, float* xform)
{
  if (!xform)
    return;
  std::memcpy(xform, vg_getState(ctx)->xform, sizeof(float) * 6);
}
