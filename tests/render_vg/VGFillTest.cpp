// Flattening, winding, joins and fill tessellation.
#include <gtest/gtest.h>

#include <cmath>

#include "VGTestContext.h"

namespace vgtest {
namespace {

TEST_F(VGTest, ARectangleFillHasFourPointsFourFillAndTenFringeVertices)
{
  vgBeginPath(ctx);
  vgRect(ctx, 10, 20, 100, 50);
  vgFill(ctx);

  ASSERT_EQ(Cache()->npaths, 1);
  EXPECT_EQ(Cache()->paths[0].count, 4);
  EXPECT_EQ(Cache()->paths[0].closed, 1);
  const RecordedCall* fill = rec.Last(ECall::Fill);
  ASSERT_NE(fill, nullptr);
  ASSERT_EQ(fill->npaths, 1);
  const RecordedPath& p = rec.Path(*fill, 0);
  EXPECT_EQ(p.nfill, 4);
  EXPECT_EQ(p.nstroke, 10);
  EXPECT_EQ(p.convex, 1);
  EXPECT_EQ(fill->fringe, 1.0f);
  EXPECT_EQ(fill->bounds[0], 10.0f);
  EXPECT_EQ(fill->bounds[1], 20.0f);
  EXPECT_EQ(fill->bounds[2], 110.0f);
  EXPECT_EQ(fill->bounds[3], 70.0f);

  // Distance of a point inside the rectangle from its nearest edges (negative outside).
  auto inset = [](const VGvertex& v) {
    const float dx = std::min(v.x - 10, 110 - v.x), dy = std::min(v.y - 20, 70 - v.y);
    return std::pair<float, float>{dx, dy};
  };
  for (int i = 0; i < p.nfill; i++) {
    const VGvertex& v = rec.FillVerts(p)[i];
    EXPECT_FLOAT_EQ(inset(v).first, 0.5f);
    EXPECT_FLOAT_EQ(inset(v).second, 0.5f);
    EXPECT_EQ(v.u, 0.5f);
    EXPECT_EQ(v.v, 1.0f);
  }
  // The fringe runs from half a fringe inside (u 0.5) to half a fringe outside (u 1).
  const VGvertex* s = rec.StrokeVerts(p);
  for (int i = 0; i < p.nstroke; i += 2) {
    EXPECT_FLOAT_EQ(inset(s[i]).first, 0.5f) << i;
    EXPECT_FLOAT_EQ(inset(s[i]).second, 0.5f) << i;
    EXPECT_EQ(s[i].u, 0.5f);
    EXPECT_FLOAT_EQ(inset(s[i + 1]).first, -0.5f) << i;
    EXPECT_FLOAT_EQ(inset(s[i + 1]).second, -0.5f) << i;
    EXPECT_EQ(s[i + 1].u, 1.0f);
  }
  EXPECT_EQ(s[8].x, s[0].x);
  EXPECT_EQ(s[9].y, s[1].y);
  EXPECT_EQ(ctx->drawCallCount, 2);
  EXPECT_EQ(ctx->fillTriCount, 2 + 8);
}

TEST_F(VGTest, WindingReversesThePointsBeforeTheJoins)
{
  struct Case {
    const char* what;
    bool drawnClockwise;
    int winding;
    double areaSign;
  };
  const Case cases[] = {
    {"counter-clockwise solid stays", false, VG_SOLID, 1},
    {"clockwise solid is reversed", true, VG_SOLID, 1},
    {"clockwise hole stays", true, VG_HOLE, -1},
    {"counter-clockwise hole is reversed", false, VG_HOLE, -1},
  };
  Make(0); // no fringe: the fill vertices are the points
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rec.Clear();
    vgBeginPath(ctx);
    if (c.drawnClockwise) {
      vgMoveTo(ctx, 0, 0);
      vgLineTo(ctx, 40, 0);
      vgLineTo(ctx, 40, 30);
      vgLineTo(ctx, 0, 30);
      vgClosePath(ctx);
    } else {
      vgRect(ctx, 0, 0, 40, 30);
    }
    vgPathWinding(ctx, c.winding);
    vgFill(ctx);
    const RecordedPath& p = rec.Path(*rec.Last(ECall::Fill), 0);
    ASSERT_EQ(p.nfill, 4);
    EXPECT_DOUBLE_EQ(PolygonArea(rec.FillVerts(p), 4), c.areaSign * 1200);
    // Counter-clockwise means every turn is to the left, so the join analysis calls it convex.
    EXPECT_EQ(p.convex, c.areaSign > 0 ? 1 : 0);
  }
}

// The fill fan of a flattened circle, inset by half a fringe, covers the
// area of the circle of that smaller radius.
TEST_F(VGTest, ACircleFanCoversPiTimesTheInsetRadiusSquared)
{
  for (float ratio : {1.0f, 2.0f}) {
    for (float r : {50.0f, 100.0f, 400.0f}) {
      vgBeginFrame(ctx, 1000, 1000, ratio);
      rec.Clear();
      vgBeginPath(ctx);
      vgCircle(ctx, 500, 500, r);
      vgFill(ctx);
      const RecordedPath& p = rec.Path(*rec.Last(ECall::Fill), 0);
      const double area = PolygonArea(rec.FillVerts(p), p.nfill);
      const double inset = r - 0.5 * ctx->fringeWidth;
      const double want = M_PI * inset * inset;
      EXPECT_NEAR(area / want, 1.0, 0.005) << "r " << r << " ratio " << ratio;
      EXPECT_EQ(p.convex, 1);
      if (r == 400.0f) {
        EXPECT_NEAR(area / (M_PI * (r - ctx->fringeWidth) * (r - ctx->fringeWidth)), 1.0, 0.005);
      }
    }
  }
}

TEST_F(VGTest, FlatteningMergesPointsAndKeepsStraightCubicsShort)
{
  // Back to the start within 0.001: one point, corner flags combined; the
  // path then closes on itself and has nothing left to draw.
  vgBeginPath(ctx);
  vgMoveTo(ctx, 5, 5);
  vgLineTo(ctx, 5.0005f, 5);
  vgFill(ctx);
  EXPECT_EQ(Cache()->npoints, 1);
  EXPECT_EQ(Cache()->paths[0].count, 0);
  EXPECT_EQ(Cache()->paths[0].closed, 1);
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Fill), 0).nfill, 0);

  // Control points on the chord: only the end point is added.
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgBezierTo(ctx, 3, 0, 6, 0, 9, 0);
  vgStroke(ctx);
  EXPECT_EQ(Cache()->paths[0].count, 2);

  // A curved one stays within 1024 points, and only its end is a corner.
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgBezierTo(ctx, 1000, 0, -1000, 1000, 0, 1000);
  vgStroke(ctx);
  const VGpath& curve = Cache()->paths[0];
  EXPECT_GT(curve.count, 20);
  EXPECT_LE(curve.count, 1025);
  int corners = 0;
  for (int i = 0; i < curve.count; i++)
    corners += Points()[i].flags & VG_PT_CORNER;
  EXPECT_EQ(corners, 2);
}

TEST_F(VGTest, TwoSubPathsGetTheFullFringe)
{
  vgBeginPath(ctx);
  vgRect(ctx, 0, 0, 10, 10);
  vgRect(ctx, 20, 0, 10, 10);
  vgFill(ctx);
  const RecordedCall* fill = rec.Last(ECall::Fill);
  ASSERT_EQ(fill->npaths, 2);
  for (int i = 0; i < 2; i++) {
    const RecordedPath& p = rec.Path(*fill, i);
    EXPECT_EQ(p.convex, 1); // each on its own is, but not the pair
    ASSERT_EQ(p.nstroke, 10);
    const VGvertex* s = rec.StrokeVerts(p);
    EXPECT_EQ(s[0].u, 0.0f);
    EXPECT_EQ(s[1].u, 1.0f);
    // lw = fringe + half a fringe inside the edge.
    EXPECT_FLOAT_EQ(s[0].x - (i * 20), 1.5f);
  }
}

TEST_F(VGTest, WithoutAntialiasNoFringeIsBuilt)
{
  for (int edge : {0, 1}) {
    Make(edge);
    vgShapeAntiAlias(ctx, edge ? 0 : 1);
    vgBeginPath(ctx);
    vgRect(ctx, 1, 2, 3, 4);
    vgFill(ctx);
    const RecordedCall* fill = rec.Last(ECall::Fill);
    const RecordedPath& p = rec.Path(*fill, 0);
    EXPECT_EQ(p.nstroke, 0);
    EXPECT_EQ(Cache()->paths[0].stroke, nullptr);
    ASSERT_EQ(p.nfill, 4);
    EXPECT_EQ(rec.FillVerts(p)[0].x, 1.0f); // the points themselves
    EXPECT_EQ(fill->fringe, 1.0f);          // passed even without a fringe
  }
}

TEST_F(VGTest, FillingThenStrokingFlattensOnce)
{
  vgBeginPath(ctx);
  vgRoundedRect(ctx, 10, 10, 80, 40, 8);
  vgFill(ctx);
  const int npoints = Cache()->npoints;
  const float firstX = Points()[0].x;
  // Later commands do not reach the cache until the next begin-path.
  vgRect(ctx, 200, 200, 5, 5);
  vgStroke(ctx);
  EXPECT_EQ(Cache()->npoints, npoints);
  EXPECT_EQ(Cache()->npaths, 1);
  EXPECT_EQ(Points()[0].x, firstX);
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Stroke), 0).count, rec.Path(*rec.Last(ECall::Fill), 0).count);
}

} // namespace
} // namespace vgtest
