// Stroke tessellation: widths, caps, joins and the vertex pool.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "AllocationCounter.h"
#include "VGTestContext.h"

namespace vgtest {
namespace {

// Width 10 at ratio 1: half width 5 and tolerance 0.25 give a half circle of
// ceil(pi / (2 acos(5 / 5.25))) = ceil(5.07) = 6 divisions. A round cap is
// 2 * 6 + 2 vertices; a round join over a quarter turn uses ceil(6 / 2) = 3
// divisions: 2 + 2 * 3 + 2; a bevel join 2 + 4 + 2; a miter 2; a butt or
// square cap 4. The closed triangle (0,0), (100,0), (50,80) turns by 122,
// 122 and 116 degrees: round joins of 5, 5 and 4 divisions.
TEST_F(VGTest, StrokeVertexCountsForEveryCapAndJoin)
{
  struct Case {
    int cap, join;
    bool closed;
    int verts;
    int nbevel;
  };
  const Case cases[] = {
    {VG_BUTT, VG_MITER, false, 4 + 2 + 4, 0},
    {VG_SQUARE, VG_MITER, false, 4 + 2 + 4, 0},
    {VG_ROUND, VG_MITER, false, 14 + 2 + 14, 0},
    {VG_BUTT, VG_BEVEL, false, 4 + 8 + 4, 3}, // the ends count as bevels too
    {VG_SQUARE, VG_ROUND, false, 4 + 10 + 4, 3},
    {VG_ROUND, VG_ROUND, false, 14 + 10 + 14, 3},
    {7, VG_MITER, false, 0 + 2 + 0, 0}, // an unknown cap draws none
    {VG_BUTT, 0, false, 4 + 2 + 4, 0},  // an unknown join acts as miter
    {VG_BUTT, VG_MITER, true, 3 * 2 + 2, 0},
    {VG_ROUND, VG_BEVEL, true, 3 * 8 + 2, 3}, // caps do not apply to closed paths
    {VG_BUTT, VG_ROUND, true, 14 + 14 + 12 + 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "cap " << c.cap << " join " << c.join << (c.closed ? " closed" : " open"));
    rec.Clear();
    vgStrokeWidth(ctx, 10);
    vgLineCap(ctx, c.cap);
    vgLineJoin(ctx, c.join);
    vgBeginPath(ctx);
    if (c.closed) {
      vgMoveTo(ctx, 0, 0);
      vgLineTo(ctx, 100, 0);
      vgLineTo(ctx, 50, 80);
      vgClosePath(ctx);
    } else {
      vgMoveTo(ctx, 0, 0);
      vgLineTo(ctx, 100, 0);
      vgLineTo(ctx, 100, 100);
    }
    vgStroke(ctx);
    const RecordedCall* stroke = rec.Last(ECall::Stroke);
    ASSERT_NE(stroke, nullptr);
    const RecordedPath& p = rec.Path(*stroke, 0);
    EXPECT_EQ(p.nstroke, c.verts);
    EXPECT_EQ(p.nfill, 0);
    EXPECT_EQ(p.nbevel, c.nbevel);
    EXPECT_EQ(stroke->strokeWidth, 10.0f);
  }
}

TEST_F(VGTest, HalfWidthOneGivesThreeCapDivisions)
{
  vgStrokeWidth(ctx, 2);
  vgLineCap(ctx, VG_ROUND);
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgLineTo(ctx, 50, 0);
  vgStroke(ctx);
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Stroke), 0).nstroke, 2 * (2 * 3 + 2));
}

TEST_F(VGTest, StrokeWidthsAreScaledClampedAndHairlinesFaded)
{
  struct Case {
    float width;
    float scale;
    float ratio;
    float drawn;
    float alpha;
  };
  const Case cases[] = {
    {0.5f, 1, 1, 1, 0.25f}, // one fringe wide, alpha by coverage squared
    {300, 1, 1, 200, 1},        {150, 2, 1, 200, 1},   {0, 1, 1, 1, 0},
    {-4, 1, 1, 1, 0},           {0.5f, 1, 2, 0.5f, 1}, // at ratio 2 the fringe is half as wide
    {0.25f, 1, 2, 0.5f, 0.25f}, {3, 0.5f, 1, 1.5f, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "width " << c.width << " scale " << c.scale << " ratio " << c.ratio);
    vgBeginFrame(ctx, 100, 100, c.ratio);
    rec.Clear();
    vgStrokeColor(ctx, vgRGBAf(0, 0, 0, 0.8f));
    vgScale(ctx, c.scale, c.scale);
    vgStrokeWidth(ctx, c.width);
    vgBeginPath(ctx);
    vgMoveTo(ctx, 1, 1);
    vgLineTo(ctx, 20, 1);
    vgStroke(ctx);
    const RecordedCall* stroke = rec.Last(ECall::Stroke);
    EXPECT_FLOAT_EQ(stroke->strokeWidth, c.drawn);
    EXPECT_FLOAT_EQ(stroke->paint.innerColor.a, 0.8f * c.alpha);
    EXPECT_FLOAT_EQ(stroke->paint.outerColor.a, 0.8f * c.alpha);
  }
}

TEST_F(VGTest, CapsReachTheirOffsetsFromTheEndPoints)
{
  struct Case {
    int cap;
    int aa;
    float solidStart;
    float fringeStart;
    float u0;
  };
  // A line from x 10 to 110 at y 10, width 4: w' = 2.5 with a fringe of 1.
  const Case cases[] = {
    {VG_BUTT, 1, 10.5f, 9.5f, 0.0f},  // fringe centred on the end point
    {VG_SQUARE, 1, 8.5f, 7.5f, 0.0f}, // solid w' - aa beyond, fringe another aa
    {VG_BUTT, 0, 10.0f, 10.0f, 0.5f}, // no fringe: d 0 and a flat u
    {VG_SQUARE, 0, 8.0f, 8.0f, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "cap " << c.cap << " aa " << c.aa);
    Make(c.aa);
    vgStrokeWidth(ctx, 4);
    vgLineCap(ctx, c.cap);
    vgBeginPath(ctx);
    vgMoveTo(ctx, 10, 10);
    vgLineTo(ctx, 110, 10);
    vgStroke(ctx);
    const RecordedPath& p = rec.Path(*rec.Last(ECall::Stroke), 0);
    ASSERT_EQ(p.nstroke, 8);
    const VGvertex* v = rec.StrokeVerts(p);
    const float halfWidth = c.aa ? 2.5f : 2.0f;
    EXPECT_FLOAT_EQ(v[0].x, c.fringeStart);
    EXPECT_FLOAT_EQ(v[2].x, c.solidStart);
    EXPECT_FLOAT_EQ(v[0].y, 10 - halfWidth); // the left of a rightward line is up
    EXPECT_FLOAT_EQ(v[1].y, 10 + halfWidth);
    EXPECT_EQ(v[0].v, 0.0f);
    EXPECT_EQ(v[2].v, 1.0f);
    EXPECT_EQ(v[0].u, c.u0);
    EXPECT_EQ(v[1].u, 1.0f - c.u0);
    // The end cap mirrors the start about the line's middle.
    EXPECT_FLOAT_EQ(v[7].x, 120 - c.fringeStart);
    EXPECT_FLOAT_EQ(v[5].x, 120 - c.solidStart);
    for (int i = 0; i < 8; i++)
      EXPECT_TRUE(c.aa || v[i].u == 0.5f);
  }
}

TEST_F(VGTest, AClosedTriangleHasNoBevelsUnderMiterAndAllUnderBevel)
{
  for (int join : {VG_MITER, VG_BEVEL}) {
    vgLineJoin(ctx, join);
    vgMiterLimit(ctx, 10);
    vgBeginPath(ctx);
    vgMoveTo(ctx, 0, 0);
    vgLineTo(ctx, 100, 0);
    vgLineTo(ctx, 50, 80);
    vgClosePath(ctx);
    vgStroke(ctx);
    const RecordedPath& p = rec.Path(*rec.Last(ECall::Stroke), 0);
    EXPECT_EQ(p.nbevel, join == VG_MITER ? 0 : 3);
    for (int i = 0; i < 3; i++)
      EXPECT_EQ((Points()[i].flags & VG_PT_BEVEL) != 0, join == VG_BEVEL) << i;
  }
  // A sharp miter beyond the limit is bevelled.
  vgLineJoin(ctx, VG_MITER);
  vgMiterLimit(ctx, 2);
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgLineTo(ctx, 100, 0);
  vgLineTo(ctx, 0, 10);
  vgStroke(ctx);
  EXPECT_EQ(rec.Path(*rec.Last(ECall::Stroke), 0).nbevel, 1);
}

// Random polylines with every cap, join and width: each path's vertices lie
// inside the pool, after the previous path's, and are finite.
TEST_F(VGTest, RandomPolylinesNeverWritePastTheReservedVertices)
{
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<float> coord(-50, 450), unit(0, 1);
  const int caps[] = {VG_BUTT, VG_ROUND, VG_SQUARE, 9};
  const int joins[] = {VG_MITER, VG_ROUND, VG_BEVEL, 0};
  for (int iter = 0; iter < 3000; iter++) {
    vgBeginFrame(ctx, 400, 400, unit(rng) < 0.5f ? 1.0f : 2.0f);
    rec.Clear();
    vgLineCap(ctx, caps[rng() % 4]);
    vgLineJoin(ctx, joins[rng() % 4]);
    vgStrokeWidth(ctx, unit(rng) < 0.2f ? unit(rng) : unit(rng) * 300);
    vgMiterLimit(ctx, unit(rng) * 20);
    vgShapeAntiAlias(ctx, rng() % 4 != 0);
    vgBeginPath(ctx);
    const int subpaths = 1 + rng() % 3;
    for (int s = 0; s < subpaths; s++) {
      float x = coord(rng), y = coord(rng);
      vgMoveTo(ctx, x, y);
      const int n = rng() % 40;
      for (int i = 0; i < n; i++) {
        const float r = unit(rng);
        if (r < 0.1f) {
          vgLineTo(ctx, x, y); // repeat
        } else if (r < 0.2f) {
          vgLineTo(ctx, x + unit(rng) * 0.02f, y); // nearly repeat
        } else if (r < 0.3f) {
          vgBezierTo(ctx, coord(rng), coord(rng), coord(rng), coord(rng), x = coord(rng), y = coord(rng));
        } else if (r < 0.35f) {
          vgArc(ctx, x, y, unit(rng) * 50, unit(rng) * 7, unit(rng) * 7, 1 + rng() % 2);
        } else {
          vgLineTo(ctx, x = coord(rng), y = coord(rng));
        }
      }
      if (rng() % 2)
        vgClosePath(ctx);
    }
    if (rng() % 2)
      vgFill(ctx);
    vgStroke(ctx);

    const VGpathCache* cache = Cache();
    const VGvertex* begin = cache->verts;
    const VGvertex* end = cache->verts + cache->cverts;
    const VGvertex* next = begin;
    for (int i = 0; i < cache->npaths; i++) {
      const VGpath& path = cache->paths[i];
      ASSERT_EQ(path.nfill, 0);
      if (path.nstroke == 0)
        continue;
      ASSERT_GE(path.stroke, next) << "iteration " << iter;
      ASSERT_LE(path.stroke + path.nstroke, end) << "iteration " << iter;
      for (int k = 0; k < path.nstroke; k++)
        ASSERT_TRUE(std::isfinite(path.stroke[k].x) && std::isfinite(path.stroke[k].y)) << "iteration " << iter;
      next = path.stroke + path.nstroke;
    }
  }
}

TEST_F(VGTest, AVertexPoolThatCannotGrowLeavesNoStaleVertexLists)
{
  // A 200-corner polygon: filling fits in a small pool; a wide stroke with
  // round joins needs about 120 KB of vertices.
  vgBeginPath(ctx);
  for (int i = 0; i < 200; i++) {
    const float a = i * VG_2PI / 200;
    if (i == 0)
      vgMoveTo(ctx, 350, 200);
    else
      vgLineTo(ctx, 200 + 150 * std::cos(a), 200 + 150 * std::sin(a));
  }
  vgClosePath(ctx);
  vgFill(ctx);
  ASSERT_GT(Cache()->paths[0].nfill, 0);

  vgStrokeWidth(ctx, 100);
  vgLineJoin(ctx, VG_ROUND);
  {
    testsupport::ScopedAllocationLimit limit(64 * 1024);
    vgStroke(ctx);
  }
  const RecordedCall* stroke = rec.Last(ECall::Stroke);
  ASSERT_NE(stroke, nullptr); // the renderer is still called
  EXPECT_EQ(stroke->npaths, 1);
  const VGpath& path = Cache()->paths[0];
  EXPECT_EQ(path.nfill, 0);
  EXPECT_EQ(path.fill, nullptr);
  EXPECT_EQ(path.nstroke, 0);
  EXPECT_EQ(path.stroke, nullptr);

  // With memory back, the same path strokes normally.
  vgStroke(ctx);
  EXPECT_EQ(Cache()->paths[0].nstroke, 200 * 8 + 2); // a two-division round join per corner
}

TEST_F(VGTest, ARepeatedFrameAllocatesNothing)
{
  auto frame = [&] {
    vgBeginFrame(ctx, 650, 470, 2.0f);
    rec.Clear();
    for (int i = 0; i < 50; i++) {
      vgBeginPath(ctx);
      vgRoundedRect(ctx, i * 10.0f, i * 5.0f, 80, 30, 6);
      vgFillPaint(ctx, vgLinearGradient(ctx, 0, 0, 0, 30, vgRGBf(1, 1, 1), vgRGBf(0, 0, 0)));
      vgFill(ctx);
      vgStrokeWidth(ctx, 1.5f);
      vgStroke(ctx);
      vgBeginPath(ctx);
      vgArc(ctx, 300, 200, 20 + i, 0, 4, VG_CW);
      vgLineCap(ctx, VG_ROUND);
      vgStroke(ctx);
    }
    vgEndFrame(ctx);
  };
  frame();
  testsupport::ScopedAllocationCount count;
  frame();
  EXPECT_EQ(count.Count(), 0u);
}

} // namespace
} // namespace vgtest

namespace vgtest {
namespace {

// A quarter turn followed by a segment shorter than the stroke: the inner
// side of the join takes each segment's own end edge (p1 -/+ its normal
// times w') instead of the miter point, which would lie past the short
// segment. Width 20 with a fringe of 1 gives w' = 10.5; the join lies at
// (100, 0). Expected strips worked out by hand from the two normals.
TEST_F(VGTest, ShortSegmentsGiveInnerBevels)
{
  struct V {
    float x, y;
  };
  struct Case {
    const char* what;
    int lineJoin;
    float turnY;
    bool inner;
    std::vector<V> join;
  };
  const Case cases[] = {
    {"right turn, short",
     VG_MITER,
     8,
     true,
     {{100, -10.5f},
      {100, 10.5f},
      {100, -10.5f},
      {100, 0},
      {110.5f, -10.5f},
      {110.5f, -10.5f},
      {110.5f, 0},
      {100, 0},
      {110.5f, 0},
      {89.5f, 0}}},
    {"left turn, short",
     VG_MITER,
     -8,
     true,
     {{100, -10.5f},
      {100, 10.5f},
      {100, 0},
      {100, 10.5f},
      {110.5f, 10.5f},
      {110.5f, 10.5f},
      {100, 0},
      {110.5f, 0},
      {89.5f, 0},
      {110.5f, 0}}},
    // 18 / 10.5 = 1.71 is past 1 / sqrt(0.5): a plain miter pair.
    {"right turn, long enough", VG_MITER, 18, false, {{110.5f, -10.5f}, {89.5f, 10.5f}}},
    {"bevelled right turn, short",
     VG_BEVEL,
     8,
     true,
     {{100, -10.5f}, {100, 10.5f}, {100, -10.5f}, {100, 10.5f}, {110.5f, 0}, {89.5f, 0}, {110.5f, 0}, {89.5f, 0}}},
    {"bevelled left turn, short",
     VG_BEVEL,
     -8,
     true,
     {{100, -10.5f}, {100, 10.5f}, {100, -10.5f}, {100, 10.5f}, {89.5f, 0}, {110.5f, 0}, {89.5f, 0}, {110.5f, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rec.Clear();
    vgStrokeWidth(ctx, 20);
    vgLineJoin(ctx, c.lineJoin);
    vgBeginPath(ctx);
    vgMoveTo(ctx, 0, 0);
    vgLineTo(ctx, 100, 0);
    vgLineTo(ctx, 100, c.turnY);
    // The winding that keeps the points in drawing order (a right turn has negative area).
    vgPathWinding(ctx, c.turnY > 0 ? VG_CW : VG_CCW);
    vgStroke(ctx);
    ASSERT_EQ(Cache()->paths[0].count, 3);
    const VGpoint& mid = Points()[1];
    ASSERT_EQ(mid.x, 100.0f);
    EXPECT_EQ((mid.flags & VG_PT_INNERBEVEL) != 0, c.inner);
    const RecordedPath& p = rec.Path(*rec.Last(ECall::Stroke), 0);
    ASSERT_EQ(p.nstroke, 4 + static_cast<int>(c.join.size()) + 4);
    for (size_t i = 0; i < c.join.size(); i++) {
      EXPECT_NEAR(rec.StrokeVerts(p)[4 + i].x, c.join[i].x, 1e-4) << i;
      EXPECT_NEAR(rec.StrokeVerts(p)[4 + i].y, c.join[i].y, 1e-4) << i;
    }
  }
}

} // namespace
} // namespace vgtest
