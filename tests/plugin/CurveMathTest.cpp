// Curve arithmetic: built-in references, level conversion, interpolation and
// the centred difference, against values and properties worked out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "CurveMath.h"
#include "ReferenceCurves.h"

namespace {

constexpr double kExact = 1e-12;

// The Bezier segment evaluated independently: de Casteljau on the control
// points, the parameter found by a fine bisection on the x curve.
double DeCasteljau(const double p[4], double t)
{
  double a[4] = {p[0], p[1], p[2], p[3]};
  for (int level = 3; level > 0; --level)
    for (int i = 0; i < level; ++i)
      a[i] = a[i] + t * (a[i + 1] - a[i]);
  return a[0];
}

double ExactSegment(const double* x, const double* y, double f)
{
  const double cx[4] = {x[1], x[1] + (x[2] - x[0]) / 8, x[2] - (x[3] - x[1]) / 8, x[2]};
  const double cy[4] = {y[1], y[1] + (y[2] - y[0]) / 8, y[2] - (y[3] - y[1]) / 8, y[2]};
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 60; ++i) {
    const double mid = 0.5 * (lo + hi);
    (DeCasteljau(cx, mid) < f ? lo : hi) = mid;
  }
  return DeCasteljau(cy, 0.5 * (lo + hi));
}

} // namespace

TEST(ReferenceCurves, GridIsTheSixPerOctaveTableRoundedToOneDecimal)
{
  const double expected[kReferenceCurvePoints] = {
    10.0,    11.2,    12.6,    14.1,    15.9,    17.8,    20.0,   22.4,   25.2,   28.3,   31.7,   35.6,
    40.0,    44.9,    50.4,    56.6,    63.5,    71.3,    80.0,   89.8,   100.8,  113.1,  127.0,  142.5,
    160.0,   179.6,   201.6,   226.3,   254.0,   285.1,   320.0,  359.2,  403.2,  452.5,  508.0,  570.2,
    640.0,   718.4,   806.3,   905.1,   1015.9,  1140.4,  1280.0, 1436.8, 1612.7, 1810.2, 2031.9, 2280.7,
    2560.0,  2873.5,  3225.4,  3620.4,  4063.7,  4561.4,  5120.0, 5747.0, 6450.8, 7240.8, 8127.5, 9122.8,
    10240.0, 11494.0, 12901.6, 14481.5, 16255.0, 18245.6, 20480.0};
  for (int k = 0; k < kReferenceCurvePoints; ++k)
    EXPECT_NEAR(ReferenceCurveFrequency(k), expected[k], kExact) << k;
  EXPECT_EQ(ReferenceCurveFrequency(-1), 0.0);
  EXPECT_EQ(ReferenceCurveFrequency(67), 0.0);
}

TEST(ReferenceCurves, EveryValueOfTheFourTablesIsInPlace)
{
  // Sum and position-weighted sum (sum of (k+1) * value) of each
  // column: a wrong, missing or swapped value changes one of them.
  const double sums[4][2] = {
    {1.022076, 27.900014}, {1.122321, 28.357914}, {1.125657, 28.667937}, {1.441571, 29.126148}};
  for (int r = 0; r < kReferenceCurveCount; ++r) {
    double sum = 0.0, weighted = 0.0;
    for (int k = 0; k < kReferenceCurvePoints; ++k) {
      sum += ReferenceCurveMagnitude(r, k);
      weighted += (k + 1) * ReferenceCurveMagnitude(r, k);
    }
    EXPECT_NEAR(sum, sums[r][0], 1e-9) << r;
    EXPECT_NEAR(weighted, sums[r][1], 1e-8) << r;
  }
  struct Row {
    int k;
    double v[4];
  };
  const Row rows[] = {
    {0, {0.000032, 0.000028, 0.000038, 0.000077}},  {13, {0.032061, 0.034389, 0.038630, 0.131436}},
    {17, {0.045104, 0.089760, 0.054284, 0.060958}}, {40, {0.013445, 0.011469, 0.012520, 0.007263}},
    {66, {0.000110, 0.000094, 0.000042, 0.000119}},
  };
  for (const Row& row : rows)
    for (int r = 0; r < 4; ++r)
      EXPECT_EQ(ReferenceCurveMagnitude(r, row.k), row.v[r]) << row.k << " " << r;
}

TEST(ReferenceCurves, CopyingAnUnknownIndexGivesReferenceZero)
{
  Vorelle3CurveRecord a, b;
  CopyReferenceCurve(7, a);
  CopyReferenceCurve(0, b);
  ASSERT_EQ(a.count, 67u);
  for (unsigned k = 0; k < a.count; ++k) {
    EXPECT_EQ(a.mag[k], b.mag[k]);
    EXPECT_EQ(a.freq[k], b.freq[k]);
  }
}

TEST(LevelConversion, FollowsTwentyLogTenWithAFloorAtMinus144)
{
  struct Case {
    double x, dB;
  };
  const Case cases[] = {{1.0, 0.0},         {10.0, 20.0},  {0.1, -20.0},    {-2.0, 6.020599913279624},
                        {6.309e-8, -144.0}, {0.0, -144.0}, {-1e-9, -144.0}, {std::nan(""), -144.0},
                        {1e-7, -140.0}};
  for (const Case& c : cases)
    EXPECT_NEAR(LevelToDB(c.x), c.dB, 1e-9) << c.x;

  const Case gains[] = {{-144.0, 0.0}, {-300.0, 0.0}, {0.0, 1.0}, {6.0, 1.9952623149688795}, {-20.0, 0.1}};
  for (const Case& c : gains)
    EXPECT_NEAR(DBToGain(c.x), c.dB, 1e-12) << c.x;
  EXPECT_GT(DBToGain(-143.99), 0.0);
}

TEST(InterpolateCurve, ReproducesAStraightLineAnywhereInTheGrid)
{
  // Every control point of a collinear set lies on the line, so the curve is
  // the line itself; the only error is that of the parameter search, which
  // ends within 0.01 Hz or after a parameter step of 2^-9 (speed along x at
  // most 3 control-point gaps per unit of t).
  std::vector<double> f, v;
  for (double x = 10.0; x < 30000.0; x *= 1.6)
    f.push_back(x);
  for (double x : f)
    v.push_back(3.0 - 0.002 * x);
  const int n = int(f.size());
  for (double q = 10.0; q < f.back(); q *= 1.13) {
    int j = 0;
    while (j + 2 < n && f[j + 1] <= q)
      ++j;
    const double gap =
      std::max(f[j + 1] - f[j], (std::min(f[j + 2 < n ? j + 2 : j + 1], f.back()) - f[std::max(j - 1, 0)]) / 8);
    const double searchHz = std::max(0.01, 3.0 * gap / 512.0);
    EXPECT_NEAR(InterpolateCurve(f.data(), v.data(), n, q), 3.0 - 0.002 * q, 0.002 * searchHz + 1e-12) << q;
  }
}

TEST(InterpolateCurve, MatchesAnIndependentBezierEvaluation)
{
  Vorelle3CurveRecord ref;
  CopyReferenceCurve(3, ref);
  std::vector<double> dB(ref.count);
  for (unsigned i = 0; i < ref.count; ++i)
    dB[i] = LevelToDB(ref.mag[i]);
  const int n = int(ref.count);
  for (double q = 10.5; q < 20480.0; q *= 1.037) {
    int j = 0;
    while (j + 1 < n - 1 && ref.freq[j + 1] <= q)
      ++j;
    const int at[4] = {std::max(j - 1, 0), j, j + 1, std::min(j + 2, n - 1)};
    double x[4], y[4];
    for (int i = 0; i < 4; ++i) {
      x[i] = ref.freq[at[i]];
      y[i] = dB[at[i]];
    }
    // The search stops within 0.01 Hz or after a parameter step of 2^-9.
    const double span = std::fabs(y[2] - y[1]) + std::fabs(y[3] - y[0]);
    EXPECT_NEAR(InterpolateCurve(ref.freq, dB.data(), n, q), ExactSegment(x, y, q), 0.01 + span * 0.004) << q;
  }
}

TEST(InterpolateCurve, HoldsTheEndValuesOutsideTheGridAndRejectsNonsense)
{
  const std::vector<double> f = {10.0, 20.0, 40.0, 20000.0};
  const std::vector<double> v = {-6.0, 0.0, 3.0, -30.0};
  struct Case {
    double q, expected;
  };
  const Case cases[] = {{0.0, -6.0},        {5.0, -6.0},      {-100.0, -6.0},
                        {24000.0, -30.0},   {96000.0, -30.0}, {std::numeric_limits<double>::infinity(), -30.0},
                        {std::nan(""), 0.0}};
  for (const Case& c : cases)
    EXPECT_EQ(InterpolateCurve(f.data(), v.data(), 4, c.q), c.expected) << c.q;
  EXPECT_EQ(InterpolateCurve(f.data(), v.data(), 1, 10.0), -6.0);
  EXPECT_EQ(InterpolateCurve(f.data(), v.data(), 1, 500.0), -6.0);
  EXPECT_EQ(InterpolateCurve(f.data(), v.data(), 0, 10.0), 0.0);
  EXPECT_EQ(InterpolateCurve(nullptr, v.data(), 4, 10.0), 0.0);
  const std::vector<double> bad = {0.0, std::numeric_limits<double>::infinity(), 1.0, 1.0};
  EXPECT_EQ(InterpolateCurve(f.data(), bad.data(), 4, 15.0), 0.0);
}

TEST(DifferenceCurve, EqualCurvesGiveZeroEverywhere)
{
  Vorelle3CurveRecord ref, fp, diff;
  CopyReferenceCurve(2, ref);
  fp = ref;
  diff = ref;
  ASSERT_TRUE(ComputeDifferenceCurve(ref, fp, 22000.0, diff));
  for (unsigned i = 0; i < diff.count; ++i)
    EXPECT_NEAR(diff.mag[i], 0.0, kExact);
}

TEST(DifferenceCurve, AConstantOffsetIsCentredAway)
{
  Vorelle3CurveRecord ref, fp, diff;
  CopyReferenceCurve(1, ref);
  fp = ref;
  for (unsigned i = 0; i < fp.count; ++i)
    fp.mag[i] *= 0.25; // +12.04 dB difference
  diff = ref;
  ASSERT_TRUE(ComputeDifferenceCurve(ref, fp, 1e9, diff));
  for (unsigned i = 0; i < diff.count; ++i)
    EXPECT_NEAR(diff.mag[i], 0.0, 1e-9) << i;
}

TEST(DifferenceCurve, PointsTheSignalCannotReachNeitherCentreNorBendTheCurve)
{
  // A fingerprint 6 dB below the reference from 1 kHz up to the last point
  // whose band (up to the next grid point) ends below fmax; the points past
  // it hold the analyser's top bin, here 60 dB down. Only the matched points
  // count: extremes 0 and 20 log 2 are centred, and the unreachable points
  // take the value of the last matched one.
  const double six = 20.0 * std::log10(2.0);
  struct Row {
    double fmax;     // min(fs/2, 22 kHz)
    int lastMatched; // grid index
  };
  for (const Row row : {Row{16000.0, 62}, Row{11025.0, 59}, Row{22000.0, 66}}) {
    Vorelle3CurveRecord ref, fp, diff;
    CopyReferenceCurve(0, ref);
    fp = ref;
    for (int i = 0; i < int(fp.count); ++i) {
      if (i > row.lastMatched)
        fp.mag[i] *= 1e-3;
      else if (ref.freq[i] >= 1000.0)
        fp.mag[i] *= 0.5;
    }
    diff = ref;
    ASSERT_TRUE(ComputeDifferenceCurve(ref, fp, row.fmax, diff));
    for (int i = 0; i < int(diff.count); ++i) {
      EXPECT_EQ(PointInMatchedRange(ref.freq, ref.count, unsigned(i), row.fmax), i <= row.lastMatched)
        << row.fmax << " Hz, point " << i;
      const double expected = ref.freq[i] >= 1000.0 ? six / 2 : -six / 2;
      EXPECT_NEAR(diff.mag[i], expected, 1e-9) << row.fmax << " Hz, point " << i;
    }
  }
}

TEST(DifferenceCurve, SilenceAndNonFiniteValuesStayBounded)
{
  Vorelle3CurveRecord ref, fp, diff;
  CopyReferenceCurve(0, ref);
  fp = ref;
  fp.FillMagnitudes(0.0); // a rebuilt, empty fingerprint: -144 dB everywhere
  fp.mag[30] = std::numeric_limits<double>::infinity();
  diff = ref;
  ASSERT_TRUE(ComputeDifferenceCurve(ref, fp, 24000.0, diff));
  for (unsigned i = 0; i < diff.count; ++i)
    EXPECT_TRUE(std::isfinite(diff.mag[i])) << i;
  // Without the infinite point the curve is the reference's shape, + 144 dB, centred.
  EXPECT_NEAR(diff.mag[40] - diff.mag[20], LevelToDB(ref.mag[40]) - LevelToDB(ref.mag[20]), 1e-9);
}

TEST(DifferenceCurve, MismatchedRecordsAreLeftAlone)
{
  Vorelle3CurveRecord ref, fp, diff;
  CopyReferenceCurve(0, ref);
  fp.Resize(10);
  diff = ref;
  diff.FillMagnitudes(7.0);
  EXPECT_FALSE(ComputeDifferenceCurve(ref, fp, 22000.0, diff));
  EXPECT_EQ(diff.mag[0], 7.0);
  Vorelle3CurveRecord empty;
  EXPECT_FALSE(ComputeDifferenceCurve(empty, empty, 22000.0, empty));
}
