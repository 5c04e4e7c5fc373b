// Frames: buffer sets and their semaphore, cancelled frames, pipelines,
// creation flags, and frames in flight on the GPU's own thread.
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "MetalTestKit.h"

namespace {

class Frames : public mvgtest::MetalFixture {
protected:
  // Units the semaphore holds now (taken and given back).
  int FreeUnits()
  {
    int n = 0;
    while (dispatch_semaphore_wait(renderer()->semaphore, DISPATCH_TIME_NOW) == 0)
      ++n;
    for (int i = 0; i < n; ++i)
      dispatch_semaphore_signal(renderer()->semaphore);
    return n;
  }
  int BusySets()
  {
    int n = 0;
    for (auto* s : renderer()->cbuffers)
      n += s->isBusy;
    return n;
  }
  void Square(float x, VGcolor c)
  {
    vgBeginPath(ctx);
    vgRect(ctx, x, 2, 8, 8);
    vgFillColor(ctx, c);
    vgFill(ctx);
  }
};

TEST_F(Frames, FlagsChooseBufferSetsAndFragmentFunction)
{
  const struct {
    int flags, sets, antialias;
    const char* fragment;
  } table[] = {{VG_ANTIALIAS | VG_TRIPLE_BUFFER, 3, 1, "fragmentShaderAA"},
               {VG_DOUBLE_BUFFER | VG_TRIPLE_BUFFER, 3, 0, "fragmentShader"},
               {VG_DOUBLE_BUFFER, 2, 0, "fragmentShader"},
               {0, 1, 0, "fragmentShader"}};
  for (const auto& row : table) {
    ASSERT_NE(Open(16, 16, row.flags), nullptr);
    EXPECT_EQ(renderer()->maxBuffers, row.sets);
    EXPECT_EQ(int(renderer()->cbuffers.size()), row.sets);
    EXPECT_EQ(FreeUnits(), row.sets);
    EXPECT_EQ(vgInternalParams(ctx)->edgeAntiAlias, row.antialias);
    EXPECT_EQ(renderer()->fragmentFunction->functionName(), row.fragment);
    EXPECT_EQ(renderer()->fragSize, 256);
    EXPECT_EQ(renderer()->indexSize, 4);
    Close();
  }
}

TEST_F(Frames, PipelinesAreRebuiltOnlyForANewBlendOrFormat)
{
  ASSERT_NE(Open(32, 16), nullptr);
  vgBeginFrame(ctx, 32, 16, 1);
  Square(0, vgRGB(255, 0, 0));
  Square(10, vgRGB(0, 255, 0));
  vgEndFrame(ctx);
  EXPECT_EQ(renderer()->pipelineBuilds, 1);

  vgBeginFrame(ctx, 32, 16, 1);
  Square(0, vgRGB(255, 0, 0));
  vgGlobalCompositeOperation(ctx, VG_LIGHTER);
  Square(10, vgRGB(0, 255, 0));
  vgEndFrame(ctx);
  EXPECT_EQ(renderer()->pipelineBuilds, 2); // source-over is kept; lighter builds

  // A framebuffer is RGBA where the layer is BGRA.
  MVGframebuffer* fb = mvgCreateFramebuffer(ctx, 16, 16, 0);
  mvgBindFramebuffer(fb);
  vgBeginFrame(ctx, 16, 16, 1);
  vgGlobalCompositeOperation(ctx, VG_LIGHTER);
  Square(0, vgRGB(255, 0, 0));
  vgEndFrame(ctx);
  mvgBindFramebuffer(nullptr);
  EXPECT_EQ(renderer()->pipelineBuilds, 3);
  EXPECT_EQ(renderer()->piplelinePixelFormat, MTLPixelFormatRGBA8Unorm);
  mvgDeleteFramebuffer(fb);
  EXPECT_TRUE(standin::GPUValidationErrors().empty());
}

TEST_F(Frames, FramesThatCannotDrawGiveTheirSetBack)
{
  ASSERT_NE(Open(16, 16, VG_ANTIALIAS), nullptr); // one set: a lost one would block
  const struct {
    const char* what;
    float width;
    bool emptyLayer;
    bool zeroFramebuffer;
  } table[] = {{"zero-width view", 0, false, false},
               {"no drawable", 16, true, false},
               {"framebuffer without texture", 16, false, true}};
  for (const auto& row : table) {
    layer->setDrawableSize(CGSizeMake(row.emptyLayer ? 0 : 16, 16));
    MVGframebuffer* fb = row.zeroFramebuffer ? mvgCreateFramebuffer(ctx, 0, 0, 0) : nullptr;
    if (fb) {
      EXPECT_EQ(fb->image, 0) << row.what;
    }
    mvgBindFramebuffer(fb);
    vgBeginFrame(ctx, row.width, 16, 1);
    Square(0, vgRGB(255, 0, 0));
    vgEndFrame(ctx);
    mvgBindFramebuffer(nullptr);
    mvgDeleteFramebuffer(fb);
    EXPECT_EQ(BusySets(), 0) << row.what;
    EXPECT_EQ(FreeUnits(), 1) << row.what;
    EXPECT_EQ(standin::PresentCount(layer), 0u) << row.what;
  }
  // Cancelling twice, or with no frame begun, gives back nothing extra.
  vgBeginFrame(ctx, 16, 16, 1);
  vgCancelFrame(ctx);
  vgCancelFrame(ctx);
  EXPECT_EQ(FreeUnits(), 1);
}

TEST_F(Frames, AFourthFrameWaitsForOneOfThreeInFlight)
{
  standin::SetGPUExecution(standin::GPUExecution::WorkerThread);
  ASSERT_NE(Open(16, 16), nullptr);
  standin::SetGPUPaused(true);
  for (int i = 0; i < 3; ++i) {
    vgBeginFrame(ctx, 16, 16, 1);
    Square(0, vgRGB(255, 0, 0));
    vgEndFrame(ctx);
  }
  EXPECT_EQ(BusySets(), 3);
  std::atomic<bool> begun{false};
  std::thread fourth([&] {
    vgBeginFrame(ctx, 16, 16, 1);
    begun = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(begun.load());
  standin::SetGPUPaused(false);
  fourth.join();
  EXPECT_TRUE(begun.load());
  Square(0, vgRGB(0, 0, 255));
  vgEndFrame(ctx);
  const std::vector<uint8_t> shown = Shown();
  EXPECT_EQ(standin::PresentCount(layer), 4u);
  EXPECT_EQ(mvgtest::At(shown, 16, 4, 4), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(BusySets(), 0);
  EXPECT_EQ(FreeUnits(), 3);
}

TEST_F(Frames, StencilStrokesCoverACrossingOnce)
{
  // A translucent stroke crossing itself: drawn plainly the crossing is
  // blended twice; stencilled, every pixel once, like the rest of the line.
  for (int flags : {int(VG_ANTIALIAS), VG_ANTIALIAS | VG_STENCIL_STROKES}) {
    ASSERT_NE(Open(40, 40, flags), nullptr);
    mvgClearWithColor(ctx, vgRGB(255, 255, 255));
    vgBeginFrame(ctx, 40, 40, 1);
    vgBeginPath(ctx);
    vgMoveTo(ctx, 5, 5);
    vgLineTo(ctx, 35, 35);
    vgLineTo(ctx, 35, 5);
    vgLineTo(ctx, 5, 35);
    vgStrokeWidth(ctx, 6);
    vgStrokeColor(ctx, vgRGBAf(1, 0, 0, 0.5f));
    vgStroke(ctx);
    vgEndFrame(ctx);
    const std::vector<uint8_t> shown = Shown();
    const auto crossing = mvgtest::At(shown, 40, 20, 20), line = mvgtest::At(shown, 40, 35, 20);
    EXPECT_NEAR(line[1], 128, 2);
    if (flags & VG_STENCIL_STROKES) {
      EXPECT_NEAR(crossing[1], line[1], 1);
    } else {
      EXPECT_NEAR(crossing[1], 64, 2);
    }
    Close();
  }
}

// The same busy frame over and over: once every set has drawn it, no set's
// buffers, stencil texture or live object count change again.
TEST_F(Frames, BuffersStayTheSameSizeFrameAfterFrame)
{
  ASSERT_NE(Open(64, 48), nullptr);
  struct Sizes {
    size_t calls, indexes, verts, uniforms, indexBuffer, vertBuffer, uniformBuffer, stencil;
    bool operator==(const Sizes&) const = default;
  };
  auto sizes = [&] {
    std::vector<Sizes> all;
    for (auto* set : renderer()->cbuffers) {
      auto length = [](MTLBuffer* b) { return b ? size_t(b->length()) : size_t(0); };
      all.push_back({size_t(set->ccalls), size_t(set->cindexes), size_t(set->cverts), size_t(set->cuniforms),
                     length(set->indexBuffer), length(set->vertBuffer), length(set->uniformBuffer),
                     set->stencilTexture ? size_t(set->stencilTexture->width() * set->stencilTexture->height()) : 0});
    }
    return all;
  };
  auto frame = [&](int i) {
    vgBeginFrame(ctx, 64, 48, 1);
    for (int k = 0; k < 40; k++) {
      vgBeginPath(ctx);
      vgMoveTo(ctx, float(k % 8) * 8, 2);
      vgLineTo(ctx, float(k % 8) * 8 + 6, 20 + float((i + k) % 7));
      vgLineTo(ctx, float(k % 5) * 12, 44);
      vgFillColor(ctx, vgRGBA(uint8_t(k * 6), 90, 200, 160));
      vgFill(ctx);
      vgStrokeColor(ctx, vgRGB(0, 0, 0));
      vgStroke(ctx);
    }
    vgEndFrame(ctx);
  };
  for (int i = 0; i < 6; i++)
    frame(i);
  standin::WaitForGPUIdle();
  standin::DrainAutoreleasePools();
  const std::vector<Sizes> settled = sizes();
  const long objects = standin::LiveNSObjectCount();
  for (int i = 6; i < 60; i++) {
    frame(i);
    standin::WaitForGPUIdle();
    standin::DrainAutoreleasePools();
    EXPECT_TRUE(sizes() == settled) << "frame " << i;
    EXPECT_EQ(standin::LiveNSObjectCount(), objects) << "frame " << i;
  }
}

TEST_F(Frames, DeletingAContextWithFramesInFlightWaitsForThem)
{
  standin::SetGPUExecution(standin::GPUExecution::WorkerThread);
  ASSERT_NE(Open(16, 16), nullptr);
  standin::SetGPUPaused(true);
  for (int i = 0; i < 2; ++i) {
    vgBeginFrame(ctx, 16, 16, 1);
    Square(0, vgRGB(255, 0, 0));
    vgEndFrame(ctx);
  }
  std::thread resume([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    standin::SetGPUPaused(false);
  });
  Close(); // the completion handlers run after this, on sets it let go of
  resume.join();
  standin::WaitForGPUIdle();
  EXPECT_EQ(standin::GPUValidationErrors(), std::vector<std::string>());
}

TEST_F(Frames, TheEmbeddedLibraryNamesTheThreeFunctionsWithItsLengthAfterIt)
{
  uint32_t length = 0;
  const unsigned char* bytes = mvgShaderLibraryBytes(&length);
  const std::string data(reinterpret_cast<const char*>(bytes), length);
  EXPECT_EQ(data, std::string("MTLBvertexShader\0fragmentShaderAA\0fragmentShader\0\0", 50));
  uint32_t stored;
  std::memcpy(&stored, bytes + length, 4);
  EXPECT_EQ(stored, length);
}

TEST_F(Frames, ErrorsGoToStandardErrorOnlyWhenDebugging)
{
  for (int flags : {0, int(VG_DEBUG)}) {
    ASSERT_NE(Open(16, 16, flags), nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    renderer()->checkError(NSError::errorWithDomain(NSSTR("test"), 3, NSSTR("no luck")), "init library");
    renderer()->checkError(nullptr, "init pipeline state");
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(err, flags ? "Error occurs after init library: no luck\n" : "");
    EXPECT_EQ(out, "") << "standard output may carry a host's audio";
    Close();
  }
}

} // namespace
