// 2x3 affine matrices and the state transform.
#include <cmath>

#include "VGInternal.h"

void vgTransformIdentity(float* t)
{
  t[0] = 1.0f;
  t[1] = 0.0f;
  t[2] = 0.0f;
  t[3] = 1.0f;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

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

void vgTransformMultiply(float* t, const float* s)
{
  const float t0 = t[0] * s[0] + t[1] * s[2];
  const float t2 = t[2] * s[0] + t[3] * s[2];
  const float t4 = t[4] * s[0] + t[5] * s[2] + s[4];
  t[1] = t[0] * s[1] + t[1] * s[3];
  t[3] = t[2] * s[1] + t[3] * s[3];
  t[5] = t[4] * s[1] + t[5] * s[3] + s[5];
  t[0] = t0;
  t[2] = t2;
  t[4] = t4;
}

void vgTransformPremultiply(float* t, const float* s)
{
  float s2[6];
  std::memcpy(s2, s, sizeof(float) * 6);
  vgTransformMultiply(s2, t);
  std::memcpy(t, s2, sizeof(float) * 6);
}

int vgTransformInverse(float* inv, const float* t)
{
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  if (det > -1e-6 && det < 1e-6) {
    vgTransformIdentity(inv);
    return 0;
  }
  const double invdet = 1.0 / det;
  inv[0] = static_cast<float>(t[3] * invdet);
  inv[2] = static_cast<float>(-t[2] * invdet);
  inv[4] = static_cast<float>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * invdet);
  inv[1] = static_cast<float>(-t[1] * invdet);
  inv[3] = static_cast<float>(t[0] * invdet);
  inv[5] = static_cast<float>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * invdet);
  return 1;
}

void vgTransformPoint(float* dx, float* dy, const float* t, float x, float y)
{
  *dx = x * t[0] + y * t[2] + t[4];
  *dy = x * t[1] + y * t[3] + t[5];
}

float vgDegToRad(float deg) { return deg / 180.0f * VG_PI; }
float vgRadToDeg(float rad) { return rad / VG_PI * 180.0f; }

float vg__getAverageScale(const float* t)
{
  const float sx = std::sqrt(t[0] * t[0] + t[1] * t[1]);
  const float sy = std::sqrt(t[2] * t[2] + t[3] * t[3]);
  return (sx + sy) * 0.5f;
}

void vgResetTransform(VGcontext* ctx) { vgTransformIdentity(vg__getState(ctx)->xform); }

void vgTransform(VGcontext* ctx, float a, float b, float c, float d, float e, float f)
{
  const float t[6] = {a, b, c, d, e, f};
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgTranslate(VGcontext* ctx, float x, float y)
{
  float t[6];
  vgTransformTranslate(t, x, y);
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgRotate(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformRotate(t, angle);
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgSkewX(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformSkewX(t, angle);
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgSkewY(VGcontext* ctx, float angle)
{
  float t[6];
  vgTransformSkewY(t, angle);
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgScale(VGcontext* ctx, float x, float y)
{
  float t[6];
  vgTransformScale(t, x, y);
  vgTransformPremultiply(vg__getState(ctx)->xform, t);
}

void vgCurrentTransform(VGcontext* ctx, float* xform)
{
  if (!xform)
    return;
  std::memcpy(xform, vg__getState(ctx)->xform, sizeof(float) * 6);
}
