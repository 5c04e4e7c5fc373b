// Stroke tessellation: one triangle strip per sub-path with caps and joins.
#include <algorithm>
#include <cmath>

#include "FloatToInt.h"
#include "VGInternal.h"

namespace {

// More divisions than this never show on a half circle of a drawable width,
// and the vertex count of one call must stay bounded.
constexpr int kMaxCurveDivs = 256;

int vg_curveDivs(float r, float arc, float tol)
{
  const float da = std::acos(r / (r + tol)) * 2.0f;
  return std::clamp(plugin::FloatToInt<int>(std::ceil(arc / da), 2), 2, kMaxCurveDivs);
}

int vg_joinDivs(float turn, int ncap)
{
  return std::max(2, std::min(plugin::FloatToInt<int>(std::ceil((turn / VG_PI) * static_cast<float>(ncap)), 2), ncap));
}

VGvertex* vg_roundJoin(VGvertex* dst, const VGpoint* p0, const VGpoint* p1, float lw, float rw, float lu, float ru,
                       int ncap)
{
  const float dlx0 = p0->dy, dly0 = -p0->dx;
  const float dlx1 = p1->dy, dly1 = -p1->dx;

  if (p1->flags & VG_PT_LEFT) {
    const auto [lx0, ly0, lx1, ly1] = vg_innerJoin(p0, p1, lw);
    const float a0 = std::atan2(-dly0, -dlx0);
    float a1 = std::atan2(-dly1, -dlx1);
    if (a1 > a0)
      a1 -= VG_2PI;

    vg_vset(dst++, lx0, ly0, lu, 1);
    vg_vset(dst++, p1->x - dlx0 * rw, p1->y - dly0 * rw, ru, 1);

    const int n = vg_joinDivs(a0 - a1, ncap);
    for (int i = 0; i < n; i++) {
      const float u = i / static_cast<float>(n - 1);
      const float a = a0 + u * (a1 - a0);
      const float rx = p1->x + std::cos(a) * rw;
      const float ry = p1->y + std::sin(a) * rw;
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
      vg_vset(dst++, rx, ry, ru, 1);
    }

    vg_vset(dst++, lx1, ly1, lu, 1);
    vg_vset(dst++, p1->x - dlx1 * rw, p1->y - dly1 * rw, ru, 1);
  } else {
    const auto [rx0, ry0, rx1, ry1] = vg_innerJoin(p0, p1, -rw);
    const float a0 = std::atan2(dly0, dlx0);
    float a1 = std::atan2(dly1, dlx1);
    if (a1 < a0)
      a1 += VG_2PI;

    vg_vset(dst++, p1->x + dlx0 * lw, p1->y + dly0 * lw, lu, 1);
    vg_vset(dst++, rx0, ry0, ru, 1);

    const int n = vg_joinDivs(a1 - a0, ncap);
    for (int i = 0; i < n; i++) {
      const float u = i / static_cast<float>(n - 1);
      const float a = a0 + u * (a1 - a0);
      const float lx = p1->x + std::cos(a) * lw;
      const float ly = p1->y + std::sin(a) * lw;
      vg_vset(dst++, lx, ly, lu, 1);
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
    }

    vg_vset(dst++, p1->x + dlx1 * lw, p1->y + dly1 * lw, lu, 1);
    vg_vset(dst++, rx1, ry1, ru, 1);
  }
  return dst;
}

VGvertex* vg_buttCapStart(VGvertex* dst, const VGpoint* p, float dx, float dy, float w, float d, float aa, float u0,
                          float u1)
{
  const float px = p->x - dx * d;
  const float py = p->y - dy * d;
  const float dlx = dy, dly = -dx;
  vg_vset(dst++, px + dlx * w - dx * aa, py + dly * w - dy * aa, u0, 0);
  vg_vset(dst++, px - dlx * w - dx * aa, py - dly * w - dy * aa, u1, 0);
  vg_vset(dst++, px + dlx * w, py + dly * w, u0, 1);
  vg_vset(dst++, px - dlx * w, py - dly * w, u1, 1);
  return dst;
}

VGvertex* vg_buttCapEnd(VGvertex* dst, const VGpoint* p, float dx, float dy, float w, float d, float aa, float u0,
                        float u1)
{
  const float px = p->x + dx * d;
  const float py = p->y + dy * d;
  const float dlx = dy, dly = -dx;
  vg_vset(dst++, px + dlx * w, py + dly * w, u0, 1);
  vg_vset(dst++, px - dlx * w, py - dly * w, u1, 1);
  vg_vset(dst++, px + dlx * w + dx * aa, py + dly * w + dy * aa, u0, 0);
  vg_vset(dst++, px - dlx * w + dx * aa, py - dly * w + dy * aa, u1, 0);
  return dst;
}

VGvertex* vg_roundCapStart(VGvertex* dst, const VGpoint* p, float dx, float dy, float w, int ncap, float u0, float u1)
{
  const float px = p->x;
  const float py = p->y;
  const float dlx = dy, dly = -dx;
  for (int i = 0; i < ncap; i++) {
    const float a = i / static_cast<float>(ncap - 1) * VG_PI;
    const float ax = std::cos(a) * w, ay = std::sin(a) * w;
    vg_vset(dst++, px - dlx * ax - dx * ay, py - dly * ax - dy * ay, u0, 1);
    vg_vset(dst++, px, py, 0.5f, 1);
  }
  vg_vset(dst++, px + dlx * w, py + dly * w, u0, 1);
  vg_vset(dst++, px - dlx * w, py - dly * w, u1, 1);
  return dst;
}

VGvertex* vg_roundCapEnd(VGvertex* dst, const VGpoint* p, float dx, float dy, float w, int ncap, float u0, float u1)
{
  const float px = p->x;
  const float py = p->y;
  const float dlx = dy, dly = -dx;
  vg_vset(dst++, px + dlx * w, py + dly * w, u0, 1);
  vg_vset(dst++, px - dlx * w, py - dly * w, u1, 1);
  for (int i = 0; i < ncap; i++) {
    const float a = i / static_cast<float>(ncap - 1) * VG_PI;
    const float ax = std::cos(a) * w, ay = std::sin(a) * w;
    vg_vset(dst++, px, py, 0.5f, 1);
    vg_vset(dst++, px - dlx * ax + dx * ay, py - dly * ax + dy * ay, u0, 1);
  }
  return dst;
}

// The cap of the segment p0-p1: at p0 where the path starts, at p1 where it ends.
VGvertex* vg_cap(VGvertex* dst, const VGpoint* p0, const VGpoint* p1, bool atEnd, float w, float aa, int lineCap,
                 int ncap, float u0, float u1)
{
  float dx = p1->x - p0->x;
  float dy = p1->y - p0->y;
  const float d = std::sqrt(dx * dx + dy * dy);
  if (d > 1e-6f) {
    dx /= d;
    dy /= d;
  }
  const VGpoint* p = atEnd ? p1 : p0;
  const auto butt = atEnd ? vg_buttCapEnd : vg_buttCapStart;
  if (lineCap == VG_BUTT)
    return butt(dst, p, dx, dy, w, -aa * 0.5f, aa, u0, u1);
  if (lineCap == VG_SQUARE)
    return butt(dst, p, dx, dy, w, w - aa, aa, u0, u1);
  if (lineCap == VG_ROUND)
    return (atEnd ? vg_roundCapEnd : vg_roundCapStart)(dst, p, dx, dy, w, ncap, u0, u1);
  return dst;
}

void vg_expandStroke(VGcontext* ctx, float w, float fringe, int lineCap, int lineJoin, float miterLimit)
{
  VGpathCache* cache = ctx->cache;
  const float aa = fringe;
  float u0 = 0.0f, u1 = 1.0f;
  const int ncap = vg_curveDivs(w, VG_PI, ctx->tessTol); // from the width before the fringe is added

  w += aa * 0.5f;
  if (aa == 0.0f) {
    // Without a fringe the coverage gradient is flat.
    u0 = 0.5f;
    u1 = 0.5f;
  }

  vg_calculateJoins(cache, lineJoin, w, miterLimit);

  int cverts = 0;
  for (int i = 0; i < cache->npaths; i++) {
    const VGpath* path = &cache->paths[i];
    const int loop = path->closed ? 1 : 0;
    if (lineJoin == VG_ROUND)
      cverts += (path->count + path->nbevel * (ncap + 2) + 1) * 2;
    else
      cverts += (path->count + path->nbevel * 5 + 1) * 2;
    if (loop == 0) {
      if (lineCap == VG_ROUND)
        cverts += (ncap * 2 + 2) * 2;
      else
        cverts += (3 + 3) * 2;
    }
  }

  VGvertex* verts = vg_allocTempVerts(ctx, cverts);
  if (!verts)
    return;

  for (int i = 0; i < cache->npaths; i++) {
    VGpath* path = &cache->paths[i];
    VGpoint* pts = &cache->points[path->first];
    path->fill = nullptr;
    path->nfill = 0;

    const int loop = path->closed ? 1 : 0;
    VGvertex* dst = verts;
    path->stroke = dst;

    // An open path of fewer than two points has no direction for its caps.
    if (path->count == 0 || (!loop && path->count < 2)) {
      path->nstroke = 0;
      continue;
    }

    const VGpoint* p0;
    const VGpoint* p1;
    int s, e;
    if (loop) {
      p0 = &pts[path->count - 1];
      p1 = &pts[0];
      s = 0;
      e = path->count;
    } else {
      p0 = &pts[0];
      p1 = &pts[1];
      s = 1;
      e = path->count - 1;
    }

    if (loop == 0)
      dst = vg_cap(dst, p0, p1, false, w, aa, lineCap, ncap, u0, u1);

    for (int j = s; j < e; ++j) {
      if (p1->flags & (VG_PT_BEVEL | VG_PT_INNERBEVEL)) {
        if (lineJoin == VG_ROUND)
          dst = vg_roundJoin(dst, p0, p1, w, w, u0, u1, ncap);
        else
          dst = vg_bevelJoin(dst, p0, p1, w, w, u0, u1);
      } else {
        vg_vset(dst++, p1->x + (p1->dmx * w), p1->y + (p1->dmy * w), u0, 1);
        vg_vset(dst++, p1->x - (p1->dmx * w), p1->y - (p1->dmy * w), u1, 1);
      }
      p0 = p1++;
    }

    if (loop) {
      vg_vset(dst++, verts[0].x, verts[0].y, u0, 1);
      vg_vset(dst++, verts[1].x, verts[1].y, u1, 1);
    } else {
      dst = vg_cap(dst, p0, p1, true, w, aa, lineCap, ncap, u0, u1);
    }

    path->nstroke = static_cast<int>(dst - verts);
    verts = dst;
  }
}

} // namespace

void vgStroke(VGcontext* ctx)
{
  VGstate* state = vg_getState(ctx);
  const float scale = vg_getAverageScale(state->xform);
  // A width or transform that is not a number gives no stroke.
  if (ctx->frameRefused || std::isnan(state->strokeWidth * scale))
    return;
  float strokeWidth = std::clamp(state->strokeWidth * scale, 0.0f, 200.0f);
  VGpaint strokePaint = state->stroke;

  if (strokeWidth < ctx->fringeWidth) {
    // A hairline is drawn one fringe wide and faded by its coverage instead.
    const float alpha = std::clamp(strokeWidth / ctx->fringeWidth, 0.0f, 1.0f);
    strokePaint.innerColor.a *= alpha * alpha;
    strokePaint.outerColor.a *= alpha * alpha;
    strokeWidth = ctx->fringeWidth;
  }

  strokePaint.innerColor.a *= state->alpha;
  strokePaint.outerColor.a *= state->alpha;

  vg_flattenPaths(ctx);

  if (ctx->params.edgeAntiAlias && state->shapeAntiAlias)
    vg_expandStroke(ctx, strokeWidth * 0.5f, ctx->fringeWidth, state->lineCap, state->lineJoin, state->miterLimit);
  else
    vg_expandStroke(ctx, strokeWidth * 0.5f, 0.0f, state->lineCap, state->lineJoin, state->miterLimit);

  ctx->params.renderStroke(ctx->params.userPtr, &strokePaint, state->compositeOperation, &state->scissor,
                           ctx->fringeWidth, strokeWidth, ctx->cache->paths, ctx->cache->npaths);

  for (int i = 0; i < ctx->cache->npaths; i++) {
    const VGpath* path = &ctx->cache->paths[i];
    ctx->strokeTriCount += path->nstroke - 2;
    ctx->drawCallCount++;
  }
}
