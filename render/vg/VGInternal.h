#pragma once
// The engine's records and the steps its parts share (path cache, joins,
// temporary vertices). Not for callers of the engine: they use VG.h.

#include <cstddef>
#include <cstring>
#include <new>

#include "FontStash.h"
#include "VG.h"

constexpr int VG_MAX_STATES = 32;
constexpr int VG_MAX_FONTIMAGES = 4;
constexpr float VG_PI = 3.1415927f;
constexpr float VG_2PI = 6.2831855f;
constexpr float VG_KAPPA90 = 0.5522848f; // quarter-circle control length

// Path commands, stored as floats in the command buffer.
enum { VG_MOVETO = 0, VG_LINETO = 1, VG_BEZIERTO = 2, VG_CLOSE = 3, VG_WINDING = 4 };

// Point flags.
enum { VG_PT_CORNER = 1, VG_PT_LEFT = 2, VG_PT_BEVEL = 4, VG_PT_INNERBEVEL = 8 };

struct VGstate {
  VGcompositeOperationState compositeOperation;
  int shapeAntiAlias;
  VGpaint fill;
  VGpaint stroke;
  float strokeWidth;
  float miterLimit;
  int lineJoin;
  int lineCap;
  float alpha;
  float xform[6];
  VGscissor scissor;
  float fontSize;
  float letterSpacing;
  float lineHeight;
  float fontBlur;
  int textAlign;
  int fontId;
};

struct VGpoint {
  float x, y;
  float dx, dy;
  float len;
  float dmx, dmy;
  uint8_t flags;
};

struct VGpathCache {
  VGpoint* points;
  int npoints;
  int cpoints;
  VGpath* paths;
  int npaths;
  int cpaths;
  VGvertex* verts;
  int nverts;
  int cverts;
  float bounds[4];
};

// A frame wider or taller than this many pixels draws nothing: no screen or
// layer is that large, and no render target can be made for it.
inline constexpr float kMaxFramePixels = 32768.0f;

struct VGcontext {
  VGparams params; // head of the record: vgInternalParams returns its address
  float* commands;
  int ccommands;
  int ncommands;
  float commandx, commandy;
  VGstate states[VG_MAX_STATES];
  int nstates;
  int ignoredSaves; // saves refused at a full stack, undone by restores first
  VGpathCache* cache;
  float tessTol;
  float distTol;
  float fringeWidth;
  float devicePxRatio;
  bool frameRefused; // begun with a size or ratio nothing can be drawn at
  FSTcontext* fs;
  int fontImages[VG_MAX_FONTIMAGES];
  int fontImageIdx;
  int drawCallCount;
  int fillTriCount;
  int strokeTriCount;
  int textTriCount;
};

// Grows a plain array to newCap elements keeping the first `used`; false
// (array unchanged) when memory runs out. Goes through operator new so that
// allocation counters and limits see it.
template <class T> bool vg_resize(T*& p, int used, int newCap)
{
  T* q = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(newCap), std::nothrow));
  if (!q)
    return false;
  if (p && used > 0)
    std::memcpy(static_cast<void*>(q), p, sizeof(T) * static_cast<size_t>(used));
  ::operator delete(p);
  p = q;
  return true;
}

template <class T> T* vg_alloc(int n)
{
  return static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(n), std::nothrow));
}

inline void vg_free(void* p) { ::operator delete(p); }

inline VGstate* vg_getState(VGcontext* ctx) { return &ctx->states[ctx->nstates - 1]; }

// (|column 0| + |column 1|) / 2 of the linear part: strokes and text scale by it.
float vg_getAverageScale(const float* t);

// Flattening and join analysis shared by fill, stroke and text.
void vg_flattenPaths(VGcontext* ctx);
void vg_calculateJoins(VGpathCache* cache, int lineJoin, float w, float miterLimit);
VGvertex* vg_bevelJoin(VGvertex* dst, const VGpoint* p0, const VGpoint* p1, float lw, float rw, float lu, float ru);

// Where the inner side of the join at p1 meets the segment before it (x0, y0)
// and after it (x1, y1); w is the offset along the left normal, negative for
// the right side.
struct VGjoinPoints {
  float x0, y0, x1, y1;
};
VGjoinPoints vg_innerJoin(const VGpoint* p0, const VGpoint* p1, float w);

// The vertex pool, sized for nverts vertices; null when it cannot grow (then
// every cached path's vertex lists are cleared, so nothing stale is drawn).
VGvertex* vg_allocTempVerts(VGcontext* ctx, int nverts);

inline void vg_vset(VGvertex* vtx, float x, float y, float u, float v)
{
  vtx->x = x;
  vtx->y = y;
  vtx->u = u;
  vtx->v = v;
}
