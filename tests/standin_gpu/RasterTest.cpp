// Coverage, facing, clipping, stencil and per-fragment behaviour of draws,
// checked against geometry computed here at pixel centres.
#include "GpuTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace gputest;

namespace {

const MTLClearColor kBlack = {0, 0, 0, 0};

// Counts coverage: each fragment adds 1/255 to red.
PipelineOptions Counting()
{
  PipelineOptions o;
  o.color = MTLPixelFormatR8Unorm;
  o.blending = true;
  o.srcRGB = o.dstRGB = o.srcA = o.dstA = MTLBlendFactorOne;
  return o;
}
const std::array<float, 4> kOneCount = {1.0f / 255.0f, 0, 0, 1};

std::vector<uint8_t> Red(MTLTexture* t)
{
  std::vector<uint8_t> rgba = standin::TextureRGBA(t), red;
  for (size_t i = 0; i < rgba.size(); i += 4)
    red.push_back(rgba[i]);
  return red;
}

// A rectangle cut into jittered cells whose inner corners sit on pixel
// centres, so that many edges pass exactly through samples.
struct Mesh {
  static constexpr int kCols = 7, kRows = 5;
  float x0 = 3.3f, y0 = 2.7f, x1 = 57.6f, y1 = 41.2f;
  std::vector<std::array<float, 2>> points;
  explicit Mesh(unsigned seed)
  {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> jitter(-2, 2);
    for (int r = 0; r <= kRows; ++r)
      for (int c = 0; c <= kCols; ++c) {
        float x = x0 + (x1 - x0) * float(c) / kCols, y = y0 + (y1 - y0) * float(r) / kRows;
        if (c > 0 && c < kCols)
          x = std::floor(x) + 0.5f + float(jitter(rng));
        if (r > 0 && r < kRows)
          y = std::floor(y) + 0.5f + float(jitter(rng));
        points.push_back({x, y});
      }
  }
  Vtx At(int c, int r) const
  {
    const auto& p = points[size_t(r * (kCols + 1) + c)];
    return V(p[0], p[1], kOneCount);
  }
  bool Inside(int px, int py) const { return px + 0.5f > x0 && px + 0.5f < x1 && py + 0.5f > y0 && py + 0.5f < y1; }
};

} // namespace

TEST(Raster, TrianglesSharingEdgesThroughPixelCentresCoverEachSampleExactlyOnce)
{
  Gpu gpu;
  MTLRenderPipelineState* counting = gpu.Pipeline(Counting());
  for (unsigned seed = 1; seed <= 4; ++seed) {
    Mesh mesh(seed);
    std::mt19937 rng(seed * 77);
    std::vector<Vtx> tris;
    for (int r = 0; r < Mesh::kRows; ++r)
      for (int c = 0; c < Mesh::kCols; ++c) {
        Vtx a = mesh.At(c, r), b = mesh.At(c + 1, r), d = mesh.At(c, r + 1), e = mesh.At(c + 1, r + 1);
        std::vector<std::array<Vtx, 3>> two = rng() % 2 ? std::vector<std::array<Vtx, 3>>{{a, b, e}, {a, e, d}}
                                                        : std::vector<std::array<Vtx, 3>>{{a, b, d}, {b, e, d}};
        for (auto& t : two) {
          if (rng() % 2)
            std::swap(t[1], t[2]); // both windings, culling off
          tris.insert(tris.end(), t.begin(), t.end());
        }
      }
    MTLTexture* target = gpu.Texture(MTLPixelFormatR8Unorm, 64, 48);
    gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
      e->setRenderPipelineState(counting);
      gpu.BindVertices(e, tris, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, tris.size());
    });
    const std::vector<uint8_t> count = Red(target);
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        wrong += count[size_t(y * 64 + x)] != (mesh.Inside(x, y) ? 1 : 0);
    EXPECT_EQ(wrong, 0) << "seed " << seed;
    if (seed == 1)
      standin::WriteTexturePNG(target, OutputPath("mesh_coverage.png"));
  }
}

TEST(Raster, StripsKeepTheirWindingOnOddTrianglesAndLeaveNoSeam)
{
  // Rows of the mesh as strips, top then bottom vertex: the first triangle
  // is counter-clockwise on screen, so back-face culling drops nothing only
  // when odd triangles are turned round.
  Gpu gpu;
  MTLRenderPipelineState* counting = gpu.Pipeline(Counting());
  Mesh mesh(9);
  MTLTexture* target = gpu.Texture(MTLPixelFormatR8Unorm, 64, 48);
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(counting);
    e->setFrontFacingWinding(MTLWindingCounterClockwise);
    e->setCullMode(MTLCullModeBack);
    for (int r = 0; r < Mesh::kRows; ++r) {
      std::vector<Vtx> strip;
      for (int c = 0; c <= Mesh::kCols; ++c) {
        strip.push_back(mesh.At(c, r));
        strip.push_back(mesh.At(c, r + 1));
      }
      gpu.BindVertices(e, strip, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, strip.size());
    }
  });
  const std::vector<uint8_t> count = Red(target);
  int wrong = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      wrong += count[size_t(y * 64 + x)] != (mesh.Inside(x, y) ? 1 : 0);
  EXPECT_EQ(wrong, 0);
}

TEST(Raster, FrontFacingFollowsTheWindingOnScreenAndCullingDropsTheRightSide)
{
  Gpu gpu;
  MTLRenderPipelineState* solid = gpu.Pipeline({});
  // Counter-clockwise as seen on the screen (y downwards): top-left,
  // bottom-left, top-right.
  const std::vector<Vtx> ccw = {V(2, 2), V(2, 14), V(14, 2)};
  const std::vector<Vtx> cw = {V(2, 2), V(14, 2), V(2, 14)};
  struct Case {
    const std::vector<Vtx>* triangle;
    MTLWinding front;
    MTLCullMode cull;
    bool drawn;
  } cases[] = {
    {&ccw, MTLWindingCounterClockwise, MTLCullModeBack, true},
    {&ccw, MTLWindingCounterClockwise, MTLCullModeFront, false},
    {&cw, MTLWindingCounterClockwise, MTLCullModeBack, false},
    {&cw, MTLWindingCounterClockwise, MTLCullModeFront, true},
    {&ccw, MTLWindingClockwise, MTLCullModeBack, false},
    {&cw, MTLWindingClockwise, MTLCullModeBack, true},
    {&cw, MTLWindingClockwise, MTLCullModeNone, true},
  };
  for (const Case& c : cases) {
    MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 16, 16);
    gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
      e->setRenderPipelineState(solid);
      e->setFrontFacingWinding(c.front);
      e->setCullMode(c.cull);
      gpu.BindVertices(e, *c.triangle, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
    });
    EXPECT_EQ(Pixel(target, 4, 4)[0], c.drawn ? 255 : 0)
      << (c.triangle == &ccw ? "ccw" : "cw") << " front " << c.front << " cull " << c.cull;
  }
}

namespace {
// Winding number of a closed polygon around a point (crossing count).
int Winding(const std::vector<std::array<double, 2>>& poly, double x, double y)
{
  int wn = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const auto& a = poly[i];
    const auto& b = poly[(i + 1) % poly.size()];
    const double side = (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]);
    if (a[1] <= y && b[1] > y && side > 0)
      ++wn;
    if (a[1] > y && b[1] <= y && side < 0)
      --wn;
  }
  return wn;
}
double EdgeDistance(const std::vector<std::array<double, 2>>& poly, double x, double y)
{
  double best = 1e9;
  for (size_t i = 0; i < poly.size(); ++i) {
    const auto& a = poly[i];
    const auto& b = poly[(i + 1) % poly.size()];
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double t = std::clamp(((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::min(best, std::hypot(x - a[0] - t * dx, y - a[1] - t * dy));
  }
  return best;
}
} // namespace

TEST(Raster, StencilFanWithWrappingCountsFillsAConcavePolygonByTheChosenRule)
{
  // A pentagram: its centre has winding number 2, so the non-zero rule
  // fills it and the even-odd rule (the stencil's lowest bit) leaves it.
  Gpu gpu;
  std::vector<std::array<double, 2>> star;
  for (int k = 0; k < 5; ++k) {
    const double a = (-90.0 + 144.0 * k) * M_PI / 180.0;
    star.push_back({32.3 + 28.0 * std::cos(a), 31.8 + 28.0 * std::sin(a)});
  }
  PipelineOptions shape;
  shape.fragment = "";
  shape.writeMask = MTLColorWriteMaskNone;
  shape.stencil = true;
  PipelineOptions cover;
  cover.stencil = true;
  MTLRenderPipelineState* shapePipeline = gpu.Pipeline(shape);
  MTLRenderPipelineState* coverPipeline = gpu.Pipeline(cover);
  ASSERT_TRUE(shapePipeline && coverPipeline);
  StencilFaceOptions incr{MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationIncrementWrap};
  StencilFaceOptions decr{MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationDecrementWrap};
  MTLDepthStencilState* fan = gpu.Stencil(&incr, &decr);
  std::vector<Vtx> fanVerts;
  for (int i = 1; i + 1 < 5; ++i)
    for (int k : {0, i, i + 1})
      fanVerts.push_back(V(float(star[size_t(k)][0]), float(star[size_t(k)][1])));
  const std::array<float, 4> red = {1, 0, 0, 1};
  const std::vector<Vtx> quad = {V(64, 64, red), V(64, 0, red), V(0, 64, red), V(0, 0, red)};

  for (bool evenOdd : {false, true}) {
    StencilFaceOptions test{MTLCompareFunctionNotEqual, MTLStencilOperationZero, MTLStencilOperationZero,
                            evenOdd ? 0x1u : 0xffu};
    MTLDepthStencilState* fill = gpu.Stencil(&test, nullptr);
    MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 64, 64);
    MTLTexture* stencil = gpu.Texture(MTLPixelFormatStencil8, 64, 64);
    gpu.Pass(target, stencil, MTLLoadActionClear, {0, 0, 0, 1}, [&](MTLRenderCommandEncoder* e) {
      e->setFrontFacingWinding(MTLWindingCounterClockwise); // the cover quad faces front
      e->setRenderPipelineState(shapePipeline);
      e->setDepthStencilState(fan);
      gpu.BindVertices(e, fanVerts, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, fanVerts.size());
      e->setRenderPipelineState(coverPipeline);
      e->setDepthStencilState(fill);
      gpu.BindVertices(e, quad, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
    });
    int wrong = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        if (EdgeDistance(star, x + 0.5, y + 0.5) < 1e-3)
          continue;
        const int wn = Winding(star, x + 0.5, y + 0.5);
        const bool filled = evenOdd ? (wn & 1) != 0 : wn != 0;
        wrong += (Pixel(target, unsigned(x), unsigned(y))[0] == 255) != filled;
      }
    EXPECT_EQ(wrong, 0) << (evenOdd ? "even-odd" : "non-zero");
    EXPECT_EQ(Pixel(target, 32, 32)[0], evenOdd ? 0 : 255);
    std::vector<uint8_t> left(64 * 64, 99);
    stencil->getBytes(left.data(), 64, MTLRegionMake2D(0, 0, 64, 64), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), 0), 64 * 64) << "the cover pass zeroes what it reads";
    standin::WriteTexturePNG(target, OutputPath(evenOdd ? "star_evenodd.png" : "star_nonzero.png"));
  }
}

TEST(Raster, StencilOperationsOnFrontAndBackFaces)
{
  // Each operation applied once to a stencil of 5 (and the clamps at their
  // ends), through the front face and through the back face.
  Gpu gpu;
  PipelineOptions o;
  o.stencil = true;
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  struct Case {
    MTLStencilOperation op;
    uint8_t before, after;
  } cases[] = {
    {MTLStencilOperationKeep, 5, 5},
    {MTLStencilOperationZero, 5, 0},
    {MTLStencilOperationReplace, 5, 9},
    {MTLStencilOperationIncrementClamp, 255, 255},
    {MTLStencilOperationIncrementClamp, 5, 6},
    {MTLStencilOperationDecrementClamp, 0, 0},
    {MTLStencilOperationDecrementClamp, 5, 4},
    {MTLStencilOperationInvert, 5, 250},
    {MTLStencilOperationIncrementWrap, 255, 0},
    {MTLStencilOperationDecrementWrap, 0, 255},
  };
  const std::vector<Vtx> ccw = {V(0, 0), V(0, 8), V(8, 0)}, cw = {V(0, 0), V(8, 0), V(0, 8)};
  for (const Case& c : cases)
    for (bool back : {false, true}) {
      StencilFaceOptions keep, apply{MTLCompareFunctionAlways, MTLStencilOperationKeep, c.op};
      MTLDepthStencilState* state = back ? gpu.Stencil(&keep, &apply) : gpu.Stencil(&apply, &keep);
      std::vector<uint8_t> start(64, c.before);
      MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 8, 8);
      MTLTexture* stencil = gpu.Texture(MTLPixelFormatStencil8, 8, 8, start.data());
      NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
      MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
      pass->colorAttachments()->objectAtIndexedSubscript(0)->setTexture(target);
      pass->stencilAttachment()->setTexture(stencil);
      pass->stencilAttachment()->setLoadAction(MTLLoadActionLoad);
      MTLCommandBuffer* cb = gpu.queue()->commandBuffer();
      MTLRenderCommandEncoder* e = cb->renderCommandEncoderWithDescriptor(pass);
      e->setRenderPipelineState(pipeline);
      e->setDepthStencilState(state);
      e->setStencilReferenceValue(9);
      e->setFrontFacingWinding(MTLWindingCounterClockwise);
      gpu.BindVertices(e, back ? cw : ccw, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
      e->endEncoding();
      cb->commit();
      pool->drain();
      uint8_t value = 0;
      stencil->getBytes(&value, 1, MTLRegionMake2D(1, 1, 1, 1), 0);
      EXPECT_EQ(value, c.after) << "operation " << c.op << " from " << int(c.before) << (back ? " back" : " front");
    }
}

TEST(Raster, ClippingKeepsWhatLiesInsideTheViewport)
{
  // A triangle reaching far beyond the guard band and one crossing w = 0
  // against the half-planes that bound them, at pixel centres.
  Gpu gpu;
  PipelineOptions o;
  o.vertex = "clipVertex";
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  auto clip = [](float x, float y, float z, float w) {
    Vtx v = V(x, y);
    v.z = z, v.w = w;
    return v;
  };
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 40, 30);
  // Edge from (-1, -1) to (1e4, 1) in normalised coordinates, bottom side filled.
  const std::vector<Vtx> far = {clip(-1, -1, 0, 1), clip(1e4f, 1, 0, 1), clip(-1, 1, 0, 1)};
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, far, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
  });
  int wrong = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const double nx = (x + 0.5) / 20.0 - 1.0, ny = 1.0 - (y + 0.5) / 15.0;
      const double lineY = -1.0 + 2.0 * (nx + 1.0) / (1e4 + 1.0);
      if (std::fabs(ny - lineY) * 15.0 < 1e-2)
        continue;
      wrong += (Pixel(target, unsigned(x), unsigned(y))[0] == 255) != (ny > lineY);
    }
  EXPECT_EQ(wrong, 0);

  // One vertex behind the eye (w < 0): every point with w > 0 has
  // x / w <= -0.5, so the clipped part lies left of that line; without
  // clipping the division by negative w would mirror it to the right.
  MTLTexture* target2 = gpu.Texture(MTLPixelFormatRGBA8Unorm, 40, 30);
  const std::vector<Vtx> behind = {clip(-0.5f, -0.5f, 0, 1), clip(-0.5f, 0.5f, 0, 1), clip(-0.5f, 0, 0, -1)};
  gpu.Pass(target2, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, behind, target2);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
  });
  int right = 0, left = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool lit = Pixel(target2, unsigned(x), unsigned(y))[0] == 255;
      ((x + 0.5) / 20.0 - 1.0 > -0.5 ? right : left) += lit;
    }
  EXPECT_EQ(right, 0);
  EXPECT_GT(left, 0);
}

TEST(Raster, TheViewportPlacesNormalisedCoordinatesWithItsTopLeftOrigin)
{
  Gpu gpu;
  PipelineOptions o;
  o.vertex = "clipVertex";
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 32, 32);
  // The top half of normalised space in a viewport at (8, 4) of 16 x 12.
  const std::vector<Vtx> top = {V(-1, 1), V(-1, 0), V(1, 1), V(1, 0)};
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    e->setViewport({8, 4, 16, 12, 0, 1});
    gpu.BindVertices(e, top, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
  });
  for (unsigned y = 0; y < 32; ++y)
    for (unsigned x = 0; x < 32; ++x)
      ASSERT_EQ(Pixel(target, x, y)[0], (x >= 8 && x < 24 && y >= 4 && y < 10) ? 255 : 0) << x << "," << y;
}

TEST(Raster, FragmentsSeeTheirPixelCentreAndDiscardedOnesChangeNothing)
{
  Gpu gpu;
  PipelineOptions where;
  where.fragment = "positionFragment";
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 16, 16);
  MTLRenderPipelineState* positions = gpu.Pipeline(where);
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(positions);
    gpu.BindVertices(e, {V(0, 0), V(0, 16), V(16, 0), V(16, 16)}, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
  });
  EXPECT_EQ(Pixel(target, 3, 11)[0], 4); // (3.5 / 255) rounds to 4 / 255
  EXPECT_EQ(Pixel(target, 3, 11)[1], 12);

  // Left half discarded (alpha 0.25): neither colour nor stencil changes there.
  PipelineOptions o;
  o.fragment = "discardFragment";
  o.stencil = true;
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  StencilFaceOptions replace{MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationReplace};
  MTLDepthStencilState* state = gpu.Stencil(&replace, &replace);
  MTLTexture* stencil = gpu.Texture(MTLPixelFormatStencil8, 16, 16);
  gpu.Pass(target, stencil, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    e->setDepthStencilState(state);
    e->setStencilReferenceValue(7);
    const std::array<float, 4> low = {1, 0, 0, 0.25f}, high = {0, 1, 0, 1};
    gpu.BindVertices(e,
                     {V(0, 0, low), V(0, 16, low), V(8, 0, low), V(8, 0, high), V(8, 16, high), V(16, 0, high),
                      V(0, 16, low), V(8, 16, low), V(8, 0, low), V(8, 16, high), V(16, 16, high), V(16, 0, high)},
                     target);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 12);
  });
  uint8_t s[16 * 16];
  stencil->getBytes(s, 16, MTLRegionMake2D(0, 0, 16, 16), 0);
  EXPECT_EQ(Pixel(target, 3, 5), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(s[5 * 16 + 3], 0);
  EXPECT_EQ(Pixel(target, 12, 5), (std::array<uint8_t, 4>{0, 255, 0, 255}));
  EXPECT_EQ(s[5 * 16 + 12], 7);
}

TEST(Raster, TheColourWriteMaskKeepsMaskedChannels)
{
  Gpu gpu;
  PipelineOptions o;
  o.writeMask = MTLColorWriteMaskRed | MTLColorWriteMaskAlpha;
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  for (MTLPixelFormat format : {MTLPixelFormatRGBA8Unorm, MTLPixelFormatBGRA8Unorm}) {
    o.color = format;
    pipeline = gpu.Pipeline(o);
    MTLTexture* target = gpu.Texture(format, 4, 4);
    gpu.Pass(target, nullptr, MTLLoadActionClear, {0.2, 0.4, 0.6, 0.0}, [&](MTLRenderCommandEncoder* e) {
      e->setRenderPipelineState(pipeline);
      gpu.BindVertices(e, {V(0, 0), V(0, 4), V(4, 0), V(4, 4)}, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
    });
    EXPECT_EQ(Pixel(target, 1, 1), (std::array<uint8_t, 4>{255, 102, 153, 255})) << "format " << format;
  }
}

TEST(Raster, IndexedDrawsReadThirtyTwoBitIndexesWithTheBufferOffsetOfEachDraw)
{
  Gpu gpu;
  MTLRenderPipelineState* pipeline = gpu.Pipeline({});
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 16, 8);
  const std::array<float, 4> red = {1, 0, 0, 1}, green = {0, 1, 0, 1};
  const std::vector<Vtx> quads = {V(0, 0, red),   V(0, 8, red),   V(8, 0, red),    V(8, 8, red),
                                  V(8, 0, green), V(8, 8, green), V(16, 0, green), V(16, 8, green)};
  const uint32_t indexes[] = {99, 0, 1, 2, 2, 1, 3}; // the first is skipped by the offset
  MTLBuffer* indexBuffer = gpu.Buffer(indexes, sizeof indexes);
  gpu.Pass(target, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, quads, target);
    e->drawIndexedPrimitives(MTLPrimitiveTypeTriangle, 6, MTLIndexTypeUInt32, indexBuffer, 4);
    e->setVertexBufferOffset(4 * sizeof(Vtx), 0);
    e->drawIndexedPrimitives(MTLPrimitiveTypeTriangle, 6, MTLIndexTypeUInt32, indexBuffer, 4);
  });
  EXPECT_EQ(Pixel(target, 3, 3), (std::array<uint8_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(target, 12, 3), (std::array<uint8_t, 4>{0, 255, 0, 255}));
}

TEST(Raster, VaryingsInterpolateInPerspectiveWhenTheVerticesDifferInW)
{
  // The same square on screen with its bottom edge three times as deep:
  // red runs 0 to 1 from top to bottom as t / 3 / ((1 - t) + t / 3).
  Gpu gpu;
  PipelineOptions o;
  o.vertex = "clipVertex";
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  auto at = [](float x, float y, float w, float red) {
    Vtx v = V(x * w, y * w, {red, 0, 0, 1});
    v.w = w;
    return v;
  };
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 8, 32);
  gpu.Pass(target, nullptr, MTLLoadActionClear, {0, 0, 0, 0}, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, {at(-1, 1, 1, 0), at(-1, -1, 3, 1), at(1, 1, 1, 0), at(1, -1, 3, 1)}, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
  });
  for (unsigned y = 0; y < 32; ++y) {
    const double t = (y + 0.5) / 32.0;
    const double red = (t / 3.0) / ((1.0 - t) + t / 3.0);
    EXPECT_NEAR(Pixel(target, 3, y)[0], red * 255.0, 0.6) << "row " << y;
  }
}

TEST(Raster, BandsDrawnOnSeveralThreadsGiveTheSamePixelsAsOneThread)
{
  // Random blended triangles over a stencil-filled star on a target large
  // enough to be split into bands.
  Gpu gpu;
  standin::ClearGPUValidationErrors();
  PipelineOptions blend;
  blend.color = MTLPixelFormatBGRA8Unorm;
  blend.stencil = true;
  blend.blending = true;
  blend.srcRGB = blend.srcA = MTLBlendFactorSourceAlpha;
  blend.dstRGB = blend.dstA = MTLBlendFactorOneMinusSourceAlpha;
  PipelineOptions shape = blend;
  shape.fragment = "";
  shape.writeMask = MTLColorWriteMaskNone;
  MTLRenderPipelineState* colour = gpu.Pipeline(blend);
  MTLRenderPipelineState* stencilOnly = gpu.Pipeline(shape);
  StencilFaceOptions incr{MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationIncrementWrap};
  StencilFaceOptions decr{MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationDecrementWrap};
  StencilFaceOptions test{MTLCompareFunctionNotEqual, MTLStencilOperationZero, MTLStencilOperationZero};
  MTLDepthStencilState* fan = gpu.Stencil(&incr, &decr);
  MTLDepthStencilState* fill = gpu.Stencil(&test, &test);
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> x(-20, 660), y(-20, 500), c(0, 1);
  std::vector<Vtx> tris;
  std::uniform_real_distribution<float> d(-60, 60);
  for (int i = 0; i < 150; ++i) {
    const float cx = x(rng), cy = y(rng);
    for (int k = 0; k < 3; ++k)
      tris.push_back(V(cx + d(rng), cy + d(rng), {c(rng), c(rng), c(rng), c(rng)}));
  }
  std::vector<Vtx> star;
  for (int i = 1; i < 4; ++i)
    for (int k : {0, i, i + 1}) {
      const double a = (-90.0 + 144.0 * k) * M_PI / 180.0;
      star.push_back(V(float(320 + 230 * std::cos(a)), float(240 + 230 * std::sin(a))));
    }
  const std::vector<Vtx> cover = {V(640, 480, {0, 0, 1, 0.5f}), V(640, 0, {0, 0, 1, 0.5f}), V(0, 480, {0, 0, 1, 0.5f}),
                                  V(0, 0, {0, 0, 1, 0.5f})};
  std::vector<uint8_t> images[2];
  for (unsigned threads : {1u, 4u}) {
    standin::SetGPUBandThreads(threads);
    MTLTexture* target = gpu.Texture(MTLPixelFormatBGRA8Unorm, 640, 480);
    MTLTexture* stencil = gpu.Texture(MTLPixelFormatStencil8, 640, 480);
    gpu.Pass(target, stencil, MTLLoadActionClear, {0.1, 0.2, 0.3, 1}, [&](MTLRenderCommandEncoder* e) {
      e->setFrontFacingWinding(MTLWindingCounterClockwise);
      e->setRenderPipelineState(stencilOnly);
      e->setDepthStencilState(fan);
      gpu.BindVertices(e, star, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, star.size());
      e->setRenderPipelineState(colour);
      e->setDepthStencilState(fill);
      gpu.BindVertices(e, cover, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
      e->setDepthStencilState(nullptr);
      gpu.BindVertices(e, tris, target);
      e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, tris.size());
    });
    images[threads == 4] = standin::TextureRGBA(target);
    if (threads == 4)
      standin::WriteTexturePNG(target, OutputPath("bands.png"));
  }
  standin::SetGPUBandThreads(0);
  EXPECT_TRUE(standin::GPUValidationErrors().empty());
  EXPECT_TRUE(images[0] == images[1]);
  // Drawn at all: a good part of the pixels are no longer the clear colour.
  size_t changed = 0;
  for (size_t i = 0; i < images[1].size(); i += 4)
    changed += images[1][i + 3] != 255 || images[1][i + 2] != 77;
  EXPECT_GT(changed, images[1].size() / 4 / 4);
}
