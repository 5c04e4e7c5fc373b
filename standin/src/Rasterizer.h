// The triangle pipeline of one render pass: vertex fetch and the vertex
// function, assembly of lists and strips, clipping, viewport, facing and
// culling, rasterisation at pixel centres with a top-left rule (edge
// functions on 1/256-pixel fixed point, solved per row into spans), the
// fragment function, the stencil test and operations, blending and the
// colour write mask.
#pragma once

#include "MetalInternal.h"

namespace standin::mtl {

// The encoder state a draw sees (objects are kept alive by the pass).
struct DrawState {
  MTLRenderPipelineState* pipeline = nullptr;
  MTLDepthStencilState* depthStencil = nullptr;
  MTLCullMode cull = MTLCullModeNone;
  MTLWinding winding = MTLWindingClockwise;
  uint32_t stencilRef = 0;
  MTLViewport viewport{};
  MTLBuffer* vertexBuffers[kMTLMaxBufferSlots] = {};
  NSUInteger vertexOffsets[kMTLMaxBufferSlots] = {};
  MTLBuffer* fragmentBuffers[kMTLMaxBufferSlots] = {};
  NSUInteger fragmentOffsets[kMTLMaxBufferSlots] = {};
  MTLTexture* textures[kMTLMaxBufferSlots] = {};
  MTLSamplerState* samplers[16] = {};
};

struct DrawCall {
  MTLPrimitiveType type;
  NSUInteger count;
  NSUInteger first = 0;          // non-indexed: the first vertex id
  const void* indices = nullptr; // indexed: 16- or 32-bit ids
  bool indices16 = false;
};

class Rasterizer {
public:
  // Draws only into the rows [rowBegin, rowEnd) of the attachments, so
  // that bands of one pass may be drawn by several threads at once.
  Rasterizer(TextureImage* color, TextureImage* stencil, int rowBegin, int rowEnd);
  void Draw(const DrawState& state, const DrawCall& call);

private:
  struct Setup;
  // One row's samples of a triangle, with what they share.
  struct Span {
    Setup* setup;
    const MTLStencilFace* face;
    const float* rowBase; // channels at the first sample
    const float* cdx;     // their steps per pixel
    unsigned channels, position;
    int y, lo, hi;
    uint8_t ref;
  };
  enum { kNoColor, kReplace, kSourceOver, kGeneric };
  using SpanFunction = void (Rasterizer::*)(const Span&);
  template <bool Stencil, bool Perspective, int Output> void RunSpan(const Span& span);
  static const SpanFunction kSpans[2][2][4];

  void Report(const char* message) const;
  bool RunVertices(const DrawState& state, const DrawCall& call);
  void Triangle(Setup& setup, const float* a, const float* b, const float* c);
  void ClipAndRaster(Setup& setup, const float* a, const float* b, const float* c);
  void Raster(Setup& setup, const float* const v[3]);

  TextureImage* mColor;
  TextureImage* mStencil;
  unsigned mWidth = 0, mHeight = 0;
  int mRowBegin, mRowEnd;
  std::vector<::metal::float4> mOut; // vertex outputs, one record per slot
  std::vector<uint32_t> mSlot;       // per index position: its record
  unsigned mStride = 0;              // floats per record
};

} // namespace standin::mtl
