// What the GPU does with values no renderer should send but a bad frame may:
// triangles that are not a number or too large to clip are dropped as
// hardware drops them, and NaN colours store as 0 in 8-bit targets.
#include "GpuTestKit.h"

#include <gtest/gtest.h>

#include <limits>

using namespace gputest;

namespace {

const MTLClearColor kBlack = {0, 0, 0, 0};
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

Vtx Clip(float x, float y, float z, float w, std::array<float, 4> c = {1, 1, 1, 1})
{
  Vtx v = V(x, y, c);
  v.z = z, v.w = w;
  return v;
}

TEST(ExtremeValues, NonFiniteAndHugeTrianglesAreDroppedAndTheRestIsDrawn)
{
  Gpu gpu;
  PipelineOptions o;
  o.vertex = "clipVertex";
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 40, 30);
  // One draw: bad triangles around a good one covering the left half.
  const std::vector<Vtx> tris = {
    Clip(kNaN, -1, 0, 1),
    Clip(1, -1, 0, 1),
    Clip(1, 1, 0, 1), // NaN x
    Clip(-1, -1, 0, 1),
    Clip(3e38f, 1, 0, 1),
    Clip(1, 1, 0, 1), // x near float's top
    Clip(3e38f, 3e38f, 0, 3e38f),
    Clip(-1, 1, 0, 1),
    Clip(1, -1, 0, 1), // w near float's top
    Clip(-1, -1, 0, 1),
    Clip(kInf, 1, 0, 1),
    Clip(1, 1, 0, kNaN), // infinite and NaN w
    Clip(-1, -1, 0, 1),
    Clip(0, -1, 0, 1),
    Clip(-1, 1, 0, 1), // the good half
    Clip(0, -1, 0, 1),
    Clip(0, 1, 0, 1),
    Clip(-1, 1, 0, 1),
  };
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, tris, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, NSUInteger(tris.size()));
  });
  for (unsigned y = 0; y < 30; ++y)
    for (unsigned x = 0; x < 40; ++x)
      ASSERT_EQ(Pixel(target, x, y)[0], x < 20 ? 255 : 0) << x << "," << y;
  EXPECT_TRUE(standin::GPUValidationErrors().empty());
}

TEST(ExtremeValues, NaNColoursStoreAsZeroInEightBitTargets)
{
  Gpu gpu;
  const std::array<float, 4> nan = {kNaN, kNaN, kNaN, kNaN};
  const std::vector<Vtx> quad = {V(0, 0, nan), V(8, 0, nan), V(0, 8, nan), V(8, 8, nan)};
  // The replacing path, source-over blending, and a one-channel target.
  struct Case {
    const char* what;
    MTLPixelFormat format;
    bool blending;
  } cases[] = {{"replace", MTLPixelFormatRGBA8Unorm, false},
               {"source-over", MTLPixelFormatBGRA8Unorm, true},
               {"one channel", MTLPixelFormatR8Unorm, false}};
  for (const Case& c : cases) {
    PipelineOptions o;
    o.color = c.format;
    o.blending = c.blending;
    if (c.blending)
      o.dstRGB = o.dstA = MTLBlendFactorOneMinusSourceAlpha;
    MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
    MTLTexture* target = gpu.Texture(c.format, 8, 8);
    gpu.Pass(target, nullptr, MTLLoadActionClear, {1, 1, 1, 1}, [&](MTLRenderCommandEncoder* e) {
      e->setRenderPipelineState(pipeline);
      gpu.BindVertices(e, quad, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
    });
    const std::array<uint8_t, 4> p = Pixel(target, 3, 3);
    EXPECT_EQ(p[0], 0) << c.what;
  }
}

} // namespace
