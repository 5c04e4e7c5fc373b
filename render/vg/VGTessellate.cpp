// Flattening, join analysis, the vertex pool and fill tessellation.
#include <algorithm>
#include <cmath>

#include "VGInternal.h"

namespace {

int vg_ptEquals(float x1, float y1, float x2, float y2, float tol)
{
  const float dx = x2 - x1;
  const float dy = y2 - y1;
  return dx * dx + dy * dy < tol * tol;
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

float vg_cross(float dx0, float dy0, float dx1, float dy1) { return dx1 * dy0 - dx0 * dy1; }

VGpath* vg_lastPath(VGcontext* ctx)
{
  return ctx->cache->npaths > 0 ? &ctx->cache->paths[ctx->cache->npaths - 1] : nullptr;
}

void vg_addPath(VGcontext* ctx)
{
  VGpathCache* cache = ctx->cache;
  if (cache->npaths + 1 > cache->cpaths) {
    const int cpaths = cache->npaths + 1 + cache->cpaths / 2;
    if (!vg_resize(cache->paths, cache->npaths, cpaths))
      return;
    cache->cpaths = cpaths;
  }
  VGpath* path = &cache->paths[cache->npaths];
  std::memset(path, 0, sizeof(*path));
  path->first = cache->npoints;
  path->winding = VG_CCW;
  cache->npaths++;
}

VGpoint* vg_lastPoint(VGcontext* ctx)
{
  return ctx->cache->npoints > 0 ? &ctx->cache->points[ctx->cache->npoints - 1] : nullptr;
}

void vg_addPoint(VGcontext* ctx, float x, float y, int flags)
{
  VGpath* path = vg_lastPath(ctx);
  if (!path)
    return;
  VGpathCache* cache = ctx->cache;

  if (path->count > 0 && cache->npoints > 0) {
    VGpoint* pt = vg_lastPoint(ctx);
    if (vg_ptEquals(pt->x, pt->y, x, y, ctx->distTol)) {
      pt->flags |= static_cast<uint8_t>(flags);
      return;
    }
  }

  if (cache->npoints + 1 > cache->cpoints) {
    const int cpoints = cache->npoints + 1 + cache->cpoints / 2;
    if (!vg_resize(cache->points, cache->npoints, cpoints))
      return;
    cache->cpoints = cpoints;
  }

  VGpoint* pt = &cache->points[cache->npoints];
  std::memset(pt, 0, sizeof(*pt));
  pt->x = x;
  pt->y = y;
  pt->flags = static_cast<uint8_t>(flags);
  cache->npoints++;
  path->count++;
}

void vg_closePath(VGcontext* ctx)
{
  if (VGpath* path = vg_lastPath(ctx))
    path->closed = 1;
}

void vg_pathWinding(VGcontext* ctx, int winding)
{
  if (VGpath* path = vg_lastPath(ctx))
    path->winding = winding;
}

float vg_polyArea(const VGpoint* pts, int npts)
{
  float area = 0;
  for (int i = 2; i < npts; i++) {
    const VGpoint* a = &pts[0];
    const VGpoint* b = &pts[i - 1];
    const VGpoint* c = &pts[i];
    area += (c->x - a->x) * (b->y - a->y) - (b->x - a->x) * (c->y - a->y);
  }
  return area * 0.5f;
}

void vg_polyReverse(VGpoint* pts, int npts)
{
  int i = 0, j = npts - 1;
  while (i < j) {
    std::swap(pts[i], pts[j]);
    i++;
    j--;
  }
}

void vg_tesselateBezier(VGcontext* ctx, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                        int level, int type)
{
  if (level > 10)
    return;

  const float x12 = (x1 + x2) * 0.5f, y12 = (y1 + y2) * 0.5f;
  const float x23 = (x2 + x3) * 0.5f, y23 = (y2 + y3) * 0.5f;
  const float x34 = (x3 + x4) * 0.5f, y34 = (y3 + y4) * 0.5f;
  const float x123 = (x12 + x23) * 0.5f, y123 = (y12 + y23) * 0.5f;

  const float dx = x4 - x1;
  const float dy = y4 - y1;
  const float d2 = std::fabs((x2 - x4) * dy - (y2 - y4) * dx);
  const float d3 = std::fabs((x3 - x4) * dy - (y3 - y4) * dx);

  if ((d2 + d3) * (d2 + d3) < ctx->tessTol * (dx * dx + dy * dy)) {
    vg_addPoint(ctx, x4, y4, type);
    return;
  }

  const float x234 = (x23 + x34) * 0.5f, y234 = (y23 + y34) * 0.5f;
  const float x1234 = (x123 + x234) * 0.5f, y1234 = (y123 + y234) * 0.5f;

  vg_tesselateBezier(ctx, x1, y1, x12, y12, x123, y123, x1234, y1234, level + 1, 0);
  vg_tesselateBezier(ctx, x1234, y1234, x234, y234, x34, y34, x4, y4, level + 1, type);
}

// Inset fill vertices, the antialias fringe and vgFill.
void vg_expandFill(VGcontext* ctx, float w)
{
  VGpathCache* cache = ctx->cache;
  const float aa = ctx->fringeWidth;
  const int fringe = w > 0.0f;

  vg_calculateJoins(cache, VG_MITER, w, 2.4f);

  int cverts = 0;
  for (int i = 0; i < cache->npaths; i++) {
    const VGpath* path = &cache->paths[i];
    cverts += path->count + path->nbevel + 1;
    if (fringe)
      cverts += (path->count + path->nbevel * 5 + 1) * 2;
  }

  VGvertex* verts = vg_allocTempVerts(ctx, cverts);
  if (!verts)
    return;

  const int convex = cache->npaths == 1 && cache->paths[0].convex;
  const float woff = 0.5f * aa;

  for (int i = 0; i < cache->npaths; i++) {
    VGpath* path = &cache->paths[i];
    VGpoint* pts = &cache->points[path->first];

    // The shape itself, inset by half a fringe when there is one.
    VGvertex* dst = verts;
    path->fill = dst;
    if (path->count == 0) {
      path->nfill = 0;
      path->stroke = fringe ? dst : nullptr;
      path->nstroke = 0;
      continue;
    }
    if (fringe) {
      const VGpoint* p0 = &pts[path->count - 1];
      const VGpoint* p1 = &pts[0];
      for (int j = 0; j < path->count; ++j) {
        if (p1->flags & VG_PT_BEVEL) {
          const float dlx0 = p0->dy, dly0 = -p0->dx;
          const float dlx1 = p1->dy, dly1 = -p1->dx;
          if (p1->flags & VG_PT_LEFT) {
            vg_vset(dst++, p1->x + p1->dmx * woff, p1->y + p1->dmy * woff, 0.5f, 1);
          } else {
            vg_vset(dst++, p1->x + dlx0 * woff, p1->y + dly0 * woff, 0.5f, 1);
            vg_vset(dst++, p1->x + dlx1 * woff, p1->y + dly1 * woff, 0.5f, 1);
          }
        } else {
          vg_vset(dst++, p1->x + p1->dmx * woff, p1->y + p1->dmy * woff, 0.5f, 1);
        }
        p0 = p1++;
      }
    } else {
      for (int j = 0; j < path->count; ++j)
        vg_vset(dst++, pts[j].x, pts[j].y, 0.5f, 1);
    }
    path->nfill = static_cast<int>(dst - verts);
    verts = dst;

    if (fringe) {
      float lw = w + woff;
      const float rw = w - woff;
      float lu = 0;
      const float ru = 1;
      dst = verts;
      path->stroke = dst;
      // A single convex shape needs only the outer half of the fringe.
      if (convex) {
        lw = woff;
        lu = 0.5f;
      }
      const VGpoint* p0 = &pts[path->count - 1];
      const VGpoint* p1 = &pts[0];
      for (int j = 0; j < path->count; ++j) {
        if (p1->flags & (VG_PT_BEVEL | VG_PT_INNERBEVEL)) {
          dst = vg_bevelJoin(dst, p0, p1, lw, rw, lu, ru);
        } else {
          vg_vset(dst++, p1->x + (p1->dmx * lw), p1->y + (p1->dmy * lw), lu, 1);
          vg_vset(dst++, p1->x - (p1->dmx * rw), p1->y - (p1->dmy * rw), ru, 1);
        }
        p0 = p1++;
      }
      vg_vset(dst++, verts[0].x, verts[0].y, lu, 1);
      vg_vset(dst++, verts[1].x, verts[1].y, ru, 1);
      path->nstroke = static_cast<int>(dst - verts);
      verts = dst;
    } else {
      path->stroke = nullptr;
      path->nstroke = 0;
    }
  }
}

} // namespace

void vg_flattenPaths(VGcontext* ctx)
{
  VGpathCache* cache = ctx->cache;
  if (cache->npaths > 0)
    return;

  int i = 0;
  while (i < ctx->ncommands) {
    const int cmd = static_cast<int>(ctx->commands[i]);
    switch (cmd) {
    case VG_MOVETO: {
      const float* p = &ctx->commands[i + 1];
      vg_addPath(ctx);
      vg_addPoint(ctx, p[0], p[1], VG_PT_CORNER);
      i += 3;
      break;
    }
    case VG_LINETO: {
      const float* p = &ctx->commands[i + 1];
      vg_addPoint(ctx, p[0], p[1], VG_PT_CORNER);
      i += 3;
      break;
    }
    case VG_BEZIERTO: {
      if (const VGpoint* last = vg_lastPoint(ctx)) {
        const float* cp1 = &ctx->commands[i + 1];
        const float* cp2 = &ctx->commands[i + 3];
        const float* p = &ctx->commands[i + 5];
        vg_tesselateBezier(ctx, last->x, last->y, cp1[0], cp1[1], cp2[0], cp2[1], p[0], p[1], 0, VG_PT_CORNER);
      }
      i += 7;
      break;
    }
    case VG_CLOSE:
      vg_closePath(ctx);
      i++;
      break;
    case VG_WINDING:
      vg_pathWinding(ctx, static_cast<int>(ctx->commands[i + 1]));
      i += 2;
      break;
    default: i++;
    }
  }

  cache->bounds[0] = cache->bounds[1] = 1e6f;
  cache->bounds[2] = cache->bounds[3] = -1e6f;

  for (int j = 0; j < cache->npaths; j++) {
    VGpath* path = &cache->paths[j];
    VGpoint* pts = &cache->points[path->first];

    if (path->count == 0)
      continue;
    // A path whose ends meet is closed, without the repeated point.
    VGpoint* p0 = &pts[path->count - 1];
    VGpoint* p1 = &pts[0];
    if (vg_ptEquals(p0->x, p0->y, p1->x, p1->y, ctx->distTol)) {
      path->count--;
      p0 = path->count > 0 ? &pts[path->count - 1] : p1;
      path->closed = 1;
    }

    if (path->count > 2) {
      const float area = vg_polyArea(pts, path->count);
      if (path->winding == VG_CCW && area < 0.0f)
        vg_polyReverse(pts, path->count);
      if (path->winding == VG_CW && area > 0.0f)
        vg_polyReverse(pts, path->count);
    }

    for (int k = 0; k < path->count; k++) {
      p0->dx = p1->x - p0->x;
      p0->dy = p1->y - p0->y;
      p0->len = vg_normalize(&p0->dx, &p0->dy);
      cache->bounds[0] = std::min(cache->bounds[0], p0->x);
      cache->bounds[1] = std::min(cache->bounds[1], p0->y);
      cache->bounds[2] = std::max(cache->bounds[2], p0->x);
      cache->bounds[3] = std::max(cache->bounds[3], p0->y);
      p0 = p1++;
    }
  }
}

namespace {

// True when the directions of a closed outline turn through one revolution
// in all: a self-intersecting outline whose turns are all left (a star drawn
// in one stroke) turns through two or more and is no convex shape.
bool vg_turnsOnce(const VGpoint* pts, int count)
{
  double turn = 0.0;
  const VGpoint* p0 = &pts[count - 1];
  for (int j = 0; j < count; j++) {
    const VGpoint* p1 = &pts[j];
    turn += std::atan2(double(vg_cross(p0->dx, p0->dy, p1->dx, p1->dy)), double(p0->dx * p1->dx + p0->dy * p1->dy));
    p0 = p1;
  }
  return turn < 3.0 * VG_PI;
}

} // namespace

void vg_calculateJoins(VGpathCache* cache, int lineJoin, float w, float miterLimit)
{
  const float iw = w > 0.0f ? 1.0f / w : 0.0f;

  for (int i = 0; i < cache->npaths; i++) {
    VGpath* path = &cache->paths[i];
    VGpoint* pts = &cache->points[path->first];
    int nleft = 0;
    path->nbevel = 0;
    if (path->count == 0) {
      path->convex = 1;
      continue;
    }
    VGpoint* p0 = &pts[path->count - 1];
    VGpoint* p1 = &pts[0];

    for (int j = 0; j < path->count; j++) {
      const float dlx0 = p0->dy, dly0 = -p0->dx;
      const float dlx1 = p1->dy, dly1 = -p1->dx;
      p1->dmx = (dlx0 + dlx1) * 0.5f;
      p1->dmy = (dly0 + dly1) * 0.5f;
      const float dmr2 = p1->dmx * p1->dmx + p1->dmy * p1->dmy;
      if (dmr2 > 0.000001f) {
        const float scale = std::min(1.0f / dmr2, 600.0f);
        p1->dmx *= scale;
        p1->dmy *= scale;
      }

      p1->flags = (p1->flags & VG_PT_CORNER) ? VG_PT_CORNER : 0;

      if (vg_cross(p0->dx, p0->dy, p1->dx, p1->dy) > 0.0f) {
        nleft++;
        p1->flags |= VG_PT_LEFT;
      }

      const float limit = std::max(1.01f, std::min(p0->len, p1->len) * iw);
      if (dmr2 * limit * limit < 1.0f)
        p1->flags |= VG_PT_INNERBEVEL;

      if (p1->flags & VG_PT_CORNER) {
        if (dmr2 * miterLimit * miterLimit < 1.0f || lineJoin == VG_BEVEL || lineJoin == VG_ROUND)
          p1->flags |= VG_PT_BEVEL;
      }

      if (p1->flags & (VG_PT_BEVEL | VG_PT_INNERBEVEL))
        path->nbevel++;
      p0 = p1++;
    }
    path->convex = nleft == path->count && vg_turnsOnce(pts, path->count) ? 1 : 0;
  }
}

VGjoinPoints vg_innerJoin(const VGpoint* p0, const VGpoint* p1, float w)
{
  // Segments too short for the mitre point meet their own offsets instead.
  if (p1->flags & VG_PT_INNERBEVEL)
    return {p1->x + p0->dy * w, p1->y - p0->dx * w, p1->x + p1->dy * w, p1->y - p1->dx * w};
  const float x = p1->x + p1->dmx * w;
  const float y = p1->y + p1->dmy * w;
  return {x, y, x, y};
}

VGvertex* vg_bevelJoin(VGvertex* dst, const VGpoint* p0, const VGpoint* p1, float lw, float rw, float lu, float ru)
{
  const float dlx0 = p0->dy, dly0 = -p0->dx;
  const float dlx1 = p1->dy, dly1 = -p1->dx;

  if (p1->flags & VG_PT_LEFT) {
    const auto [lx0, ly0, lx1, ly1] = vg_innerJoin(p0, p1, lw);
    vg_vset(dst++, lx0, ly0, lu, 1);
    vg_vset(dst++, p1->x - dlx0 * rw, p1->y - dly0 * rw, ru, 1);

    if (p1->flags & VG_PT_BEVEL) {
      vg_vset(dst++, lx0, ly0, lu, 1);
      vg_vset(dst++, p1->x - dlx0 * rw, p1->y - dly0 * rw, ru, 1);
      vg_vset(dst++, lx1, ly1, lu, 1);
      vg_vset(dst++, p1->x - dlx1 * rw, p1->y - dly1 * rw, ru, 1);
    } else {
      const float rx0 = p1->x - p1->dmx * rw;
      const float ry0 = p1->y - p1->dmy * rw;
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
      vg_vset(dst++, p1->x - dlx0 * rw, p1->y - dly0 * rw, ru, 1);
      vg_vset(dst++, rx0, ry0, ru, 1);
      vg_vset(dst++, rx0, ry0, ru, 1);
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
      vg_vset(dst++, p1->x - dlx1 * rw, p1->y - dly1 * rw, ru, 1);
    }
    vg_vset(dst++, lx1, ly1, lu, 1);
    vg_vset(dst++, p1->x - dlx1 * rw, p1->y - dly1 * rw, ru, 1);
  } else {
    const auto [rx0, ry0, rx1, ry1] = vg_innerJoin(p0, p1, -rw);
    vg_vset(dst++, p1->x + dlx0 * lw, p1->y + dly0 * lw, lu, 1);
    vg_vset(dst++, rx0, ry0, ru, 1);

    if (p1->flags & VG_PT_BEVEL) {
      vg_vset(dst++, p1->x + dlx0 * lw, p1->y + dly0 * lw, lu, 1);
      vg_vset(dst++, rx0, ry0, ru, 1);
      vg_vset(dst++, p1->x + dlx1 * lw, p1->y + dly1 * lw, lu, 1);
      vg_vset(dst++, rx1, ry1, ru, 1);
    } else {
      const float lx0 = p1->x + p1->dmx * lw;
      const float ly0 = p1->y + p1->dmy * lw;
      vg_vset(dst++, p1->x + dlx0 * lw, p1->y + dly0 * lw, lu, 1);
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
      vg_vset(dst++, lx0, ly0, lu, 1);
      vg_vset(dst++, lx0, ly0, lu, 1);
      vg_vset(dst++, p1->x + dlx1 * lw, p1->y + dly1 * lw, lu, 1);
      vg_vset(dst++, p1->x, p1->y, 0.5f, 1);
    }
    vg_vset(dst++, p1->x + dlx1 * lw, p1->y + dly1 * lw, lu, 1);
    vg_vset(dst++, rx1, ry1, ru, 1);
  }
  return dst;
}

VGvertex* vg_allocTempVerts(VGcontext* ctx, int nverts)
{
  VGpathCache* cache = ctx->cache;
  if (nverts > cache->cverts) {
    const int cverts = (nverts + 0xff) & ~0xff;
    if (!vg_resize(cache->verts, 0, cverts)) {
      // The paths' lists would point into geometry of an earlier expansion;
      // drawing nothing is the sound outcome.
      for (int i = 0; i < cache->npaths; i++) {
        cache->paths[i].fill = nullptr;
        cache->paths[i].nfill = 0;
        cache->paths[i].stroke = nullptr;
        cache->paths[i].nstroke = 0;
      }
      return nullptr;
    }
    cache->cverts = cverts;
  }
  return cache->verts;
}

void vgFill(VGcontext* ctx)
{
  if (ctx->frameRefused)
    return;
  VGstate* state = vg_getState(ctx);
  VGpaint fillPaint = state->fill;

  vg_flattenPaths(ctx);
  if (ctx->params.edgeAntiAlias && state->shapeAntiAlias)
    vg_expandFill(ctx, ctx->fringeWidth);
  else
    vg_expandFill(ctx, 0.0f);

  fillPaint.innerColor.a *= state->alpha;
  fillPaint.outerColor.a *= state->alpha;

  ctx->params.renderFill(ctx->params.userPtr, &fillPaint, state->compositeOperation, &state->scissor, ctx->fringeWidth,
                         ctx->cache->bounds, ctx->cache->paths, ctx->cache->npaths);

  for (int i = 0; i < ctx->cache->npaths; i++) {
    const VGpath* path = &ctx->cache->paths[i];
    ctx->fillTriCount += path->nfill - 2;
    ctx->fillTriCount += path->nstroke - 2;
    ctx->drawCallCount += 2;
  }
}
