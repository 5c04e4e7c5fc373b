// Texture records behind image ids, their samplers, region updates and
// read-back, framebuffers and images wrapped from a handle.
#include <cstring>

#include "MetalTestKit.h"

namespace {

class Textures : public mvgtest::MetalFixture {
protected:
  void SetUp() override
  {
    MetalFixture::SetUp();
    ASSERT_NE(Open(32, 32), nullptr);
    p = vgInternalParams(ctx);
  }
  int Create(int type, int w, int h, int flags = 0, const uint8_t* data = nullptr)
  {
    return p->renderCreateTexture(p->userPtr, type, w, h, flags, data);
  }
  VGparams* p = nullptr;
};

TEST_F(Textures, IdsAreNeverReusedButRecordsAre)
{
  // The engine holds a font atlas image already.
  const int firstId = renderer()->textureId;
  const size_t records = renderer()->textures.size();
  const int a = Create(VG_TEXTURE_RGBA, 4, 4);
  const int b = Create(VG_TEXTURE_ALPHA, 4, 4);
  EXPECT_EQ(renderer()->findTexture(b)->tex->pixelFormat(), MTLPixelFormatR8Unorm);
  EXPECT_EQ(renderer()->findTexture(a)->tex->pixelFormat(), MTLPixelFormatRGBA8Unorm);
  EXPECT_TRUE(p->renderDeleteTexture(p->userPtr, a));
  EXPECT_FALSE(p->renderDeleteTexture(p->userPtr, a));
  const int c = Create(VG_TEXTURE_RGBA, 2, 2);
  EXPECT_EQ(c, firstId + 3);
  EXPECT_EQ(renderer()->textures.size(), records + 2);
  EXPECT_EQ(renderer()->textures[records]->id, c);
}

TEST_F(Textures, BadSizesAndRegionsAreRefused)
{
  const int firstId = renderer()->textureId;
  for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-3, 4}, {4, -1}, {16385, 1}, {1, 100000}})
    EXPECT_EQ(Create(VG_TEXTURE_RGBA, w, h), 0) << w << " x " << h;
  EXPECT_EQ(renderer()->textureId, firstId);

  const int image = Create(VG_TEXTURE_RGBA, 8, 4);
  std::vector<uint8_t> data(8 * 4 * 4, 7);
  const struct {
    int x, y, w, h;
  } outside[] = {{-1, 0, 2, 2}, {0, -1, 2, 2}, {7, 0, 2, 1}, {0, 3, 1, 2}, {0, 0, 0, 1}, {0, 0, 9, 1}};
  for (const auto& r : outside) {
    EXPECT_FALSE(p->renderUpdateTexture(p->userPtr, image, r.x, r.y, r.w, r.h, data.data()));
    std::vector<uint8_t> out(8 * 4 * 4, 0xAB);
    mvgReadPixels(ctx, image, r.x, r.y, r.w, r.h, out.data());
    EXPECT_EQ(out, std::vector<uint8_t>(8 * 4 * 4, 0xAB));
  }
  EXPECT_TRUE(standin::GPUValidationErrors().empty());
  int w = -5, h = -6;
  EXPECT_FALSE(p->renderGetTextureSize(p->userPtr, 99, &w, &h));
  EXPECT_EQ(w, -5);
  EXPECT_EQ(h, -6);
  EXPECT_TRUE(p->renderGetTextureSize(p->userPtr, image, &w, &h));
  EXPECT_EQ(w, 8);
  EXPECT_EQ(h, 4);
}

TEST_F(Textures, UpdatesReadTheRegionFromAWholeImage)
{
  const struct {
    int type, bpp;
  } kinds[] = {{VG_TEXTURE_RGBA, 4}, {VG_TEXTURE_ALPHA, 1}};
  for (const auto& k : kinds) {
    const int image = Create(k.type, 8, 4);
    std::vector<uint8_t> whole(size_t(8 * 4 * k.bpp));
    for (size_t i = 0; i < whole.size(); ++i)
      whole[i] = uint8_t(i * 7 + 1);
    ASSERT_TRUE(p->renderUpdateTexture(p->userPtr, image, 3, 1, 2, 2, whole.data()));
    std::vector<uint8_t> back(whole.size(), 0);
    mvgReadPixels(ctx, image, 0, 0, 8, 4, back.data());
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x)
        for (int c = 0; c < k.bpp; ++c) {
          const size_t i = size_t((y * 8 + x) * k.bpp + c);
          const bool inside = x >= 3 && x < 5 && y >= 1 && y < 3;
          EXPECT_EQ(back[i], inside ? whole[i] : 0) << x << "," << y;
        }
  }
}

TEST_F(Textures, SamplersFollowImageFlags)
{
  const struct {
    int flags;
    MTLSamplerMinMagFilter filter;
    MTLSamplerMipFilter mip;
    MTLSamplerAddressMode s, t;
  } table[] = {
    {0, MTLSamplerMinMagFilterLinear, MTLSamplerMipFilterNotMipmapped, 0, 0},
    {VG_IMAGE_NEAREST | VG_IMAGE_REPEATX, MTLSamplerMinMagFilterNearest, MTLSamplerMipFilterNotMipmapped, 2, 0},
    {VG_IMAGE_GENERATE_MIPMAPS | VG_IMAGE_REPEATY, MTLSamplerMinMagFilterLinear, MTLSamplerMipFilterLinear, 0, 2},
    {VG_IMAGE_GENERATE_MIPMAPS | VG_IMAGE_NEAREST, MTLSamplerMinMagFilterNearest, MTLSamplerMipFilterNearest, 0, 0},
  };
  std::vector<uint8_t> data(16 * 16 * 4, 200);
  for (const auto& row : table) {
    const auto* t = renderer()->findTexture(Create(VG_TEXTURE_RGBA, 16, 16, row.flags, data.data()));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->sampler->minFilter(), row.filter);
    EXPECT_EQ(t->sampler->magFilter(), row.filter);
    EXPECT_EQ(t->sampler->mipFilter(), row.mip);
    EXPECT_EQ(t->sampler->sAddressMode(), row.s);
    EXPECT_EQ(t->sampler->tAddressMode(), row.t);
    EXPECT_EQ(t->tex->mipmapLevelCount(), row.flags & VG_IMAGE_GENERATE_MIPMAPS ? 5u : 1u);
  }
}

TEST_F(Textures, FramebuffersAndClearColour)
{
  MVGframebuffer* fb = mvgCreateFramebuffer(ctx, 6, 5, VG_IMAGE_NEAREST);
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(fb->ctx, ctx);
  EXPECT_EQ(renderer()->findTexture(fb->image)->flags, VG_IMAGE_NEAREST | VG_IMAGE_PREMULTIPLIED);
  mvgBindFramebuffer(fb);
  EXPECT_EQ(mvgCurrentFramebuffer(), fb);
  mvgClearWithColor(ctx, vgRGBAf(1, 0, 0, 0.5f));
  EXPECT_EQ(renderer()->clearColor.red, 0.5);
  EXPECT_EQ(renderer()->clearColor.green, 0.0);
  EXPECT_EQ(renderer()->clearColor.alpha, 0.5);
  vgBeginFrame(ctx, 6, 5, 1);
  vgEndFrame(ctx);
  EXPECT_EQ(mvgtest::At(standin::TextureRGBA(mvgImageHandle(ctx, fb->image)), 6, 5, 4),
            (std::array<int, 4>{128, 0, 0, 128}));
  const int image = fb->image;
  mvgDeleteFramebuffer(fb);
  EXPECT_EQ(renderer()->findTexture(image), nullptr);
  EXPECT_EQ(mvgCurrentFramebuffer(), nullptr); // a deleted framebuffer does not stay bound
  EXPECT_EQ(mvgImageHandle(ctx, image), nullptr);
  EXPECT_EQ(mvgTarget(), 1);
  EXPECT_EQ(mvgDevice(ctx), layer->device());
  EXPECT_NE(mvgCommandQueue(ctx), nullptr);
}

TEST_F(Textures, WrappedHandlesDrawWithTheDefaultSamplerAndMayOutliveTheirImage)
{
  MTLTextureDescriptor* d =
    MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(MTLPixelFormatRGBA8Unorm, 2, 2, NO);
  MTLTexture* tex = mvgDevice(ctx)->newTextureWithDescriptor(d);
  const uint8_t green[16] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
  tex->replaceRegion(MTLRegionMake2D(0, 0, 2, 2), 0, green, 8);
  const NSUInteger before = tex->retainCount();
  const int image = mvgCreateImageFromHandle(ctx, tex, VG_IMAGE_NODELETE | VG_IMAGE_PREMULTIPLIED);
  ASSERT_GT(image, 0);
  EXPECT_EQ(renderer()->findTexture(image)->sampler, nullptr);

  vgBeginFrame(ctx, 32, 32, 1);
  vgBeginPath(ctx);
  vgRect(ctx, 0, 0, 32, 32);
  vgFillPaint(ctx, vgImagePattern(ctx, 0, 0, 32, 32, 0, image, 1));
  vgFill(ctx);
  vgEndFrame(ctx);
  EXPECT_EQ(mvgtest::At(Shown(), 32, 16, 16), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_TRUE(standin::GPUValidationErrors().empty());

  EXPECT_TRUE(p->renderDeleteTexture(p->userPtr, image));
  EXPECT_EQ(tex->retainCount(), before);
  tex->release();
}

} // namespace
