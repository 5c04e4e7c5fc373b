// Shapes, a gradient, a bitmap, text and a shadowed layer drawn through the
// graphics context into the view, looked at pixel by pixel and against
// Cairo drawing the same shapes.

#include <cairo.h>

#include <cmath>
#include <cstdlib>

#include "BackendFixture.h"
#include "TestImageCodec.h"

namespace backendtest {
namespace {

constexpr int kW = 200, kH = 150;
const IRECT kTextRect(110, 100, 195, 135);
const IRECT kLayerRect(50, 95, 105, 148);
const IRECT kBitmapRect(10, 100, 26, 116);

// A 16 x 16 checker of red and translucent yellow, straight alpha.
testsupport::RGBAImage Checker()
{
  testsupport::RGBAImage img;
  img.w = img.h = 16;
  img.px.resize(16 * 16 * 4);
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) {
      uint8_t* p = &img.px[(y * 16 + x) * 4];
      const bool odd = ((x / 4) + (y / 4)) % 2;
      p[0] = 255;
      p[1] = odd ? 255 : 0;
      p[2] = 0;
      p[3] = odd ? 128 : 255;
    }
  return img;
}

// Horizontal black-to-white from x0 to x1 as the core writes it: the inverse
// of the matrix maps (0, 0) to the start and (0, 1) to the end.
IPattern Horizontal(float x0, float x1, float y)
{
  IPattern p(kLinearPattern);
  p.mNStops = 2;
  p.mStops[0] = {IColor(255, 0, 0, 0), 0.f};
  p.mStops[1] = {IColor(255, 255, 255, 255), 1.f};
  const double len = x1 - x0;
  p.mTransform = IMatrix(0, 1.0 / len, 1, 0, -y, -x0 / len);
  return p;
}

class DrawingPixels : public BackendFixture {
protected:
  void SetUp() override { g = Open(dlg, kW, kH); }

  void DrawScene(const IBitmap& bitmap)
  {
    Frame([&](IGraphics& g) {
      g.FillRect(IColor(255, 255, 255, 255), g.GetBounds());
      g.FillRect(IColor(255, 220, 30, 30), IRECT(10, 10, 60, 50));
      g.FillCircle(IColor(255, 30, 60, 220), 100, 30, 20);
      g.DrawLine(IColor(255, 20, 160, 40), 10, 70, 90, 70, nullptr, 4);
      g.FillRectPattern(Horizontal(120, 190, 75), IRECT(120, 60, 190, 90));
      g.DrawBitmap(bitmap, kBitmapRect, 0, 0, nullptr);
      g.DrawText(IText(16, IColor(255, 0, 0, 0), "Roboto-Regular"), "Vorelle", kTextRect);

      g.StartLayer(nullptr, kLayerRect);
      g.FillRoundRect(IColor(255, 250, 140, 20), IRECT(60, 100, 90, 130), 4);
      ILayerPtr layer = g.EndLayer();
      IShadow shadow;
      shadow.mPattern = IPattern(IColor(255, 0, 0, 0));
      shadow.mBlurSize = 2;
      shadow.mXOffset = shadow.mYOffset = 6;
      shadow.mOpacity = 0.75f;
      g.ApplyLayerDropShadow(layer, shadow);
      g.DrawLayer(layer);
    });
  }

  // The same shapes, gradient and bitmap in Cairo (no text, no layer).
  static std::vector<uint8_t> CairoScene(const testsupport::RGBAImage& checker)
  {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 220 / 255.0, 30 / 255.0, 30 / 255.0);
    cairo_rectangle(cr, 10, 10, 50, 40);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 30 / 255.0, 60 / 255.0, 220 / 255.0);
    cairo_arc(cr, 100, 30, 20, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 20 / 255.0, 160 / 255.0, 40 / 255.0);
    cairo_set_line_width(cr, 4);
    cairo_move_to(cr, 10, 70);
    cairo_line_to(cr, 90, 70);
    cairo_stroke(cr);
    cairo_pattern_t* lin = cairo_pattern_create_linear(120, 75, 190, 75);
    cairo_pattern_add_color_stop_rgb(lin, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgb(lin, 1, 1, 1, 1);
    cairo_set_source(cr, lin);
    cairo_rectangle(cr, 120, 60, 70, 30);
    cairo_fill(cr);
    cairo_pattern_destroy(lin);
    // Cairo wants premultiplied native-endian ARGB.
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, checker.w, checker.h);
    cairo_surface_flush(img);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
    const int stride = cairo_image_surface_get_stride(img) / 4;
    for (int y = 0; y < checker.h; y++)
      for (int x = 0; x < checker.w; x++) {
        const uint8_t* p = &checker.px[(y * checker.w + x) * 4];
        const uint32_t a = p[3];
        const auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
        data[y * stride + x] = (a << 24) | (pm(p[0]) << 16) | (pm(p[1]) << 8) | pm(p[2]);
      }
    cairo_surface_mark_dirty(img);
    cairo_set_source_surface(cr, img, kBitmapRect.L, kBitmapRect.T);
    cairo_rectangle(cr, kBitmapRect.L, kBitmapRect.T, kBitmapRect.W(), kBitmapRect.H());
    cairo_fill(cr);
    cairo_surface_destroy(img);
    cairo_surface_flush(s);

    std::vector<uint8_t> rgb(kW * kH * 3);
    const auto* out = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s));
    const int ostride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < kH; y++)
      for (int x = 0; x < kW; x++) {
        const uint32_t v = out[y * ostride + x];
        rgb[(y * kW + x) * 3 + 0] = (v >> 16) & 255;
        rgb[(y * kW + x) * 3 + 1] = (v >> 8) & 255;
        rgb[(y * kW + x) * 3 + 2] = v & 255;
      }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return rgb;
  }
};

TEST_F(DrawingPixels, SceneLandsInTheViewAndMatchesCairo)
{
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  const testsupport::RGBAImage checker = Checker();
  IGraphicsVG::Bitmap pixels(static_cast<VGcontext*>(g->GetDrawContext()), 16, 16, checker.px.data(), 1.f, 1.f);
  const IBitmap bitmap(&pixels, 1, false, "checker");
  DrawScene(bitmap);
  WriteShown("backend_scene.png", kW, kH);

  struct {
    int x, y;
    std::vector<int> rgba;
    int tol;
  } probes[] = {
    {30, 30, {220, 30, 30, 255}, 1},    // rect
    {100, 30, {30, 60, 220, 255}, 1},   // circle centre
    {100, 8, {255, 255, 255, 255}, 1},  // above the circle
    {50, 70, {20, 160, 40, 255}, 1},    // line
    {50, 74, {255, 255, 255, 255}, 1},  // below the line's half width
    {121, 75, {2, 2, 2, 255}, 6},       // gradient start
    {189, 75, {253, 253, 253, 255}, 6}, // gradient end
    {155, 75, {128, 128, 128, 255}, 6}, // gradient middle
    {11, 101, {255, 0, 0, 255}, 1},     // bitmap: opaque red cell
    {15, 101, {255, 255, 128, 255}, 2}, // translucent yellow over white
    {75, 115, {250, 140, 20, 255}, 2},  // layer content over its shadow
    {52, 97, {255, 255, 255, 255}, 1},  // layer corner: neither
  };
  for (const auto& p : probes) {
    const std::vector<int> got = Shown(p.x, p.y);
    for (int k = 0; k < 4; k++)
      EXPECT_NEAR(got[k], p.rgba[k], p.tol) << "pixel " << p.x << "," << p.y << " channel " << k;
  }

  // The shadow: below right of the content, dark grey at 0.75 of black, fading out.
  const std::vector<int> shadow = Shown(93, 133);
  EXPECT_LT(shadow[0], 140);
  EXPECT_GT(shadow[0], 40);
  EXPECT_EQ(shadow[0], shadow[2]);
  EXPECT_GT(Shown(103, 146)[0], shadow[0]);

  // Text: dark ink inside the measured extent, none outside it.
  IRECT measured = kTextRect;
  g->MeasureText(IText(16, IColor(255, 0, 0, 0), "Roboto-Regular"), "Vorelle", measured);
  int ink = 0, stray = 0;
  for (int y = static_cast<int>(kTextRect.T); y < kTextRect.B; y++)
    for (int x = static_cast<int>(kTextRect.L); x < kTextRect.R; x++) {
      const bool dark = Shown(x, y)[0] < 128;
      const bool inside = x >= measured.L - 1 && x < measured.R + 1 && y >= measured.T - 1 && y < measured.B + 1;
      (inside ? ink : stray) += dark;
    }
  EXPECT_GT(ink, 60);
  EXPECT_EQ(stray, 0);

  // Cairo: the same shapes, outside the text and the layer.
  const std::vector<uint8_t> ref = CairoScene(checker);
  double sum = 0;
  int n = 0, far = 0;
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      if (kTextRect.Contains(x + 0.5f, y + 0.5f) || kLayerRect.Contains(x + 0.5f, y + 0.5f))
        continue;
      const std::vector<int> got = Shown(x, y);
      for (int k = 0; k < 3; k++) {
        const int d = std::abs(got[k] - ref[(y * kW + x) * 3 + k]);
        sum += d;
        far += d > 48;
      }
      n += 3;
    }
  EXPECT_LT(sum / n, 0.5) << "mean difference from Cairo";
  EXPECT_LT(far, 40) << "channels far from Cairo (antialiased edges only)";
}

TEST_F(DrawingPixels, HalfWeightHalvesSolidGradientBitmapTextAndShadowAlpha)
{
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  const IBlend half{kBlendDefault, 0.5f};
  const testsupport::RGBAImage checker = Checker();
  IGraphicsVG::Bitmap pixels(static_cast<VGcontext*>(g->GetDrawContext()), 16, 16, checker.px.data(), 1.f, 1.f);
  const IBitmap bitmap(&pixels, 1, false, "checker");
  Frame([&](IGraphics& g) {
    g.FillRect(IColor(255, 0, 0, 0), IRECT(0, 0, 20, 20), &half);
    g.FillRectPattern(Horizontal(20, 40, 10), IRECT(20, 0, 40, 20), &half);
    g.DrawBitmap(bitmap, IRECT(40, 0, 56, 16), 0, 0, &half);
    g.DrawFastDropShadow(IRECT(70, 0, 90, 20), IRECT(60, 0, 100, 30), 0, 0, 0.01f, &half);
    g.DrawText(IText(40, IColor(255, 0, 0, 0), "Roboto-Regular"), "I", IRECT(100, 0, 140, 50), &half);
  });
  EXPECT_NEAR(Shown(10, 10)[3], 128, 1);
  EXPECT_NEAR(Shown(20, 10)[3], 128, 3);
  EXPECT_NEAR(Shown(41, 1)[3], 128, 1);
  EXPECT_NEAR(Shown(80, 10)[3], 64, 2);
  int textAlpha = 0;
  for (int x = 100; x < 140; x++)
    textAlpha = std::max(textAlpha, Shown(x, 25)[3]);
  EXPECT_NEAR(textAlpha, 128, 2);
}

} // namespace
} // namespace backendtest
