// What the tessellation covers, drawn by a software rasteriser: the summed
// coverage of a shape equals its area, edges are half covered, holes stay
// empty. Each case is written as a PNG under the build tree.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <functional>
#include <string>

#include "VGRaster.h"
#include "VGTestContext.h"

namespace vgtest {
namespace {

void WritePng(const RasterImage& img, const std::string& name)
{
  const std::string path = std::string(VG_TEST_OUTPUT_DIR) + "/" + name + ".png";
  const std::string tmp = path + ".part";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, img.w, img.h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<unsigned char> row(static_cast<size_t>(img.w) * 4);
  for (int y = 0; y < img.h; y++) {
    for (int x = 0; x < img.w; x++) img.Pixel(x, y, &row[static_cast<size_t>(x) * 4]);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  std::rename(tmp.c_str(), path.c_str());
}

class VGRasterTest : public VGTest {
protected:
  // Draws one frame at the ratio and rasterises it.
  const RasterImage& Draw(const char* name, float ratio, const std::function<void()>& body, int aa = 1)
  {
    Make(aa);
    vgBeginFrame(ctx, 200, 150, ratio);
    rec.Clear();
    body();
    vgEndFrame(ctx);
    Rasterize(rec, static_cast<int>(200 * ratio), static_cast<int>(150 * ratio), ratio, aa != 0, img);
    WritePng(img, std::string(name) + (ratio == 1 ? "" : "@2x"));
    return img;
  }
  RasterImage img;
};

TEST_F(VGRasterTest, summedCoverageEqualsTheShapesArea)
{
  struct Case { const char* name; double area; double tolerance; std::function<void(VGcontext*)> draw; };
  const Case cases[] = {
    {"vg_rect", 40.0 * 30, 0.002, [](VGcontext* c) { vgRect(c, 20.25f, 30.5f, 40, 30); vgFill(c); }},
    {"vg_circle", M_PI * 40 * 40, 0.01, [](VGcontext* c) { vgCircle(c, 100, 75, 40); vgFill(c); }},
    {"vg_hole", 100.0 * 100 - 50 * 50, 0.005, [](VGcontext* c) {
       vgRect(c, 50, 25, 100, 100);
       vgRect(c, 75, 50, 50, 50);
       vgPathWinding(c, VG_HOLE);
       vgFill(c);
     }},
    {"vg_rounded_rect", 120.0 * 80 - (4 - M_PI) * 15 * 15, 0.01, [](VGcontext* c) {
       vgRoundedRect(c, 40, 35, 120, 80, 15);
       vgFill(c);
     }},
    {"vg_ring_stroke", 2 * M_PI * 50 * 6, 0.02, [](VGcontext* c) {
       vgCircle(c, 100, 75, 50);
       vgStrokeWidth(c, 6);
       vgStroke(c);
     }},
    {"vg_line_butt", 150.0 * 4, 0.01, [](VGcontext* c) {
       vgMoveTo(c, 25, 75);
       vgLineTo(c, 175, 75);
       vgStrokeWidth(c, 4);
       vgStroke(c);
     }},
    {"vg_line_square", (150.0 + 4) * 4, 0.01, [](VGcontext* c) {
       vgMoveTo(c, 25, 75);
       vgLineTo(c, 175, 75);
       vgStrokeWidth(c, 4);
       vgLineCap(c, VG_SQUARE);
       vgStroke(c);
     }},
    {"vg_line_round", 150.0 * 10 + M_PI * 25, 0.01, [](VGcontext* c) {
       vgMoveTo(c, 25, 75);
       vgLineTo(c, 175, 75);
       vgStrokeWidth(c, 10);
       vgLineCap(c, VG_ROUND);
       vgStroke(c);
     }},
  };
  for (float ratio : {1.0f, 2.0f}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << c.name << " ratio " << ratio);
      const RasterImage& out = Draw(c.name, ratio, [&] {
        vgBeginPath(ctx);
        vgFillColor(ctx, vgRGB(40, 90, 200));
        vgStrokeColor(ctx, vgRGB(200, 60, 30));
        c.draw(ctx);
      });
      EXPECT_NEAR(out.AlphaSum() / (ratio * ratio) / c.area, 1.0, c.tolerance);
    }
  }
}

TEST_F(VGRasterTest, edgesHolesAndGradientsWhereExpected)
{
  const RasterImage& out = Draw("vg_scene", 1, [&] {
    vgBeginPath(ctx);
    vgRect(ctx, 10.5f, 10, 80, 40); // left edge through pixel centres
    vgFillPaint(ctx, vgLinearGradient(ctx, 10, 0, 90, 0, vgRGB(255, 0, 0), vgRGB(0, 0, 255)));
    vgFill(ctx);
    vgBeginPath(ctx);
    vgRect(ctx, 110, 10, 80, 80);
    vgCircle(ctx, 150, 50, 20);
    vgPathWinding(ctx, VG_HOLE);
    vgFillColor(ctx, vgRGB(0, 160, 0));
    vgFill(ctx);
    vgBeginPath(ctx);
    vgScissor(ctx, 10, 100, 40, 40);
    vgRect(ctx, 0, 90, 100, 60);
    vgFillColor(ctx, vgRGB(0, 0, 0));
    vgFill(ctx);
  });
  unsigned char px[4];
  EXPECT_NEAR(out.Alpha(10, 30), 0.5, 0.02); // half-covered edge pixel
  EXPECT_EQ(out.Alpha(9, 30), 0.0f);
  EXPECT_NEAR(out.Alpha(11, 30), 1.0, 1e-6);
  out.Pixel(12, 30, px);
  EXPECT_GT(px[0], 240);
  out.Pixel(88, 30, px);
  EXPECT_GT(px[2], 240);
  out.Pixel(50, 30, px);
  EXPECT_NEAR(px[0], 128, 6); // half way along the gradient
  EXPECT_EQ(out.Alpha(150, 50), 0.0f);            // the hole
  EXPECT_NEAR(out.Alpha(115, 15), 1.0, 1e-6);     // outside the hole
  EXPECT_NEAR(out.Alpha(20, 120), 1.0, 1e-6);     // inside the scissor
  EXPECT_EQ(out.Alpha(60, 120), 0.0f);            // the rectangle goes on, the scissor stops it
  EXPECT_EQ(out.Alpha(20, 95), 0.0f);
}

} // namespace
} // namespace vgtest
