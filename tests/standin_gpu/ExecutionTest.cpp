// Command buffers and their threads, the layer's drawables, libraries,
// validation and the dispatch objects the renderer leans on.
#include "GpuTestKit.h"

#include <QuartzCore/QuartzCore.h>
#include <dispatch/dispatch.h>
#include <standin/MetalShaderRegistry.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace gputest;

namespace {
struct ResetAfter : ::testing::Test {
  void TearDown() override { standin::Reset(); }
};
using CommandBuffers = ResetAfter;
using Layer = ResetAfter;
} // namespace

TEST_F(CommandBuffers, RunInQueueOrderWithHandlersOnTheCommittingThreadByDefault)
{
  Gpu gpu;
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  std::vector<int> order;
  std::thread::id handlerThread;
  MTLCommandBuffer* first = gpu.queue()->commandBuffer();
  MTLCommandBuffer* second = gpu.queue()->commandBuffer();
  first->addCompletedHandler([&](MTLCommandBuffer* cb) {
    order.push_back(1);
    handlerThread = std::this_thread::get_id();
    EXPECT_EQ(cb->status(), MTLCommandBufferStatusCompleted);
  });
  second->addCompletedHandler([&](MTLCommandBuffer*) { order.push_back(2); });
  first->enqueue();
  second->commit();
  EXPECT_EQ(second->status(), MTLCommandBufferStatusCommitted) << "waits for the buffer enqueued before it";
  EXPECT_TRUE(order.empty());
  first->commit();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(handlerThread, std::this_thread::get_id());
  second->waitUntilCompleted();
  pool->drain();
}

TEST_F(CommandBuffers, WorkerModeKeepsFramesInFlightUntilTheGPURunsThem)
{
  // The renderer's frame protocol: a semaphore of three buffer sets, each
  // signalled by a completion handler on the GPU thread.
  Gpu gpu;
  standin::SetGPUExecution(standin::GPUExecution::WorkerThread);
  standin::SetGPUPaused(true);
  dispatch_semaphore_t frames = dispatch_semaphore_create(3);
  std::atomic<int> busy{0};
  std::atomic<bool> offMain{true};
  const std::thread::id main = std::this_thread::get_id();
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 8, 8);
  MTLRenderPipelineState* pipeline = gpu.Pipeline({});
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_EQ(dispatch_semaphore_wait(frames, DISPATCH_TIME_FOREVER), 0);
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
    MTLCommandBuffer* cb = gpu.queue()->commandBuffer();
    ++busy;
    cb->addCompletedHandler([&](MTLCommandBuffer*) {
      if (std::this_thread::get_id() == main)
        offMain = false;
      --busy;
      dispatch_semaphore_signal(frames);
    });
    MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
    pass->colorAttachments()->objectAtIndexedSubscript(0)->setTexture(target);
    pass->colorAttachments()->objectAtIndexedSubscript(0)->setLoadAction(MTLLoadActionLoad);
    MTLRenderCommandEncoder* e = cb->renderCommandEncoderWithDescriptor(pass);
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, {V(0, 0), V(0, 8), V(8, 0)}, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
    e->endEncoding();
    cb->commit();
    pool->drain(); // the queue keeps committed buffers alive
  }
  EXPECT_EQ(busy.load(), 3);
  EXPECT_NE(dispatch_semaphore_wait(frames, dispatch_time(DISPATCH_TIME_NOW, 20 * NSEC_PER_MSEC)), 0)
    << "all three sets are in flight";
  standin::SetGPUPaused(false);
  EXPECT_EQ(dispatch_semaphore_wait(frames, DISPATCH_TIME_FOREVER), 0);
  standin::WaitForGPUIdle();
  EXPECT_EQ(busy.load(), 0);
  EXPECT_TRUE(offMain.load());
  EXPECT_EQ(Pixel(target, 1, 1)[0], 255);
  dispatch_release(frames);
}

TEST_F(CommandBuffers, MisuseIsReportedAndRefused)
{
  Gpu gpu;
  standin::ClearGPUValidationErrors();
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  MTLCommandBuffer* cb = gpu.queue()->commandBuffer();
  MTLBlitCommandEncoder* blit = cb->blitCommandEncoder();
  EXPECT_EQ(cb->blitCommandEncoder(), nullptr) << "one open encoder at a time";
  cb->commit(); // with the encoder still open: its commands are dropped
  blit->endEncoding();
  cb->addCompletedHandler([](MTLCommandBuffer*) {});
  cb->commit();
  pool->drain();
  EXPECT_EQ(standin::GPUValidationErrors().size(), 5u);
}

TEST(Library, ResolvesOnlyListedAndRegisteredFunctionsAndRejectsBadData)
{
  Gpu gpu;
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  const std::string good = standin::metal::LibraryData({"solidFragment", "notRegistered"});
  const std::string bad[] = {std::string("MTLX\0\0", 6), std::string("MTLBsolid", 9), std::string("MT", 2)};
  for (const std::string& bytes : bad) {
    dispatch_data_t d = dispatch_data_create(bytes.data(), bytes.size(), nullptr, DISPATCH_DATA_DESTRUCTOR_DEFAULT);
    NSError* error = nullptr;
    EXPECT_EQ(gpu.device()->newLibraryWithData(d, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error->localizedDescription()->UTF8String(), "Invalid library file");
    dispatch_release(d);
  }
  dispatch_data_t d = dispatch_data_create(good.data(), good.size(), nullptr, DISPATCH_DATA_DESTRUCTOR_DEFAULT);
  MTLLibrary* library = gpu.device()->newLibraryWithData(d, nullptr);
  dispatch_release(d);
  ASSERT_NE(library, nullptr);
  MTLFunction* solid = library->newFunctionWithName(NSSTR("solidFragment"));
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->functionType(), MTLFunctionTypeFragment);
  EXPECT_EQ(library->newFunctionWithName(NSSTR("notRegistered")), nullptr);
  EXPECT_EQ(library->newFunctionWithName(NSSTR("pixelVertex")), nullptr) << "registered but not in this library";

  MTLRenderPipelineDescriptor* desc = MTLRenderPipelineDescriptor::alloc()->init();
  desc->setFragmentFunction(solid);
  NSError* error = nullptr;
  EXPECT_EQ(gpu.device()->newRenderPipelineStateWithDescriptor(desc, &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_STREQ(error->localizedDescription()->UTF8String(), "No vertex function provided");
  desc->release();
  solid->release();
  library->release();
  pool->drain();
}

TEST(Library, PipelinesThatDrawIntoOtherFormatsThanThePassAreSkipped)
{
  Gpu gpu;
  standin::ClearGPUValidationErrors();
  PipelineOptions o;
  o.color = MTLPixelFormatBGRA8Unorm;
  MTLRenderPipelineState* bgra = gpu.Pipeline(o);
  MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 4, 4);
  gpu.Pass(target, nullptr, MTLLoadActionClear, {0, 0, 0, 0}, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(bgra);
    gpu.BindVertices(e, {V(0, 0), V(0, 4), V(4, 0)}, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangle, 0, 3);
  });
  EXPECT_EQ(Pixel(target, 0, 0)[0], 0);
  EXPECT_EQ(standin::GPUValidationErrors().size(), 1u);
  standin::ClearGPUValidationErrors();
}

TEST_F(Layer, HandsOutClearedDrawablesAndKeepsTheLastPresentedFrame)
{
  Gpu gpu;
  const long objectsBefore = standin::LiveNSObjectCount();
  {
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
    CAMetalLayer* layer = CAMetalLayer::alloc()->init();
    EXPECT_EQ(layer->pixelFormat(), MTLPixelFormatBGRA8Unorm);
    layer->setDrawableSize(CGSizeMake(6, 4));
    EXPECT_EQ(layer->nextDrawable(), nullptr) << "no device yet";
    layer->setDevice(gpu.device());
    layer->setDrawableSize(CGSizeMake(0, 4));
    EXPECT_EQ(layer->nextDrawable(), nullptr) << "empty size";
    layer->setDrawableSize(CGSizeMake(6, 4));
    CAMetalDrawable* drawable = layer->nextDrawable();
    ASSERT_NE(drawable, nullptr);
    EXPECT_EQ(drawable->texture()->width(), 6u);
    EXPECT_EQ(drawable->texture()->pixelFormat(), MTLPixelFormatBGRA8Unorm);
    EXPECT_EQ(Pixel(drawable->texture(), 5, 3), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(standin::PresentedTexture(layer), nullptr);

    // Through the command buffer.
    MTLCommandBuffer* cb = gpu.queue()->commandBuffer();
    MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
    pass->colorAttachments()->objectAtIndexedSubscript(0)->setTexture(drawable->texture());
    pass->colorAttachments()->objectAtIndexedSubscript(0)->setLoadAction(MTLLoadActionClear);
    pass->colorAttachments()->objectAtIndexedSubscript(0)->setClearColor({0, 0, 1, 1});
    cb->renderCommandEncoderWithDescriptor(pass)->endEncoding();
    cb->presentDrawable(drawable);
    cb->commit();
    MTLTexture* shown = standin::PresentedTexture(layer);
    EXPECT_EQ(shown, drawable->texture());
    EXPECT_EQ(Pixel(shown, 2, 2), (std::array<uint8_t, 4>{0, 0, 255, 255}));

    // With transaction: the caller presents.
    layer->setPresentsWithTransaction(YES);
    CAMetalDrawable* next = layer->nextDrawable();
    EXPECT_NE(next->texture(), shown);
    EXPECT_EQ(Pixel(next->texture(), 2, 2), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(standin::PresentedTexture(layer), shown) << "the last frame stays until the next present";
    next->present();
    EXPECT_EQ(standin::PresentedTexture(layer), next->texture());
    EXPECT_EQ(standin::PresentCount(layer), 2u);
    layer->release();
    pool->drain();
  }
  EXPECT_EQ(standin::LiveNSObjectCount(), objectsBefore) << "drawables, textures and buffers are freed";
}

// Textures cycle like the platform's: one comes back once nothing holds it,
// never while a drawable or the screen still does.
TEST_F(Layer, ReusesADrawablesTextureOnlyOnceNothingHoldsIt)
{
  Gpu gpu;
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setDevice(gpu.device());
  layer->setDrawableSize(CGSizeMake(6, 4));
  std::vector<MTLTexture*> seen;
  for (int frame = 0; frame < 8; ++frame) {
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
    CAMetalDrawable* a = layer->nextDrawable();
    CAMetalDrawable* b = layer->nextDrawable();
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->texture(), b->texture()) << "frame " << frame;
    EXPECT_NE(a->texture(), standin::PresentedTexture(layer)) << "frame " << frame;
    EXPECT_NE(b->texture(), standin::PresentedTexture(layer)) << "frame " << frame;
    b->present();
    for (MTLTexture* t : {a->texture(), b->texture()})
      if (std::find(seen.begin(), seen.end(), t) == seen.end())
        seen.push_back(t);
    pool->drain();
  }
  EXPECT_LE(seen.size(), 3u) << "textures are reused, not made anew each frame";
  layer->setDrawableSize(CGSizeMake(8, 4));
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  EXPECT_EQ(layer->nextDrawable()->texture()->width(), 8u) << "a new size makes new textures";
  pool->drain();
  layer->release();
}

TEST(Dispatch, SemaphoresCountAndTimeOut)
{
  EXPECT_EQ(dispatch_semaphore_create(-1), nullptr);
  dispatch_semaphore_t s = dispatch_semaphore_create(1);
  EXPECT_EQ(dispatch_semaphore_wait(s, DISPATCH_TIME_NOW), 0);
  EXPECT_NE(dispatch_semaphore_wait(s, DISPATCH_TIME_NOW), 0);
  EXPECT_NE(dispatch_semaphore_wait(s, dispatch_time(DISPATCH_TIME_NOW, 5 * NSEC_PER_MSEC)), 0);
  std::thread signaller([s] { dispatch_semaphore_signal(s); });
  EXPECT_EQ(dispatch_semaphore_wait(s, DISPATCH_TIME_FOREVER), 0);
  signaller.join();
  dispatch_release(s);
}

TEST(Dispatch, DataCopiesByDefaultAndOtherwiseUsesTheBytesInPlace)
{
  char bytes[4] = {'a', 'b', 'c', 'd'};
  dispatch_data_t copied = dispatch_data_create(bytes, 4, dispatch_get_main_queue(), DISPATCH_DATA_DESTRUCTOR_DEFAULT);
  int destroyed = 0;
  dispatch_data_t inPlace = dispatch_data_create(bytes, 4, dispatch_get_main_queue(), [&] { ++destroyed; });
  bytes[0] = 'z';
  const void* p = nullptr;
  size_t n = 0;
  dispatch_data_t map = dispatch_data_create_map(copied, &p, &n);
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(static_cast<const char*>(p)[0], 'a');
  dispatch_release(map);
  dispatch_data_t map2 = dispatch_data_create_map(inPlace, &p, &n);
  EXPECT_EQ(p, bytes);
  dispatch_release(inPlace);
  EXPECT_EQ(destroyed, 0) << "the map keeps it";
  dispatch_release(map2);
  EXPECT_EQ(destroyed, 1);
  dispatch_release(copied);
}

TEST(Dispatch, OnceRunsTheBlockOnceAcrossThreads)
{
  static dispatch_once_t once = 0;
  std::atomic<int> runs{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&] { dispatch_once(&once, [&] { ++runs; }); });
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(runs.load(), 1);
}
