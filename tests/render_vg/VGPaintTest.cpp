// Colours, paints, composite operations, scissor and images.
#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "VGTestContext.h"

namespace vgtest {
namespace {

void ExpectXform(const float* got, std::initializer_list<float> want)
{
  int i = 0;
  for (float w : want) {
    EXPECT_NEAR(got[i], w, 1e-3f) << "xform[" << i << "]";
    i++;
  }
}

TEST(VGPaint, GradientsFromTheirGeometry)
{
  const VGcolor a = vgRGBf(1, 0, 0), b = vgRGBAf(0, 0, 1, 0.5f);

  VGpaint p = vgLinearGradient(nullptr, 0, 0, 10, 0, a, b);
  ExpectXform(p.xform, {0, -1, 1, 0, -100000, 0});
  EXPECT_FLOAT_EQ(p.extent[0], 100000);
  EXPECT_FLOAT_EQ(p.extent[1], 100005);
  EXPECT_FLOAT_EQ(p.feather, 10);
  EXPECT_EQ(p.innerColor.r, 1.0f);
  EXPECT_EQ(p.outerColor.a, 0.5f);
  EXPECT_EQ(p.image, 0);

  // Both ends equal: the fixed direction (0, 1), no division by zero.
  p = vgLinearGradient(nullptr, 3, 4, 3, 4, a, b);
  ExpectXform(p.xform, {1, 0, 0, 1, 3, 4 - 100000});
  EXPECT_FLOAT_EQ(p.feather, 1);
  EXPECT_FLOAT_EQ(p.extent[1], 100000);

  p = vgRadialGradient(nullptr, 5, 6, 10, 10, a, b);
  EXPECT_FLOAT_EQ(p.feather, 1);
  EXPECT_FLOAT_EQ(p.radius, 10);
  EXPECT_FLOAT_EQ(p.extent[0], 10);
  ExpectXform(p.xform, {1, 0, 0, 1, 5, 6});
  p = vgRadialGradient(nullptr, 0, 0, 10, 30, a, b);
  EXPECT_FLOAT_EQ(p.radius, 20);
  EXPECT_FLOAT_EQ(p.feather, 20);

  p = vgBoxGradient(nullptr, 10, 20, 100, 40, 6, 0, a, b);
  EXPECT_FLOAT_EQ(p.feather, 1);
  EXPECT_FLOAT_EQ(p.radius, 6);
  EXPECT_FLOAT_EQ(p.extent[0], 50);
  EXPECT_FLOAT_EQ(p.extent[1], 20);
  ExpectXform(p.xform, {1, 0, 0, 1, 60, 40});

  p = vgImagePattern(nullptr, 7, 8, 32, 16, VG_PI / 2, 3, 0.25f);
  ExpectXform(p.xform, {0, 1, -1, 0, 7, 8});
  EXPECT_EQ(p.image, 3);
  EXPECT_EQ(p.feather, 0.0f);
  EXPECT_EQ(p.innerColor.a, 0.25f);
  EXPECT_EQ(p.outerColor.g, 1.0f);
}

TEST(VGPaint, ColoursFromBytesHueAndLerp)
{
  VGcolor c = vgRGBA(255, 0, 51, 102);
  EXPECT_FLOAT_EQ(c.r, 1);
  EXPECT_FLOAT_EQ(c.b, 0.2f);
  EXPECT_FLOAT_EQ(c.a, 0.4f);
  EXPECT_EQ(vgRGB(1, 2, 3).a, 1.0f);
  EXPECT_FLOAT_EQ(vgTransRGBA(c, 51).a, 0.2f);
  EXPECT_EQ(vgTransRGBAf(c, 0.7f).a, 0.7f);

  // Hue table against the textbook HSL conversion.
  struct Case {
    float h, s, l;
    float r, g, b;
  };
  const Case cases[] = {
    {0, 1, 0.5f, 1, 0, 0},
    {1.0f / 3, 1, 0.5f, 0, 1, 0},
    {2.0f / 3, 1, 0.5f, 0, 0, 1},
    {-0.25f, 1, 0.5f, 0.5f, 0, 1}, // hue 0.75
    {0.5f, 0.5f, 0.25f, 0.125f, 0.375f, 0.375f},
    {0.1f, 2, -1, 0, 0, 0}, // s and l clamped
  };
  for (const Case& k : cases) {
    const VGcolor h = vgHSLA(k.h, k.s, k.l, 255);
    EXPECT_NEAR(h.r, k.r, 1e-6) << k.h;
    EXPECT_NEAR(h.g, k.g, 1e-6) << k.h;
    EXPECT_NEAR(h.b, k.b, 1e-6) << k.h;
    EXPECT_EQ(h.a, 1.0f);
  }
  EXPECT_FLOAT_EQ(vgHSL(0, 0, 1).g, 1);

  const VGcolor a = vgRGBAf(0, 0.5f, 1, 0), b = vgRGBAf(1, 1, 0, 1);
  const VGcolor two = vgLerpRGBA(a, b, 2), mid = vgLerpRGBA(a, b, 0.5f), neg = vgLerpRGBA(a, b, -1);
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(two[i], b[i]);
    EXPECT_EQ(neg[i], a[i]);
    EXPECT_FLOAT_EQ(mid[i], (a[i] + b[i]) / 2);
  }
}

TEST_F(VGTest, CompositeOperationsGiveTheirFactorPairs)
{
  const int table[][2] = {
    {VG_ONE, VG_ONE_MINUS_SRC_ALPHA},
    {VG_DST_ALPHA, VG_ZERO},
    {VG_ONE_MINUS_DST_ALPHA, VG_ZERO},
    {VG_DST_ALPHA, VG_ONE_MINUS_SRC_ALPHA},
    {VG_ONE_MINUS_DST_ALPHA, VG_ONE},
    {VG_ZERO, VG_SRC_ALPHA},
    {VG_ZERO, VG_ONE_MINUS_SRC_ALPHA},
    {VG_ONE_MINUS_DST_ALPHA, VG_SRC_ALPHA},
    {VG_ONE, VG_ONE},
    {VG_ONE, VG_ZERO},
    {VG_ONE_MINUS_DST_ALPHA, VG_ONE_MINUS_SRC_ALPHA},
  };
  EXPECT_EQ(VG_ONE_MINUS_SRC_ALPHA, 128);
  EXPECT_EQ(VG_SRC_ALPHA_SATURATE, 1024);
  for (int op = -1; op <= 11; op++) {
    vgGlobalCompositeOperation(ctx, op);
    const int s = (op < 0 || op > 10) ? 2 : table[op][0];
    const int d = (op < 0 || op > 10) ? 1 : table[op][1];
    const VGcompositeOperationState st = State()->compositeOperation;
    EXPECT_EQ(st.srcRGB, s) << op;
    EXPECT_EQ(st.dstRGB, d) << op;
    EXPECT_EQ(st.srcAlpha, s) << op;
    EXPECT_EQ(st.dstAlpha, d) << op;
  }
  vgGlobalCompositeBlendFunc(ctx, VG_SRC_COLOR, VG_DST_COLOR);
  EXPECT_EQ(State()->compositeOperation.srcAlpha, VG_SRC_COLOR);
  EXPECT_EQ(State()->compositeOperation.dstAlpha, VG_DST_COLOR);
  vgGlobalCompositeBlendFuncSeparate(ctx, 1, 2, 4, 8);
  EXPECT_EQ(State()->compositeOperation.srcRGB, 1);
  EXPECT_EQ(State()->compositeOperation.dstRGB, 2);
  EXPECT_EQ(State()->compositeOperation.srcAlpha, 4);
  EXPECT_EQ(State()->compositeOperation.dstAlpha, 8);

  // The state's operation reaches the renderer with the fill.
  vgGlobalCompositeOperation(ctx, VG_LIGHTER);
  vgBeginPath(ctx);
  vgRect(ctx, 0, 0, 5, 5);
  vgFill(ctx);
  EXPECT_EQ(rec.Last(ECall::Fill)->op.dstRGB, VG_ONE);
}

TEST_F(VGTest, ScissorEdgeCases)
{
  vgScissor(ctx, 10, 10, -5, 20);
  EXPECT_EQ(State()->scissor.extent[0], 0.0f); // clips everything, not "no scissor"
  EXPECT_EQ(State()->scissor.extent[1], 10.0f);

  vgResetScissor(ctx);
  vgIntersectScissor(ctx, 0, 0, 100, 100); // no scissor yet: plain set
  vgIntersectScissor(ctx, 50, 50, 100, 100);
  EXPECT_FLOAT_EQ(State()->scissor.xform[4], 75);
  EXPECT_FLOAT_EQ(State()->scissor.xform[5], 75);
  EXPECT_FLOAT_EQ(State()->scissor.extent[0], 25);
  EXPECT_FLOAT_EQ(State()->scissor.extent[1], 25);

  vgIntersectScissor(ctx, 300, 300, 10, 10);
  EXPECT_EQ(State()->scissor.extent[0], 0.0f);
  EXPECT_EQ(State()->scissor.extent[1], 0.0f);

  // Set under a translation, the scissor stays where it was set.
  vgResetScissor(ctx);
  vgTranslate(ctx, 20, 30);
  vgScissor(ctx, 0, 0, 10, 10);
  EXPECT_FLOAT_EQ(State()->scissor.xform[4], 25);
  EXPECT_FLOAT_EQ(State()->scissor.xform[5], 35);
  // A rotated scissor is widened to its bounding box before intersecting.
  vgResetTransform(ctx);
  vgResetScissor(ctx);
  vgTranslate(ctx, 50, 50);
  vgRotate(ctx, VG_PI / 4);
  vgScissor(ctx, -10, -10, 20, 20);
  vgResetTransform(ctx);
  vgIntersectScissor(ctx, 0, 0, 1000, 1000);
  const float half = 10 * std::sqrt(2.0f);
  EXPECT_NEAR(State()->scissor.extent[0], half, 1e-4);
  EXPECT_NEAR(State()->scissor.xform[4], 50, 1e-4);
  EXPECT_EQ(State()->scissor.xform[1], 0.0f);

  // A skewed one likewise: x spans 10 + 10 tan 0.5 either side.
  vgResetScissor(ctx);
  vgSkewX(ctx, 0.5f);
  vgScissor(ctx, -10, -10, 20, 20);
  vgResetTransform(ctx);
  vgIntersectScissor(ctx, -1000, -1000, 2000, 2000);
  EXPECT_NEAR(State()->scissor.extent[0], 10 + 10 * std::tan(0.5f), 1e-4);
  EXPECT_NEAR(State()->scissor.extent[1], 10, 1e-4);

  vgResetScissor(ctx);
  EXPECT_EQ(State()->scissor.extent[0], -1.0f);
  EXPECT_EQ(State()->scissor.xform[0], 0.0f);
}

TEST_F(VGTest, PaintsAreFixedInTheUserSpaceOfTheirSetting)
{
  vgTranslate(ctx, 100, 0);
  vgFillPaint(ctx, vgBoxGradient(ctx, 0, 0, 10, 10, 0, 1, vgRGBf(1, 1, 1), vgRGBf(0, 0, 0)));
  vgStrokePaint(ctx, vgRadialGradient(ctx, 1, 2, 3, 4, vgRGBf(1, 1, 1), vgRGBf(0, 0, 0)));
  vgScale(ctx, 3, 3);
  EXPECT_FLOAT_EQ(State()->fill.xform[4], 105);
  EXPECT_FLOAT_EQ(State()->fill.xform[0], 1);
  EXPECT_FLOAT_EQ(State()->stroke.xform[4], 101);

  // Global alpha scales what the renderer receives, not the state.
  vgFillColor(ctx, vgRGBAf(0.2f, 0.4f, 0.6f, 0.8f));
  vgGlobalAlpha(ctx, 0.5f);
  vgBeginPath(ctx);
  vgRect(ctx, 0, 0, 5, 5);
  vgFill(ctx);
  EXPECT_FLOAT_EQ(rec.Last(ECall::Fill)->paint.innerColor.a, 0.4f);
  EXPECT_FLOAT_EQ(rec.Last(ECall::Fill)->paint.outerColor.a, 0.4f);
  EXPECT_FLOAT_EQ(State()->fill.innerColor.a, 0.8f);
}

// A 2 x 1 RGBA PNG written by libpng into memory.
std::vector<unsigned char> TwoPixelPng()
{
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
    png, &out,
    [](png_structp p, png_bytep data, png_size_t n) {
      auto* v = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(p));
      v->insert(v->end(), data, data + n);
    },
    nullptr);
  png_set_IHDR(png, info, 2, 1, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  unsigned char row[8] = {200, 100, 50, 255, 40, 80, 120, 128};
  png_write_row(png, row);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST_F(VGTest, ImagesGoToTheRendererAsStraightAlphaRgba)
{
  std::vector<unsigned char> png = TwoPixelPng();
  const int image = vgCreateImageMem(ctx, 6, png.data(), static_cast<int>(png.size()));
  ASSERT_NE(image, 0);
  const Texture* t = rec.FindTexture(image);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->type, VG_TEXTURE_RGBA);
  EXPECT_EQ(t->imageFlags, 6);
  EXPECT_EQ(t->w, 2);
  EXPECT_EQ(t->h, 1);
  const std::vector<uint8_t> want = {200, 100, 50, 255, 40, 80, 120, 128};
  EXPECT_EQ(t->data, want);

  const std::string path = ::testing::TempDir() + "vg_two_pixels_" + std::to_string(getpid()) + ".png";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);
  const int fromFile = vgCreateImage(ctx, path.c_str(), 0);
  std::remove(path.c_str());
  ASSERT_NE(fromFile, 0);
  EXPECT_EQ(rec.FindTexture(fromFile)->data, want);

  int w = 0, h = 0;
  vgImageSize(ctx, image, &w, &h);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 1);
  const uint8_t fresh[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  vgUpdateImage(ctx, image, fresh);
  const RecordedCall* up = rec.Last(ECall::UpdateTexture);
  EXPECT_EQ(up->x, 0);
  EXPECT_EQ(up->w, 2);
  EXPECT_EQ(up->h, 1);
  EXPECT_EQ(rec.FindTexture(image)->data[7], 8);
  vgDeleteImage(ctx, image);
  EXPECT_EQ(rec.FindTexture(image), nullptr);

  // Bad input yields image 0 and no texture.
  const size_t textures = rec.textures.size();
  unsigned char junk[16] = {0x89, 'P', 'N', 'G'};
  EXPECT_EQ(vgCreateImageMem(ctx, 0, junk, sizeof(junk)), 0);
  EXPECT_EQ(vgCreateImageMem(ctx, 0, png.data(), 30), 0); // cut short
  EXPECT_EQ(vgCreateImage(ctx, "/nonexistent/none.png", 0), 0);
  EXPECT_EQ(rec.textures.size(), textures);
}

} // namespace
} // namespace vgtest
