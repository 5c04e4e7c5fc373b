// Recorded paths flattened here (arcs sampled in the back end's convention,
// cubics evaluated, each point through the transform recorded with it) and
// checked against the shapes' own equations; SVG sub-path windings; and the
// drawing operations' heap use after warm-up.

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "EditorFixture.h"
#include "FailingAllocator.h"
#include "IGraphicsConstants.h"
#include "SVGParser.h"

using namespace testsupport;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOnOutline = 1e-3; // points, after float transforms

struct P {
  double x, y;
};

P Apply(const IMatrix& m, double x, double y)
{
  m.TransformPoint(x, y);
  return {x, y};
}

// Dense points along the path: lines split in 16, arcs every degree, cubics
// in 32 steps; closing returns to the sub-path's start.
std::vector<P> Flatten(const std::vector<PathOp>& ops)
{
  std::vector<P> out;
  P cur{0, 0}, start{0, 0}; // in device space
  P curLocal{0, 0};
  bool has = false;
  auto lineTo = [&](P to) {
    if (has)
      for (int i = 1; i <= 16; ++i)
        out.push_back({cur.x + (to.x - cur.x) * i / 16.0, cur.y + (to.y - cur.y) * i / 16.0});
    else
      out.push_back(to);
    cur = to;
    has = true;
  };
  for (const PathOp& op : ops)
    switch (op.kind) {
    case PathOp::kMove:
      cur = start = Apply(op.m, op.v[0], op.v[1]);
      curLocal = {op.v[0], op.v[1]};
      out.push_back(cur);
      has = true;
      break;
    case PathOp::kLine:
      lineTo(Apply(op.m, op.v[0], op.v[1]));
      curLocal = {op.v[0], op.v[1]};
      break;
    case PathOp::kArc: {
      const double cx = op.v[0], cy = op.v[1], r = op.v[2], a1 = op.v[3], a2 = op.v[4];
      const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(a2 - a1))));
      for (int i = 0; i <= steps; ++i) {
        const double a = (a1 + (a2 - a1) * i / steps - 90.0) / 180.0 * kPi;
        const P p = Apply(op.m, cx + r * std::cos(a), cy + r * std::sin(a));
        if (i == 0 && !has) {
          out.push_back(p);
          cur = start = p;
          has = true;
        } else
          lineTo(p);
      }
      break;
    }
    case PathOp::kCubic:
      for (int i = 1; i <= 32; ++i) {
        const double t = i / 32.0, u = 1 - t;
        const double x =
          u * u * u * curLocal.x + 3 * u * u * t * op.v[0] + 3 * u * t * t * op.v[2] + t * t * t * op.v[4];
        const double y =
          u * u * u * curLocal.y + 3 * u * u * t * op.v[1] + 3 * u * t * t * op.v[3] + t * t * t * op.v[5];
        out.push_back(Apply(op.m, x, y));
      }
      curLocal = {op.v[4], op.v[5]};
      cur = out.back();
      break;
    case PathOp::kClose: lineTo(start); break;
    default: break;
    }
  return out;
}

// Largest angular gap between points seen from c, in degrees: small when
// the points go all the way round.
double LargestAngularGap(const std::vector<P>& pts, P c)
{
  std::vector<double> a;
  for (const P& p : pts)
    a.push_back(std::atan2(p.y - c.y, p.x - c.x) * 180.0 / kPi);
  std::sort(a.begin(), a.end());
  double gap = a.front() + 360.0 - a.back();
  for (std::size_t i = 1; i < a.size(); ++i)
    gap = std::max(gap, a[i] - a[i - 1]);
  return gap;
}

// Signed distance to a rounded rectangle with one radius per corner.
double RoundRectDistance(P p, const IRECT& r, float tl, float tr, float br, float bl)
{
  const double cx = r.MW(), cy = r.MH(), hw = r.W() / 2.0, hh = r.H() / 2.0;
  const double dx = p.x - cx, dy = p.y - cy;
  const double rad = dx < 0 ? (dy < 0 ? tl : bl) : (dy < 0 ? tr : br);
  const double qx = std::fabs(dx) - hw + rad, qy = std::fabs(dy) - hh + rad;
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - rad;
}

double Perimeter(const std::vector<P>& pts)
{
  double len = 0;
  for (std::size_t i = 1; i < pts.size(); ++i)
    len += std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
  return len;
}

class PathOutline : public EditorFixture {
protected:
  // The path of the only paint call made.
  std::vector<P> Drawn()
  {
    const auto paints = g->TakePaints();
    EXPECT_EQ(paints.size(), 1u);
    return paints.empty() ? std::vector<P>{} : Flatten(paints[0].path);
  }
};

struct SVGFree {
  void operator()(SVGImage* i) const { svgDelete(i); }
};
using SVGPtr = std::unique_ptr<SVGImage, SVGFree>;

SVGPtr ParseSVG(const std::string& body)
{
  std::string text = "<svg width='100' height='100'>" + body + "</svg>";
  return SVGPtr(svgParse(text.data(), "px", 96.f));
}

} // namespace

TEST_F(PathOutline, EllipsesLieOnTheirEquationAllTheWayRound)
{
  struct Case {
    float x, y, r1, r2, angle;
    bool fromRect;
  };
  const Case cases[] = {
    {30, 30, 20, 10, 0, true}, // FillEllipse over (10, 20, 50, 40)
    {50, 40, 30, 12, 30, false},
    {-5, 7, 3, 9, -110, false},
    {0, 0, 5, 5, 45, false},
  };
  for (const Case& c : cases) {
    if (c.fromRect)
      g->DrawEllipse(COLOR_BLUE, IRECT(c.x - c.r1, c.y - c.r2, c.x + c.r1, c.y + c.r2));
    else
      g->FillEllipseRotated(COLOR_BLUE, c.x, c.y, c.r1, c.r2, c.angle);
    const std::vector<P> pts = Drawn();
    ASSERT_GT(pts.size(), 300u);
    const double a = c.angle / 180.0 * kPi;
    for (const P& p : pts) {
      // Back into the ellipse's own axes (clockwise rotation on screen).
      const double dx = p.x - c.x, dy = p.y - c.y;
      const double u = dx * std::cos(a) + dy * std::sin(a), v = -dx * std::sin(a) + dy * std::cos(a);
      ASSERT_NEAR(std::hypot(u / c.r1, v / c.r2), 1.0, kOnOutline) << c.angle << " at " << p.x << "," << p.y;
    }
    EXPECT_LT(LargestAngularGap(pts, {c.x, c.y}), 2.0) << c.angle;
  }
  // The rotation turns clockwise: the major axis of a 90-degree ellipse is vertical.
  g->FillEllipseRotated(COLOR_BLUE, 0, 0, 10, 2, 90);
  double maxY = 0;
  for (const P& p : Drawn())
    maxY = std::max(maxY, std::fabs(p.y));
  EXPECT_NEAR(maxY, 10.0, 1e-3);
}

TEST_F(PathOutline, RoundedRectWithFourRadiiLiesOnItsOutline)
{
  struct Case {
    IRECT r;
    float tl, tr, br, bl;
  };
  const Case cases[] = {
    {IRECT(10, 20, 90, 60), 5, 12, 0, 20},
    {IRECT(0, 0, 40, 40), 20, 20, 20, 20},
    {IRECT(-30, 5, 10, 15), 0, 0, 3, 0},
  };
  for (const Case& c : cases) {
    g->DrawRoundRectCorners(COLOR_BLACK, c.r, c.tl, c.tr, c.br, c.bl);
    const std::vector<P> pts = Drawn();
    for (const P& p : pts)
      ASSERT_NEAR(RoundRectDistance(p, c.r, c.tl, c.tr, c.br, c.bl), 0.0, kOnOutline) << p.x << "," << p.y;
    // Once round, no more: the perimeter of straight sides and quarter circles.
    const double straight = 2.0 * (c.r.W() + c.r.H()) - 2.0 * (c.tl + c.tr + c.br + c.bl);
    const double curved = kPi / 2.0 * (c.tl + c.tr + c.br + c.bl);
    EXPECT_NEAR(Perimeter(pts), straight + curved, 0.05);
  }
}

TEST_F(PathOutline, PieSliceRunsFromTheCentreAlongTheArcAndBack)
{
  struct Case {
    float cx, cy, r, a1, a2;
  };
  const Case cases[] = {{50, 50, 20, 0, 90}, {0, 0, 10, 200, 330}, {10, -10, 5, -45, 45}};
  for (const Case& c : cases) {
    g->FillArc(COLOR_GREEN, c.cx, c.cy, c.r, c.a1, c.a2);
    const std::vector<P> pts = Drawn();
    ASSERT_FALSE(pts.empty());
    EXPECT_NEAR(pts.front().x, c.cx, 1e-6);
    EXPECT_NEAR(pts.back().y, c.cy, 1e-4); // closed back to the centre
    for (const P& p : pts) {
      const double d = std::hypot(p.x - c.cx, p.y - c.cy);
      // Angle in the arc's convention: 0 up, clockwise.
      double a = std::atan2(p.y - c.cy, p.x - c.cx) * 180.0 / kPi + 90.0;
      while (a < c.a1 - 1e-6)
        a += 360.0;
      while (a > c.a1 + 360.0)
        a -= 360.0;
      const bool onArc = std::fabs(d - c.r) < kOnOutline && a <= c.a2 + 1e-3;
      const bool onRadius = d <= c.r + kOnOutline && (std::fabs(a - c.a1) < 1e-2 || std::fabs(a - c.a2) < 1e-2 ||
                                                      std::fabs(a - 360.0 - c.a2) < 1e-2 || d < 1e-6);
      ASSERT_TRUE(onArc || onRadius) << c.a1 << ".." << c.a2 << " at " << p.x << "," << p.y;
    }
    EXPECT_NEAR(Perimeter(pts), 2 * c.r + c.r * (c.a2 - c.a1) / 180.0 * kPi, 0.01);
  }
}

TEST_F(PathOutline, SVGHolesFollowTheWindingUnderTheShapesFillRule)
{
  auto windings = [&](const std::string& rule, const std::string& d) {
    SVGPtr svg = ParseSVG("<path fill='black' fill-rule='" + rule + "' d='" + d + "'/>");
    g->DrawSVG(ISVG(svg.get()), IRECT(0, 0, 100, 100));
    std::vector<std::pair<int, int>> out; // (first x of the sub-path, winding)
    const auto paints = g->TakePaints();
    EXPECT_EQ(paints.size(), 1u);
    int x = 0;
    for (const PathOp& op : paints.empty() ? std::vector<PathOp>{} : paints[0].path) {
      if (op.kind == PathOp::kMove)
        x = static_cast<int>(std::lround(op.v[0]));
      if (op.kind == PathOp::kWinding)
        out.push_back({x, static_cast<int>(op.v[0])});
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  using W = std::vector<std::pair<int, int>>;
  const std::string ring = "M0 0 H100 V100 H0 Z M25 25 H75 V75 H25 Z";   // both clockwise
  const std::string turned = "M0 0 H100 V100 H0 Z M25 25 V75 H75 V25 Z"; // inner anticlockwise
  const std::string nested = "M0 0 H90 V90 H0 Z M10 10 H80 V80 H10 Z M30 30 H50 V50 H30 Z";
  const std::string round = // outer anticlockwise, inner clockwise
    "M90 50 A40 40 0 1 0 10 50 A40 40 0 1 0 90 50 Z M70 50 A20 20 0 1 1 30 50 A20 20 0 1 1 70 50 Z";
  // A square inside the circle but outside the polygon of its on-curve points.
  const std::string nearCurve = "M90 50 A40 40 0 1 1 10 50 A40 40 0 1 1 90 50 Z M81.5 67.75 h2 v2 h-2 z";
  // The triangle only touches the diagonal through the square's corner.
  const std::string touching = "M50 50 H60 V60 H50 Z M30 30 L40 25 L45 35 Z";
  const struct {
    const char* rule;
    std::string d;
    W expect;
  } cases[] = {
    {"evenodd", ring, {{0, 0}, {25, 1}}},
    {"nonzero", ring, {{0, 0}, {25, 0}}}, // winding 2 inside: filled
    {"nonzero", turned, {{0, 0}, {25, 1}}},
    {"evenodd", turned, {{0, 0}, {25, 1}}},
    {"nonzero", "M0 0 H10 V10 H0 Z M50 50 H60 V60 H50 Z", {{0, 0}, {50, 0}}},
    {"evenodd", nested, {{0, 0}, {10, 1}, {30, 0}}},
    {"nonzero", nested, {{0, 0}, {10, 0}, {30, 0}}},
    {"nonzero", round, {{70, 1}, {90, 0}}},
    {"evenodd", nearCurve, {{82, 1}, {90, 0}}},
    {"nonzero", nearCurve, {{82, 0}, {90, 0}}},
    {"evenodd", touching, {{30, 0}, {50, 0}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(windings(c.rule, c.d), c.expect) << c.rule << " " << c.d;
}

TEST_F(PathOutline, SVGCubicsAreReadOnlyWhereAllThreePointsExist)
{
  // One whole segment and two stray points: the stray points are not read.
  std::vector<float> pts = {0, 0, 1, 0, 2, 0, 3, 0, 4, 4};
  SVGPath path{};
  path.pts = pts.data();
  path.npts = 5;
  path.bounds[2] = path.bounds[3] = 4;
  SVGShape shape{};
  shape.fill.type = kSVGPaintColor;
  shape.fill.color = 0xff0000ff;
  shape.opacity = 1.f;
  shape.flags = kSVGFlagsVisible;
  shape.paths = &path;
  SVGImage image{10, 10, &shape};
  g->DrawSVG(ISVG(&image), IRECT(0, 0, 10, 10));
  const auto paints = g->TakePaints();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_EQ(std::count_if(paints[0].path.begin(), paints[0].path.end(),
                          [](const PathOp& op) { return op.kind == PathOp::kCubic; }),
            1);

  // A document without size draws nothing (no scale to divide by).
  for (float w : {0.f, 10.f}) {
    image.width = w;
    image.height = 10.f - w;
    g->DrawSVG(ISVG(&image), IRECT(0, 0, 10, 10));
    EXPECT_TRUE(g->TakePaints().empty()) << w;
  }
}

TEST_F(PathOutline, SVGIsScaledUniformlyFromTheTopLeftAndPaintedWithItsOwnOptions)
{
  SVGPtr svg(nullptr);
  {
    std::string text = "<svg width='100' height='50'><rect x='0' y='0' width='100' height='50' fill='#ff0000' "
                       "stroke='#0000ff' stroke-width='3' stroke-linecap='round' stroke-linejoin='bevel' "
                       "stroke-miterlimit='7' stroke-dasharray='4 2 1' stroke-dashoffset='1.5' opacity='0.5'/></svg>";
    svg.reset(svgParse(text.data(), "px", 96.f));
  }
  g->DrawSVG(ISVG(svg.get()), IRECT(10, 10, 60, 60));
  const auto paints = g->TakePaints();
  ASSERT_EQ(paints.size(), 2u);
  const PaintCall& fill = paints[0];
  const PaintCall& stroke = paints[1];
  EXPECT_TRUE(fill.isFill);
  EXPECT_EQ(fill.fill.mFillRule, kFillPreserveWinding);
  EXPECT_TRUE(fill.fill.mPreserve); // kept for the stroke
  EXPECT_EQ(fill.pattern.mStops[0].mColor, IColor(128, 255, 0, 0));
  EXPECT_FALSE(stroke.isFill);
  EXPECT_EQ(stroke.thickness, 3.f);
  EXPECT_EQ(stroke.stroke.mCapOption, kCapRound);
  EXPECT_EQ(stroke.stroke.mJoinOption, kJoinBevel);
  EXPECT_EQ(stroke.stroke.mMiterLimit, 7.f);
  EXPECT_FALSE(stroke.stroke.mPreserve);
  ASSERT_EQ(stroke.stroke.mDash.mCount, 3);
  EXPECT_EQ(stroke.stroke.mDash.mArray[2], 1.f);
  EXPECT_EQ(stroke.stroke.mDash.mOffset, 1.5f);
  EXPECT_EQ(stroke.pattern.mStops[0].mColor, IColor(128, 0, 0, 255));
  // Scale 0.5 from (10, 10): the lower half of the rect stays empty.
  double maxY = 0;
  for (const P& p : Flatten(fill.path))
    maxY = std::max(maxY, p.y);
  EXPECT_NEAR(maxY, 35.0, 1e-4);
  EXPECT_EQ(g->GetTransform(), IMatrix());

  // Rotated about the centre by 90 degrees: the wide image stands upright.
  g->DrawRotatedSVG(ISVG(svg.get()), 50, 50, 100, 50, 90.0);
  const auto rotated = g->TakePaints();
  ASSERT_EQ(rotated.size(), 2u);
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY2 = -1e9;
  for (const P& p : Flatten(rotated[0].path)) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY2 = std::max(maxY2, p.y);
  }
  EXPECT_NEAR(minX, 25.0, 1e-3);
  EXPECT_NEAR(maxX, 75.0, 1e-3);
  EXPECT_NEAR(minY, 0.0, 1e-3);
  EXPECT_NEAR(maxY2, 100.0, 1e-3);
}

TEST_F(PathOutline, SVGPaintsBecomePatterns)
{
  struct Case {
    const char* what;
    SVGPaint paint;
    float opacity;
    IPattern expect;
  };
  SVGGradientStop stops[20];
  for (int i = 0; i < 20; ++i)
    stops[i] = {0x80000000u | static_cast<std::uint32_t>(i), i / 19.f};
  SVGGradient grad{{1, 2, 3, 4, 5, 6}, 1, 0, 0, 20, stops};
  SVGGradient odd{{1, 0, 0, 1, 0, 0}, 7, 0, 0, 2, stops};
  auto paint = [](char type, std::uint32_t color) {
    SVGPaint p{};
    p.type = type;
    p.color = color;
    return p;
  };
  auto gradPaint = [](char type, SVGGradient* g) {
    SVGPaint p{};
    p.type = type;
    p.gradient = g;
    return p;
  };

  IPattern linear(kLinearPattern);
  linear.mExtend = kExtendReflect;
  linear.mNStops = 16;
  for (int i = 0; i < 16; ++i)
    linear.mStops[i] = {IColor(26, i, 0, 0), i / 19.f}; // 0.2 x 128, rounded
  linear.mTransform = IMatrix(1, 2, 3, 4, 5, 6);
  IPattern radial(kRadialPattern);
  radial.mNStops = 2;
  radial.mStops[0] = {IColor(128, 0, 0, 0), 0.f};
  radial.mStops[1] = {IColor(128, 1, 0, 0), 1 / 19.f};

  const Case cases[] = {
    {"colour's own alpha", paint(kSVGPaintColor, 0x11332211u), 1.f, IPattern(IColor(0x11, 0x11, 0x22, 0x33))},
    {"fill opacity 0.5", paint(kSVGPaintColor, 0x7f0000ffu), 1.f, IPattern(IColor(127, 255, 0, 0))},
    {"fill opacity times opacity", paint(kSVGPaintColor, 0x7f0000ffu), 0.5f, IPattern(IColor(64, 255, 0, 0))},
    {"half opacity rounds up", paint(kSVGPaintColor, 0xff0000ffu), 0.5f, IPattern(IColor(128, 255, 0, 0))},
    {"opacity above 1", paint(kSVGPaintColor, 0xff00ff00u), 3.f, IPattern(IColor(255, 0, 255, 0))},
    {"negative opacity", paint(kSVGPaintColor, 0xff00ff00u), -1.f, IPattern(IColor(0, 0, 255, 0))},
    {"not a number", paint(kSVGPaintColor, 0xff00ff00u), NAN, IPattern(IColor(0, 0, 255, 0))},
    {"20 stops keep 16, each alpha times opacity", gradPaint(kSVGPaintLinearGradient, &grad), 0.2f, linear},
    {"spread out of range pads", gradPaint(kSVGPaintRadialGradient, &odd), 1.f, radial},
    {"no paint", paint(kSVGPaintNone, 0xffffffffu), 0.4f, IPattern(IColor(102, 0, 0, 0))},
    {"unknown", paint(9, 0xffffffffu), 1.f, IPattern(IColor(255, 0, 0, 0))},
  };
  for (const Case& c : cases) {
    const IPattern p = IGraphics::GetPatternFromSVGPaint(c.paint, c.opacity);
    EXPECT_EQ(p.mType, c.expect.mType) << c.what;
    EXPECT_EQ(p.mExtend, c.expect.mExtend) << c.what;
    EXPECT_EQ(p.mNStops, c.expect.mNStops) << c.what;
    for (int i = 0; i < IPattern::kMaxStops; ++i) {
      EXPECT_EQ(p.mStops[i].mColor, c.expect.mStops[i].mColor) << c.what << " stop " << i;
      EXPECT_EQ(p.mStops[i].mOffset, c.expect.mStops[i].mOffset) << c.what << " stop " << i;
    }
    EXPECT_EQ(p.mTransform, c.expect.mTransform) << c.what;
  }
}

TEST_F(PathOutline, DrawingMakesNoHeapAllocationAfterWarmUp)
{
  SVGPtr svg = ParseSVG("<path fill='red' stroke='blue' d='M0 0 H100 V100 H0 Z M25 25 H75 V75 H25 Z'/>");
  std::vector<std::uint8_t> pixels(16 * 16 * 4, 255);
  RGBAImage img{16, 16, pixels};
  std::unique_ptr<TestBitmap> api(TestGraphics::MakeBitmap(img, 1.f));
  const IBitmap font(api.get(), 16, false, "font.png");
  g->StartLayer(nullptr, IRECT(0, 0, 8, 8));
  ILayerPtr layer = g->EndLayer();
  float xs[] = {0, 10, 20}, ys[] = {0, 0.5f, 1};
  IText text;
  text.mAngle = 30.f;

  auto drawAll = [&] {
    g->DrawLine(COLOR_RED, 0, 0, 10, 10, &BLEND_50, 2.f);
    g->DrawDottedLine(COLOR_RED, 0, 0, 10, 10);
    g->DrawRect(COLOR_RED, IRECT(0, 0, 10, 10));
    g->FillRoundRectCorners(COLOR_RED, IRECT(0, 0, 50, 20), 1, 2, 3, 4);
    g->DrawEllipseRotated(COLOR_RED, 10, 10, 5, 3, 20);
    g->FillArc(COLOR_RED, 10, 10, 5, 0, 120);
    g->DrawGrid(COLOR_RED, IRECT(0, 0, 100, 100), 10, 10);
    g->DrawData(COLOR_RED, IRECT(0, 0, 100, 100), ys, 3, xs);
    g->FillConvexPolygon(COLOR_RED, xs, ys, 3);
    g->DrawRadialLine(COLOR_RED, 5, 5, 45, 1, 4);
    g->DrawVerticalLine(COLOR_RED, IRECT(0, 0, 10, 10), 0.3f);
    g->DrawSVG(ISVG(svg.get()), IRECT(0, 0, 50, 50));
    g->DrawRotatedSVG(ISVG(svg.get()), 25, 25, 50, 50, 33.0);
    g->DrawBitmapText(font, IRECT(0, 0, 60, 20), DEFAULT_TEXT, nullptr, "Hello, world", true, true, 6, 12, 1);
    g->DrawFittedBitmap(font, IRECT(0, 0, 30, 30));
    g->DrawText(text, "Gain", IRECT(0, 0, 40, 20));
    g->DrawLayer(layer);
    g->DrawRotatedLayer(layer, 15.0);
    g->PathClipRegion(IRECT(1, 1, 5, 5));
  };
  g->mQuiet = true;
  drawAll(); // warm-up: the transform stack finds its size
  const int buffersBefore = BufferAllocationCalls();
  ScopedAllocationCount count;
  drawAll();
  drawAll();
  EXPECT_EQ(count.Count(), 0u);
  EXPECT_EQ(BufferAllocationCalls(), buffersBefore);
  g->mQuiet = false;
}
