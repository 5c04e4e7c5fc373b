// Every default drawing body: the path it builds, one stroke or fill with
// the solid paint of its colour, the blend passed through and the options
// every call uses (miter 10, no preserve, butt caps, miter joins, no dash;
// fill rule winding, no preserve).

#include <functional>

#include "EditorFixture.h"
#include "IGraphicsConstants.h"

using namespace testsupport;

namespace {

std::string OpStr(const PathOp& op)
{
  switch (op.kind) {
  case PathOp::kMove: return Fmt("M %g,%g", op.v[0], op.v[1]);
  case PathOp::kLine: return Fmt("L %g,%g", op.v[0], op.v[1]);
  case PathOp::kArc: return Fmt("A %g,%g r%g ", op.v[0], op.v[1], op.v[2]) + Fmt("%g..%g", op.v[3], op.v[4]);
  case PathOp::kClose: return "Z";
  default: return "?";
  }
}

class DrawingBodies : public EditorFixture {};

} // namespace

TEST_F(DrawingBodies, EveryDrawingBodyBuildsItsPathAndPaintsItOnce)
{
  const IColor c(200, 10, 20, 30);
  const IBlend b{kBlendAdd, 0.5f};
  const IRECT r(10, 20, 50, 40);
  float xs[] = {1, 5, 9}, ys[] = {2, 8, 2};
  IPattern gradient(kLinearPattern);
  gradient.mNStops = 2;
  gradient.mStops[1] = {COLOR_WHITE, 1.f};
  struct Case {
    const char* what;
    std::function<void()> draw;
    bool fill;
    float thickness;
    float dash; // 0: none
    Log path;
  };
  const Case cases[] = {
    {"DrawPoint", [&] { g->DrawPoint(c, 3, 4, &b); }, true, 0, 0, {"M 3,4", "L 4,4", "L 4,5", "L 3,5", "Z"}},
    {"DrawLine", [&] { g->DrawLine(c, 1, 2, 3, 4, &b, 2); }, false, 2, 0, {"M 1,2", "L 3,4"}},
    {"DrawDottedLine", [&] { g->DrawDottedLine(c, 1, 2, 3, 4, &b, 2, 5); }, false, 2, 5, {"M 1,2", "L 3,4"}},
    {"DrawTriangle",
     [&] { g->DrawTriangle(c, 1, 2, 3, 4, 5, 6, &b, 3); },
     false,
     3,
     0,
     {"M 1,2", "L 3,4", "L 5,6", "Z"}},
    {"DrawRect", [&] { g->DrawRect(c, r, &b, 2); }, false, 2, 0, {"M 10,20", "L 50,20", "L 50,40", "L 10,40", "Z"}},
    {"DrawRoundRect",
     [&] { g->DrawRoundRect(c, r, 5, &b, 2); },
     false,
     2,
     0,
     {"M 10,25", "A 15,25 r5 270..360", "A 45,25 r5 0..90", "A 45,35 r5 90..180", "A 15,35 r5 180..270", "Z"}},
    {"DrawRoundRectCorners",
     [&] { g->DrawRoundRectCorners(c, r, 1, 2, 3, 4, &b, 2); },
     false,
     2,
     0,
     {"M 10,21", "A 11,21 r1 270..360", "A 48,22 r2 0..90", "A 47,37 r3 90..180", "A 14,36 r4 180..270", "Z"}},
    {"DrawArc", [&] { g->DrawArc(c, 5, 6, 7, 30, 60, &b, 2); }, false, 2, 0, {"A 5,6 r7 30..60"}},
    {"DrawCircle", [&] { g->DrawCircle(c, 5, 6, 7, &b, 2); }, false, 2, 0, {"M 5,-1", "A 5,6 r7 0..360", "Z"}},
    {"DrawConvexPolygon",
     [&] { g->DrawConvexPolygon(c, xs, ys, 3, &b, 2); },
     false,
     2,
     0,
     {"M 1,2", "L 5,8", "L 9,2", "Z"}},
    {"DrawDottedRect",
     [&] { g->DrawDottedRect(c, r, &b, 2, 3); },
     false,
     2,
     3,
     {"M 10,20", "L 50,20", "L 50,40", "L 10,40", "Z"}},
    {"FillTriangle", [&] { g->FillTriangle(c, 1, 2, 3, 4, 5, 6, &b); }, true, 0, 0, {"M 1,2", "L 3,4", "L 5,6", "Z"}},
    {"FillRect", [&] { g->FillRect(c, r, &b); }, true, 0, 0, {"M 10,20", "L 50,20", "L 50,40", "L 10,40", "Z"}},
    {"FillRoundRect",
     [&] { g->FillRoundRect(c, r, 0, &b); },
     true,
     0,
     0,
     {"M 10,20", "L 50,20", "L 50,40", "L 10,40", "Z"}},
    {"FillCircle", [&] { g->FillCircle(c, 5, 6, 7, &b); }, true, 0, 0, {"M 5,-1", "A 5,6 r7 0..360", "Z"}},
    {"FillArc", [&] { g->FillArc(c, 5, 6, 7, 30, 60, &b); }, true, 0, 0, {"M 5,6", "A 5,6 r7 30..60", "Z"}},
    {"FillConvexPolygon",
     [&] { g->FillConvexPolygon(c, xs, ys, 3, &b); },
     true,
     0,
     0,
     {"M 1,2", "L 5,8", "L 9,2", "Z"}},
    {"DrawGrid", [&] { g->DrawGrid(c, IRECT(0, 0, 20, 20), 10, 30, &b, 2); }, false, 2, 0, {"M 10,0", "L 10,20"}},
    {"DrawData", [&] { g->DrawData(c, IRECT(0, 0, 10, 10), ys, 1, nullptr, &b, 2); }, false, 2, 0, {"M 0,-10"}},
  };
  for (const Case& k : cases) {
    g->TakePaints();
    g->mPath.clear();
    g->mPath.push_back(PathOp{PathOp::kMove, {99, 99}, IMatrix()}); // stale: must be cleared first
    k.draw();
    const auto paints = g->TakePaints();
    ASSERT_EQ(paints.size(), 1u) << k.what;
    const PaintCall& p = paints[0];
    EXPECT_EQ(p.isFill, k.fill) << k.what;
    EXPECT_EQ(p.pattern.mType, kSolidPattern) << k.what;
    EXPECT_EQ(p.pattern.mNStops, 1) << k.what;
    EXPECT_EQ(p.pattern.mStops[0].mColor, c) << k.what;
    EXPECT_EQ(p.pattern.mTransform, IMatrix()) << k.what;
    ASSERT_TRUE(p.hasBlend) << k.what;
    EXPECT_EQ(p.blend.mMethod, kBlendAdd) << k.what;
    EXPECT_EQ(p.blend.mWeight, 0.5f) << k.what;
    if (k.fill) {
      EXPECT_EQ(p.fill.mFillRule, kFillWinding) << k.what;
      EXPECT_FALSE(p.fill.mPreserve) << k.what;
    } else {
      EXPECT_EQ(p.thickness, k.thickness) << k.what;
      EXPECT_EQ(p.stroke.mMiterLimit, 10.f) << k.what;
      EXPECT_FALSE(p.stroke.mPreserve) << k.what;
      EXPECT_EQ(p.stroke.mCapOption, kCapButt) << k.what;
      EXPECT_EQ(p.stroke.mJoinOption, kJoinMiter) << k.what;
      EXPECT_EQ(p.stroke.mDash.mCount, k.dash > 0 ? 1 : 0) << k.what;
      EXPECT_EQ(p.stroke.mDash.mArray[0], k.dash) << k.what;
      EXPECT_EQ(p.stroke.mDash.mOffset, 0.f) << k.what;
    }
    Log path;
    for (const PathOp& op : p.path)
      path.push_back(OpStr(op));
    EXPECT_EQ(path, k.path) << k.what;
  }

  // A plot of no points reads none and draws nothing.
  g->DrawData(c, r, nullptr, 0);
  g->DrawData(c, r, ys, 0);
  EXPECT_TRUE(g->TakePaints().empty());

  // A pattern fill passes the pattern itself.
  g->FillRectPattern(gradient, r, nullptr);
  const auto paints = g->TakePaints();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_EQ(paints[0].pattern.mType, kLinearPattern);
  EXPECT_EQ(paints[0].pattern.mStops[1].mColor, COLOR_WHITE);
  EXPECT_FALSE(paints[0].hasBlend);
  EXPECT_EQ(paints[0].path.size(), 5u);
}
