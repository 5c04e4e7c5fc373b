#include "Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace standin::mtl {

using ::metal::float4;

namespace {

constexpr int kSubBits = 8; // 1/256-pixel vertex snapping
constexpr int64_t kSub = 1 << kSubBits;
constexpr float kGuardBand = 64.0f; // x, y clipped at +-64 w: keeps fixed point in range
// Clip-space values beyond this overflow the clipper's products in float.
constexpr float kHuge = 1e30f;
constexpr unsigned kMaxChannels = kMaxVaryingFloats + 2;

// This library is loaded with the program, so its storage is static and
// reached without the run-time lookup that dynamic modules need.
[[gnu::tls_model("initial-exec")]] thread_local bool tFragmentDiscarded = false;

int64_t FloorDiv(int64_t a, int64_t b)
{ // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The smallest x with b x >= a (b > 0): a floating-point estimate made
// exact by integer steps, cheaper than a 64-bit division per row.
int64_t FirstAtLeast(int64_t a, int64_t b)
{
  int64_t x = int64_t(double(a) / double(b)); // truncated; the steps finish it
  while (x * b < a)
    ++x;
  while ((x - 1) * b >= a)
    --x;
  return x;
}

bool StencilCompare(MTLCompareFunction f, uint32_t ref, uint32_t value)
{
  switch (f) {
  case MTLCompareFunctionNever: return false;
  case MTLCompareFunctionLess: return ref < value;
  case MTLCompareFunctionEqual: return ref == value;
  case MTLCompareFunctionLessEqual: return ref <= value;
  case MTLCompareFunctionGreater: return ref > value;
  case MTLCompareFunctionNotEqual: return ref != value;
  case MTLCompareFunctionGreaterEqual: return ref >= value;
  default: return true;
  }
}

uint8_t StencilApply(MTLStencilOperation op, uint8_t value, uint8_t ref)
{
  switch (op) {
  case MTLStencilOperationZero: return 0;
  case MTLStencilOperationReplace: return ref;
  case MTLStencilOperationIncrementClamp: return value == 255 ? 255 : uint8_t(value + 1);
  case MTLStencilOperationDecrementClamp: return value == 0 ? 0 : uint8_t(value - 1);
  case MTLStencilOperationInvert: return uint8_t(~value);
  case MTLStencilOperationIncrementWrap: return uint8_t(value + 1);
  case MTLStencilOperationDecrementWrap: return uint8_t(value - 1);
  default: return value;
  }
}

float Factor(MTLBlendFactor f, int channel, const float4& s, const float4& d)
{
  switch (f) {
  case MTLBlendFactorZero: return 0.0f;
  case MTLBlendFactorOne: return 1.0f;
  case MTLBlendFactorSourceColor: return s[channel];
  case MTLBlendFactorOneMinusSourceColor: return 1.0f - s[channel];
  case MTLBlendFactorSourceAlpha: return s.w;
  case MTLBlendFactorOneMinusSourceAlpha: return 1.0f - s.w;
  case MTLBlendFactorDestinationColor: return d[channel];
  case MTLBlendFactorOneMinusDestinationColor: return 1.0f - d[channel];
  case MTLBlendFactorDestinationAlpha: return d.w;
  case MTLBlendFactorOneMinusDestinationAlpha: return 1.0f - d.w;
  case MTLBlendFactorSourceAlphaSaturated: return channel == 3 ? 1.0f : std::min(s.w, 1.0f - d.w);
  default: return 0.0f;
  }
}

float Combine(MTLBlendOperation op, float s, float sf, float d, float df)
{
  switch (op) {
  case MTLBlendOperationSubtract: return s * sf - d * df;
  case MTLBlendOperationReverseSubtract: return d * df - s * sf;
  case MTLBlendOperationMin: return std::min(s, d);
  case MTLBlendOperationMax: return std::max(s, d);
  default: return s * sf + d * df;
  }
}

float4 Blend(const PipelineProgram& p, float4 s, const float4& d)
{
  float4 out;
  for (int c = 0; c < 3; ++c)
    out[c] = Combine(p.rgbOp, s[c], Factor(p.srcRGB, c, s, d), d[c], Factor(p.dstRGB, c, s, d));
  out.w = Combine(p.alphaOp, s.w, Factor(p.srcA, 3, s, d), d.w, Factor(p.dstA, 3, s, d));
  return out;
}

// Premultiplied source-over, the renderer's usual blend: a shorter path.
bool IsSourceOver(const PipelineProgram& p)
{
  return p.blending && p.srcRGB == MTLBlendFactorOne && p.srcA == MTLBlendFactorOne &&
         p.dstRGB == MTLBlendFactorOneMinusSourceAlpha && p.dstA == MTLBlendFactorOneMinusSourceAlpha &&
         p.rgbOp == MTLBlendOperationAdd && p.alphaOp == MTLBlendOperationAdd;
}

} // namespace

// Everything a draw's triangles share.
struct Rasterizer::Setup {
  const DrawState* state;
  const PipelineProgram* program;
  unsigned varyings, position;
  int x0, y0, x1, y1; // pixel clip rectangle, exclusive ends
  metal::FragmentInput input;
  const void* fragmentBuffers[kMTLMaxBufferSlots];
  const void* textures[kMTLMaxBufferSlots];
  const void* samplers[16];
  int output; // Rasterizer::kNoColor ... kGeneric
};

Rasterizer::Rasterizer(TextureImage* color, TextureImage* stencil, int rowBegin, int rowEnd)
: mColor(color), mStencil(stencil), mRowBegin(rowBegin), mRowEnd(rowEnd)
{
  const TextureImage::Level& base = color ? color->levels[0] : stencil->levels[0];
  mWidth = base.width;
  mHeight = base.height;
  if (color && stencil) {
    mWidth = std::min(mWidth, stencil->levels[0].width);
    mHeight = std::min(mHeight, stencil->levels[0].height);
  }
}

void Rasterizer::Report(const char* message) const
{
  if (mRowBegin == 0)
    ValidationError(message); // once per pass, not once per band
}

bool Rasterizer::RunVertices(const DrawState& state, const DrawCall& call)
{
  const PipelineProgram& p = state.pipeline->program();
  mStride = (p.varyingFloats + 3) & ~3u;
  const void* buffers[kMTLMaxBufferSlots];
  for (unsigned i = 0; i < kMTLMaxBufferSlots; ++i) {
    MTLBuffer* b = state.vertexBuffers[i];
    buffers[i] = b && state.vertexOffsets[i] < b->length()
                   ? static_cast<const uint8_t*>(b->gpuBytes()) + state.vertexOffsets[i]
                   : nullptr;
  }
  auto id = [&](NSUInteger i) -> uint32_t {
    if (!call.indices)
      return uint32_t(call.first + i);
    return call.indices16 ? static_cast<const uint16_t*>(call.indices)[i]
                          : static_cast<const uint32_t*>(call.indices)[i];
  };

  // Each distinct vertex id runs the vertex function once.
  mSlot.resize(call.count);
  std::vector<std::pair<uint32_t, uint32_t>> order(call.count);
  for (NSUInteger i = 0; i < call.count; ++i)
    order[i] = {id(i), uint32_t(i)};
  if (call.indices)
    std::sort(order.begin(), order.end());
  unsigned records = 0;
  for (NSUInteger i = 0; i < call.count; ++i) {
    if (i == 0 || order[i].first != order[i - 1].first)
      ++records;
    mSlot[order[i].second] = records - 1;
  }
  mOut.assign(std::size_t(records) * mStride / 4, float4());

  float4 attributes[kMTLMaxVertexAttributes];
  bool outside = false;
  metal::VertexInput input{0, attributes, buffers};
  for (NSUInteger i = 0, r = 0; i < call.count; ++i) {
    if (i > 0 && order[i].first == order[i - 1].first)
      continue;
    const uint32_t vid = order[i].first;
    for (const VertexAttribute& a : p.attributes) {
      float4 v(0.0f, 0.0f, 0.0f, 1.0f);
      MTLBuffer* b = state.vertexBuffers[a.bufferIndex];
      const unsigned n = unsigned(a.format - MTLVertexFormatFloat + 1);
      const NSUInteger element = a.step == MTLVertexStepFunctionPerVertex ? vid : 0;
      const NSUInteger at = state.vertexOffsets[a.bufferIndex] + element * a.stride + a.offset;
      if (b && at <= b->length() && n * 4 <= b->length() - at) {
        std::memcpy(&v.x, static_cast<const uint8_t*>(b->gpuBytes()) + at, n * 4);
      } else {
        outside = true;
      }
      attributes[a.index] = v;
    }
    input.vertexId = vid;
    p.vertex(input, reinterpret_cast<float*>(&mOut[r * mStride / 4]));
    ++r;
  }
  if (outside)
    Report("draw: a vertex attribute lies outside its buffer (read as zero)");
  return true;
}

void Rasterizer::Draw(const DrawState& state, const DrawCall& call)
{
  if (!state.pipeline) {
    Report("draw: no render pipeline state");
    return;
  }
  const PipelineProgram& p = state.pipeline->program();
  const MTLPixelFormat colorFormat = mColor ? mColor->format : MTLPixelFormatInvalid;
  const MTLPixelFormat stencilFormat = mStencil ? MTLPixelFormatStencil8 : MTLPixelFormatInvalid;
  if (p.colorFormat != colorFormat || p.stencilFormat != stencilFormat) {
    Report("draw: the pipeline's attachment formats differ from the render pass's");
    return;
  }
  if (call.type != MTLPrimitiveTypeTriangle && call.type != MTLPrimitiveTypeTriangleStrip)
    return;
  if (call.count < 3)
    return;
  const MTLViewport& vp = state.viewport;
  if (!(std::fabs(vp.originX) <= 32768 && std::fabs(vp.originY) <= 32768 && vp.width >= 0 && vp.width <= 32768 &&
        vp.height >= 0 && vp.height <= 32768)) {
    Report("draw: viewport out of range");
    return;
  }

  Setup s;
  s.state = &state;
  s.program = &p;
  s.varyings = p.varyingFloats;
  s.position = p.positionFloat;
  s.x0 = std::max(0, plugin::FloatToInt<int>(std::ceil(vp.originX - 0.5)));
  s.y0 = std::max(mRowBegin, plugin::FloatToInt<int>(std::ceil(vp.originY - 0.5)));
  s.x1 = std::min(int(mWidth), plugin::FloatToInt<int>(std::ceil(vp.originX + vp.width - 0.5)));
  s.y1 = std::min({int(mHeight), mRowEnd, plugin::FloatToInt<int>(std::ceil(vp.originY + vp.height - 0.5))});
  if (s.x0 >= s.x1 || s.y0 >= s.y1)
    return;
  for (unsigned i = 0; i < kMTLMaxBufferSlots; ++i) {
    MTLBuffer* b = state.fragmentBuffers[i];
    s.fragmentBuffers[i] = b && state.fragmentOffsets[i] < b->length()
                             ? static_cast<const uint8_t*>(b->gpuBytes()) + state.fragmentOffsets[i]
                             : nullptr;
    s.textures[i] = state.textures[i];
  }
  for (unsigned i = 0; i < 16; ++i)
    s.samplers[i] = state.samplers[i];
  s.input.buffers = s.fragmentBuffers;
  s.input.textures = s.textures;
  s.input.samplers = s.samplers;
  const bool fourBytes = mColor && mColor->bytesPerPixel == 4 && p.writeMask == MTLColorWriteMaskAll;
  if (!mColor || !p.fragment || p.writeMask == MTLColorWriteMaskNone)
    s.output = kNoColor;
  else if (fourBytes && !p.blending)
    s.output = kReplace;
  else if (fourBytes && IsSourceOver(p))
    s.output = kSourceOver;
  else
    s.output = kGeneric;

  if (!RunVertices(state, call))
    return;
  auto record = [&](NSUInteger i) {
    return reinterpret_cast<const float*>(&mOut[std::size_t(mSlot[i]) * mStride / 4]);
  };
  if (call.type == MTLPrimitiveTypeTriangle) {
    for (NSUInteger i = 0; i + 2 < call.count; i += 3)
      Triangle(s, record(i), record(i + 1), record(i + 2));
  } else {
    // Odd triangles of a strip take their first two vertices swapped, so
    // that every triangle of a strip keeps the first one's winding.
    for (NSUInteger i = 0; i + 2 < call.count; ++i) {
      if (i % 2 == 0)
        Triangle(s, record(i), record(i + 1), record(i + 2));
      else
        Triangle(s, record(i + 1), record(i), record(i + 2));
    }
  }
}

void Rasterizer::Triangle(Setup& s, const float* a, const float* b, const float* c)
{
  const float* v[3] = {a, b, c};
  bool inside = true;
  for (const float* p : v) {
    const float x = p[s.position], y = p[s.position + 1], z = p[s.position + 2], w = p[s.position + 3];
    // Not a number, or too large to clip in float without overflow: dropped,
    // as hardware drops what its clipper cannot place.
    if (!(std::fabs(x) <= kHuge && std::fabs(y) <= kHuge && std::fabs(z) <= kHuge && std::fabs(w) <= kHuge))
      return;
    if (!(w > 1e-6f && z >= 0.0f && z <= w && std::fabs(x) <= kGuardBand * w && std::fabs(y) <= kGuardBand * w))
      inside = false;
  }
  if (inside)
    Raster(s, v);
  else
    ClipAndRaster(s, a, b, c);
}

void Rasterizer::ClipAndRaster(Setup& s, const float* a, const float* b, const float* c)
{
  // Sutherland-Hodgman against the clip planes, all varyings carried along.
  const unsigned n = s.varyings;
  alignas(16) float storage[2][12][kMaxVaryingFloats];
  int count = 3;
  std::memcpy(storage[0][0], a, n * 4);
  std::memcpy(storage[0][1], b, n * 4);
  std::memcpy(storage[0][2], c, n * 4);
  int from = 0;
  const unsigned P = s.position;
  auto plane = [&](int k, const float* v) {
    const float x = v[P], y = v[P + 1], z = v[P + 2], w = v[P + 3];
    switch (k) {
    case 0: return w - 1e-6f;
    case 1: return z;
    case 2: return w - z;
    case 3: return kGuardBand * w + x;
    case 4: return kGuardBand * w - x;
    case 5: return kGuardBand * w + y;
    default: return kGuardBand * w - y;
    }
  };
  for (int k = 0; k < 7 && count >= 3; ++k) {
    const int to = 1 - from;
    int out = 0;
    for (int i = 0; i < count && out < 11; ++i) {
      const float* p = storage[from][i];
      const float* q = storage[from][(i + 1) % count];
      const float dp = plane(k, p), dq = plane(k, q);
      if (dp >= 0)
        std::memcpy(storage[to][out++], p, n * 4);
      if ((dp >= 0) != (dq >= 0)) {
        const float t = dp / (dp - dq);
        for (unsigned j = 0; j < n; ++j)
          storage[to][out][j] = p[j] + (q[j] - p[j]) * t;
        ++out;
      }
    }
    count = out;
    from = to;
  }
  for (int i = 1; i + 1 < count; ++i) {
    const float* v[3] = {storage[from][0], storage[from][i], storage[from][i + 1]};
    Raster(s, v);
  }
}

void Rasterizer::Raster(Setup& s, const float* const vin[3])
{
  const DrawState& st = *s.state;
  const MTLViewport& vp = st.viewport;
  const unsigned P = s.position;

  // Window coordinates, snapped.
  double wx[3], wy[3], wz[3], invW[3];
  int64_t X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    const float* v = vin[i];
    invW[i] = 1.0 / double(v[P + 3]);
    const double xn = v[P] * invW[i], yn = v[P + 1] * invW[i], zn = v[P + 2] * invW[i];
    // Clipping in float loses the guard band for vertices of very different
    // sizes; what lands outside it cannot be placed in fixed point: dropped.
    if (!(std::fabs(xn) <= 2.0 * kGuardBand && std::fabs(yn) <= 2.0 * kGuardBand))
      return;
    // Inside the guard band and a checked viewport these fit easily.
    X[i] = plugin::FloatToInt<int64_t>(std::round((vp.originX + (xn + 1.0) * 0.5 * vp.width) * double(kSub)));
    Y[i] = plugin::FloatToInt<int64_t>(std::round((vp.originY + (1.0 - yn) * 0.5 * vp.height) * double(kSub)));
    wx[i] = double(X[i]) / double(kSub);
    wy[i] = double(Y[i]) / double(kSub);
    wz[i] = vp.znear + zn * (vp.zfar - vp.znear);
  }
  int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
  if (area == 0)
    return;
  // y grows downwards: a negative area is counter-clockwise on screen.
  const bool ccw = area < 0;
  const bool front = st.winding == MTLWindingCounterClockwise ? ccw : !ccw;
  if ((st.cull == MTLCullModeBack && !front) || (st.cull == MTLCullModeFront && front))
    return;
  int o[3] = {0, 1, 2};
  if (area < 0) {
    std::swap(o[1], o[2]);
    area = -area;
  }

  // Per edge a -> b: E = A (X - Xa) + B (Y - Ya) >= t inside; t = 0 on top
  // and left edges, 1 elsewhere, so a shared edge's samples go to one side.
  int64_t A[3], B[3], Xa[3], Ya[3], T[3];
  for (int e = 0; e < 3; ++e) {
    const int ia = o[e], ib = o[(e + 1) % 3];
    A[e] = Y[ia] - Y[ib];
    B[e] = X[ib] - X[ia];
    Xa[e] = X[ia];
    Ya[e] = Y[ia];
    T[e] = (A[e] > 0 || (A[e] == 0 && B[e] > 0)) ? 0 : 1;
  }
  const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  const int rowFirst = int(std::max<int64_t>(s.y0, CeilDiv(minY - kSub / 2, kSub)));
  const int rowLast = int(std::min<int64_t>(s.y1 - 1, FloorDiv(maxY - kSub / 2, kSub)));
  if (rowFirst > rowLast)
    return;

  // Plane equations of every interpolated channel: varyings (divided by w
  // when the w differ), then depth and 1/w.
  const unsigned n = s.varyings;
  const bool perspective = invW[0] != invW[1] || invW[0] != invW[2];
  const double e1x = wx[1] - wx[0], e1y = wy[1] - wy[0], e2x = wx[2] - wx[0], e2y = wy[2] - wy[0];
  const double det = e1x * e2y - e2x * e1y;
  double c0[kMaxChannels], ddx[kMaxChannels], ddy[kMaxChannels];
  float cdx[kMaxChannels];
  const unsigned channels = n + 2;
  for (unsigned k = 0; k < channels; ++k) {
    double a[3];
    for (int i = 0; i < 3; ++i) {
      if (k < n)
        a[i] = perspective ? vin[i][k] * invW[i] : vin[i][k];
      else
        a[i] = k == n ? wz[i] : invW[i];
    }
    const double d1 = a[1] - a[0], d2 = a[2] - a[0];
    const double dx = (d1 * e2y - d2 * e1y) / det, dy = (d2 * e1x - d1 * e2x) / det;
    c0[k] = a[0];
    ddx[k] = dx;
    ddy[k] = dy;
    cdx[k] = float(dx);
  }

  const MTLStencilFace noStencil;
  const MTLStencilFace& face =
    (mStencil && st.depthStencil) ? (front ? st.depthStencil->front() : st.depthStencil->back()) : noStencil;
  s.input.frontFacing = front;
  Span span;
  span.setup = &s;
  span.face = &face;
  span.ref = uint8_t(st.stencilRef);
  span.channels = n;
  span.position = P;
  span.cdx = cdx;
  const SpanFunction run = kSpans[face.enabled && mStencil][perspective][s.output];

  alignas(16) float rowBase[kMaxChannels];
  span.rowBase = rowBase;
  // In sample x of a row an edge holds where D x >= R, D = 256 A. Its bound
  // (ceil(R / D) for D > 0, floor(R / D) for D < 0) is kept exactly from
  // row to row as a quotient and remainder, R falling by 256 B a row.
  struct EdgeWalk {
    int kind;        // +1 lower bound, -1 upper bound, 0 all or nothing
    int64_t x, r, d; // bound, remainder, |D|
    int64_t qs, rs;  // the per-row change of the bound, whole and remainder
    int64_t R, S;    // for kind 0: R now and its change a row
  } walk[3];
  {
    const int64_t Ys = int64_t(rowFirst) * kSub + kSub / 2;
    for (int e = 0; e < 3; ++e) {
      EdgeWalk& w = walk[e];
      const int64_t D = A[e] * kSub;
      const int64_t R = T[e] - B[e] * (Ys - Ya[e]) - A[e] * (kSub / 2 - Xa[e]);
      const int64_t S = B[e] * kSub;
      if (D == 0) {
        w = {0, 0, 0, 0, 0, 0, R, S};
      } else if (D > 0) {
        // R = x D - r, 0 <= r < D; R falls by S: x changes by -floor(S / D).
        w.kind = 1;
        w.d = D;
        w.x = FirstAtLeast(R, D);
        w.r = w.x * D - R;
        w.qs = FloorDiv(S, D);
        w.rs = S - w.qs * D;
      } else {
        // -R = x |D| + r, 0 <= r < |D|; -R grows by S.
        w.kind = -1;
        w.d = -D;
        w.x = FirstAtLeast(-R + 1, -D) - 1;
        w.r = -R - w.x * w.d;
        w.qs = FloorDiv(S, w.d);
        w.rs = S - w.qs * w.d;
      }
    }
  }
  for (int y = rowFirst; y <= rowLast; ++y) {
    int64_t lo = s.x0, hi = int64_t(s.x1) - 1;
    for (EdgeWalk& w : walk) {
      if (w.kind > 0) {
        lo = std::max(lo, w.x);
        w.x -= w.qs;
        w.r += w.rs;
        if (w.r >= w.d)
          w.x -= 1, w.r -= w.d;
      } else if (w.kind < 0) {
        hi = std::min(hi, w.x);
        w.x += w.qs;
        w.r += w.rs;
        if (w.r >= w.d)
          w.x += 1, w.r -= w.d;
      } else {
        if (w.R > 0)
          hi = lo - 1;
        w.R -= w.S;
      }
    }
    if (lo > hi)
      continue;
    const double fx = double(lo) + 0.5 - wx[0], fy = double(y) + 0.5 - wy[0];
    for (unsigned k = 0; k < channels; ++k)
      rowBase[k] = float(c0[k] + ddx[k] * fx + ddy[k] * fy);
    span.y = y;
    span.lo = int(lo);
    span.hi = int(hi);
    (this->*run)(span);
  }
}

// One row of samples [lo, hi] of a triangle. Stencil, perspective and the
// kind of colour output are template arguments, so the loop carries no
// per-pixel tests of the draw's state.
template <bool Stencil, bool Perspective, int Output> void Rasterizer::RunSpan(const Span& sp)
{
  Setup& s = *sp.setup;
  const PipelineProgram& p = *s.program;
  const MTLStencilFace& face = *sp.face;
  const unsigned n = sp.channels, P = sp.position;
  const float* base = sp.rowBase;
  const float* cdx = sp.cdx;
  uint8_t* stencilRow = Stencil ? mStencil->Texel(0, 0, unsigned(sp.y)) : nullptr;
  uint8_t* colorRow = Output != kNoColor ? mColor->Texel(0, 0, unsigned(sp.y)) : nullptr;
  const MTLPixelFormat format = mColor ? mColor->format : MTLPixelFormatInvalid;
  const bool bgra = format == MTLPixelFormatBGRA8Unorm;
  const uint8_t ref = sp.ref;
  alignas(16) float vars[kMaxVaryingFloats];
  const float y = float(sp.y) + 0.5f;
  for (int x = sp.lo; x <= sp.hi; ++x) {
    const float i = float(x - sp.lo);
    bool pass = true;
    if constexpr (Stencil) {
      pass = StencilCompare(face.compare, ref & face.readMask, stencilRow[x] & face.readMask);
      if (!pass && face.fail == MTLStencilOperationKeep)
        continue;
    }
    float4 colour;
    if (p.fragment) {
      const float w = base[n + 1] + cdx[n + 1] * i;
      if constexpr (Perspective) {
        const float q = 1.0f / w;
        for (unsigned k = 0; k < n; ++k)
          vars[k] = (base[k] + cdx[k] * i) * q;
      } else {
        for (unsigned k = 0; k < n; ++k)
          vars[k] = base[k] + cdx[k] * i;
      }
      vars[P] = float(x) + 0.5f;
      vars[P + 1] = y;
      vars[P + 2] = base[n] + cdx[n] * i;
      vars[P + 3] = w;
      s.input.position = float4(vars[P], y, vars[P + 2], w);
      tFragmentDiscarded = false;
      p.fragment(s.input, vars, colour);
      if (tFragmentDiscarded)
        continue;
    }
    if constexpr (Stencil) {
      uint8_t& st = stencilRow[x];
      const uint8_t next = StencilApply(pass ? face.pass : face.fail, st, ref);
      st = uint8_t((st & ~face.writeMask) | (next & face.writeMask));
      if (!pass)
        continue;
    }
    if constexpr (Output == kNoColor) {
      continue;
    } else if constexpr (Output == kGeneric) {
      uint8_t* texel = colorRow + std::size_t(x) * mColor->bytesPerPixel;
      float4 src(::metal::saturate(colour.x), ::metal::saturate(colour.y), ::metal::saturate(colour.z),
                 ::metal::saturate(colour.w));
      if (p.blending)
        src = Blend(p, src, LoadTexel(format, texel));
      StoreTexel(format, src, texel, p.writeMask);
    } else {
      // Four bytes, every channel written: replace or premultiplied source-over.
      uint8_t* t = colorRow + std::size_t(x) * 4;
      float r = ::metal::saturate(colour.x), g = ::metal::saturate(colour.y), b = ::metal::saturate(colour.z),
            a = ::metal::saturate(colour.w);
      if constexpr (Output == kSourceOver) {
        // Nothing to add, or nothing of the destination left: exact shortcuts.
        if (a == 0.0f && r == 0.0f && g == 0.0f && b == 0.0f)
          continue;
        if (a < 1.0f) {
          // Sums stay within [0, 1]: the source is premultiplied and clamped.
          constexpr float k = 1.0f / 255.0f;
          const float scale = k * (1.0f - a);
          const int ir = bgra ? 2 : 0, ib = bgra ? 0 : 2;
          r = ::metal::min(r + float(t[ir]) * scale, 1.0f);
          g = ::metal::min(g + float(t[1]) * scale, 1.0f);
          b = ::metal::min(b + float(t[ib]) * scale, 1.0f);
          a += float(t[3]) * scale;
        }
      }
      const uint8_t R = UnitToUnorm8(r), G = UnitToUnorm8(g), B = UnitToUnorm8(b),
                    Al = UnitToUnorm8(::metal::min(a, 1.0f));
      t[0] = bgra ? B : R;
      t[1] = G;
      t[2] = bgra ? R : B;
      t[3] = Al;
    }
  }
}

const Rasterizer::SpanFunction Rasterizer::kSpans[2][2][4] = {
  {{&Rasterizer::RunSpan<false, false, 0>, &Rasterizer::RunSpan<false, false, 1>, &Rasterizer::RunSpan<false, false, 2>,
    &Rasterizer::RunSpan<false, false, 3>},
   {&Rasterizer::RunSpan<false, true, 0>, &Rasterizer::RunSpan<false, true, 1>, &Rasterizer::RunSpan<false, true, 2>,
    &Rasterizer::RunSpan<false, true, 3>}},
  {{&Rasterizer::RunSpan<true, false, 0>, &Rasterizer::RunSpan<true, false, 1>, &Rasterizer::RunSpan<true, false, 2>,
    &Rasterizer::RunSpan<true, false, 3>},
   {&Rasterizer::RunSpan<true, true, 0>, &Rasterizer::RunSpan<true, true, 1>, &Rasterizer::RunSpan<true, true, 2>,
    &Rasterizer::RunSpan<true, true, 3>}},
};

} // namespace standin::mtl

namespace standin::metal {
void DiscardFragment() { mtl::tFragmentDiscarded = true; }
} // namespace standin::metal
