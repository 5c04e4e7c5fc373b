// What the tessellation covers, drawn by a software rasteriser: the summed
// coverage of a shape equals its area, edges are half covered, holes stay
// empty. Each case is written as a PNG under the build tree.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
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
    for (int x = 0; x < img.w; x++)
      img.Pixel(x, y, &row[static_cast<size_t>(x) * 4]);
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

TEST_F(VGRasterTest, AStarDrawnWithOnePathIsFilledThroughTheStencil)
{
  // A five-pointed star drawn in one stroke turns left at every point, but
  // twice round: no convex shape. With the non-zero rule its inner pentagon
  // (wound twice) is filled as well as the points; the notches stay empty.
  auto star = [&](int step) {
    vgBeginPath(ctx);
    for (int i = 0; i < 5; i++) {
      const double a = -VG_PI / 2 + i * step * VG_PI / 5;
      const float x = float(100 + 60 * std::cos(a)), y = float(75 + 60 * std::sin(a));
      i == 0 ? vgMoveTo(ctx, x, y) : vgLineTo(ctx, x, y);
    }
    vgClosePath(ctx);
    vgFillColor(ctx, vgRGB(0, 0, 0));
    vgFill(ctx);
  };
  const RasterImage& out = Draw("vg_star_one_path", 1, [&] { star(4); });
  ASSERT_NE(rec.Last(ECall::Fill), nullptr);
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Fill), 0).convex, 0);
  // By hand from the vertices at radius 60 around (100, 75): the centre, the
  // top point 14 below its tip, and the notch above the left point's edge
  // (y = 75 - 60 sin 18 degrees = 56.5).
  EXPECT_GT(out.Alpha(100, 75), 0.99f);
  EXPECT_GT(out.Alpha(99, 29), 0.99f);
  EXPECT_LT(out.Alpha(62, 52), 0.01f);
  // A pentagon, convex, still takes the convex path.
  Draw("vg_pentagon", 1, [&] { star(2); });
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Fill), 0).convex, 1);
}

TEST_F(VGRasterTest, SummedCoverageEqualsTheShapesArea)
{
  struct Case {
    const char* name;
    double area;
    double tolerance;
    std::function<void(VGcontext*)> draw;
  };
  const Case cases[] = {
    {"vg_rect", 40.0 * 30, 0.002,
     [](VGcontext* c) {
       vgRect(c, 20.25f, 30.5f, 40, 30);
       vgFill(c);
     }},
    {"vg_circle", M_PI * 40 * 40, 0.01,
     [](VGcontext* c) {
       vgCircle(c, 100, 75, 40);
       vgFill(c);
     }},
    {"vg_hole", 100.0 * 100 - 50 * 50, 0.005,
     [](VGcontext* c) {
       vgRect(c, 50, 25, 100, 100);
       vgRect(c, 75, 50, 50, 50);
       vgPathWinding(c, VG_HOLE);
       vgFill(c);
     }},
    {"vg_rounded_rect", 120.0 * 80 - (4 - M_PI) * 15 * 15, 0.01,
     [](VGcontext* c) {
       vgRoundedRect(c, 40, 35, 120, 80, 15);
       vgFill(c);
     }},
    {"vg_ring_stroke", 2 * M_PI * 50 * 6, 0.02,
     [](VGcontext* c) {
       vgCircle(c, 100, 75, 50);
       vgStrokeWidth(c, 6);
       vgStroke(c);
     }},
    {"vg_line_butt", 150.0 * 4, 0.01,
     [](VGcontext* c) {
       vgMoveTo(c, 25, 75);
       vgLineTo(c, 175, 75);
       vgStrokeWidth(c, 4);
       vgStroke(c);
     }},
    {"vg_line_square", (150.0 + 4) * 4, 0.01,
     [](VGcontext* c) {
       vgMoveTo(c, 25, 75);
       vgLineTo(c, 175, 75);
       vgStrokeWidth(c, 4);
       vgLineCap(c, VG_SQUARE);
       vgStroke(c);
     }},
    {"vg_line_round", 150.0 * 10 + M_PI * 25, 0.01,
     [](VGcontext* c) {
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

// Round joins and caps make a stroke the set of points within half its width
// of the polyline; short segments and sharp turns included. The reference
// counts 8 x 8 samples per pixel by their distance to the segments; the
// engine's arcs are chords within the curve tolerance, hence 2 %.
TEST_F(VGRasterTest, RoundStrokesCoverThePointsWithinHalfTheirWidth)
{
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> coord(40, 160), unit(0, 1);
  for (int iter = 0; iter < 6; iter++) {
    std::vector<float> pts;
    const int n = 3 + iter;
    for (int i = 0; i < n; i++) {
      pts.push_back(coord(rng) * 0.6f + 20);
      pts.push_back(coord(rng) * 0.5f + 20);
    }
    const float width = 3 + 12 * unit(rng);
    const RasterImage& out = Draw(("vg_round_polyline_" + std::to_string(iter)).c_str(), 2, [&] {
      vgBeginPath(ctx);
      vgMoveTo(ctx, pts[0], pts[1]);
      for (int i = 1; i < n; i++)
        vgLineTo(ctx, pts[2 * i], pts[2 * i + 1]);
      vgStrokeWidth(ctx, width);
      vgLineJoin(ctx, VG_ROUND);
      vgLineCap(ctx, VG_ROUND);
      vgStroke(ctx);
    });
    long inside = 0;
    for (int y = 20 * 8; y < 120 * 8; y++) {
      for (int x = 20 * 8; x < 140 * 8; x++) {
        const float px = (x + 0.5f) / 8, py = (y + 0.5f) / 8;
        float best = 1e9f;
        for (int i = 0; i + 1 < n; i++) {
          const float ax = pts[2 * i], ay = pts[2 * i + 1], dx = pts[2 * i + 2] - ax, dy = pts[2 * i + 3] - ay;
          const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
          best = std::min(best, std::hypot(px - ax - t * dx, py - ay - t * dy));
        }
        inside += best <= width / 2;
      }
    }
    const double reference = inside / 64.0;
    EXPECT_NEAR(out.AlphaSum() / 4 / reference, 1.0, 0.02) << "iteration " << iter << " width " << width;
  }
}

// Bevel and miter strokes with butt caps cover the rectangle of every
// segment, at every joint the quad between the two segments' end edges, and
// at a joint within the miter limit the miter's tip. Random polylines with
// turns up to 150 degrees (sharper ones fold the strip) and segments of at
// least three widths; 8 x 8 reference samples a pixel, tested against those
// convex pieces.
TEST_F(VGRasterTest, BevelAndMiterStrokesCoverTheirSegmentsAndCorners)
{
  struct Pt {
    float x, y;
  };
  auto inConvex = [](const std::vector<Pt>& poly, float x, float y) {
    bool pos = false, neg = false;
    const size_t n = poly.size();
    for (size_t i = 0; i < n; i++) {
      const Pt& a = poly[i];
      const Pt& b = poly[i + 1 == n ? 0 : i + 1];
      const float c = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
      pos |= c > 0;
      neg |= c < 0;
      if (pos && neg)
        return false;
    }
    return true;
  };
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> coord(60, 140), unit(0, 1);
  for (int iter = 0; iter < 12; iter++) {
    const int join = iter % 2 ? VG_MITER : VG_BEVEL;
    const float width = 4 + 16 * unit(rng), w = width / 2;
    std::vector<Pt> pts{{coord(rng), coord(rng) * 0.7f}};
    float heading = 0;
    for (int i = 0; i < 4; i++) {
      Pt q;
      float a;
      do {
        const float len = 3 * width + 30 * unit(rng);
        a = i == 0 ? unit(rng) * 6.2831853f : heading + (unit(rng) - 0.5f) * 2 * 2.6f; // turns up to 150 degrees
        q = {pts.back().x + len * std::cos(a), pts.back().y + len * std::sin(a)};
      } while (q.x < 20 || q.x > 180 || q.y < 20 || q.y > 130);
      heading = a;
      pts.push_back(q);
    }
    const RasterImage& out = Draw(("vg_joins_" + std::to_string(iter)).c_str(), 2, [&] {
      vgBeginPath(ctx);
      vgMoveTo(ctx, pts[0].x, pts[0].y);
      for (size_t i = 1; i < pts.size(); i++)
        vgLineTo(ctx, pts[i].x, pts[i].y);
      vgStrokeWidth(ctx, width);
      vgLineJoin(ctx, join);
      vgMiterLimit(ctx, 4);
      vgStroke(ctx);
    });
    std::vector<std::vector<Pt>> pieces;
    auto normal = [&](size_t i) {
      const float dx = pts[i + 1].x - pts[i].x, dy = pts[i + 1].y - pts[i].y, d = std::hypot(dx, dy);
      return Pt{dy / d, -dx / d};
    };
    for (size_t i = 0; i + 1 < pts.size(); i++) {
      const Pt n = normal(i), a = pts[i], b = pts[i + 1];
      pieces.push_back({{a.x + n.x * w, a.y + n.y * w},
                        {b.x + n.x * w, b.y + n.y * w},
                        {b.x - n.x * w, b.y - n.y * w},
                        {a.x - n.x * w, a.y - n.y * w}});
    }
    for (size_t i = 1; i + 1 < pts.size(); i++) {
      const Pt n0 = normal(i - 1), n1 = normal(i), p = pts[i];
      pieces.push_back({{p.x + n0.x * w, p.y + n0.y * w},
                        {p.x + n1.x * w, p.y + n1.y * w},
                        {p.x - n0.x * w, p.y - n0.y * w},
                        {p.x - n1.x * w, p.y - n1.y * w}});
      const float mx = (n0.x + n1.x) / 2, my = (n0.y + n1.y) / 2, m2 = mx * mx + my * my;
      if (join == VG_MITER && m2 * 16 >= 1) {
        const float cross = (n1.x * n0.y - n0.x * n1.y) > 0 ? -1.0f : 1.0f; // the outer side
        const float s = cross * w / m2;
        pieces.push_back({{p.x, p.y},
                          {p.x + cross * n0.x * w, p.y + cross * n0.y * w},
                          {p.x + mx * s, p.y + my * s},
                          {p.x + cross * n1.x * w, p.y + cross * n1.y * w}});
      }
    }
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const auto& piece : pieces) {
      for (const Pt& q : piece) {
        x0 = std::min(x0, q.x);
        y0 = std::min(y0, q.y);
        x1 = std::max(x1, q.x);
        y1 = std::max(y1, q.y);
      }
    }
    long inside = 0;
    for (int y = static_cast<int>(y0 * 8); y <= static_cast<int>(y1 * 8) + 1; y++) {
      for (int x = static_cast<int>(x0 * 8); x <= static_cast<int>(x1 * 8) + 1; x++) {
        const float px = (x + 0.5f) / 8, py = (y + 0.5f) / 8;
        for (const auto& piece : pieces) {
          if (inConvex(piece, px, py)) {
            inside++;
            break;
          }
        }
      }
    }
    EXPECT_NEAR(out.AlphaSum() / 4 / (inside / 64.0), 1.0, 0.01)
      << "iteration " << iter << (join == VG_MITER ? " miter" : " bevel") << " width " << width;
  }
}

// Pixel by pixel: where a pixel and its neighbours lie wholly inside the
// shape it is covered, wholly outside it is empty. Round caps are half discs
// on the end points, square ones half squares; a closed outline strokes its
// closing edge and joins its first corner like the others.
TEST_F(VGRasterTest, CapsAndClosedOutlinesHaveTheirShapePixelByPixel)
{
  auto segmentDistance = [](float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
  };
  auto inRect = [](float px, float py, float x0, float y0, float x1, float y1) {
    return px >= x0 && px <= x1 && py >= y0 && py <= y1;
  };
  auto line = [&](int cap) {
    return [&, cap] {
      vgBeginPath(ctx);
      vgMoveTo(ctx, 40, 75);
      vgLineTo(ctx, 160, 75);
      vgStrokeWidth(ctx, 40);
      vgLineCap(ctx, cap);
      vgStroke(ctx);
    };
  };
  auto outline = [&](int join) {
    return [&, join] {
      vgBeginPath(ctx);
      vgMoveTo(ctx, 40, 30);
      vgLineTo(ctx, 160, 30);
      vgLineTo(ctx, 160, 120);
      vgLineTo(ctx, 40, 120);
      vgClosePath(ctx);
      vgStrokeWidth(ctx, 16);
      vgLineJoin(ctx, join);
      vgStroke(ctx);
    };
  };
  // Distance to the rectangle's outline.
  auto outlineDistance = [&](float px, float py) {
    return std::min({segmentDistance(px, py, 40, 30, 160, 30), segmentDistance(px, py, 160, 30, 160, 120),
                     segmentDistance(px, py, 160, 120, 40, 120), segmentDistance(px, py, 40, 120, 40, 30)});
  };
  const struct {
    const char* name;
    std::function<void()> draw;
    std::function<bool(float, float)> inside;
  } cases[] = {
    {"vg_cap_round", line(VG_ROUND), [&](float x, float y) { return segmentDistance(x, y, 40, 75, 160, 75) <= 20; }},
    {"vg_cap_square", line(VG_SQUARE), [&](float x, float y) { return inRect(x, y, 20, 55, 180, 95); }},
    {"vg_cap_butt", line(VG_BUTT), [&](float x, float y) { return inRect(x, y, 40, 55, 160, 95); }},
    {"vg_closed_miter", outline(VG_MITER),
     [&](float x, float y) { return inRect(x, y, 32, 22, 168, 128) && !inRect(x, y, 48, 38, 152, 112); }},
    {"vg_closed_round", outline(VG_ROUND), [&](float x, float y) { return outlineDistance(x, y) <= 8; }},
  };
  const float ratio = 2;
  for (const auto& c : cases) {
    const RasterImage& out = Draw(c.name, ratio, c.draw);
    int checked = 0, wrong = 0;
    for (int y = 0; y < out.h; y++)
      for (int x = 0; x < out.w; x++) {
        // A 5 x 5 grid over the pixel grown by one pixel on each side.
        int in = 0;
        for (int j = 0; j < 5; j++)
          for (int i = 0; i < 5; i++)
            in += c.inside((x - 1 + 0.75f * i) / ratio, (y - 1 + 0.75f * j) / ratio);
        if (in != 0 && in != 25)
          continue;
        checked++;
        wrong += in == 25 ? out.Alpha(x, y) < 0.95f : out.Alpha(x, y) > 0.05f;
      }
    EXPECT_EQ(wrong, 0) << c.name;
    EXPECT_GT(checked, out.w * out.h * 9 / 10) << c.name;
  }
}

TEST_F(VGRasterTest, EdgesHolesAndGradientsWhereExpected)
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
  EXPECT_NEAR(px[0], 128, 6);                 // half way along the gradient
  EXPECT_EQ(out.Alpha(150, 50), 0.0f);        // the hole
  EXPECT_NEAR(out.Alpha(115, 15), 1.0, 1e-6); // outside the hole
  EXPECT_NEAR(out.Alpha(20, 120), 1.0, 1e-6); // inside the scissor
  EXPECT_EQ(out.Alpha(60, 120), 0.0f);        // the rectangle goes on, the scissor stops it
  EXPECT_EQ(out.Alpha(20, 95), 0.0f);
}

} // namespace
} // namespace vgtest
