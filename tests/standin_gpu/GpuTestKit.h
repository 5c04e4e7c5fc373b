// Builds small render passes on the stand-in GPU for the tests.
#pragma once

#include <Foundation/Foundation.h>
#include <Metal/Metal.h>
#include <standin/Testing.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace gputest {

struct Vtx {
  float x, y, z = 0, w = 1;
  float u = 0, v = 0, pad0 = 0, pad1 = 0;
  float r = 1, g = 1, b = 1, a = 1;
};
inline Vtx V(float x, float y, std::array<float, 4> c = {1, 1, 1, 1}, float u = 0, float v = 0)
{
  Vtx out{x, y};
  out.u = u, out.v = v;
  out.r = c[0], out.g = c[1], out.b = c[2], out.a = c[3];
  return out;
}

struct PipelineOptions {
  std::string vertex = "pixelVertex";
  std::string fragment = "solidFragment"; // empty: none
  MTLPixelFormat color = MTLPixelFormatRGBA8Unorm;
  bool stencil = false;
  bool blending = false;
  MTLBlendFactor srcRGB = MTLBlendFactorOne, dstRGB = MTLBlendFactorZero;
  MTLBlendFactor srcA = MTLBlendFactorOne, dstA = MTLBlendFactorZero;
  MTLBlendOperation rgbOp = MTLBlendOperationAdd, alphaOp = MTLBlendOperationAdd;
  MTLColorWriteMask writeMask = MTLColorWriteMaskAll;
};

struct StencilFaceOptions {
  MTLCompareFunction compare = MTLCompareFunctionAlways;
  MTLStencilOperation fail = MTLStencilOperationKeep, pass = MTLStencilOperationKeep;
  uint32_t readMask = 0xff;
};

// A device, a queue and a library of the test shaders; releases what it made.
class Gpu {
public:
  Gpu();
  ~Gpu();
  MTLDevice* device() const { return mDevice; }
  MTLCommandQueue* queue() const { return mQueue; }
  MTLRenderPipelineState* Pipeline(const PipelineOptions& o);
  MTLDepthStencilState* Stencil(const StencilFaceOptions* front, const StencilFaceOptions* back);
  MTLTexture* Texture(MTLPixelFormat format, unsigned w, unsigned h, const void* bytes = nullptr,
                      bool mipmapped = false);
  MTLSamplerState* Sampler(MTLSamplerMinMagFilter filter, MTLSamplerAddressMode mode);
  MTLBuffer* Buffer(const void* bytes, size_t length);
  MTLBuffer* Vertices(const std::vector<Vtx>& v) { return Buffer(v.data(), v.size() * sizeof(Vtx)); }

  // One render pass, committed and waited for.
  void Pass(MTLTexture* color, MTLTexture* stencil, MTLLoadAction load, MTLClearColor clear,
            const std::function<void(MTLRenderCommandEncoder*)>& encode);
  // Binds the vertices (buffer 0) and the view size (buffer 1) of the target.
  void BindVertices(MTLRenderCommandEncoder* e, const std::vector<Vtx>& v, MTLTexture* target);

private:
  template <class T> T* Keep(T* object)
  {
    mOwned.push_back(object);
    return object;
  }
  NSAutoreleasePool* mPool; // what the tests autorelease, drained last
  MTLDevice* mDevice;
  MTLCommandQueue* mQueue;
  MTLLibrary* mLibrary;
  std::vector<NSObject*> mOwned;
};

// Pixel (x, y) of level 0 as RGBA bytes.
std::array<uint8_t, 4> Pixel(MTLTexture* t, unsigned x, unsigned y);
// The build-tree folder for the PNGs the tests write.
std::string OutputPath(const std::string& name);

} // namespace gputest
