#include "Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <numeric>

namespace {

constexpr double kTolerance = 1e-14;

std::unique_ptr<double[]> Make(int n, int type, bool normalise)
{
  return std::unique_ptr<double[]>(MakeWindow(n, type, normalise));
}

} // namespace

TEST(MakeWindow, HannOfFivePointsIsZeroHalfOneHalfZero)
{
  const auto w = Make(5, kWindowHann, false);
  const double expected[5] = {0.0, 0.5, 1.0, 0.5, 0.0};
  for (int i = 0; i < 5; ++i)
    EXPECT_NEAR(w[i], expected[i], kTolerance) << i;
}

TEST(MakeWindow, KaiserWindowsMatchTheStandardBesselFunction)
{
  const struct {
    int type;
    double beta;
  } kaisers[] = {{kWindowKaiser4, 4.0}, {kWindowKaiser5, 5.0}, {kWindowKaiser6, 6.0}, {kWindowKaiser8, 8.0}};
  for (const auto& k : kaisers) {
    for (int n : {7, 64, 255}) {
      const auto w = Make(n, k.type, false);
      const double h = std::floor(n / 2.0);
      for (int i = 0; i < n; ++i) {
        const double r = (i - h) / (n - 1);
        const double expected =
          std::cyl_bessel_i(0.0, k.beta * std::sqrt(1.0 - r * r)) / std::cyl_bessel_i(0.0, k.beta);
        ASSERT_NEAR(w[i], expected, 1e-13) << "beta " << k.beta << " n " << n << " i " << i;
      }
    }
  }
}

TEST(MakeWindow, OddKaiserPeaksInTheMiddleAndStaysWellAboveZeroAtTheEnds)
{
  const int n = 9;
  const auto w = Make(n, kWindowKaiser6, false);
  const double end = std::cyl_bessel_i(0.0, 6.0 * std::sqrt(0.75)) / std::cyl_bessel_i(0.0, 6.0);
  EXPECT_NEAR(w[(n - 1) / 2], 1.0, kTolerance);
  EXPECT_NEAR(w[0], end, 1e-13);
  EXPECT_NEAR(w[n - 1], end, 1e-13);
  EXPECT_GT(end, 0.1);
}

TEST(MakeWindow, EveryShapeSumsToOneWhenNormalised)
{
  for (int type = 0; type <= 14; ++type) {
    for (int n : {3, 33, 1024}) {
      const auto w = Make(n, type, true);
      EXPECT_NEAR(std::accumulate(w.get(), w.get() + n, 0.0), 1.0, 1e-12) << "type " << type << " n " << n;
    }
  }
}

TEST(MakeWindow, RectangularNormalisedIsOneOverN)
{
  const auto w = Make(8, kWindowRectangular, true);
  for (int i = 0; i < 8; ++i)
    EXPECT_DOUBLE_EQ(w[i], 0.125);
}

TEST(MakeWindow, UnknownTypesGiveHamming)
{
  const int n = 16;
  for (int type : {0, 14, -3, 1000}) {
    const auto w = Make(n, type, false);
    for (int i = 0; i < n; ++i)
      ASSERT_NEAR(w[i], 0.53836 - 0.46164 * std::cos(2.0 * std::numbers::pi * i / (n - 1)), kTolerance) << type;
  }
}

TEST(MakeWindow, CosineShapesMatchTheirClosedForms)
{
  const int n = 21;
  const auto blackman = Make(n, kWindowBlackman, false), flat = Make(n, kWindowFlatTop, false);
  const auto hann2 = Make(n, kWindowHannSquared, false), tri = Make(n, kWindowTriangular, false);
  const auto bh7 = Make(n, kWindowBlackmanHarris7, false), bh4 = Make(n, kWindowBlackmanHarris4, false);
  for (int i = 0; i < n; ++i) {
    const double x = 2.0 * std::numbers::pi * i / (n - 1);
    const double hann = std::sin(x / 2) * std::sin(x / 2); // 0.5 - 0.5 cos x
    EXPECT_NEAR(blackman[i], 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x), kTolerance);
    EXPECT_NEAR(flat[i],
                1.0 - 1.93 * std::cos(x) + 1.29 * std::cos(2 * x) - 0.388 * std::cos(3 * x) + 0.028 * std::cos(4 * x),
                1e-13);
    EXPECT_NEAR(hann2[i], hann * hann, kTolerance);
    EXPECT_NEAR(tri[i], 1.0 - std::abs(i - 10.0) / 10.0, kTolerance);
    EXPECT_NEAR(bh4[i], bh4[n - 1 - i], kTolerance);
    EXPECT_NEAR(bh7[i], bh7[n - 1 - i], kTolerance);
  }
  EXPECT_NEAR(bh4[10], 0.358750287312166 + 0.4882901074726 + 0.141279712970519 + 0.011679892244715, kTolerance);
  EXPECT_NEAR(bh7[0],
              0.2712203605850388 - 0.4334446123274422 + 0.2180041228929303 - 0.06578534329560609 + 0.01076186730534183 -
                0.0007700127105808265 + 0.00001368088305992921,
              kTolerance);
}

TEST(MakeWindow, SincWindowPeaksAtHalfNAndIsSymmetricAboutIt)
{
  const auto w = Make(4, kWindowSinc, false);
  EXPECT_DOUBLE_EQ(w[2], 1.0);
  EXPECT_DOUBLE_EQ(w[1], w[3]);
  EXPECT_NE(w[1], w[2]);
  const double x = ((0 - 2.0) / std::numbers::pi) * 0.25;
  EXPECT_NEAR(w[0], std::sin(x) / x, kTolerance);
}

TEST(MakeWindow, LengthBelowOneGivesNothingAndLengthOneGivesOne)
{
  EXPECT_EQ(MakeWindow(0, kWindowHann, false), nullptr);
  EXPECT_EQ(MakeWindow(-5, kWindowHann, true), nullptr);
  for (int type = 0; type <= 14; ++type)
    for (bool normalise : {false, true}) {
      const auto w = Make(1, type, normalise);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w[0], 1.0) << "type " << type;
    }
}

TEST(MakeWindow, ZeroSumWindowIsReturnedUnnormalisedInsteadOfNaN)
{
  const auto w = Make(2, kWindowHann, true); // both values are 0
  EXPECT_EQ(w[0], 0.0);
  EXPECT_EQ(w[1], 0.0);
}

TEST(Sinc, IsOneAtAndVeryNearZeroAndSinXOverXElsewhere)
{
  EXPECT_EQ(Sinc(0.0), 1.0);
  EXPECT_EQ(Sinc(1e-15), 1.0);
  EXPECT_EQ(Sinc(-1e-15), 1.0);
  EXPECT_NEAR(Sinc(std::numbers::pi / 2), 2.0 / std::numbers::pi, kTolerance);
  EXPECT_NEAR(Sinc(std::numbers::pi), 0.0, kTolerance);
}
