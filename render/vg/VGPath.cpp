// Path building: commands in canvas space, appended one shape at a time.
#include <algorithm>
#include <cmath>

#include "FloatToInt.h"
#include "VGInternal.h"

namespace {

float vg_absf(float a) { return a >= 0.0f ? a : -a; }

int vg_ptEquals(float x1, float y1, float x2, float y2, float tol)
{
  const float dx = x2 - x1;
  const float dy = y2 - y1;
  return dx * dx + dy * dy < tol * tol;
}

float vg_distPtSeg(float x, float y, float px, float py, float qx, float qy)
{
  const float pqx = qx - px;
  const float pqy = qy - py;
  float dx = x - px;
  float dy = y - py;
  const float d = pqx * pqx + pqy * pqy;
  float t = pqx * dx + pqy * dy;
  if (d > 0)
    t /= d;
  t = std::clamp(t, 0.0f, 1.0f);
  dx = px + t * pqx - x;
  dy = py + t * pqy - y;
  return dx * dx + dy * dy;
}

float vg_normalize(float* x, float* y)
{
  const float d = std::sqrt((*x) * (*x) + (*y) * (*y));
  if (d > 1e-6f) {
    const float id = 1.0f / d;
    *x *= id;
    *y *= id;
  }
  return d;
}

void vg_appendCommands(VGcontext* ctx, float* vals, int nvals)
{
  VGstate* state = vg_getState(ctx);
  if (ctx->ncommands + nvals > ctx->ccommands) {
    const int ccommands = ctx->ncommands + nvals + ctx->ccommands / 2;
    if (!vg_resize(ctx->commands, ctx->ncommands, ccommands))
      return;
    ctx->ccommands = ccommands;
  }

  const int first = static_cast<int>(vals[0]);
  if (first != VG_CLOSE && first != VG_WINDING) {
    ctx->commandx = vals[nvals - 2];
    ctx->commandy = vals[nvals - 1];
  }

  int i = 0;
  while (i < nvals) {
    switch (static_cast<int>(vals[i])) {
    case VG_MOVETO:
    case VG_LINETO:
      vgTransformPoint(&vals[i + 1], &vals[i + 2], state->xform, vals[i + 1], vals[i + 2]);
      i += 3;
      break;
    case VG_BEZIERTO:
      vgTransformPoint(&vals[i + 1], &vals[i + 2], state->xform, vals[i + 1], vals[i + 2]);
      vgTransformPoint(&vals[i + 3], &vals[i + 4], state->xform, vals[i + 3], vals[i + 4]);
      vgTransformPoint(&vals[i + 5], &vals[i + 6], state->xform, vals[i + 5], vals[i + 6]);
      i += 7;
      break;
    case VG_WINDING: i += 2; break;
    default: i++;
    }
  }

  std::memcpy(&ctx->commands[ctx->ncommands], vals, static_cast<size_t>(nvals) * sizeof(float));
  ctx->ncommands += nvals;
}

} // namespace

void vgBeginPath(VGcontext* ctx)
{
  ctx->ncommands = 0;
  ctx->cache->npoints = 0;
  ctx->cache->npaths = 0;
}

void vgMoveTo(VGcontext* ctx, float x, float y)
{
  float vals[] = {VG_MOVETO, x, y};
  vg_appendCommands(ctx, vals, 3);
}

void vgLineTo(VGcontext* ctx, float x, float y)
{
  float vals[] = {VG_LINETO, x, y};
  vg_appendCommands(ctx, vals, 3);
}

void vgBezierTo(VGcontext* ctx, float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  float vals[] = {VG_BEZIERTO, c1x, c1y, c2x, c2y, x, y};
  vg_appendCommands(ctx, vals, 7);
}

void vgQuadTo(VGcontext* ctx, float cx, float cy, float x, float y)
{
  const float x0 = ctx->commandx;
  const float y0 = ctx->commandy;
  const float twoThirds = 0.6666667f;
  float vals[] = {VG_BEZIERTO,
                  x0 + twoThirds * (cx - x0),
                  y0 + twoThirds * (cy - y0),
                  x + twoThirds * (cx - x),
                  y + twoThirds * (cy - y),
                  x,
                  y};
  vg_appendCommands(ctx, vals, 7);
}

void vgArcTo(VGcontext* ctx, float x1, float y1, float x2, float y2, float radius)
{
  if (ctx->ncommands == 0)
    return;
  const float x0 = ctx->commandx;
  const float y0 = ctx->commandy;

  if (vg_ptEquals(x0, y0, x1, y1, ctx->distTol) || vg_ptEquals(x1, y1, x2, y2, ctx->distTol) ||
      vg_distPtSeg(x1, y1, x0, y0, x2, y2) < ctx->distTol * ctx->distTol || radius < ctx->distTol) {
    vgLineTo(ctx, x1, y1);
    return;
  }

  float dx0 = x0 - x1, dy0 = y0 - y1;
  float dx1 = x2 - x1, dy1 = y2 - y1;
  vg_normalize(&dx0, &dy0);
  vg_normalize(&dx1, &dy1);
  // Two unit vectors can still round to a dot just past 1; acosf would give NaN.
  const float a = std::acos(std::clamp(dx0 * dx1 + dy0 * dy1, -1.0f, 1.0f));
  const float d = radius / std::tan(a / 2.0f);
  if (d > 10000.0f) {
    vgLineTo(ctx, x1, y1);
    return;
  }

  float cx, cy, a0, a1;
  int dir;
  if (dx1 * dy0 - dx0 * dy1 > 0.0f) {
    cx = x1 + dx0 * d + dy0 * radius;
    cy = y1 + dy0 * d + -dx0 * radius;
    a0 = std::atan2(dx0, -dy0);
    a1 = std::atan2(-dx1, dy1);
    dir = VG_CW;
  } else {
    cx = x1 + dx0 * d + -dy0 * radius;
    cy = y1 + dy0 * d + dx0 * radius;
    a0 = std::atan2(-dx0, dy0);
    a1 = std::atan2(dx1, -dy1);
    dir = VG_CCW;
  }
  vgArc(ctx, cx, cy, radius, a0, a1, dir);
}

void vgClosePath(VGcontext* ctx)
{
  float vals[] = {VG_CLOSE};
  vg_appendCommands(ctx, vals, 1);
}

void vgPathWinding(VGcontext* ctx, int dir)
{
  float vals[] = {VG_WINDING, static_cast<float>(dir)};
  vg_appendCommands(ctx, vals, 2);
}

void vgArc(VGcontext* ctx, float cx, float cy, float r, float a0, float a1, int dir)
{
  // An arc with a value that is not a finite number has no points to add.
  for (const float v : {cx, cy, r, a0, a1})
    if (!std::isfinite(v))
      return;
  const int move = ctx->ncommands > 0 ? VG_LINETO : VG_MOVETO;

  float da = a1 - a0;
  if (dir == VG_CW) {
    if (vg_absf(da) >= VG_2PI) {
      da = VG_2PI;
    } else {
      while (da < 0.0f)
        da += VG_2PI;
    }
  } else {
    if (vg_absf(da) >= VG_2PI) {
      da = -VG_2PI;
    } else {
      while (da > 0.0f)
        da -= VG_2PI;
    }
  }

  const int ndivs = std::clamp(plugin::FloatToInt<int>(vg_absf(da) / 1.5707964f + 0.5f, 1), 1, 5);
  const float hda = (da / static_cast<float>(ndivs)) / 2.0f;
  float kappa = vg_absf(1.3333334f * (1.0f - std::cos(hda)) / std::sin(hda));
  if (dir == VG_CCW)
    kappa = -kappa;

  float vals[3 + 5 * 7];
  int nvals = 0;
  float px = 0, py = 0, ptanx = 0, ptany = 0;
  for (int i = 0; i <= ndivs; i++) {
    const float a = a0 + da * (static_cast<float>(i) / static_cast<float>(ndivs));
    const float dx = std::cos(a);
    const float dy = std::sin(a);
    const float x = cx + dx * r;
    const float y = cy + dy * r;
    const float tanx = -dy * r * kappa;
    const float tany = dx * r * kappa;
    if (i == 0) {
      vals[nvals++] = static_cast<float>(move);
      vals[nvals++] = x;
      vals[nvals++] = y;
    } else {
      vals[nvals++] = VG_BEZIERTO;
      vals[nvals++] = px + ptanx;
      vals[nvals++] = py + ptany;
      vals[nvals++] = x - tanx;
      vals[nvals++] = y - tany;
      vals[nvals++] = x;
      vals[nvals++] = y;
    }
    px = x;
    py = y;
    ptanx = tanx;
    ptany = tany;
  }
  vg_appendCommands(ctx, vals, nvals);
}

void vgRect(VGcontext* ctx, float x, float y, float w, float h)
{
  float vals[] = {VG_MOVETO, x, y, VG_LINETO, x, y + h, VG_LINETO, x + w, y + h, VG_LINETO, x + w, y, VG_CLOSE};
  vg_appendCommands(ctx, vals, 13);
}

void vgRoundedRect(VGcontext* ctx, float x, float y, float w, float h, float r)
{
  vgRoundedRectVarying(ctx, x, y, w, h, r, r, r, r);
}

void vgRoundedRectVarying(VGcontext* ctx, float x, float y, float w, float h, float radTopLeft, float radTopRight,
                          float radBottomRight, float radBottomLeft)
{
  if (radTopLeft < 0.1f && radTopRight < 0.1f && radBottomRight < 0.1f && radBottomLeft < 0.1f) {
    vgRect(ctx, x, y, w, h);
    return;
  }
  const float halfw = vg_absf(w) * 0.5f;
  const float halfh = vg_absf(h) * 0.5f;
  const float sx = w >= 0.0f ? 1.0f : -1.0f;
  const float sy = h >= 0.0f ? 1.0f : -1.0f;
  const float rxBL = std::min(radBottomLeft, halfw) * sx, ryBL = std::min(radBottomLeft, halfh) * sy;
  const float rxBR = std::min(radBottomRight, halfw) * sx, ryBR = std::min(radBottomRight, halfh) * sy;
  const float rxTR = std::min(radTopRight, halfw) * sx, ryTR = std::min(radTopRight, halfh) * sy;
  const float rxTL = std::min(radTopLeft, halfw) * sx, ryTL = std::min(radTopLeft, halfh) * sy;
  const float k = 1.0f - VG_KAPPA90;
  float vals[] = {VG_MOVETO,
                  x,
                  y + ryTL,
                  VG_LINETO,
                  x,
                  y + h - ryBL,
                  VG_BEZIERTO,
                  x,
                  y + h - ryBL * k,
                  x + rxBL * k,
                  y + h,
                  x + rxBL,
                  y + h,
                  VG_LINETO,
                  x + w - rxBR,
                  y + h,
                  VG_BEZIERTO,
                  x + w - rxBR * k,
                  y + h,
                  x + w,
                  y + h - ryBR * k,
                  x + w,
                  y + h - ryBR,
                  VG_LINETO,
                  x + w,
                  y + ryTR,
                  VG_BEZIERTO,
                  x + w,
                  y + ryTR * k,
                  x + w - rxTR * k,
                  y,
                  x + w - rxTR,
                  y,
                  VG_LINETO,
                  x + rxTL,
                  y,
                  VG_BEZIERTO,
                  x + rxTL * k,
                  y,
                  x,
                  y + ryTL * k,
                  x,
                  y + ryTL,
                  VG_CLOSE};
  vg_appendCommands(ctx, vals, 44);
}

void vgEllipse(VGcontext* ctx, float cx, float cy, float rx, float ry)
{
  const float k = VG_KAPPA90;
  float vals[] = {VG_MOVETO,   cx - rx,     cy,          VG_BEZIERTO, cx - rx,     cy + ry * k, cx - rx * k, cy + ry,
                  cx,          cy + ry,     VG_BEZIERTO, cx + rx * k, cy + ry,     cx + rx,     cy + ry * k, cx + rx,
                  cy,          VG_BEZIERTO, cx + rx,     cy - ry * k, cx + rx * k, cy - ry,     cx,          cy - ry,
                  VG_BEZIERTO, cx - rx * k, cy - ry,     cx - rx,     cy - ry * k, cx - rx,     cy,          VG_CLOSE};
  vg_appendCommands(ctx, vals, 32);
}

void vgCircle(VGcontext* ctx, float cx, float cy, float r) { vgEllipse(ctx, cx, cy, r, r); }
