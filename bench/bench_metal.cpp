// The renderer's test card, one frame at a time: through the vector engine,
// the Metal renderer and the software GPU (on one thread and in bands),
// against Cairo drawing the same card (without its text) as the reference.
#include <Foundation/Foundation.h>
#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>
#include <benchmark/benchmark.h>
#include <standin/Testing.h>

#include "MetalTestCard.h"

namespace {

using namespace mvgcard;

void BM_CardMetal(benchmark::State& state)
{
  standin::Reset();
  standin::SetGPUBandThreads(unsigned(state.range(0)));
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setDrawableSize(CGSizeMake(kW, kH));
  VGcontext* ctx = mvgCreateContext(layer, VG_ANTIALIAS | VG_TRIPLE_BUFFER);
  vgCreateFont(ctx, "sans", kRoboto);
  const std::vector<uint8_t> checker = Checker();
  const int checkerImage = vgCreateImageRGBA(ctx, 8, 8, VG_IMAGE_NEAREST, checker.data());
  MVGframebuffer* fb = mvgCreateFramebuffer(ctx, kLayerW, kLayerH, VG_IMAGE_NEAREST);
  for (auto _ : state) {
    mvgBindFramebuffer(fb);
    mvgClearWithColor(ctx, vgRGB(235, 225, 60));
    DrawLayer(ctx);
    mvgBindFramebuffer(nullptr);
    mvgClearWithColor(ctx, vgRGB(255, 255, 255));
    DrawCard(ctx, checkerImage, fb->image);
    standin::WaitForGPUIdle();
    standin::DrainAutoreleasePools();
  }
  mvgDeleteFramebuffer(fb);
  mvgDeleteContext(ctx);
  layer->release();
  standin::Reset();
}
BENCHMARK(BM_CardMetal)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_CardCairoReference(benchmark::State& state)
{
  const std::vector<uint8_t> layer(size_t(kLayerW) * kLayerH * 4, 200);
  for (auto _ : state)
    benchmark::DoNotOptimize(CairoCard(layer));
}
BENCHMARK(BM_CardCairoReference)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
