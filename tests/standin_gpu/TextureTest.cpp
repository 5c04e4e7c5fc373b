// Texture storage, formats, sampling, mipmaps and the PNG dump.
#include "GpuTestKit.h"

#include <gtest/gtest.h>
#include <png.h>
#include <standin/MetalShading.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace gputest;

namespace {
const MTLClearColor kBlack = {0, 0, 0, 0};

// Draws the texture over the whole target with the sampler.
void Copy(Gpu& gpu, MTLTexture* from, MTLTexture* to, MTLSamplerState* sampler, float uvScale = 1.0f,
          float uvShift = 0.0f)
{
  PipelineOptions o;
  o.fragment = "texturedFragment";
  o.color = to->pixelFormat();
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  const float w = float(to->width()), h = float(to->height());
  const float a = uvShift, b = uvShift + uvScale;
  gpu.Pass(to, nullptr, MTLLoadActionClear, kBlack, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    e->setFragmentTexture(from, 0);
    e->setFragmentSamplerState(sampler, 0);
    gpu.BindVertices(e,
                     {V(0, 0, {1, 1, 1, 1}, a, a), V(0, h, {1, 1, 1, 1}, a, b), V(w, 0, {1, 1, 1, 1}, b, a),
                      V(w, h, {1, 1, 1, 1}, b, b)},
                     to);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
  });
}
} // namespace

TEST(Texture, RGBAAndBGRARoundTripThroughDrawsWithTheirOwnByteOrders)
{
  Gpu gpu;
  const uint8_t rgba[2 * 2 * 4] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};
  MTLTexture* source = gpu.Texture(MTLPixelFormatRGBA8Unorm, 2, 2, rgba);
  MTLTexture* bgra = gpu.Texture(MTLPixelFormatBGRA8Unorm, 2, 2);
  MTLTexture* back = gpu.Texture(MTLPixelFormatRGBA8Unorm, 2, 2);
  MTLSamplerState* nearest = gpu.Sampler(MTLSamplerMinMagFilterNearest, MTLSamplerAddressModeClampToEdge);
  Copy(gpu, source, bgra, nearest);
  uint8_t stored[16];
  bgra->getBytes(stored, 8, MTLRegionMake2D(0, 0, 2, 2), 0);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(stored[p * 4 + 0], rgba[p * 4 + 2]) << "blue first";
    EXPECT_EQ(stored[p * 4 + 1], rgba[p * 4 + 1]);
    EXPECT_EQ(stored[p * 4 + 2], rgba[p * 4 + 0]);
    EXPECT_EQ(stored[p * 4 + 3], rgba[p * 4 + 3]);
  }
  Copy(gpu, bgra, back, nearest);
  uint8_t again[16];
  back->getBytes(again, 8, MTLRegionMake2D(0, 0, 2, 2), 0);
  EXPECT_EQ(std::vector<uint8_t>(again, again + 16), std::vector<uint8_t>(rgba, rgba + 16));
}

TEST(Texture, BilinearSamplingWeighsTheFourNearestTexelCentres)
{
  // An 8 x 8 target over a 4 x 4 alpha texture: pixel centres fall on
  // quarter texels; with the coordinates shifted half a texel the edges
  // clamp or wrap round.
  Gpu gpu;
  uint8_t texels[16];
  for (int i = 0; i < 16; ++i)
    texels[i] = uint8_t((i * 53 + 17) % 256);
  MTLTexture* source = gpu.Texture(MTLPixelFormatR8Unorm, 4, 4, texels);
  auto texel = [&](int x, int y, bool repeat) {
    x = repeat ? (x + 4) % 4 : std::clamp(x, 0, 3);
    y = repeat ? (y + 4) % 4 : std::clamp(y, 0, 3);
    return double(texels[y * 4 + x]);
  };
  for (bool repeat : {false, true})
    for (float shift : {0.0f, 0.125f}) {
      MTLSamplerState* s = gpu.Sampler(MTLSamplerMinMagFilterLinear,
                                       repeat ? MTLSamplerAddressModeRepeat : MTLSamplerAddressModeClampToEdge);
      MTLTexture* target = gpu.Texture(MTLPixelFormatRGBA8Unorm, 8, 8);
      Copy(gpu, source, target, s, 1.0f, shift);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          // Texture position of the pixel centre, in texels from the first centre.
          const double tx = ((x + 0.5) / 8.0 + shift) * 4.0 - 0.5, ty = ((y + 0.5) / 8.0 + shift) * 4.0 - 0.5;
          const int ix = int(std::floor(tx)), iy = int(std::floor(ty));
          const double fx = tx - ix, fy = ty - iy;
          const double expected = (1 - fy) * ((1 - fx) * texel(ix, iy, repeat) + fx * texel(ix + 1, iy, repeat)) +
                                  fy * ((1 - fx) * texel(ix, iy + 1, repeat) + fx * texel(ix + 1, iy + 1, repeat));
          ASSERT_NEAR(Pixel(target, unsigned(x), unsigned(y))[0], expected, 0.51)
            << (repeat ? "repeat" : "clamp") << " shift " << shift << " at " << x << "," << y;
        }
    }
  // At texel centres bilinear gives the texels themselves; nearest picks the
  // texel a coordinate falls in.
  MTLSamplerState* linear = gpu.Sampler(MTLSamplerMinMagFilterLinear, MTLSamplerAddressModeClampToEdge);
  MTLSamplerState* nearest = gpu.Sampler(MTLSamplerMinMagFilterNearest, MTLSamplerAddressModeClampToEdge);
  for (int i = 0; i < 4; ++i) {
    const float c = (i + 0.5f) / 4.0f;
    EXPECT_NEAR(standin::metal::SampleTexture(source, linear, c, c, 0).x * 255.0f, texels[i * 5], 1e-3);
    EXPECT_NEAR(standin::metal::SampleTexture(source, nearest, c + 0.12f, c - 0.12f, 0).x * 255.0f, texels[i * 5],
                1e-3);
  }
  // Coordinates no texture reaches, and not-a-number, clamp like any other.
  EXPECT_NEAR(standin::metal::SampleTexture(source, linear, 1e30f, std::nanf(""), 0).x * 255.0f, texels[3], 1e-3);
}

TEST(Texture, MipmapsAreBoxAveragesOfTheLevelAbove)
{
  Gpu gpu;
  uint8_t rgba[4 * 4 * 4];
  for (int i = 0; i < 64; ++i)
    rgba[i] = uint8_t((i * 37 + 11) % 256);
  MTLTexture* t = gpu.Texture(MTLPixelFormatRGBA8Unorm, 4, 4, rgba, true);
  ASSERT_EQ(t->mipmapLevelCount(), 3u);
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  MTLCommandBuffer* cb = gpu.queue()->commandBuffer();
  MTLBlitCommandEncoder* blit = cb->blitCommandEncoder();
  blit->generateMipmapsForTexture(t);
  blit->endEncoding();
  cb->commit();
  cb->waitUntilCompleted();
  pool->drain();
  uint8_t level1[2 * 2 * 4], level2[4];
  t->getBytes(level1, 8, MTLRegionMake2D(0, 0, 2, 2), 1);
  t->getBytes(level2, 4, MTLRegionMake2D(0, 0, 1, 1), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      for (int c = 0; c < 4; ++c) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            sum += rgba[((2 * y + dy) * 4 + 2 * x + dx) * 4 + c];
        EXPECT_NEAR(level1[(y * 2 + x) * 4 + c], sum / 4.0, 0.5);
      }
  for (int c = 0; c < 4; ++c)
    EXPECT_NEAR(level2[c], (level1[c] + level1[4 + c] + level1[8 + c] + level1[12 + c]) / 4.0, 0.5);
}

TEST(Texture, RegionsCopyRowsWithTheirRowLengthAndBadRegionsAreRefused)
{
  Gpu gpu;
  standin::ClearGPUValidationErrors();
  MTLTexture* t = gpu.Texture(MTLPixelFormatRGBA8Unorm, 8, 4);
  // A 2 x 2 region at (3, 1) from rows of 40 bytes.
  uint8_t rows[2 * 40];
  for (int i = 0; i < 80; ++i)
    rows[i] = uint8_t(i + 1);
  t->replaceRegion(MTLRegionMake2D(3, 1, 2, 2), 0, rows, 40);
  std::vector<uint8_t> all(8 * 4 * 4);
  t->getBytes(all.data(), 32, MTLRegionMake2D(0, 0, 8, 4), 0);
  EXPECT_EQ(all[(1 * 8 + 3) * 4], 1);
  EXPECT_EQ(all[(1 * 8 + 4) * 4 + 3], 8);
  EXPECT_EQ(all[(2 * 8 + 3) * 4], 41);
  EXPECT_EQ(all[(2 * 8 + 2) * 4], 0);
  EXPECT_TRUE(standin::GPUValidationErrors().empty());

  const std::vector<uint8_t> before = all;
  const struct {
    MTLRegion region;
    NSUInteger level, bytesPerRow;
  } bad[] = {
    {MTLRegionMake2D(7, 0, 2, 1), 0, 8}, // past the right edge
    {MTLRegionMake2D(0, 3, 1, 2), 0, 4}, // past the bottom
    {MTLRegionMake2D(0, 0, 2, 1), 1, 8}, // no such level
    {MTLRegionMake2D(0, 0, 2, 1), 0, 7}, // rows shorter than the region
  };
  for (const auto& b : bad)
    t->replaceRegion(b.region, b.level, rows, b.bytesPerRow);
  t->getBytes(all.data(), 32, MTLRegionMake2D(0, 0, 8, 4), 0);
  EXPECT_EQ(all, before);
  EXPECT_EQ(standin::GPUValidationErrors().size(), 4u);

  MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(MTLPixelFormatStencil8, 4, 4, NO);
  d->setStorageMode(MTLStorageModePrivate);
  MTLTexture* hidden = gpu.device()->newTextureWithDescriptor(d);
  hidden->replaceRegion(MTLRegionMake2D(0, 0, 1, 1), 0, rows, 4);
  EXPECT_EQ(standin::GPUValidationErrors().size(), 5u) << "private storage is not the CPU's";
  hidden->release();
  EXPECT_EQ(gpu.device()->newTextureWithDescriptor(
              MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(MTLPixelFormatRGBA8Unorm, 0, 4, NO)),
            nullptr);
  standin::ClearGPUValidationErrors();
}

TEST(Texture, PNGDumpDecodesToTheTexturePixels)
{
  Gpu gpu;
  uint8_t bgra[3 * 2 * 4];
  for (int i = 0; i < 24; ++i)
    bgra[i] = uint8_t(i * 10 + 5);
  MTLTexture* t = gpu.Texture(MTLPixelFormatBGRA8Unorm, 3, 2, bgra);
  const std::string path = OutputPath("dump_bgra.png");
  ASSERT_TRUE(standin::WriteTexturePNG(t, path));
  // Decoded with libpng, independently of the writer.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> decoded(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr));
  ASSERT_EQ(image.width, 3u);
  ASSERT_EQ(image.height, 2u);
  for (int p = 0; p < 6; ++p) {
    EXPECT_EQ(decoded[size_t(p * 4 + 0)], bgra[p * 4 + 2]);
    EXPECT_EQ(decoded[size_t(p * 4 + 1)], bgra[p * 4 + 1]);
    EXPECT_EQ(decoded[size_t(p * 4 + 2)], bgra[p * 4 + 0]);
    EXPECT_EQ(decoded[size_t(p * 4 + 3)], bgra[p * 4 + 3]);
  }
  EXPECT_FALSE(standin::WriteTexturePNG(t, "/nonexistent-folder/x.png"));

  // A disk that takes only part of the file (a size limit, as when full):
  // the writer says so and the previous file stays.
  const std::string kept = OutputPath("dump_kept.png");
  std::FILE* previous = std::fopen(kept.c_str(), "wb");
  ASSERT_TRUE(previous);
  std::fputs("previous", previous);
  std::fclose(previous);
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{40, 40};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(standin::WriteTexturePNG(t, kept) ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "a cut-short write reported as written";
  std::FILE* after = std::fopen(kept.c_str(), "rb");
  ASSERT_TRUE(after);
  char text[16] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text, after), 8u);
  std::fclose(after);
  EXPECT_STREQ(text, "previous");
  EXPECT_FALSE(std::filesystem::exists(kept + ".part"));
}
