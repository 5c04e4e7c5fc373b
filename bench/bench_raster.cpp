// Fill rate of the stand-in GPU's rasteriser in megapixels per second for
// large and thin triangles, with and without blending and through the
// stencil path, and the time of an editor-like frame of 1300 x 940 drawn by
// one thread and in bands by four. Wall-clock times: bands run on threads of
// their own. The reference in the same process is a plain loop clearing the
// same pixels.
#include <benchmark/benchmark.h>

#include <Foundation/Foundation.h>
#include <Metal/Metal.h>
#include <standin/MetalShaderRegistry.h>
#include <standin/Testing.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <random>
#include <vector>

#include "BenchRasterShaders.metal"
#include <standin/MetalShadingEnd.h>

namespace {

using standin::metal::FragmentInput;
using standin::metal::VertexInput;

BenchVaryings Vs(const VertexInput& in)
{
  return benchVertex({in.attribute(0).xy, in.attribute(1).xy}, in.buffer<float2>(1));
}
float4 Fs(const BenchVaryings& v, const FragmentInput& in)
{
  return benchFragment(v, in.buffer<BenchUniforms>(0), in.texture(0), in.sampler(0));
}
const standin::metal::ShaderRegistration gShaders[] = {
  standin::metal::VertexShader<BenchVaryings, Vs>("benchVertex", offsetof(BenchVaryings, position)),
  standin::metal::FragmentShader<BenchVaryings, Fs>("benchFragment")};

constexpr unsigned kW = 1300, kH = 940;

struct Vert {
  float x, y, u, v;
};

// Device objects shared by the benchmarks.
struct Scene {
  MTLDevice* device = MTLCreateSystemDefaultDevice();
  MTLCommandQueue* queue = device->newCommandQueue();
  MTLTexture* target;
  MTLTexture* stencil;
  MTLTexture* atlas;
  MTLSamplerState* sampler;
  MTLRenderPipelineState* opaque;
  MTLRenderPipelineState* blended;
  MTLRenderPipelineState* stencilOnly;
  MTLDepthStencilState* none;
  MTLDepthStencilState* shape;
  MTLDepthStencilState* cover;
  MTLDepthStencilState* fringe;
  MTLBuffer* uniforms;
  MTLBuffer* viewSize;

  Scene()
  {
    const std::string lib = standin::metal::LibraryData({"benchVertex", "benchFragment"});
    dispatch_data_t data = dispatch_data_create(lib.data(), lib.size(), nullptr, DISPATCH_DATA_DESTRUCTOR_DEFAULT);
    MTLLibrary* library = device->newLibraryWithData(data, nullptr);
    dispatch_release(data);
    MTLFunction* vs = library->newFunctionWithName(NSSTR("benchVertex"));
    MTLFunction* fs = library->newFunctionWithName(NSSTR("benchFragment"));
    auto texture = [&](MTLPixelFormat f, unsigned w, unsigned h) {
      MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(f, w, h, NO);
      d->setUsage(MTLTextureUsageRenderTarget | MTLTextureUsageShaderRead);
      return device->newTextureWithDescriptor(d);
    };
    target = texture(MTLPixelFormatBGRA8Unorm, kW, kH);
    stencil = texture(MTLPixelFormatStencil8, kW, kH);
    atlas = texture(MTLPixelFormatR8Unorm, 512, 512);
    std::vector<uint8_t> glyphs(512 * 512);
    for (size_t i = 0; i < glyphs.size(); ++i)
      glyphs[i] = uint8_t((i * 2654435761u) >> 24);
    atlas->replaceRegion(MTLRegionMake2D(0, 0, 512, 512), 0, glyphs.data(), 512);
    MTLSamplerDescriptor* sd = MTLSamplerDescriptor::alloc()->init();
    sd->setMinFilter(MTLSamplerMinMagFilterLinear);
    sd->setMagFilter(MTLSamplerMinMagFilterLinear);
    sampler = device->newSamplerStateWithDescriptor(sd);
    sd->release();

    MTLVertexDescriptor* vd = MTLVertexDescriptor::vertexDescriptor();
    for (int i = 0; i < 2; ++i) {
      vd->attributes()->objectAtIndexedSubscript(i)->setFormat(MTLVertexFormatFloat2);
      vd->attributes()->objectAtIndexedSubscript(i)->setOffset(NSUInteger(8 * i));
    }
    vd->layouts()->objectAtIndexedSubscript(0)->setStride(16);
    auto pipeline = [&](bool blend, bool colour) {
      MTLRenderPipelineDescriptor* d = MTLRenderPipelineDescriptor::alloc()->init();
      d->setVertexFunction(vs);
      if (colour)
        d->setFragmentFunction(fs);
      d->setVertexDescriptor(vd);
      d->setStencilAttachmentPixelFormat(MTLPixelFormatStencil8);
      MTLRenderPipelineColorAttachmentDescriptor* c = d->colorAttachments()->objectAtIndexedSubscript(0);
      c->setPixelFormat(MTLPixelFormatBGRA8Unorm);
      c->setBlendingEnabled(blend);
      c->setSourceRGBBlendFactor(MTLBlendFactorOne);
      c->setSourceAlphaBlendFactor(MTLBlendFactorOne);
      c->setDestinationRGBBlendFactor(MTLBlendFactorOneMinusSourceAlpha);
      c->setDestinationAlphaBlendFactor(MTLBlendFactorOneMinusSourceAlpha);
      if (!colour)
        c->setWriteMask(MTLColorWriteMaskNone);
      MTLRenderPipelineState* p = device->newRenderPipelineStateWithDescriptor(d, nullptr);
      d->release();
      return p;
    };
    opaque = pipeline(false, true);
    blended = pipeline(true, true);
    stencilOnly = pipeline(false, false);
    auto depthStencil = [&](bool on, MTLCompareFunction cmp, MTLStencilOperation fail, MTLStencilOperation front,
                            MTLStencilOperation back) {
      MTLDepthStencilDescriptor* d = MTLDepthStencilDescriptor::alloc()->init();
      if (on) {
        MTLStencilDescriptor* s = MTLStencilDescriptor::alloc()->init();
        s->setStencilCompareFunction(cmp);
        s->setStencilFailureOperation(fail);
        s->setDepthFailureOperation(fail);
        s->setDepthStencilPassOperation(front);
        d->setFrontFaceStencil(s);
        if (back != front) {
          s->setDepthStencilPassOperation(back);
          d->setBackFaceStencil(s);
        }
        s->release();
      }
      MTLDepthStencilState* state = device->newDepthStencilStateWithDescriptor(d);
      d->release();
      return state;
    };
    none = depthStencil(false, 0, 0, 0, 0);
    shape = depthStencil(true, MTLCompareFunctionAlways, MTLStencilOperationKeep, MTLStencilOperationIncrementWrap,
                         MTLStencilOperationDecrementWrap);
    fringe = depthStencil(true, MTLCompareFunctionEqual, MTLStencilOperationKeep, MTLStencilOperationKeep,
                          MTLStencilOperationKeep);
    cover = depthStencil(true, MTLCompareFunctionNotEqual, MTLStencilOperationZero, MTLStencilOperationZero,
                         MTLStencilOperationZero);
    vs->release();
    fs->release();
    library->release();

    // Uniform records: 0 solid paint, 1 gradient, 2 glyphs; scissor off.
    uniforms = device->newBufferWithLength(3 * 256, MTLResourceCPUCacheModeWriteCombined);
    for (int i = 0; i < 3; ++i) {
      BenchUniforms u{};
      u.scissorExt = float2(1, 1);
      u.scissorScale = float2(1, 1);
      u.paintMat = float3x3(float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1));
      u.innerColor = float4(0.4f, 0.5f, 0.6f, 0.8f);
      u.outerColor = float4(0.1f, 0.1f, 0.2f, 1.0f);
      u.extent = float2(512, 512);
      u.feather = i == 1 ? 400.0f : 1.0f;
      u.strokeMult = 1.0f;
      u.strokeThr = -1.0f;
      u.type = i == 2 ? 1 : 0;
      std::memcpy(static_cast<uint8_t*>(uniforms->contents()) + 256 * i, &u, sizeof u);
    }
    const float size[2] = {float(kW), float(kH)};
    viewSize = device->newBufferWithBytes(size, sizeof size, MTLResourceCPUCacheModeWriteCombined);
  }
};

// Fill-rate benchmarks run on one thread; the frame also in bands.
Scene& Shared()
{
  static Scene* scene = [] {
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init(); // descriptors are autoreleased
    auto* made = new Scene();
    pool->drain();
    return made;
  }();
  standin::SetGPUBandThreads(1);
  return *scene;
}

void AddQuad(std::vector<Vert>& v, float x0, float y0, float x1, float y1, float u = 0.5f, float t = 1.0f)
{
  const Vert q[6] = {{x0, y0, u, t}, {x0, y1, u, t}, {x1, y0, u, t}, {x1, y0, u, t}, {x0, y1, u, t}, {x1, y1, u, t}};
  v.insert(v.end(), q, q + 6);
}

// One render pass of the given draws; returns after the GPU finished.
struct Draw {
  MTLRenderPipelineState* pipeline;
  MTLDepthStencilState* depthStencil;
  int uniform;
  bool texture;
  NSUInteger first, count;
  MTLPrimitiveType type = MTLPrimitiveTypeTriangle;
};

void Run(Scene& s, MTLBuffer* vertices, const std::vector<Draw>& draws)
{
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
  pass->colorAttachments()->objectAtIndexedSubscript(0)->setTexture(s.target);
  pass->colorAttachments()->objectAtIndexedSubscript(0)->setLoadAction(MTLLoadActionClear);
  pass->stencilAttachment()->setTexture(s.stencil);
  pass->stencilAttachment()->setLoadAction(MTLLoadActionClear);
  MTLCommandBuffer* cb = s.queue->commandBuffer();
  MTLRenderCommandEncoder* e = cb->renderCommandEncoderWithDescriptor(pass);
  e->setFrontFacingWinding(MTLWindingCounterClockwise);
  e->setVertexBuffer(vertices, 0, 0);
  e->setVertexBuffer(s.viewSize, 0, 1);
  e->setFragmentBuffer(s.uniforms, 0, 0);
  e->setFragmentSamplerState(s.sampler, 0);
  for (const Draw& d : draws) {
    e->setRenderPipelineState(d.pipeline);
    e->setDepthStencilState(d.depthStencil);
    e->setCullMode(d.depthStencil == s.shape ? MTLCullModeNone : MTLCullModeBack);
    e->setFragmentBufferOffset(NSUInteger(d.uniform) * 256, 0);
    e->setFragmentTexture(d.texture ? s.atlas : nullptr, 0);
    e->drawPrimitives(d.type, d.first, d.count);
  }
  e->endEncoding();
  cb->commit();
  cb->waitUntilCompleted();
  pool->drain();
}

MTLBuffer* Upload(Scene& s, const std::vector<Vert>& v)
{
  return s.device->newBufferWithBytes(v.data(), v.size() * sizeof(Vert), MTLResourceCPUCacheModeWriteCombined);
}

void Pixels(benchmark::State& state, double perIteration)
{
  state.counters["Mpx/s"] =
    benchmark::Counter(perIteration * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

// Reference: clearing the frame with a plain loop.
static void BM_ReferenceClearLoop(benchmark::State& state)
{
  std::vector<uint32_t> frame(kW * kH);
  uint32_t colour = 0xff336699u;
  for (auto _ : state) {
    for (uint32_t& p : frame)
      p = colour;
    benchmark::DoNotOptimize(frame.data());
    ++colour;
  }
  Pixels(state, double(kW) * kH);
}
BENCHMARK(BM_ReferenceClearLoop)->Unit(benchmark::kMillisecond);

static void BM_LargeTriangles(benchmark::State& state)
{
  Scene& s = Shared();
  std::vector<Vert> v;
  AddQuad(v, 0, 0, kW, kH);
  MTLBuffer* b = Upload(s, v);
  MTLRenderPipelineState* p = state.range(0) ? s.blended : s.opaque;
  for (auto _ : state)
    Run(s, b, {{p, s.none, 1, false, 0, 6}});
  Pixels(state, double(kW) * kH);
  b->release();
}
BENCHMARK(BM_LargeTriangles)->Arg(0)->Arg(1)->ArgName("blend")->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_ThinTriangles(benchmark::State& state)
{
  // Slivers one pixel wide, slanted: span set-up dominates.
  Scene& s = Shared();
  std::vector<Vert> v;
  for (int i = 0; i < 1200; ++i) {
    const float x = float(i) + 0.3f;
    const Vert t[3] = {{x, 0, 0.5f, 1}, {x + 40, float(kH), 0.5f, 1}, {x + 1, 0, 0.5f, 1}};
    v.insert(v.end(), t, t + 3);
  }
  MTLBuffer* b = Upload(s, v);
  MTLRenderPipelineState* p = state.range(0) ? s.blended : s.opaque;
  for (auto _ : state)
    Run(s, b, {{p, s.none, 0, false, 0, NSUInteger(v.size())}});
  Pixels(state, 1200.0 * kH * 0.5);
  b->release();
}
BENCHMARK(BM_ThinTriangles)->Arg(0)->Arg(1)->ArgName("blend")->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_StencilFill(benchmark::State& state)
{
  // A concave star as a fan into the stencil, then its cover quad.
  Scene& s = Shared();
  std::vector<Vert> v;
  const float cx = kW / 2.0f, cy = kH / 2.0f, r = 460;
  Vert star[5];
  for (int k = 0; k < 5; ++k) {
    const float a = float((-90.0 + 144.0 * k) * M_PI / 180.0);
    star[k] = {cx + r * std::cos(a), cy + r * std::sin(a), 0.5f, 1};
  }
  for (int i = 1; i < 4; ++i)
    v.insert(v.end(), {star[0], star[i], star[i + 1]});
  const Vert quad[4] = {
    {cx + r, cy + r, 0.5f, 1}, {cx + r, cy - r, 0.5f, 1}, {cx - r, cy + r, 0.5f, 1}, {cx - r, cy - r, 0.5f, 1}};
  v.insert(v.end(), quad, quad + 4);
  MTLBuffer* b = Upload(s, v);
  for (auto _ : state)
    Run(
      s, b,
      {{s.stencilOnly, s.shape, 0, false, 0, 9}, {s.blended, s.cover, 1, false, 9, 4, MTLPrimitiveTypeTriangleStrip}});
  Pixels(state, double(2 * r) * (2 * r));
  b->release();
}
BENCHMARK(BM_StencilFill)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_EditorFrame(benchmark::State& state)
{
  // Background gradient, 120 panels with fringes, 40 concave fills,
  // 3000 glyph quads and 300 short strokes, all blended.
  Scene& s = Shared();
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> X(0, kW - 120), Y(0, kH - 60);
  std::vector<Vert> v;
  std::vector<Draw> draws;
  auto add = [&](MTLRenderPipelineState* p, MTLDepthStencilState* ds, int u, bool tex, size_t from,
                 MTLPrimitiveType type = MTLPrimitiveTypeTriangle) {
    draws.push_back({p, ds, u, tex, NSUInteger(from), NSUInteger(v.size() - from), type});
  };
  size_t from = v.size();
  AddQuad(v, 0, 0, kW, kH);
  add(s.blended, s.none, 1, false, from);
  double pixels = double(kW) * kH;
  for (int i = 0; i < 120; ++i) {
    const float x = X(rng), y = Y(rng), w = 40 + X(rng) / 10, h = 20 + Y(rng) / 10;
    from = v.size();
    AddQuad(v, x, y, x + w, y + h);
    for (float d : {0.0f, 1.0f}) { // fringe strips round the panel as thin quads
      AddQuad(v, x - 1 + d, y - 1, x + d, y + h + 1, 0.0f);
      AddQuad(v, x + w - d, y - 1, x + w + 1 - d, y + h + 1, 0.0f);
    }
    add(s.blended, s.none, 0, false, from);
    pixels += double(w) * h + 4 * (h + 2);
  }
  for (int i = 0; i < 40; ++i) {
    const float cx = X(rng) + 60, cy = Y(rng) + 30, r = 25;
    from = v.size();
    Vert star[5];
    for (int k = 0; k < 5; ++k) {
      const float a = float((-90.0 + 144.0 * k) * M_PI / 180.0);
      star[k] = {cx + r * std::cos(a), cy + r * std::sin(a), 0.5f, 1};
    }
    for (int k = 1; k < 4; ++k)
      v.insert(v.end(), {star[0], star[k], star[k + 1]});
    add(s.stencilOnly, s.shape, 0, false, from);
    from = v.size();
    const Vert quad[4] = {
      {cx + r, cy + r, 0.5f, 1}, {cx + r, cy - r, 0.5f, 1}, {cx - r, cy + r, 0.5f, 1}, {cx - r, cy - r, 0.5f, 1}};
    v.insert(v.end(), quad, quad + 4);
    add(s.blended, s.cover, 0, false, from, MTLPrimitiveTypeTriangleStrip);
    pixels += 2.0 * (2 * r) * (2 * r);
  }
  from = v.size();
  for (int i = 0; i < 3000; ++i) {
    const float x = X(rng), y = Y(rng);
    AddQuad(v, x, y, x + 8, y + 12);
  }
  add(s.blended, s.none, 2, true, from);
  pixels += 3000.0 * 96;
  from = v.size();
  for (int i = 0; i < 300; ++i) {
    const float x = X(rng), y = Y(rng);
    AddQuad(v, x, y, x + 100, y + 2, 0.0f);
  }
  add(s.blended, s.none, 0, false, from);
  pixels += 300.0 * 200;
  MTLBuffer* b = Upload(s, v);
  standin::SetGPUBandThreads(unsigned(state.range(0)));
  for (auto _ : state)
    Run(s, b, draws);
  standin::SetGPUBandThreads(1);
  Pixels(state, pixels);
  // Beside the program, in the build tree, to be looked at.
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  standin::WriteTexturePNG(s.target, self + "_editor_frame.png");
  b->release();
}
// Argument: the threads drawing the bands of the pass (1: the GPU thread alone).
BENCHMARK(BM_EditorFrame)->Arg(1)->Arg(4)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
