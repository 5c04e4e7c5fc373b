// Path data, arcs against an independent construction, and cubic bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "SVGTestSupport.h"

using namespace svgtest;

namespace {

using Pts = std::vector<Point>;

// Every path of the elements' shapes, in document order, as points. The
// document's view is the identity, so points are as written.
std::vector<Pts> ElementPaths(const std::string& body)
{
  ImagePtr image = Parse("<svg width='500' height='500'>" + body + "</svg>");
  std::vector<Pts> out;
  for (const SVGShape* s : Shapes(image.get())) {
    for (const SVGPath* path : Paths(s)) {
      Pts pts;
      for (int i = 0; i < path->npts; i++)
        pts.push_back({path->pts[2 * i], path->pts[2 * i + 1]});
      out.push_back(pts);
    }
  }
  return out;
}

std::vector<Pts> PathsOf(const std::string& d) { return ElementPaths("<path d='" + d + "'/>"); }

struct Box {
  double x0, y0, x1, y1;
};

// Tight bounds of the one shape the path data makes, in the document's units.
Box BoundsOf(const std::string& d)
{
  ImagePtr image = Parse("<svg width='500' height='500'><path d='" + d + "'/></svg>");
  const auto shapes = Shapes(image.get());
  if (shapes.size() != 1)
    return {NAN, NAN, NAN, NAN};
  const float* b = shapes[0]->bounds;
  return {b[0], b[1], b[2], b[3]};
}

void ExpectBox(const Box& got, const Box& want, double tol, const std::string& what)
{
  EXPECT_NEAR(got.x0, want.x0, tol) << what;
  EXPECT_NEAR(got.y0, want.y0, tol) << what;
  EXPECT_NEAR(got.x1, want.x1, tol) << what;
  EXPECT_NEAR(got.y1, want.y1, tol) << what;
}

Point Bezier(const Pts& p, size_t i, double t)
{
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * p[i].x + b * p[i + 1].x + c * p[i + 2].x + d * p[i + 3].x,
          a * p[i].y + b * p[i + 1].y + c * p[i + 2].y + d * p[i + 3].y};
}

void ExpectPoint(Point p, double x, double y, const std::string& what)
{
  EXPECT_NEAR(p.x, x, 1e-4) << what;
  EXPECT_NEAR(p.y, y, 1e-4) << what;
}

} // namespace

TEST(SVGPathData, CommandsBuildTheDocumentedCubics)
{
  const struct {
    const char* d;
    std::vector<size_t> pointCounts; // per path
    Point first;                     // first point of the first path
    Point last;                      // last point of the last path
  } cases[] = {
    {"M10 10 L20 10 20 20 Z", {10}, {10, 10}, {10, 10}},
    {"M0 0 m5 5 l1 1", {4}, {5, 5}, {6, 6}},
    {"L10 10 m5 5 l1 1", {4}, {15, 15}, {16, 16}},
    {"M0 0 10 0 10 10", {7}, {0, 0}, {10, 10}},
    {"m1 1 2 2", {4}, {1, 1}, {3, 3}},
    {"M1 2 h3 v4 H0 V0", {13}, {1, 2}, {0, 0}},
    {"M0 0 L 1 2 3", {4}, {0, 0}, {1, 2}},
    {"5 5 M0 0 L1 1", {4}, {0, 0}, {1, 1}},
    {"M0 0 X 5 5 L1 1", {4}, {0, 0}, {1, 1}},
    {"M0,0L1e1,2e0", {4}, {0, 0}, {10, 2}},
    {"M0-5L.5.5", {4}, {0, -5}, {0.5, 0.5}},
    {"M0 0 L10 0 L10 10 Z L 0 10", {10, 4}, {0, 0}, {0, 10}},
    {"M0 0 L10 0 z m 1 1 l 2 0", {7, 4}, {0, 0}, {3, 1}},
    {"M0 0 A 0 5 0 0 1 10 0", {4}, {0, 0}, {10, 0}},
    {"M0 0 A 5 5 0 0 1 0 0", {4}, {0, 0}, {0, 0}},
    // Radii or angles that are not finite give a line, not NaN curves.
    {"M0 0 A 1e999 5 0 0 1 10 0", {4}, {0, 0}, {10, 0}},
    {"M0 0 A 5 5 1e999 0 1 10 0", {4}, {0, 0}, {10, 0}},
    {"M10 0 A 10 10 0 0 1 7.0710678 7.0710678", {4}, {10, 0}, {7.0710678, 7.0710678}},
    {"M10 0 A 10 10 0 0 1 -7.0710678 7.0710678", {7}, {10, 0}, {-7.0710678, 7.0710678}},
    {"M0 0", {}, {}, {}},
    {"", {}, {}, {}},
  };
  for (const auto& c : cases) {
    const auto paths = PathsOf(c.d);
    std::vector<size_t> counts;
    for (const auto& p : paths)
      counts.push_back(p.size());
    EXPECT_EQ(counts, c.pointCounts) << c.d;
    if (paths.empty())
      continue;
    ExpectPoint(paths.front().front(), c.first.x, c.first.y, c.d);
    ExpectPoint(paths.back().back(), c.last.x, c.last.y, c.d);
  }
}

TEST(SVGPathData, ArcFlagsAreSingleDigitsAndNumbersStayWithTheirCommand)
{
  // Bounds worked out from the circles: a half circle of radius 7 from (0, 0)
  // to (0, 14) bulging left (sweep 0), or of radius 5 from (0, 0) to (10, 0)
  // bulging up (sweep 1, y down).
  const struct {
    const char* d;
    Box bounds;
  } cases[] = {
    {"M0 0 a7 7 0 1 0 0 14", {-7, 0, 0, 14}},
    {"M0 0 a7 7 0 100 14", {-7, 0, 0, 14}},
    {"M0 0a7,7,0,1,0,0,14", {-7, 0, 0, 14}},
    {"M0 0 a5 5 0 0110 0", {0, -5, 10, 0}},
    {"M0 0 A5 5 0 01 10 0", {0, -5, 10, 0}},
    {"M0 0 a5 5 0 01.5 0 a5 5 0 0 1 9.5 0", {0, -3.438751, 10, 0}},
    // A pending number is dropped when the next command letter comes.
    {"M0 0 L10 0 5 H20", {0, 0, 20, 0}},
    {"M0 0 C1 1 2 2 V5 L3 3", {0, 0, 3, 5}},
    {"M0 0 L4 4 1 Z l2 0", {0, 0, 4, 4}},
  };
  for (const auto& c : cases)
    ExpectBox(BoundsOf(c.d), c.bounds, 1e-3, c.d);
}

TEST(SVGPathData, LinesHaveControlsAtThirdsAndQuadraticsAreElevated)
{
  const auto line = PathsOf("M0 0 L30 60");
  ASSERT_EQ(line.size(), 1u);
  ExpectPoint(line[0][1], 10, 20, "line c1");
  ExpectPoint(line[0][2], 20, 40, "line c2");

  // Q to cubic: controls at two thirds towards the quadratic control; T
  // reflects that control through the current point.
  const auto quad = PathsOf("M0 0 Q 30 60 60 0 T 120 0");
  ASSERT_EQ(quad.size(), 1u);
  ASSERT_EQ(quad[0].size(), 7u);
  ExpectPoint(quad[0][1], 20, 40, "Q c1");
  ExpectPoint(quad[0][2], 40, 40, "Q c2");
  ExpectPoint(quad[0][4], 80, -40, "T c1");
  ExpectPoint(quad[0][5], 100, -40, "T c2");
  // A quadratic's cubic passes through the quadratic's midpoint.
  ExpectPoint(Bezier(quad[0], 0, 0.5), 30, 30, "Q middle");

  // S reflects the previous second control; relative forms add the start.
  const auto smooth = PathsOf("M0 0 C 10 20 30 20 40 0 s 30 -20 40 0");
  ASSERT_EQ(smooth[0].size(), 7u);
  ExpectPoint(smooth[0][4], 50, -20, "S c1");
  ExpectPoint(smooth[0][5], 70, -20, "S c2");
  ExpectPoint(smooth[0][6], 80, 0, "S end");
}

TEST(SVGPathData, SmoothCurvesAfterAStraightPieceStartFromTheCurrentPoint)
{
  // Only a curve leaves a control point to reflect: after a move, a line, an
  // arc or a close the reflected control is the current point itself. A
  // quadratic's control q becomes cubic controls p + 2/3 (q - p), e + 2/3 (q - e).
  const struct {
    const char* d;
    Point c1, c2; // of the last cubic of the last path
  } cases[] = {
    {"M10 10 S30 0 40 10", {10, 10}, {30, 0}},
    {"M0 0 C0 9 9 9 9 0 M20 20 S30 0 40 10", {20, 20}, {30, 0}},
    {"M0 0 C0 9 9 9 9 0 L20 0 S30 9 40 0", {20, 0}, {30, 9}},
    {"M0 0 C0 9 9 9 9 0 H20 s10 9 20 0", {20, 0}, {30, 9}},
    {"M0 0 C0 9 9 9 9 0 V20 S30 9 40 0", {9, 20}, {30, 9}},
    {"M0 0 C0 9 9 9 9 0 A5 5 0 0 1 19 0 S30 9 40 0", {19, 0}, {30, 9}},
    {"M0 0 C0 9 9 9 9 0 Z S30 9 40 0", {0, 0}, {30, 9}},
    {"M5 5 T20 5", {5, 5}, {10, 5}},
    {"M0 0 Q9 9 18 0 L30 0 T60 0", {30, 0}, {40, 0}},
    {"M0 0 Q9 9 18 0 A6 6 0 0 0 30 0 t30 0", {30, 0}, {40, 0}},
    {"M0 0 Q9 9 18 0 m12 0 T60 0", {30, 0}, {40, 0}},
  };
  for (const auto& c : cases) {
    const auto paths = PathsOf(c.d);
    ASSERT_FALSE(paths.empty()) << c.d;
    const Pts& p = paths.back();
    ASSERT_GE(p.size(), 4u) << c.d;
    ExpectPoint(p[p.size() - 3], c.c1.x, c.c1.y, std::string(c.d) + " c1");
    ExpectPoint(p[p.size() - 2], c.c2.x, c.c2.y, std::string(c.d) + " c2");
  }
}

TEST(SVGShapes, CirclesAndEllipsesAreFourQuarterCubicsOnTheirOutline)
{
  // From the right end clockwise on screen (y down) through the bottom, left
  // and top ends; every curve keeps to the outline, and its controls lie on
  // the tangents at its ends.
  const struct {
    const char* body;
    double cx, cy, rx, ry;
  } cases[] = {
    {"<circle cx='5' cy='5' r='2'/>", 5, 5, 2, 2},
    {"<ellipse cx='30' cy='10' rx='20' ry='5'/>", 30, 10, 20, 5},
    {"<ellipse cx='-4' cy='40' rx='3' ry='12'/>", -4, 40, 3, 12},
  };
  for (const auto& c : cases) {
    const auto paths = ElementPaths(c.body);
    ASSERT_EQ(paths.size(), 1u) << c.body;
    const Pts& p = paths[0];
    ASSERT_GE(p.size(), 13u) << c.body;
    const double ends[5][2] = {{c.rx, 0}, {0, c.ry}, {-c.rx, 0}, {0, -c.ry}, {c.rx, 0}};
    for (size_t q = 0; q < 4; q++) {
      const std::string what = std::string(c.body) + " quarter " + std::to_string(q);
      const size_t i = 3 * q;
      ExpectPoint(p[i], c.cx + ends[q][0], c.cy + ends[q][1], what);
      ExpectPoint(p[i + 3], c.cx + ends[q + 1][0], c.cy + ends[q + 1][1], what);
      // The tangent at an end on the x axis is vertical, on the y axis horizontal.
      EXPECT_NEAR(ends[q][0] != 0 ? p[i + 1].x : p[i + 1].y, ends[q][0] != 0 ? p[i].x : p[i].y, 1e-4) << what;
      EXPECT_NEAR(ends[q + 1][0] != 0 ? p[i + 2].x : p[i + 2].y, ends[q + 1][0] != 0 ? p[i + 3].x : p[i + 3].y, 1e-4)
        << what;
      for (double t : {0.25, 0.5, 0.75}) {
        const Point b = Bezier(p, i, t);
        const double u = (b.x - c.cx) / c.rx, v = (b.y - c.cy) / c.ry;
        EXPECT_NEAR(std::hypot(u, v), 1, 5e-4) << what << " at " << t;
      }
    }
  }
}

namespace {

// The arc as a centre, radii and angles, found geometrically: in the space
// where the ellipse is the unit circle both end points lie on it, the centre
// sits on the perpendicular bisector of their chord, and the flags pick the
// side. Angles are measured in that space.
struct ArcReference {
  double rx, ry, phi, cu, cv, theta1, dtheta;

  Point ToUnit(double x, double y) const
  {
    const double c = std::cos(phi), s = std::sin(phi);
    return {(c * x + s * y) / rx, (-s * x + c * y) / ry};
  }
};

ArcReference MakeReference(double x1, double y1, double x2, double y2, double rx, double ry, double phiDeg, bool fa,
                           bool fs)
{
  ArcReference r{std::fabs(rx), std::fabs(ry), phiDeg * std::numbers::pi / 180.0, 0, 0, 0, 0};
  Point p1 = r.ToUnit(x1, y1), p2 = r.ToUnit(x2, y2);
  double hx = (p2.x - p1.x) / 2, hy = (p2.y - p1.y) / 2;
  double h = std::hypot(hx, hy);
  if (h > 1) {
    // Radii too small for the chord grow until it is a diameter.
    r.rx *= h;
    r.ry *= h;
    p1 = r.ToUnit(x1, y1);
    p2 = r.ToUnit(x2, y2);
    hx /= h;
    hy /= h;
    h = 1;
  }
  const double dist = std::sqrt(std::max(0.0, 1 - h * h));
  const double mx = (p1.x + p2.x) / 2, my = (p1.y + p2.y) / 2;
  for (int side : {1, -1}) {
    const double cu = mx - side * hy / h * dist, cv = my + side * hx / h * dist;
    const double a1 = std::atan2(p1.y - cv, p1.x - cu), a2 = std::atan2(p2.y - cv, p2.x - cu);
    double d = a2 - a1;
    if (fs) {
      while (d <= 0)
        d += 2 * std::numbers::pi;
    } else {
      while (d >= 0)
        d -= 2 * std::numbers::pi;
    }
    if ((std::fabs(d) > std::numbers::pi) == fa || dist < 1e-9) {
      r.cu = cu;
      r.cv = cv;
      r.theta1 = a1;
      r.dtheta = d;
      break;
    }
  }
  return r;
}

} // namespace

TEST(SVGArc, MatchesAnIndependentCentreConstructionForEveryFlagPair)
{
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<double> coord(-100, 100), radius(0.5, 150), angle(-180, 180);
  int checked = 0;
  for (int fa = 0; fa < 2; fa++) {
    for (int fs = 0; fs < 2; fs++) {
      for (int n = 0; n < 250; n++) {
        const float x1 = static_cast<float>(coord(rng)), y1 = static_cast<float>(coord(rng));
        const float x2 = static_cast<float>(coord(rng)), y2 = static_cast<float>(coord(rng));
        const float args[7] = {static_cast<float>(radius(rng)),
                               static_cast<float>(radius(rng)),
                               static_cast<float>(angle(rng)),
                               static_cast<float>(fa),
                               static_cast<float>(fs),
                               x2,
                               y2};
        const ArcReference ref = MakeReference(x1, y1, x2, y2, args[0], args[1], args[2], fa, fs);

        SVGParser* p = svgCreateParser();
        ASSERT_NE(p, nullptr);
        svgMoveTo(p, x1, y1);
        float cpx = x1, cpy = y1;
        svgPathArcTo(p, &cpx, &cpy, args, false);
        Pts pts;
        for (int i = 0; i < p->npts; i++)
          pts.push_back({p->pts[2 * i], p->pts[2 * i + 1]});
        svgDelete(p->image);
        svgDeleteParser(p);

        const std::string what =
          "case " + std::to_string(n) + " fa " + std::to_string(fa) + " fs " + std::to_string(fs);
        ASSERT_GE(pts.size(), 4u) << what;
        ASSERT_EQ((pts.size() - 1) % 3, 0u) << what;
        EXPECT_EQ(pts.front().x, x1) << what;
        EXPECT_EQ(pts.front().y, y1) << what;
        EXPECT_EQ(pts.back().x, x2) << what;
        EXPECT_EQ(pts.back().y, y2) << what;
        EXPECT_EQ(cpx, x2);
        EXPECT_EQ(cpy, y2);

        // Walk the curves: every sample on the ellipse, angles moving one way,
        // adding up to the reference sweep.
        double swept = 0;
        Point prev = ref.ToUnit(pts[0].x, pts[0].y);
        double prevAngle = std::atan2(prev.y - ref.cv, prev.x - ref.cu);
        double worst = 0;
        bool monotonic = true;
        for (size_t i = 0; i + 3 < pts.size(); i += 3) {
          for (int k = 1; k <= 64; k++) {
            const Point w = Bezier(pts, i, k / 64.0);
            const Point u = ref.ToUnit(w.x, w.y);
            worst = std::max(worst, std::fabs(std::hypot(u.x - ref.cu, u.y - ref.cv) - 1));
            const double a = std::atan2(u.y - ref.cv, u.x - ref.cu);
            double step = a - prevAngle;
            if (step > std::numbers::pi)
              step -= 2 * std::numbers::pi;
            if (step < -std::numbers::pi)
              step += 2 * std::numbers::pi;
            if (step * ref.dtheta < -1e-6)
              monotonic = false;
            swept += step;
            prevAngle = a;
          }
        }
        EXPECT_LT(worst, 1e-3) << what;
        EXPECT_TRUE(monotonic) << what;
        EXPECT_NEAR(swept, ref.dtheta, 2e-3) << what;
        checked++;
      }
    }
  }
  EXPECT_EQ(checked, 1000);
}

TEST(SVGArc, LargeArcWhoseEndsNearlyMeetIsAlmostAWholeCircle)
{
  // Radius 20 from (20, 0) to a point a hair away: the circle through both
  // is centred near (0, 0) or near (40, 0); the flags pick the centre from
  // which the sweep in their direction is the large one, so the bounds are
  // that whole circle. The small arc is the hair itself.
  const struct {
    const char* d;
    Box bounds;
  } cases[] = {
    {"M20 0 A20 20 0 1 0 20 0.004", {-20, -20, 20, 20}},   {"M20 0 A20 20 0 1 1 20 0.004", {20, -20, 60, 20}},
    {"M20 0 A20 20 0 1 1 20 -0.004", {-20, -20, 20, 20}},  {"M20 0 A20 20 0 1 0 20 -0.001", {20, -20, 60, 20}},
    {"M20 0 A20 20 0 1 1 19.999 0", {0, 0, 40, 40}},       {"M20 0 A20 20 0 0 1 20 0.004", {20, 0, 20, 0.004}},
    {"M20 0 A20 20 0 0 0 20 -0.004", {20, -0.004, 20, 0}},
  };
  for (const auto& c : cases)
    ExpectBox(BoundsOf(c.d), c.bounds, 0.01, c.d);
}

TEST(SVGCurveBounds, ContainTenThousandSamplesAndTouchTheirExtremes)
{
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(-100, 100);
  std::vector<std::vector<float>> curves = {
    {0, 0, 0, 0, 0, 0, 0, 0},         // a point
    {0, 0, 10, 10, 20, 20, 30, 30},   // a line, controls inside
    {0, 0, 50, 100, 50, 100, 100, 0}, // one extreme in y
    {0, 0, 40, 60, 80, 60, 120, 0},   // elevated quadratic: a = 0 in y
    {0, 0, 100, -50, -50, 50, 50, 0}, // loops out in x
  };
  for (int i = 0; i < 200; i++) {
    std::vector<float> c(8);
    for (float& v : c)
      v = coord(rng);
    curves.push_back(c);
  }
  for (const auto& c : curves) {
    float b[4];
    svgCurveBounds(b, c.data());
    double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30};
    for (int k = 0; k <= 10000; k++) {
      const double t = k / 10000.0, u = 1 - t;
      for (int a = 0; a < 2; a++) {
        const double v = u * u * u * c[a] + 3 * u * u * t * c[2 + a] + 3 * u * t * t * c[4 + a] + t * t * t * c[6 + a];
        lo[a] = std::min(lo[a], v);
        hi[a] = std::max(hi[a], v);
      }
    }
    for (int a = 0; a < 2; a++) {
      EXPECT_LE(b[a], lo[a] + 1e-4);
      EXPECT_GE(b[2 + a], hi[a] - 1e-4);
      // Tight: no farther out than sampling can miss near a flat extreme.
      EXPECT_GE(b[a], lo[a] - 1e-3);
      EXPECT_LE(b[2 + a], hi[a] + 1e-3);
    }
  }
}

TEST(SVGTransform, ListsComposeRightToLeftAndMalformedFunctionsAreIgnored)
{
  const struct {
    const char* text;
    Point in, out;
  } cases[] = {
    {"translate(5)", {1, 1}, {6, 1}},
    {"translate(5, -2)", {1, 1}, {6, -1}},
    {"scale(2)", {1, 3}, {2, 6}},
    {"scale(2 3)", {1, 3}, {2, 9}},
    {"rotate(90 10 10)", {20, 10}, {10, 20}},
    {"rotate(90)", {1, 0}, {0, 1}},
    {"translate(10,0) scale(2)", {1, 0}, {12, 0}},
    {"scale(2) translate(10,0)", {1, 0}, {22, 0}},
    {"skewX(45)", {0, 1}, {1, 1}},
    {"skewY(45)", {1, 0}, {1, 1}},
    {"matrix(1 2 3 4 5 6)", {1, 1}, {9, 12}},
    {"matrix(1,0,0,1,-1e1,.5)", {0, 0}, {-10, 0.5}},
    // Malformed: ignored, the rest still read.
    {"matrix(1 2 3)", {1, 1}, {1, 1}},
    {"rotate(30 1)", {1, 1}, {1, 1}},
    {"translate(1 2 3) scale(2)", {1, 1}, {2, 2}},
    {"translate", {1, 1}, {1, 1}},
    {"scale(2", {1, 1}, {1, 1}},
    {"rotate()", {1, 1}, {1, 1}},
    {"skewX(1 2)", {1, 1}, {1, 1}},
    {"junk scale(3) junk", {1, 1}, {3, 3}},
  };
  for (const auto& c : cases) {
    float t[6];
    svgParseTransform(t, c.text);
    const Point out = Map(t, c.in.x, c.in.y);
    EXPECT_NEAR(out.x, c.out.x, 1e-5) << c.text;
    EXPECT_NEAR(out.y, c.out.y, 1e-5) << c.text;
  }
}

TEST(SVGTransform, InverseUndoesTheMatrixAndNearSingularGivesIdentity)
{
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> v(-3, 3);
  for (int n = 0; n < 100; n++) {
    float t[6], inv[6];
    for (float& x : t)
      x = v(rng);
    const float copy[6] = {t[0], t[1], t[2], t[3], t[4], t[5]};
    plugin::AffineInverse(inv, t);
    EXPECT_EQ(std::memcmp(copy, t, sizeof(t)), 0);
    const double det = double(t[0]) * t[3] - double(t[2]) * t[1];
    if (std::fabs(det) < 0.05)
      continue;
    const Point p = Map(t, 1.5, -2.5), back = Map(inv, p.x, p.y);
    EXPECT_NEAR(back.x, 1.5, 1e-3);
    EXPECT_NEAR(back.y, -2.5, 1e-3);
  }
  const float nearSingular[6] = {1e-7f, 0, 0, 1, 5, 6};
  float inv[6];
  plugin::AffineInverse(inv, nearSingular);
  const float identity[6] = {1, 0, 0, 1, 0, 0};
  EXPECT_EQ(std::memcmp(inv, identity, sizeof(inv)), 0);
}
