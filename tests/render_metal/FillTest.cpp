// Fills beyond convex shapes and axis-aligned gradients: a concave outline, a
// shape with a hole, and gradients at an angle, each drawn by the renderer
// and by Cairo.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "MetalTestCard.h"
#include "MetalTestKit.h"

namespace {

constexpr int kW = 120, kH = 90;

struct Scene {
  const char* name;
  std::function<void(VGcontext*)> vg;
  std::function<void(cairo_t*)> cairo;
};

void Polygon(VGcontext* ctx, const std::vector<float>& xy)
{
  vgMoveTo(ctx, xy[0], xy[1]);
  for (size_t i = 2; i < xy.size(); i += 2)
    vgLineTo(ctx, xy[i], xy[i + 1]);
  vgClosePath(ctx);
}

void Polygon(cairo_t* cr, const std::vector<float>& xy)
{
  cairo_move_to(cr, xy[0], xy[1]);
  for (size_t i = 2; i < xy.size(); i += 2)
    cairo_line_to(cr, xy[i], xy[i + 1]);
  cairo_close_path(cr);
}

const std::vector<float> kArrow = {10, 10, 110, 10, 110, 80, 60, 35, 10, 80};
const std::vector<float> kNotched = {10, 45, 40, 10, 60, 40, 80, 10, 110, 45, 60, 85};
const std::vector<float> kOuter = {10, 10, 110, 10, 110, 80, 10, 80}, kInner = {35, 25, 85, 25, 85, 65, 35, 65};

void CairoRamp(cairo_pattern_t* p)
{
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.85, 0);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.1, 0.15, 0.8);
}

std::vector<uint8_t> DrawWithCairo(const Scene& scene)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  scene.cairo(cr);
  cairo_surface_flush(s);
  std::vector<uint8_t> rgba(size_t(kW) * kH * 4);
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      const uint32_t p =
        reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
      uint8_t* o = &rgba[(size_t(y) * kW + x) * 4];
      o[0] = uint8_t(p >> 16), o[1] = uint8_t(p >> 8), o[2] = uint8_t(p), o[3] = uint8_t(p >> 24);
    }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return rgba;
}

using Fills = mvgtest::MetalFixture;

TEST_F(Fills, ConcaveShapesHolesAndAngledGradientsMatchCairo)
{
  const VGcolor fill = vgRGB(40, 80, 220);
  auto solid = [fill](const std::vector<float>& xy) {
    return [fill, xy](VGcontext* c) {
      vgBeginPath(c);
      Polygon(c, xy);
      vgFillColor(c, fill);
      vgFill(c);
    };
  };
  auto cairoSolid = [](const std::vector<float>& xy) {
    return [xy](cairo_t* cr) {
      Polygon(cr, xy);
      cairo_set_source_rgb(cr, 40 / 255.0, 80 / 255.0, 220 / 255.0);
      cairo_fill(cr);
    };
  };
  const VGcolor a = vgRGBf(1, 0.85f, 0), b = vgRGBf(0.1f, 0.15f, 0.8f);
  const Scene scenes[] = {
    {"fill_concave_arrow", solid(kArrow), cairoSolid(kArrow)},
    {"fill_concave_notched", solid(kNotched), cairoSolid(kNotched)},
    {"fill_hole",
     [&](VGcontext* c) {
       vgBeginPath(c);
       Polygon(c, kOuter);
       Polygon(c, kInner);
       vgPathWinding(c, VG_HOLE);
       vgFillColor(c, fill);
       vgFill(c);
     },
     [](cairo_t* cr) {
       Polygon(cr, kOuter);
       Polygon(cr, kInner);
       cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
       cairo_set_source_rgb(cr, 40 / 255.0, 80 / 255.0, 220 / 255.0);
       cairo_fill(cr);
     }},
    {"fill_gradient_diagonal",
     [&](VGcontext* c) {
       vgBeginPath(c);
       vgRect(c, 5, 5, 110, 80);
       vgFillPaint(c, vgLinearGradient(c, 20, 80, 100, 10, a, b));
       vgFill(c);
     },
     [](cairo_t* cr) {
       cairo_pattern_t* p = cairo_pattern_create_linear(20, 80, 100, 10);
       CairoRamp(p);
       cairo_rectangle(cr, 5, 5, 110, 80);
       cairo_set_source(cr, p);
       cairo_fill(cr);
       cairo_pattern_destroy(p);
     }},
    {"fill_gradient_rotated",
     [&](VGcontext* c) {
       vgTranslate(c, 60, 45);
       vgRotate(c, 0.6f);
       vgBeginPath(c);
       vgRect(c, -40, -25, 80, 50);
       vgFillPaint(c, vgLinearGradient(c, -40, 0, 40, 0, a, b));
       vgFill(c);
     },
     [](cairo_t* cr) {
       cairo_translate(cr, 60, 45);
       cairo_rotate(cr, 0.6);
       cairo_pattern_t* p = cairo_pattern_create_linear(-40, 0, 40, 0);
       CairoRamp(p);
       cairo_rectangle(cr, -40, -25, 80, 50);
       cairo_set_source(cr, p);
       cairo_fill(cr);
       cairo_pattern_destroy(p);
     }},
    {"fill_radial_off_centre",
     [&](VGcontext* c) {
       vgBeginPath(c);
       vgRect(c, 5, 5, 110, 80);
       vgFillPaint(c, vgRadialGradient(c, 40, 30, 5, 50, a, b));
       vgFill(c);
     },
     [](cairo_t* cr) {
       cairo_pattern_t* p = cairo_pattern_create_radial(40, 30, 5, 40, 30, 50);
       CairoRamp(p);
       cairo_rectangle(cr, 5, 5, 110, 80);
       cairo_set_source(cr, p);
       cairo_fill(cr);
       cairo_pattern_destroy(p);
     }},
  };
  for (const Scene& scene : scenes) {
    ASSERT_NE(Open(kW, kH), nullptr);
    mvgClearWithColor(ctx, vgRGB(255, 255, 255));
    vgBeginFrame(ctx, kW, kH, 1);
    scene.vg(ctx);
    vgEndFrame(ctx);
    const std::vector<uint8_t> shown = Shown(), cairo = DrawWithCairo(scene);
    ASSERT_EQ(shown.size(), cairo.size());
    mvgcard::WriteRGBAPng(shown, kW, kH, mvgtest::OutputPath(std::string(scene.name) + ".png"));
    mvgcard::WriteRGBAPng(cairo, kW, kH, mvgtest::OutputPath(std::string(scene.name) + "_cairo.png"));
    // Away from edges (where Cairo's neighbourhood spans more than a
    // gradient's few levels) the two agree within a level or two; at edges
    // only antialiasing differs.
    int interiorWorst = 0, edgeWorst = 0;
    double total = 0;
    for (int y = 0; y < kH; y++)
      for (int x = 0; x < kW; x++) {
        int spread = 0;
        for (int c = 0; c < 3; c++) {
          int lo = 255, hi = 0;
          for (int j = std::max(0, y - 1); j <= std::min(kH - 1, y + 1); j++)
            for (int i = std::max(0, x - 1); i <= std::min(kW - 1, x + 1); i++) {
              lo = std::min(lo, int(cairo[(size_t(j) * kW + i) * 4 + c]));
              hi = std::max(hi, int(cairo[(size_t(j) * kW + i) * 4 + c]));
            }
          spread = std::max(spread, hi - lo);
        }
        for (int c = 0; c < 4; c++) {
          const int d = std::abs(int(shown[(size_t(y) * kW + x) * 4 + c]) - int(cairo[(size_t(y) * kW + x) * 4 + c]));
          total += d;
          (spread > 12 ? edgeWorst : interiorWorst) = std::max(spread > 12 ? edgeWorst : interiorWorst, d);
        }
      }
    EXPECT_LE(interiorWorst, 2) << scene.name;
    EXPECT_LE(edgeWorst, 80) << scene.name;
    EXPECT_LE(total / (kW * kH * 4), 0.5) << scene.name;
    Close();
  }
}

} // namespace
