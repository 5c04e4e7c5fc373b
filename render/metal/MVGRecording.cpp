// Recording a frame's calls into the held buffer set. Touches only the
// buffers' CPU-visible memory.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "MVGContext.h"

namespace {

// A replacement buffer holding the first `used` elements of the old one.
bool Grow(MTLDevice* device, MTLBuffer*& buffer, int used, int needed, int minimum, int capacity, int elementSize)
{
  const long count = long(std::max(needed, minimum)) + capacity / 2;
  MTLBuffer* next =
    device->newBufferWithLength(NSUInteger(count) * NSUInteger(elementSize), MTLResourceCPUCacheModeWriteCombined);
  if (!next)
    return false;
  if (buffer) {
    if (used > 0)
      std::memcpy(next->contents(), buffer->contents(), size_t(used) * size_t(elementSize));
    buffer->release();
  }
  buffer = next;
  return true;
}

int StripVertexCount(const VGpath& path) { return path.nstroke >= 1 ? path.nstroke + 2 : 0; }
int FillVertexCount(const VGpath& path) { return path.nfill >= 3 ? path.nfill : 0; }

// Appends the path's stroke vertices, its ends doubled to join paths by
// degenerate triangles; returns the next free vertex.
VGvertex* AppendStrip(VGvertex* dst, const VGpath& path)
{
  if (path.nstroke < 1)
    return dst;
  *dst++ = path.stroke[0];
  std::memcpy(dst, path.stroke, sizeof(VGvertex) * size_t(path.nstroke));
  dst += path.nstroke;
  *dst++ = path.stroke[path.nstroke - 1];
  return dst;
}

void Columns(float* m, const double* t)
{
  const float cols[12] = {float(t[0]), float(t[1]), 0,           0,           float(t[2]), float(t[3]),
                          0,           0,           float(t[4]), float(t[5]), 1,           0};
  std::memcpy(m, cols, sizeof(cols));
}

void Premultiplied(float* out, VGcolor c)
{
  out[0] = c.r * c.a;
  out[1] = c.g * c.a;
  out[2] = c.b * c.a;
  out[3] = c.a;
}

MTLBlendFactor Factor(int flag)
{
  switch (flag) {
  case VG_ZERO: return MTLBlendFactorZero;
  case VG_ONE: return MTLBlendFactorOne;
  case VG_SRC_COLOR: return MTLBlendFactorSourceColor;
  case VG_ONE_MINUS_SRC_COLOR: return MTLBlendFactorOneMinusSourceColor;
  case VG_DST_COLOR: return MTLBlendFactorDestinationColor;
  case VG_ONE_MINUS_DST_COLOR: return MTLBlendFactorOneMinusDestinationColor;
  case VG_SRC_ALPHA: return MTLBlendFactorSourceAlpha;
  case VG_ONE_MINUS_SRC_ALPHA: return MTLBlendFactorOneMinusSourceAlpha;
  case VG_DST_ALPHA: return MTLBlendFactorDestinationAlpha;
  case VG_ONE_MINUS_DST_ALPHA: return MTLBlendFactorOneMinusDestinationAlpha;
  case VG_SRC_ALPHA_SATURATE: return MTLBlendFactorSourceAlphaSaturated;
  default: return ~MTLBlendFactor(0);
  }
}

} // namespace

bool mvgBlendCompositeOperation(VGcompositeOperationState op, MVGblend* blend)
{
  const MVGblend b = {Factor(op.srcRGB), Factor(op.dstRGB), Factor(op.srcAlpha), Factor(op.dstAlpha)};
  const MTLBlendFactor bad = ~MTLBlendFactor(0);
  if (b.srcRGB == bad || b.dstRGB == bad || b.srcAlpha == bad || b.dstAlpha == bad) {
    *blend = {MTLBlendFactorOne, MTLBlendFactorOneMinusSourceAlpha, MTLBlendFactorOne,
              MTLBlendFactorOneMinusSourceAlpha};
    return false;
  }
  *blend = b;
  return true;
}

void mvgTransformInverse(double* inv, const float* t)
{
  const double det = double(t[0]) * t[3] - double(t[2]) * t[1];
  if (std::fabs(det) < 1e-6) {
    const double id[6] = {1, 0, 0, 1, 0, 0};
    std::memcpy(inv, id, sizeof(id));
    return;
  }
  const double invdet = 1.0 / det;
  inv[0] = t[3] * invdet;
  inv[2] = -t[2] * invdet;
  inv[4] = (double(t[2]) * t[5] - double(t[3]) * t[4]) * invdet;
  inv[1] = -t[1] * invdet;
  inv[3] = t[0] * invdet;
  inv[5] = (double(t[1]) * t[4] - double(t[0]) * t[5]) * invdet;
}

MVGcall* MVGcontext_vVorelle3_au::allocCall()
{
  MVGbuffers_vVorelle3_au* b = buffers;
  if (b->ncalls + 1 > b->ccalls) {
    const int ccalls = std::max(b->ncalls + 1, 128) + b->ccalls / 2;
    auto* calls = static_cast<MVGcall*>(std::realloc(b->calls, sizeof(MVGcall) * size_t(ccalls)));
    if (!calls)
      return nullptr;
    b->calls = calls;
    b->ccalls = ccalls;
  }
  MVGcall* call = &b->calls[b->ncalls++];
  std::memset(call, 0, sizeof(*call));
  return call;
}

int MVGcontext_vVorelle3_au::allocVerts(int n)
{
  MVGbuffers_vVorelle3_au* b = buffers;
  if (b->nverts + n > b->cverts) {
    const int cverts = std::max(b->nverts + n, 4096) + b->cverts / 2;
    if (!Grow(metalLayer->device(), b->vertBuffer, b->nverts, b->nverts + n, 4096, b->cverts, sizeof(VGvertex)))
      return -1;
    b->verts = static_cast<VGvertex*>(b->vertBuffer->contents());
    b->cverts = cverts;
  }
  const int first = b->nverts;
  b->nverts += n;
  return first;
}

int MVGcontext_vVorelle3_au::allocIndexes(int n)
{
  MVGbuffers_vVorelle3_au* b = buffers;
  if (b->nindexes + n > b->cindexes) {
    const int cindexes = std::max(b->nindexes + n, 4096) + b->cindexes / 2;
    if (!Grow(metalLayer->device(), b->indexBuffer, b->nindexes, b->nindexes + n, 4096, b->cindexes, indexSize))
      return -1;
    b->indexes = static_cast<uint32_t*>(b->indexBuffer->contents());
    b->cindexes = cindexes;
  }
  const int first = b->nindexes;
  b->nindexes += n;
  return first;
}

int MVGcontext_vVorelle3_au::allocFragUniforms(int n)
{
  MVGbuffers_vVorelle3_au* b = buffers;
  if (b->nuniforms + n > b->cuniforms) {
    const int cuniforms = std::max(b->nuniforms + n, 128) + b->cuniforms / 2;
    if (!Grow(metalLayer->device(), b->uniformBuffer, b->nuniforms, b->nuniforms + n, 128, b->cuniforms, fragSize))
      return -1;
    b->uniforms = static_cast<unsigned char*>(b->uniformBuffer->contents());
    b->cuniforms = cuniforms;
  }
  const int offset = b->nuniforms * fragSize;
  b->nuniforms += n;
  return offset;
}

MVGfragUniforms* MVGcontext_vVorelle3_au::fragUniformAtIndex(int offset) const
{
  return reinterpret_cast<MVGfragUniforms*>(buffers->uniforms + offset);
}

BOOL MVGcontext_vVorelle3_au::convertPaintForFrag(MVGfragUniforms* frag, const VGpaint* paint, const VGscissor* scissor,
                                                  float width, float fringe, float strokeThr) const
{
  std::memset(frag, 0, sizeof(*frag));
  Premultiplied(frag->innerColor, paint->innerColor);
  Premultiplied(frag->outerColor, paint->outerColor);
  if (scissor->extent[0] < -0.5f || scissor->extent[1] < -0.5f) {
    frag->scissorExt[0] = frag->scissorExt[1] = 1.0f;
    frag->scissorScale[0] = frag->scissorScale[1] = 1.0f;
  } else {
    double inv[6];
    mvgTransformInverse(inv, scissor->xform);
    Columns(frag->scissorMat, inv);
    const float* x = scissor->xform;
    frag->scissorExt[0] = scissor->extent[0];
    frag->scissorExt[1] = scissor->extent[1];
    frag->scissorScale[0] = std::sqrt(x[0] * x[0] + x[2] * x[2]) / fringe;
    frag->scissorScale[1] = std::sqrt(x[1] * x[1] + x[3] * x[3]) / fringe;
  }
  frag->extent[0] = paint->extent[0];
  frag->extent[1] = paint->extent[1];
  frag->strokeMult = (width * 0.5f + fringe * 0.5f) / fringe;
  frag->strokeThr = strokeThr;

  double inv[6];
  if (paint->image != 0) {
    const MVGtexture_vVorelle3_au* tex = findTexture(paint->image);
    if (!tex)
      return NO;
    frag->type = MVG_SHADER_FILLIMG;
    frag->texType = tex->type == VG_TEXTURE_ALPHA ? 2 : (tex->flags & VG_IMAGE_PREMULTIPLIED ? 0 : 1);
    if (tex->flags & VG_IMAGE_FLIPY) {
      // Mirror y inside the extent, then the paint transform.
      float m[6] = {1, 0, 0, -1, 0, paint->extent[1]};
      vgTransformMultiply(m, paint->xform);
      mvgTransformInverse(inv, m);
    } else {
      mvgTransformInverse(inv, paint->xform);
    }
  } else {
    frag->type = MVG_SHADER_FILLGRAD;
    frag->radius = paint->radius;
    frag->feather = paint->feather;
    mvgTransformInverse(inv, paint->xform);
  }
  Columns(frag->paintMat, inv);
  return YES;
}

void MVGcontext_vVorelle3_au::renderFill(const VGpaint* paint, VGcompositeOperationState op, const VGscissor* scissor,
                                         float fringe, const float* bounds, const VGpath* paths, int npaths)
{
  // No frame, or a paint whose image is gone (the record would divide by a
  // zero extent and draw a box): nothing to record.
  if (!buffers || npaths <= 0 || (paint->image != 0 && !findTexture(paint->image)))
    return;
  MVGcall* call = allocCall();
  if (!call)
    return;
  call->type = MVG_CALL_FILL;
  call->triangleCount = 4;
  call->image = paint->image;
  mvgBlendCompositeOperation(op, &call->blendFunc);
  if (npaths == 1 && paths[0].convex) {
    call->type = MVG_CALL_CONVEXFILL;
    call->triangleCount = 0;
  }

  int fillVerts = 0, stripVerts = 0, indexCount = 0;
  for (int i = 0; i < npaths; ++i) {
    fillVerts += FillVertexCount(paths[i]);
    stripVerts += StripVertexCount(paths[i]);
    if (paths[i].nfill >= 3)
      indexCount += (paths[i].nfill - 2) * 3;
  }
  const int first = allocVerts(fillVerts + stripVerts + call->triangleCount);
  if (first < 0) {
    --buffers->ncalls;
    return;
  }
  const int firstIndex = allocIndexes(indexCount);
  if (firstIndex < 0) {
    --buffers->ncalls;
    return;
  }
  call->indexOffset = firstIndex;
  call->indexCount = indexCount;

  VGvertex* verts = buffers->verts;
  uint32_t* index = buffers->indexes + firstIndex;
  int v = first;
  for (int i = 0; i < npaths; ++i) {
    const VGpath& p = paths[i];
    if (p.nfill < 3)
      continue;
    std::memcpy(&verts[v], p.fill, sizeof(VGvertex) * size_t(p.nfill));
    for (int j = 2; j < p.nfill; ++j) {
      *index++ = uint32_t(v);
      *index++ = uint32_t(v + j - 1);
      *index++ = uint32_t(v + j);
    }
    v += p.nfill;
  }
  if (call->type == MVG_CALL_FILL) {
    call->triangleOffset = v;
    const float minx = bounds[0], miny = bounds[1], maxx = bounds[2], maxy = bounds[3];
    verts[v++] = {maxx, maxy, 0.5f, 1.0f};
    verts[v++] = {maxx, miny, 0.5f, 1.0f};
    verts[v++] = {minx, maxy, 0.5f, 1.0f};
    verts[v++] = {minx, miny, 0.5f, 1.0f};
  }
  call->strokeOffset = v + 1;
  call->strokeCount = stripVerts - 2;
  VGvertex* dst = &verts[v];
  for (int i = 0; i < npaths; ++i)
    dst = AppendStrip(dst, paths[i]);

  const int uniformOffset = allocFragUniforms(1);
  if (uniformOffset < 0) {
    --buffers->ncalls;
    return;
  }
  call->uniformOffset = uniformOffset;
  convertPaintForFrag(fragUniformAtIndex(uniformOffset), paint, scissor, fringe, fringe, -1.0f);
}

void MVGcontext_vVorelle3_au::renderStroke(const VGpaint* paint, VGcompositeOperationState op, const VGscissor* scissor,
                                           float fringe, float strokeWidth, const VGpath* paths, int npaths)
{
  if (!buffers || npaths <= 0 || (paint->image != 0 && !findTexture(paint->image)))
    return;
  MVGcall* call = allocCall();
  if (!call)
    return;
  call->type = MVG_CALL_STROKE;
  call->image = paint->image;
  mvgBlendCompositeOperation(op, &call->blendFunc);

  int stripVerts = 0;
  for (int i = 0; i < npaths; ++i)
    stripVerts += StripVertexCount(paths[i]);
  const int first = allocVerts(stripVerts);
  if (first < 0) {
    --buffers->ncalls;
    return;
  }
  call->strokeOffset = first + 1;
  call->strokeCount = stripVerts - 2;
  VGvertex* dst = &buffers->verts[first];
  for (int i = 0; i < npaths; ++i)
    dst = AppendStrip(dst, paths[i]);

  const bool stencil = flags & VG_STENCIL_STROKES;
  const int uniformOffset = allocFragUniforms(stencil ? 2 : 1);
  if (uniformOffset < 0) {
    --buffers->ncalls;
    return;
  }
  call->uniformOffset = uniformOffset;
  convertPaintForFrag(fragUniformAtIndex(uniformOffset), paint, scissor, strokeWidth, fringe, -1.0f);
  if (stencil)
    convertPaintForFrag(fragUniformAtIndex(uniformOffset + fragSize), paint, scissor, strokeWidth, fringe,
                        1.0f - 0.5f / 255.0f);
}

void MVGcontext_vVorelle3_au::renderTriangles(const VGpaint* paint, VGcompositeOperationState op,
                                              const VGscissor* scissor, const VGvertex* verts, int nverts, float fringe)
{
  // Text without glyphs arrives with no vertices: nothing to draw.
  if (!buffers || nverts <= 0 || (paint->image != 0 && !findTexture(paint->image)))
    return;
  MVGcall* call = allocCall();
  if (!call)
    return;
  call->type = MVG_CALL_TRIANGLES;
  call->image = paint->image;
  mvgBlendCompositeOperation(op, &call->blendFunc);
  const int first = allocVerts(nverts);
  if (first < 0) {
    --buffers->ncalls;
    return;
  }
  call->triangleOffset = first;
  call->triangleCount = nverts;
  std::memcpy(&buffers->verts[first], verts, sizeof(VGvertex) * size_t(nverts));

  const int uniformOffset = allocFragUniforms(1);
  if (uniformOffset < 0) {
    --buffers->ncalls;
    return;
  }
  call->uniformOffset = uniformOffset;
  MVGfragUniforms* frag = fragUniformAtIndex(uniformOffset);
  convertPaintForFrag(frag, paint, scissor, 1.0f, fringe, -1.0f);
  frag->type = MVG_SHADER_IMG;
}
