// How the core's blends, paints, arcs, joins, caps, alignment and dashes
// become engine state, read from what the renderer receives and draws.

#include <cmath>

#include "SoftFixture.h"

namespace backendtest {
namespace {

using vgtest::ECall;

class Conversions : public SoftFixture
{
protected:
  // One frame around draw; the first fill or stroke of it.
  const vgtest::RecordedCall* DrawOne(ECall kind, std::function<void(IGraphics&)> draw)
  {
    ResetCalls();
    Frame(std::move(draw));
    return First(kind);
  }

  // Stroked sub-paths that produced geometry.
  int StrokedPieces(const vgtest::RecordedCall* c)
  {
    int n = 0;
    for (int i = 0; c && i < c->npaths; i++)
      n += Soft().Path(*c, i).nstroke > 0;
    return n;
  }
};

TEST_F(Conversions, BlendMethodsSelectTheirFactors)
{
  // Factors written out per method: source then destination.
  struct { int method; int src, dst; } table[] = {
    {-1, VG_ONE, VG_ONE_MINUS_SRC_ALPHA},  // no blend given
    {0, VG_ONE, VG_ONE_MINUS_SRC_ALPHA},
    {1, VG_DST_ALPHA, VG_ZERO},
    {2, VG_ONE_MINUS_DST_ALPHA, VG_ZERO},
    {3, VG_DST_ALPHA, VG_ONE_MINUS_SRC_ALPHA},
    {4, VG_ONE_MINUS_DST_ALPHA, VG_ONE},
    {5, VG_ZERO, VG_SRC_ALPHA},
    {6, VG_ZERO, VG_ONE_MINUS_SRC_ALPHA},
    {7, VG_ONE_MINUS_DST_ALPHA, VG_SRC_ALPHA},
    {8, VG_SRC_ALPHA, VG_DST_ALPHA},
    {9, VG_ONE_MINUS_DST_ALPHA, VG_ONE_MINUS_SRC_ALPHA},
    {42, VG_ONE, VG_ONE_MINUS_SRC_ALPHA},  // unknown: state as it was (reset after each fill)
  };
  for (const auto& row : table) {
    const IBlend blend{static_cast<EBlend>(row.method), 1.f};
    const IBlend* b = row.method < 0 ? nullptr : &blend;
    ResetCalls();
    Frame([&](IGraphics& g) {
      g.FillRect(IColor(255, 10, 20, 30), IRECT(0, 0, 10, 10), b);
      g.DrawLine(IColor(255, 10, 20, 30), 0, 20, 10, 20, b);
      g.FillRect(IColor(255, 10, 20, 30), IRECT(20, 0, 30, 10));
    });
    const auto& calls = Soft().calls;
    std::vector<const vgtest::RecordedCall*> draws;
    for (const auto& c : calls)
      if (c.kind == ECall::Fill || c.kind == ECall::Stroke) draws.push_back(&c);
    ASSERT_GE(draws.size(), 3u);
    EXPECT_EQ(draws[0]->op.srcRGB, row.src) << "method " << row.method;
    EXPECT_EQ(draws[0]->op.dstRGB, row.dst) << "method " << row.method;
    EXPECT_EQ(draws[1]->op.srcRGB, row.src) << "stroke, method " << row.method;
    // The composite state goes back to source-over after each draw.
    EXPECT_EQ(draws[2]->op.srcRGB, VG_ONE) << "method " << row.method;
    EXPECT_EQ(draws[2]->op.dstRGB, VG_ONE_MINUS_SRC_ALPHA) << "method " << row.method;
  }
}

TEST_F(Conversions, GradientsUseFirstAndLastStopsAndASingularMatrixFillsSolid)
{
  IPattern radial(kRadialPattern);
  radial.mNStops = 3;
  radial.mStops[0] = {IColor(255, 255, 0, 0), 0.25f};
  radial.mStops[1] = {IColor(255, 0, 255, 0), 0.5f};
  radial.mStops[2] = {IColor(255, 0, 0, 255), 1.f};
  const auto* c = DrawOne(ECall::Fill, [&](IGraphics& g) { g.FillRectPattern(radial, IRECT(0, 0, 10, 10)); });
  ASSERT_NE(c, nullptr);
  // Centred on the origin, between radii 0.25 and 1: the mid radius and the two end colours.
  EXPECT_FLOAT_EQ(c->paint.xform[4], 0.f);
  EXPECT_FLOAT_EQ(c->paint.xform[5], 0.f);
  EXPECT_FLOAT_EQ(c->paint.radius, 0.625f);
  EXPECT_FLOAT_EQ(c->paint.innerColor.r, 1.f);
  EXPECT_FLOAT_EQ(c->paint.outerColor.b, 1.f);
  EXPECT_FLOAT_EQ(c->paint.outerColor.g, 0.f);

  IPattern single(kLinearPattern);
  single.mNStops = 1;
  single.mStops[0] = {IColor(255, 0, 128, 0), 0.f};
  c = DrawOne(ECall::Fill, [&](IGraphics& g) { g.FillRectPattern(single, IRECT(0, 0, 10, 10)); });
  ASSERT_NE(c, nullptr);
  for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(c->paint.innerColor.rgba[k], c->paint.outerColor.rgba[k]);

  // No inverse: a plain fill in the first stop's colour, nothing non-finite.
  IPattern singular = radial;
  singular.mTransform = IMatrix(1, 2, 2, 4, 5, 6);
  c = DrawOne(ECall::Fill, [&](IGraphics& g) { g.FillRectPattern(singular, IRECT(0, 0, 10, 10)); });
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->paint.image, 0);
  EXPECT_FLOAT_EQ(c->paint.innerColor.r, 1.f);
  EXPECT_FLOAT_EQ(c->paint.outerColor.r, 1.f);
  for (float v : c->paint.xform) EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(Shown(5, 5), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(Conversions, ArcsRunClockwiseFromTwelveOClock)
{
  // Bounds of a pie slice from 0 to 90 degrees around (100, 75), radius 40.
  struct { int winding; float l, t, r, b; } table[] = {
    {0, 100, 35, 140, 75},  // the quarter from 12 to 3 o'clock
    {1, 60, 35, 140, 115},  // counter-clockwise: the other three quarters
  };
  for (const auto& row : table) {
    const auto* c = DrawOne(ECall::Fill, [&](IGraphics& g) {
      g.PathMoveTo(100, 75);
      g.PathArc(100, 75, 40, 0, 90, row.winding);
      g.PathClose();
      g.PathFill(IPattern(IColor(255, 0, 0, 0)), IFillOptions(), nullptr);
    });
    ASSERT_NE(c, nullptr);
    EXPECT_NEAR(c->bounds[0], row.l, 0.5) << row.winding;
    EXPECT_NEAR(c->bounds[1], row.t, 0.5) << row.winding;
    EXPECT_NEAR(c->bounds[2], row.r, 0.5) << row.winding;
    EXPECT_NEAR(c->bounds[3], row.b, 0.5) << row.winding;
  }
}

TEST_F(Conversions, TextIsAnchoredByItsAlignment)
{
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  const IRECT r(40, 30, 160, 90);
  for (int h = 0; h < 3; h++)
    for (int v = 0; v < 3; v++) {
      const IText text(18, IColor(), "Roboto-Regular", static_cast<EAlign>(h), static_cast<EVAlign>(v));
      IRECT m = r;
      const float w = g->MeasureText(text, "Align", m);
      EXPECT_NEAR(w, m.W(), 1e-4);
      EXPECT_GT(w, 20.f);
      const float x[3] = {m.L, m.MW(), m.R}, xr[3] = {r.L, r.MW(), r.R};
      const float y[3] = {m.T, m.MH(), m.B}, yr[3] = {r.T, r.MH(), r.B};
      // The extent is the glyphs' boxes: a point of bearing either side.
      EXPECT_NEAR(x[h], xr[h], 1.5) << h << "," << v;
      EXPECT_NEAR(y[v], yr[v], 0.6) << h << "," << v;
    }
}

TEST_F(Conversions, BitmapExtensionsAreMatchedWithoutCase)
{
  struct { const char* ext; bool ok; } table[] = {
    {"png", true}, {"PNG", true}, {"jpg", true}, {"JPEG", true}, {"my.jpeg.bak", true},
    {"gif", false}, {"", false}, {"svg", false},
    {"0123456789012345678901234567890png", false},  // past the 31 characters looked at
  };
  for (const auto& row : table) EXPECT_EQ(g->BitmapExtSupported(row.ext), row.ok) << row.ext;
  EXPECT_FALSE(g->BitmapExtSupported(nullptr));
  EXPECT_STREQ(g->GetDrawingAPIStr(), "VG | Metal");
}

TEST_F(Conversions, DottedLinesDrawEveryOtherDashAndNoDashLengthDrawsALine)
{
  struct { float length, dash; int pieces; float reach; } table[] = {
    {14, 10, 0, 0},     // 1.4 dashes: only the first move
    {16, 10, 1, 8},     // 1.6 dashes rounds to 2: one dash to the middle
    {100, 10, 5, 90},   // ten steps: dashes 1, 3, 5, 7, 9
    {50, 0, 1, 50},     // no dash length: a solid line
    {50, -3, 1, 50},
  };
  for (const auto& row : table) {
    const auto* c = DrawOne(ECall::Stroke, [&](IGraphics& g) {
      g.DrawDottedLine(IColor(255, 0, 0, 0), 10, 50, 10 + row.length, 50, nullptr, 2, row.dash);
    });
    EXPECT_EQ(StrokedPieces(c), row.pieces) << row.length << "/" << row.dash;
    if (row.pieces > 0 && c) {
      float maxX = 0;
      for (int i = 0; i < c->npaths; i++) {
        const auto& p = Soft().Path(*c, i);
        for (int k = 0; k < p.nstroke; k++) maxX = std::max(maxX, Soft().StrokeVerts(p)[k].x);
      }
      EXPECT_NEAR(maxX, 10 + row.reach, 1.5) << row.length << "/" << row.dash;
    }
  }
  // A dotted rect without a dash length is its whole outline.
  const auto* c = DrawOne(ECall::Stroke, [&](IGraphics& g) {
    g.DrawDottedRect(IColor(255, 0, 0, 0), IRECT(10, 10, 50, 30), nullptr, 1, 0);
  });
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->npaths, 1);
  EXPECT_TRUE(Soft().Path(*c, 0).closed);
  // With dashes: the four edges' dashes, counted as ceil(edge / (2 dash)).
  c = DrawOne(ECall::Stroke, [&](IGraphics& g) {
    g.DrawDottedRect(IColor(255, 0, 0, 0), IRECT(10, 10, 50, 30), nullptr, 1, 4);
  });
  EXPECT_EQ(StrokedPieces(c), 2 * 5 + 2 * 3);
}

} // namespace
} // namespace backendtest
